// The personnel list as a model: one line per member of the provider, in the order read. A line's
// display and accessible text is what it draws, "first last"; its record key is in
// list_role::Key. The members themselves (what the edit panel shows) stay in the model.
#pragma once

#include "workspace/PersonnelItem.h"

#include <QAbstractListModel>
#include <vector>

class cPersonnelModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit cPersonnelModel(QObject *parent = nullptr);

    void SetMembers(std::vector<cPersonnelMember> members);
    // While masked (the window is locked) every line keeps its place, key and selection but
    // reads and draws as empty (only its key and kind stay), so nothing of it is on screen or
    // spoken.
    Q_INVOKABLE void SetMasked(bool masked);
    // The member of a row; false for a row that is not a member.
    bool MemberAt(int row, cPersonnelMember &member) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::vector<cPersonnelMember> Members;
    bool Masked = false;
};
