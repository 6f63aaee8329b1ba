// The patient health detail view on its own: its nineteen groups as the provider sees them, the
// cleared state, how the health details JSON fills it, and closing it.
#include "tests/ui/UiTestSupport.h"
#include "workspace/HealthDetailGroups.h"
#include "json/cJSON.h"

#include <QGroupBox>
#include <QScrollArea>
#include <QTableWidget>

using namespace ui_test;

namespace
{
class HealthDetailView : public ::testing::Test
{
protected:
    // "kind name caption" of every control of a group, in the group's control order.
    static QStringList Describe(const QGroupBox *box)
    {
        QStringList items;
        for (QObject *child : box->children())
        {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget)
                continue;
            const QString name = widget->objectName();
            if (auto *check = qobject_cast<QCheckBox *>(widget))
                items << "check " + name + " " + check->text();
            else if (auto *radio = qobject_cast<QRadioButton *>(widget))
                items << "radio " + name + " " + radio->text();
            else if (auto *edit = qobject_cast<cLabeledEdit *>(widget))
                items << "edit " + name + " " + edit->Caption();
            else if (qobject_cast<QPlainTextEdit *>(widget))
                items << "memo " + name;
            else if (qobject_cast<QTableWidget *>(widget))
                items << "grid " + name;
            else if (auto *label = qobject_cast<QLabel *>(widget); label && !label->buddy())
                items << "label " + label->text();
        }
        return items;
    }

    void Load(const std::string &json)
    {
        cJSON details(json);
        View.LoadDetails(&details);
    }

