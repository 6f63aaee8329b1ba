// The " Open Case Requests " tab of the list page: the legend, the column header, the tree of
// cases and their open quotes over cOpenCaseModel, and the search field above it. A mouse button
// pressed on a quote line opens that quote (QuoteOpened, with a copy of the quote and its case's
// key), and so does Enter on the tree's current line; case lines and empty space open nothing.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <QColor>
#include <QModelIndex>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

class QHeaderView;
class QLabel;
class QLineEdit;
class QTreeView;
class cLegendShape;
class cOpenCaseFilterModel;
class cOpenCaseModel;

class cOpenRequestsPage : public QWidget
{
    Q_OBJECT

public:
    // searchShown: the search field is shown (the [Client] switch "Search").
    explicit cOpenRequestsPage(bool searchShown, QWidget *parent = nullptr);

    // Shows the cases of a load (null: none), expanded, through the search text kept.
    void ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes);
    // The colour of accepted quote lines (the brush of the "Waiting for hospitals response" mark).
    QColor AcceptedColour() const;

    // Handlers.
    void OpenCaseListHeaderSectionResize();
    void OpenCaseTreeViewMouseDown(Qt::MouseButton button, const QPoint &position);
    // Enter or Return opens the current line's quote; true when the key was one of them.
    bool OpenCaseTreeViewKeyDown(int key);
    void OpenCaseSearchEditChange();

signals:
    void QuoteOpened(const cCaseQuoteObject &quote, const std::string &caseKey);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateLegend();
    void CreateTree();
    void CreateSearch(bool shown);
    // The line of the shown tree with that key (a quote line or a case line), or none.
    QModelIndex LineOf(const QString &key, bool quote) const;

    QLabel *Label1 = nullptr;
    cLegendShape *Shape1 = nullptr;
    QLabel *Label15 = nullptr;
    cLegendShape *Shape2 = nullptr;
    QLabel *Label18 = nullptr;
    QHeaderView *OpenCaseListHeader = nullptr;
    QTreeView *OpenCaseTreeView = nullptr;
    QLineEdit *OpenCaseSearchEdit = nullptr;
    cOpenCaseModel *Cases = nullptr;
    cOpenCaseFilterModel *Search = nullptr;
    bool SearchShown = true;
    // The tree's current line by key, kept across loads.
    QString KeptKey;
    bool KeptQuote = false;
};
