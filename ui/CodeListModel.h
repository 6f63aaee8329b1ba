// A diagnosis or treatment code list of a case page as a model: one item per code record, in the
// order read. An item's display and accessible text is "code, description"; the two parts are in
// list_role::Code and list_role::Description for the delegate, which draws them in two columns.
#pragma once

#include "workspace/CaseTexts.h"

#include <QAbstractListModel>
#include <vector>

class cCodeListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit cCodeListModel(QObject *parent = nullptr);

    void SetItems(std::vector<cCodeItem> items);
    // While masked (the window is locked) every line keeps its place, key and selection but
    // reads and draws as empty (only its key and kind stay), so nothing of it is on screen or
    // spoken.
    Q_INVOKABLE void SetMasked(bool masked);
    const std::vector<cCodeItem> &Items() const { return CodeItems; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::vector<cCodeItem> CodeItems;
    bool Masked = false;
};
