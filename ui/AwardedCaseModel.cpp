#include "ui/AwardedCaseModel.h"

#include "ui/ListRoles.h"
#include "ui/Look.h"
#include "workspace/ListTexts.h"

cAwardedCaseModel::cAwardedCaseModel(QObject *parent) : QAbstractListModel(parent) {}

void cAwardedCaseModel::SetQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    beginResetModel();
    Loaded = std::move(quotes);
    endResetModel();
}

bool cAwardedCaseModel::QuoteAt(int row, cCaseQuoteObject &quote) const
{
    if (row < 0 || row >= rowCount())
        return false;
    quote = *Loaded->Awarded[static_cast<std::size_t>(row)];
    return true;
}

int cAwardedCaseModel::rowCount(const QModelIndex &parent) const
{
    return Loaded && !parent.isValid() ? static_cast<int>(Loaded->Awarded.size()) : 0;
}

QVariant cAwardedCaseModel::data(const QModelIndex &index, int role) const
{
    if (Masked && role != list_role::Key)
        return {};
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const cCaseQuoteObject &quote = *Loaded->Awarded[static_cast<std::size_t>(index.row())];
    const cCaseObject *awarded = quote.AwardedCase.get();
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ToQt(AwardedLineSpoken(quote));
    case list_role::Key:
        return ToQt(quote.Key);
    case list_role::Date:
        return ToQt(quote.RequiredDate);
    case list_role::Hospital:
        return awarded ? ToQt(awarded->HospitalName) : QString();
    case list_role::CaseNumber:
        return awarded ? ToQt(awarded->CaseNumber) : QString();
    case list_role::Description:
        return ToQt(AwardedLineText(quote));
    default:
        return {};
    }
}

void cAwardedCaseModel::SetMasked(bool masked)
{
    if (masked == Masked)
        return;
    emit layoutAboutToBeChanged();
    Masked = masked;
    emit layoutChanged();
}
