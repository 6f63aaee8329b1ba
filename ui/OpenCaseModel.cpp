#include "ui/OpenCaseModel.h"

#include "ui/ListRoles.h"
#include "ui/Look.h"
#include "workspace/ListTexts.h"

namespace
{
// A quote line's internal id is its case's row plus one; a case line's is 0.
constexpr quintptr CaseLineId = 0;
} // namespace

cOpenCaseModel::cOpenCaseModel(QObject *parent) : QAbstractItemModel(parent) {}

void cOpenCaseModel::SetQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    beginResetModel();
    Loaded = std::move(quotes);
    endResetModel();
}

// An index of another model, or one kept from before a load, finds no line.
const cOpenCase *cOpenCaseModel::CaseLine(const QModelIndex &index) const
{
    if (!Loaded || index.model() != this || index.internalId() != CaseLineId ||
        static_cast<std::size_t>(index.row()) >= Loaded->OpenCases.size())
        return nullptr;
    return &Loaded->OpenCases[static_cast<std::size_t>(index.row())];
}

const cCaseQuoteObject *cOpenCaseModel::QuoteLine(const QModelIndex &index) const
{
    if (!Loaded || index.model() != this || index.internalId() == CaseLineId ||
        index.internalId() > Loaded->OpenCases.size())
        return nullptr;
    const cOpenCase &open = Loaded->OpenCases[static_cast<std::size_t>(index.internalId() - 1)];
    if (static_cast<std::size_t>(index.row()) >= open.Quotes.size())
        return nullptr;
    return open.Quotes[static_cast<std::size_t>(index.row())].get();
}

bool cOpenCaseModel::CaseAt(const QModelIndex &index, cCaseObject &caseObject) const
{
    const cOpenCase *open = CaseLine(index);
    if (!open)
        return false;
    caseObject = *open->Case;
    return true;
}

bool cOpenCaseModel::QuoteAt(const QModelIndex &index, cCaseQuoteObject &quote, std::string &caseKey) const
{
    const cCaseQuoteObject *line = QuoteLine(index);
    if (!line)
        return false;
    quote = *line;
    caseKey = Loaded->OpenCases[static_cast<std::size_t>(index.internalId() - 1)].Case->Key;
    return true;
}

QModelIndex cOpenCaseModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, CaseLineId);
    return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex cOpenCaseModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == CaseLineId)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, CaseLineId);
}

int cOpenCaseModel::rowCount(const QModelIndex &parent) const
{
    if (!Loaded || parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return static_cast<int>(Loaded->OpenCases.size());
    if (const cOpenCase *open = CaseLine(parent))
        return static_cast<int>(open->Quotes.size());
    return 0;
}

int cOpenCaseModel::columnCount(const QModelIndex &) const
{
    return 1;
}

Qt::ItemFlags cOpenCaseModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant cOpenCaseModel::data(const QModelIndex &index, int role) const
{
    if (Masked && role != list_role::Key && role != list_role::IsQuote)
        return {};
    if (const cOpenCase *open = CaseLine(index))
        return CaseData(*open->Case, role);
    if (const cCaseQuoteObject *quote = QuoteLine(index))
        return QuoteData(*quote, role);
    return {};
}

QVariant cOpenCaseModel::CaseData(const cCaseObject &caseObject, int role) const
{
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ToQt(CaseLineSpoken(caseObject));
    case list_role::Key:
        return ToQt(caseObject.Key);
    case list_role::IsQuote:
        return false;
    case list_role::Hospital:
        return ToQt(caseObject.HospitalName);
    case list_role::CaseNumber:
        return ToQt(caseObject.CaseNumber);
    case list_role::Insurance:
        return ToQt(InsuranceText(caseObject));
    default:
        return {};
    }
}

QVariant cOpenCaseModel::QuoteData(const cCaseQuoteObject &quote, int role) const
{
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ToQt(QuoteLineSpoken(quote));
    case Qt::AccessibleDescriptionRole:
        return ToQt(QuoteStateText(quote.Accepted));
    case list_role::Key:
        return ToQt(quote.Key);
    case list_role::IsQuote:
        return true;
    case list_role::Date:
        return ToQt(quote.RequiredDate);
    case list_role::Description:
        return ToQt(QuoteLineText(quote));
    case list_role::Accepted:
        return quote.Accepted;
    default:
        return {};
    }
}

void cOpenCaseModel::SetMasked(bool masked)
{
    if (masked == Masked)
        return;
    emit layoutAboutToBeChanged();
    Masked = masked;
    emit layoutChanged();
}
