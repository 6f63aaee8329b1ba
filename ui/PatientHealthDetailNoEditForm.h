// Read-only view of a patient's structured health details: nineteen group boxes of check boxes,
// radio buttons, labelled edits, memos and a prescriptions grid, stacked in a scroll box and built
// from the table of groups in workspace/HealthDetailGroups.h. The main window clears and fills it
// each time it shows a case and shows it modally on demand; the back picture or Escape closes it.
#pragma once

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

class QFrame;
class QGroupBox;
class QLabel;
class QScrollArea;
class QTableWidget;
class cJSON;
struct cHealthGroup;
struct cHealthItem;

class TPatientHealthDetailNoEditForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPatientHealthDetailNoEditForm(QWidget *parent = nullptr);

    // Every box unchecked and plain, every edit and memo empty, the grid reset to its headers and
    // row numbers.
    void ClearDetails();
    // Fills the controls from the root object of a case's health details; groups and items that
    // are missing or not objects are left as they are. The caller keeps the tree.
    void LoadDetails(cJSON *details);
    // 21 rows (the first fixed), 8 columns (the first fixed), headers and widths, rows 1 to 20
    // emptied and numbered.
    void InitPrescriptionsGrid();

    void BackButtonClick();
    // Escape (27) is consumed (the key becomes 0) and closes the window; other keys pass.
    void FormKeyDown(int &key);

    // The control of that name in a group (a group box, an item's widget), or null.
    QWidget *Control(std::string_view name) const;

    QLabel *BackButton = nullptr;
    QFrame *PatientHealthDetailNoEditPanel = nullptr;
    QScrollArea *PatientDetailsScrollBox = nullptr;
    QTableWidget *PrescriptionsStringGrid = nullptr;
    // The group boxes, top to bottom.
    std::vector<QGroupBox *> GroupBoxes;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct cPlacedItem
    {
        const cHealthItem *Item;
        QWidget *Widget;
    };
    struct cPlacedGroup
    {
        const cHealthGroup *Group;
        QGroupBox *Box;
        std::vector<cPlacedItem> Items;
    };

    void BuildGroups(QWidget *content);
    int BuildGroup(const cHealthGroup &group, QWidget *content, int top);
    void ApplyGridColumns();
    void SetGridCell(int row, int column, const QString &text);
    void FillGrid(cJSON &grid, const std::string &version);
    void LoadItem(const cPlacedItem &placed, cJSON &items, const std::string &version);

    std::vector<cPlacedGroup> Groups;
};
