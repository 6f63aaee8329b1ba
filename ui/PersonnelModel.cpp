#include "ui/PersonnelModel.h"

#include "ui/ListRoles.h"
#include "ui/Look.h"

cPersonnelModel::cPersonnelModel(QObject *parent) : QAbstractListModel(parent) {}

void cPersonnelModel::SetMembers(std::vector<cPersonnelMember> members)
{
    beginResetModel();
    Members = std::move(members);
    endResetModel();
}

bool cPersonnelModel::MemberAt(int row, cPersonnelMember &member) const
{
    if (row < 0 || row >= rowCount())
        return false;
    member = Members[static_cast<std::size_t>(row)];
    return true;
}

int cPersonnelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(Members.size());
}

QVariant cPersonnelModel::data(const QModelIndex &index, int role) const
{
    if (Masked && role != list_role::Key)
        return {};
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const cPersonnelMember &member = Members[static_cast<std::size_t>(index.row())];
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ToQt(PersonnelListText(member));
    case list_role::Key:
        return ToQt(member.Seq);
    default:
        return {};
    }
}

void cPersonnelModel::SetMasked(bool masked)
{
    if (masked == Masked)
        return;
    emit layoutAboutToBeChanged();
    Masked = masked;
    emit layoutChanged();
}
