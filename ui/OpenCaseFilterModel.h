// The search of the open-requests tree over its model: the lines that the search text does not
// match are left out, by the workspace's filter rules (a case with all its quotes when the case
// matches, a quote with its case when the quote does). The text is kept across loads.
#pragma once

#include "workspace/OpenCaseFilter.h"

#include <QSortFilterProxyModel>
#include <memory>
#include <string>

class cOpenCaseModel;

class cOpenCaseFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    // Filters source, which it does not own.
    explicit cOpenCaseFilterModel(cOpenCaseModel *source, QObject *parent = nullptr);

    // Puts a load into the source model, matched against the search text kept.
    void SetQuotes(std::shared_ptr<const cProviderQuotes> quotes);
    void SetSearchText(const std::string &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    cOpenCaseModel *Source;
    cOpenCaseFilter Filter;
    std::string SearchText;
};
