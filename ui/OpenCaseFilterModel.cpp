#include "ui/OpenCaseFilterModel.h"

#include "ui/OpenCaseModel.h"

cOpenCaseFilterModel::cOpenCaseFilterModel(cOpenCaseModel *source, QObject *parent)
    : QSortFilterProxyModel(parent), Source(source)
{
    setSourceModel(source);
}

void cOpenCaseFilterModel::SetQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    // The filter is made for the new lines before the source model announces them.
    static const std::vector<cOpenCase> none;
    Filter.Index(quotes ? quotes->OpenCases : none);
    Filter.Apply(SearchText);
    Source->SetQuotes(std::move(quotes));
}

void cOpenCaseFilterModel::SetSearchText(const std::string &text)
{
    SearchText = text;
    Filter.Apply(SearchText);
    // The lines are announced anew, as a load announces them: taking lines out and putting them
    // back range by range would update every expanded line's index for each range, which takes
    // a large inbox a tenth of a second and more per typed character.
    Source->SetQuotes(Source->Quotes());
}

bool cOpenCaseFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!sourceParent.isValid())
        return Filter.CaseShown(sourceRow);
    return Filter.QuoteShown(sourceParent.row(), sourceRow);
}
