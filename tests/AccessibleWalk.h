// The accessibility tree of a window as a screen reader walks it, for the GUI test binaries: the
// controls a user can reach that have no name a reader could speak.
//
// A node counts as a reachable control when it is shown (not invisible) and is one of: a widget
// that takes the keyboard focus by Tab itself (not through a focus proxy); a widget with a
// pointing-hand cursor (a clickable picture or mark); a node of a role a user acts on or moves
// through (buttons, boxes, edits, lists, trees, tables, their items, tabs, groups, pictures,
// progress bars); a widget without children that is not text and takes mouse input (a painted
// mark; one that lets clicks through is decoration). Labels speak their own text, table cells are
// data (an empty cell is a blank, not a nameless control), a scroll area's viewport is the area of
// the control that holds it, and scroll bars are announced by role and orientation.
#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QWidget>
#include <string>
#include <vector>

namespace accessible_walk
{
inline bool ActedOnRole(QAccessible::Role role)
{
    switch (role)
    {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::Tree:
    case QAccessible::TreeItem:
    case QAccessible::Table:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
    case QAccessible::Grouping:
    case QAccessible::Graphic:
    case QAccessible::Link:
    case QAccessible::ProgressBar:
        return true;
    default:
        return false;
    }
}

inline bool ContentRole(QAccessible::Role role)
{
    return role == QAccessible::StaticText || role == QAccessible::Cell ||
           role == QAccessible::ColumnHeader || role == QAccessible::RowHeader || role == QAccessible::Row ||
           role == QAccessible::Separator;
}

inline bool Reachable(QAccessibleInterface *node)
{
    const QAccessible::Role role = node->role();
    if (ContentRole(role) && role != QAccessible::StaticText)
        return false;
    auto *widget = qobject_cast<QWidget *>(node->object());
    // Items of a view carry the view as their object; only the view's own node counts for it.
    const bool own = widget && QAccessible::queryAccessibleInterface(widget) == node;
    if (own)
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget->parentWidget());
            area && area->viewport() == widget)
            return false;
    if (own && widget->isEnabled() && !widget->focusProxy() && (widget->focusPolicy() & Qt::TabFocus))
        return true;
    if (own && widget->testAttribute(Qt::WA_SetCursor) && widget->cursor().shape() == Qt::PointingHandCursor)
        return true;
    if (role == QAccessible::StaticText)
        return false;
    // A painted widget that the mouse can reach (one that lets clicks through is decoration).
    return ActedOnRole(role) ||
           (own && node->childCount() == 0 && !widget->testAttribute(Qt::WA_TransparentForMouseEvents));
}

inline void Walk(QAccessibleInterface *node, const std::string &path, std::vector<std::string> &nameless,
                 int &reachable)
{
    if (!node || !node->isValid() || node->state().invisible || node->role() == QAccessible::ScrollBar)
        return;
    const QObject *object = node->object();
    const std::string here = path + "/" + (object ? object->objectName().toStdString() : std::string()) +
                             "[" + std::to_string(node->role()) + "]";
    if (Reachable(node))
    {
        ++reachable;
        if (node->text(QAccessible::Name).trimmed().isEmpty())
            nameless.push_back(here);
    }
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), here, nameless, reachable);
}

// The reachable controls under a window that have no name, as paths of object names and roles;
// reachable (when given) counts the reachable controls found.
inline std::vector<std::string> NamelessControls(QWidget *window, int *reachable = nullptr)
{
    std::vector<std::string> nameless;
    int count = 0;
    Walk(QAccessible::queryAccessibleInterface(window), "", nameless, count);
    if (reachable)
        *reachable = count;
    return nameless;
}

// The name a screen reader speaks for a widget.
inline std::string SpokenName(QWidget *widget)
{
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
    return node ? node->text(QAccessible::Name).toStdString() : std::string("<none>");
}
} // namespace accessible_walk
