// Dialog in which the provider ticks the categories of service that it offers. Each category is
// a check box named "S" and its number; a ticked box is one "ProviderCategoryLink" record tying
// the provider to the category. Every showing loads the provider's links and ticks their boxes;
// Save adds a link for each newly ticked box and deletes the link of each newly cleared one.
#pragma once

#include "dataclient/LinkSource.h"
#include "toolkit/StringList.h"

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStyle;
class cClickLabel;
class cFrameShape;
class dbServerConnection;

class TCategorySelectionForm : public QDialog
{
    Q_OBJECT

public:
    explicit TCategorySelectionForm(QWidget *parent = nullptr);
    ~TCategorySelectionForm() override;

    // The inputs of the next showing: the provider's key (owner of the links), the two values of
    // its zip code record (written as "f13" and "f14" of new links) and where requests go (the
    // connection it answers at each use).
    void Prepare(const std::string &providerKey, const std::string &zipValue1, const std::string &zipValue2,
                 cLinkSource connection);
    const std::string &ProviderKey() const { return Provider; }
    const std::string &ZipValue1() const { return Zip1; }
    const std::string &ZipValue2() const { return Zip2; }
    dbServerConnection *Connection() const { return Link ? Link() : nullptr; }

    // Handlers.
    void FormActivate();
    void SaveButtonClick();
    void ExitLabelClick();
    // Enter and Escape close without saving; true when the key was consumed.
    bool FormKeyPress(int key);

    // A registered box: its tick state at the last load and the key of its link record.
    struct cCheckBoxItem
    {
        bool LoadedChecked = false;
        QCheckBox *CheckBox = nullptr;
        std::string LinkKey;
    };
    // The item of a category ("140", "139_1"), or null when no box is registered for it.
    cCheckBoxItem *Item(const std::string &category) const;
    int ItemCount() const { return Items.Count(); }

    // The blue frame inside the window's edge.
    cFrameShape *FrameShape = nullptr;
    cClickLabel *ExitLabel = nullptr;
    QPushButton *SaveButton = nullptr;
    QScrollArea *DmeOtherScrollBox = nullptr;
    // Shown while the last load failed; Save is disabled then, so that links already stored are
    // not added a second time.
    QLabel *LoadNoticeLabel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void CreateSections();
    QCheckBox *CreateBox(const char *name, const char *caption, QWidget *parent, int left, int top,
                         int width);
    void Register(QCheckBox *box);
    cCheckBoxItem *ItemAt(int index) const;

    std::string Provider;
    std::string Zip1;
    std::string Zip2;
    cLinkSource Link;
    // The look of the boxes (owned by the window).
    QStyle *CaptionStyle = nullptr;
    // Category key -> item, sorted by key (letter case ignored).
    cStringList Items;
    std::vector<std::unique_ptr<cCheckBoxItem>> ItemStore;
};
