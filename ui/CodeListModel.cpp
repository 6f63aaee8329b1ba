#include "ui/CodeListModel.h"

#include "ui/ListRoles.h"
#include "ui/Look.h"

cCodeListModel::cCodeListModel(QObject *parent) : QAbstractListModel(parent) {}

void cCodeListModel::SetItems(std::vector<cCodeItem> items)
{
    beginResetModel();
    CodeItems = std::move(items);
    endResetModel();
}

int cCodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(CodeItems.size());
}

QVariant cCodeListModel::data(const QModelIndex &index, int role) const
{
    if (Masked && role != list_role::Key)
        return {};
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const cCodeItem &item = CodeItems[static_cast<std::size_t>(index.row())];
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ToQt(CodeLineSpoken(item));
    case list_role::Code:
        return ToQt(item.Code);
    case list_role::Description:
        return ToQt(item.Description);
    default:
        return {};
    }
}

void cCodeListModel::SetMasked(bool masked)
{
    if (masked == Masked)
        return;
    emit layoutAboutToBeChanged();
    Masked = masked;
    emit layoutChanged();
}
