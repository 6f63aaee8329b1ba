// The search field of the " Open Case Requests " tab: the tree's items that the text does not
// match are hidden (not removed), and the same text is applied again after every reload.
#include "ui/MainForm.h"

#include "ui/SearchEdit.h"

#include <QTreeWidget>

void TMainForm::CreateOpenCaseSearch()
{
    // Free space of the tab between the caption and the legend.
    OpenCaseSearchEdit = new cSearchEdit(OpenCaseTabSheet);
    OpenCaseSearchEdit->setObjectName("OpenCaseSearchEdit");
    OpenCaseSearchEdit->setPlaceholderText("Search requests");
    OpenCaseSearchEdit->setClearButtonEnabled(true);
    OpenCaseSearchEdit->setToolTip("Hospital, case number or insurance of a case; category, description "
                                   "or date of a request. Escape clears.");
    OpenCaseSearchEdit->setGeometry(226, 5, 180, 22);
    connect(OpenCaseSearchEdit, &QLineEdit::textChanged, this, &TMainForm::OpenCaseSearchEditChange);
    OpenCaseSearchEdit->setVisible(Switches.Search);
}

void TMainForm::OpenCaseSearchEditChange()
{
    ApplyOpenCaseFilter();
}

void TMainForm::ApplyOpenCaseFilter()
{
    if (!Switches.Search)
        return;
    QTreeWidget *tree = OpenCaseTreeView;
    const std::vector<int> &shape = OpenCaseFilter.QuoteCounts;
    // The index is built from the model the tree was filled from; a tree of another shape (a
    // load that failed after the index was made) is left alone.
    if (static_cast<int>(shape.size()) != tree->topLevelItemCount())
        return;
    OpenCaseFilter.Apply(OpenCaseSearchEdit->text().toStdString());
    const std::vector<char> &visible = OpenCaseFilter.Visible;
    const auto setHidden = [](QTreeWidgetItem *item, bool hidden)
    {
        if (item->isHidden() != hidden)
            item->setHidden(hidden);
    };
    std::size_t at = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem *caseItem = tree->topLevelItem(i);
        if (caseItem->childCount() != shape[static_cast<std::size_t>(i)])
            return;
        setHidden(caseItem, !visible[at++]);
        for (int q = 0; q < caseItem->childCount(); ++q)
            setHidden(caseItem->child(q), !visible[at++]);
    }
}
