#include "ui/ViewState.h"

#include "ui/ListRoles.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QScrollBar>

namespace
{
QModelIndex FindLine(const QAbstractItemModel *model, const QModelIndex &parent, const cViewState &state)
{
    for (int row = 0; row < model->rowCount(parent); ++row)
    {
        const QModelIndex line = model->index(row, 0, parent);
        if (line.data(list_role::Key).toString() == state.Key &&
            line.data(list_role::IsQuote).toBool() == state.IsQuote)
            return line;
        if (model->hasChildren(line))
            if (QModelIndex found = FindLine(model, line, state); found.isValid())
                return found;
    }
    return {};
}
} // namespace

cViewState TakeViewState(const QAbstractItemView *view)
{
    cViewState state;
    const QModelIndex current = view->currentIndex();
    if (current.isValid() && view->selectionModel()->isSelected(current))
    {
        state.HasCurrent = true;
        state.Key = current.data(list_role::Key).toString();
        state.IsQuote = current.data(list_role::IsQuote).toBool();
    }
    state.Scroll = view->verticalScrollBar()->value();
    return state;
}

void RestoreViewState(QAbstractItemView *view, const cViewState &state)
{
    if (state.HasCurrent && view->model())
        if (const QModelIndex line = FindLine(view->model(), {}, state); line.isValid())
            view->selectionModel()->setCurrentIndex(line, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    view->verticalScrollBar()->setValue(state.Scroll);
}