    template <class T> T *Get(const char *name)
    {
        T *control = qobject_cast<T *>(View.Control(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    bool Ticked(const char *name) { return Get<QAbstractButton>(name)->isChecked(); }
    bool Bold(const char *name) { return Get<QAbstractButton>(name)->font().bold(); }
    QString Cell(int row, int column)
    {
        const QTableWidgetItem *cell = View.PrescriptionsStringGrid->item(row, column);
        return cell ? cell->text() : "<none>";
    }

    // Every box unticked and plain, every edit and memo empty, the grid numbered and headed only.
    void ExpectCleared()
    {
        for (QAbstractButton *button : View.findChildren<QAbstractButton *>())
        {
            EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
            EXPECT_FALSE(button->font().bold()) << button->objectName().toStdString();
        }
        for (QLineEdit *edit : View.findChildren<QLineEdit *>())
            EXPECT_EQ(edit->text(), "") << edit->objectName().toStdString();
        for (QPlainTextEdit *memo : View.findChildren<QPlainTextEdit *>())
            EXPECT_EQ(memo->toPlainText(), "") << memo->objectName().toStdString();
        QTableWidget *grid = View.PrescriptionsStringGrid;
        ASSERT_EQ(grid->rowCount(), 21);
        ASSERT_EQ(grid->columnCount(), 8);
        for (int column = 0; column < 8; ++column)
        {
            const cPrescriptionColumn &heading = PrescriptionColumns()[static_cast<std::size_t>(column)];
            EXPECT_EQ(Cell(0, column).toStdString(), heading.Header);
            EXPECT_EQ(grid->columnWidth(column), heading.Width);
        }
        for (int row = 1; row <= 20; ++row)
        {
            EXPECT_EQ(Cell(row, 0), QString::number(row));
            for (int column = 1; column < 8; ++column)
                EXPECT_EQ(Cell(row, column), "") << row << "," << column;
        }
    }

    TPatientHealthDetailNoEditForm View;
};
} // namespace

TEST_F(HealthDetailView, NineteenGroupsWithTheirControlsInOrderAndInPlace)
{
    EXPECT_EQ(View.windowTitle(), "PatientHealthDetailNoEditForm");
    EXPECT_EQ(View.size(), QSize(1200, 702));
    ASSERT_NE(View.findChild<QScrollArea *>("PatientDetailsScrollBox"), nullptr);
    // The view is built from the questionnaire table: every group and item in order, as the
    // control of its kind with its caption.
    const auto &groups = HealthDetailGroups();
    ASSERT_EQ(View.GroupBoxes.size(), groups.size());
    const char *kinds[] = {"check", "radio", "edit", "memo", "grid", "label"};
    int previousBottom = 0;
    for (std::size_t i = 0; i < groups.size(); ++i)
    {
        const QGroupBox *box = View.GroupBoxes[i];
        QStringList expected;
        for (const cHealthItem &item : groups[i].Items)
        {
            const QString kind = kinds[static_cast<int>(item.Kind)];
            const QString name = QString::fromStdString(std::string(item.Name));
            const QString caption = QString::fromStdString(std::string(item.Caption));
            expected << (kind == "label"                    ? kind + " " + caption
                         : kind == "memo" || kind == "grid" ? kind + " " + name
                                                            : kind + " " + name + " " + caption);
        }
        EXPECT_EQ(box->objectName().toStdString(), groups[i].Name);
        EXPECT_EQ(box->title().toStdString(), groups[i].Caption);
        EXPECT_EQ(Describe(box), expected) << box->objectName().toStdString();
        EXPECT_EQ(box->x(), 28);
        EXPECT_EQ(box->width(), 825);
        EXPECT_TRUE(box->font().bold());
        EXPECT_GT(box->y(), previousBottom) << "stacked top to bottom";
        previousBottom = box->y() + box->height() - 1;
        // Every control, with the caption label of a labelled edit, has its own place in the box.
        const auto placed = box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (qsizetype a = 0; a < placed.size(); ++a)
        {
            EXPECT_TRUE(box->rect().contains(placed[a]->geometry())) << placed[a]->objectName().toStdString();
            for (qsizetype b = a + 1; b < placed.size(); ++b)
                EXPECT_FALSE(placed[a]->geometry().intersects(placed[b]->geometry()))
                    << placed[a]->objectName().toStdString() << " and "
                    << placed[b]->objectName().toStdString();
        }
    }
    // Texts of the table as the provider reads them, misspellings included.
    EXPECT_EQ(View.GroupBoxes[0]->title(), " Prescriptions ");
    EXPECT_EQ(Describe(View.GroupBoxes[9]).first(), "label Hearing Aid");
    EXPECT_EQ(Describe(View.GroupBoxes[12])[3], "check Immunity4 Zostavaz");
    EXPECT_EQ(Describe(View.GroupBoxes[18]).mid(4, 2),
              (QStringList{"check AdvanceDir5 Do Not Hospitalize", "check AdvanceDir4 No Antibiodics"}));
    // Nothing can be changed by the user.
    View.show();
    for (const char *name : {"Mobility1", "Vision2", "PrescriptionsNACheckBox"})
    {
        QTest::mouseClick(Get<QAbstractButton>(name), Qt::LeftButton);
        EXPECT_FALSE(Ticked(name)) << name;
    }
    QTest::keyClicks(Get<QLineEdit>("SkinConditionOther"), "typed");
    EXPECT_EQ(Get<QLineEdit>("SkinConditionOther")->text(), "");
    QTest::keyClicks(Get<QPlainTextEdit>("WoundsMemo"), "typed");
    EXPECT_EQ(Get<QPlainTextEdit>("WoundsMemo")->toPlainText(), "");
    EXPECT_EQ(View.PrescriptionsStringGrid->editTriggers(), QAbstractItemView::NoEditTriggers);
    View.hide();
    EXPECT_EQ(View.PrescriptionsStringGrid->geometry(), QRect(20, 40, 785, 153));
    EXPECT_FALSE(View.PrescriptionsStringGrid->font().bold());
}

TEST_F(HealthDetailView, ClearedStateShowsOnlyTheGridHeadingsAndNumbers)
{
    ExpectCleared();
    Load("{PrescriptionsGroupBox:{Details:{PrescriptionsStringGrid:{Line2:{Col1:Aspirin,Col7:\"08:00\"}},"
         "PrescriptionsNACheckBox:{Data:Y}}},WoundsGroupBox:{Details:{WoundsMemo:{Data:\"Left heel\"}}},"
         "BladderGroup:{Details:{Bladder2:{Data:Y},BladderOther:{Data:Briefs}}}}");
    ASSERT_EQ(Cell(2, 1), "Aspirin");
    ASSERT_TRUE(Ticked("Bladder2"));
    View.ClearDetails();
    ExpectCleared();
}

TEST_F(HealthDetailView, OnlyATrimmedCapitalYTicksAndTicksAreBold)
{
    Load("{SkinConditionGroup:{Version:\"1\",Details:{SkinCondition1:{Data:\" Y \"},SkinCondition2:{Data:y},"
         "SkinCondition3:{Data:Yes},SkinCondition4:{Data:1},SkinCondition5:{Caption:Sores},"
         "SkinConditionOther:{Data:\" Dry skin \"}}},"
         "mobilitygroupbox:{details:{mobility1:{data:Y},Mobility3:{Data:Y}}},"
         "VisionGroup:{Caption:Vision,Vision1:{Data:Y}},"
         "HearingGroup:{Details:{Hearing1:\"Y\",Hearing2:{Data:Y},HearingAidLabel:{Data:Y}}},"
         "AllergiesGroupBox:\"none\",WoundsGroupBox:{Details:[1]},"
         "AllergiesGroupBox2:{Details:{AllergiesMemo:{Data:x}}}}");
    // Names match without regard to case; of two radio buttons given Y the later stays checked,
    // the earlier keeps its bold font. A group without Details stays cleared (Vision1), an item
    // that is not an object is left alone (Hearing1).
    std::vector<std::string> marks;
    for (const char *name : {"SkinCondition1", "SkinCondition2", "SkinCondition3", "SkinCondition4",
                             "SkinCondition5", "Mobility1", "Mobility3", "Vision1", "Hearing1", "Hearing2"})
        marks.push_back(std::string(name) + (Ticked(name) ? " ticked" : "") + (Bold(name) ? " bold" : ""));
    EXPECT_EQ(marks, (std::vector<std::string>{"SkinCondition1 ticked bold", "SkinCondition2",
                                               "SkinCondition3", "SkinCondition4", "SkinCondition5",
                                               "Mobility1 bold", "Mobility3 ticked bold", "Vision1",
                                               "Hearing1", "Hearing2 ticked bold"}));
    EXPECT_EQ(Get<QLineEdit>("SkinConditionOther")->text(), " Dry skin ");
    EXPECT_EQ(Get<QPlainTextEdit>("AllergiesMemo")->toPlainText(), "");
}

TEST_F(HealthDetailView, PrescriptionsGridShowsTwentyRowsOfSevenColumns)
{
    std::string rows;
    for (int r = 1; r <= 23; ++r)
        rows += ",Line" + std::to_string(r) + ":{Col1:Drug" + std::to_string(r) + "}";
    Load("{PrescriptionsGroupBox:{Version:\"1\",Details:{PrescriptionsStringGrid:{"
         "Line1:{Col1:Apixaban,Col2:\"5 mg\",Col3:Daily,Col4:Oral,Col5:AF,Col6:\"06/30/2025\",Col7:\"08:00\","
         "Col8:Ignored}" +
         rows.substr(rows.find(",Line2:")) + "}}}}");
    const char *first[] = {"1", "Apixaban", "5 mg", "Daily", "Oral", "AF", "06/30/2025", "08:00"};
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(Cell(1, column), first[column]);
    EXPECT_EQ(View.PrescriptionsStringGrid->columnCount(), 8);
    EXPECT_EQ(View.PrescriptionsStringGrid->rowCount(), 21) << "rows beyond 20 are not shown";
    EXPECT_EQ(Cell(20, 1), "Drug20");
    EXPECT_EQ(Cell(0, 7), "Last Given");

    // A row that is not an object is left empty; clearing between cases is tested with the
    // case detail page.
    Load("{PrescriptionsGroupBox:{Details:{PrescriptionsStringGrid:{Line3:{Col1:Aspirin},Line4:\"text\"}}}}");
    EXPECT_EQ(Cell(3, 1), "Aspirin");
    EXPECT_EQ(Cell(3, 2), "");
    EXPECT_EQ(Cell(4, 1), "");
}

TEST_F(HealthDetailView, BackPictureCloses)
{
    // Escape is tested where the pages open the view (CaseDetail, AwardedCase).
    bool shown = false;
    QTimer::singleShot(0,
                       [this, &shown]
                       {
                           shown = View.isVisible();
                           QTest::mouseClick(View.BackButton, Qt::LeftButton);
                       });
    View.exec();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(View.isVisible());
    EXPECT_EQ(View.BackButton->geometry(), QRect(20, 21, 113, 40));
}
