// The " Personnel " page of the " Admin " tab: the provider's personnel as a list over
// cPersonnelModel, and the edit panel that opens a member or adds one, with its save. The panel
// closes whenever the page is shown, after a save and by "X".
#pragma once

#include "workspace/PersonnelItem.h"

#include <QWidget>
#include <array>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QListView;
class QPushButton;
class cLabeledEdit;
class cPersonnelModel;
class cSession;
struct cPersonnelMember;

class cPersonnelPage : public QWidget
{
    Q_OBJECT

public:
    explicit cPersonnelPage(cSession &session, QWidget *parent = nullptr);

    // Reads the provider's personnel (the first 100) into the list.
    void LoadPersonnelList();
    // Closes the edit panel: hidden, "Add a New Member" shown; nothing is written.
    void ClosePersonnelPanel();
    // The member the panel edits (empty while adding) and whether it adds one.
    const std::string &SelectedPersonnelKey() const { return SelectedKey; }
    bool AddingMember() const { return Adding; }

    // Handlers.
    void PersonnelTabShow();
    void PersonnelListBoxClick();
    void AddMemberButtonClick();
    void CancelLabelClick();
    void PersonnelEditSaveButtonClick();

signals:
    // A member was stored.
    void PersonnelSaved();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateList();
    void CreateEditPanel();
    int CreatePanelFields(int top);
    void OpenPersonnelPanel(const char *title, bool adding);
    void ShowMember(const cPersonnelMember &member);
    cPersonnelMember MemberOnPanel() const;
    bool StoredAsShown();

    cSession &Session;
    QListView *PersonnelListBox = nullptr;
    cPersonnelModel *Members = nullptr;
    QPushButton *AddMemberButton = nullptr;
    QFrame *PersonnelEditPanel = nullptr;
    QLabel *PersonnelEditTitle = nullptr;
    // First name, last name, e-mail, SMS e-mail, phone, password.
    std::array<cLabeledEdit *, 6> Edits{};
    // Shows the masked password while ticked.
    QCheckBox *PersonnelPasswordShowCB = nullptr;
    // Admin, notification, primary contact.
    std::array<QCheckBox *, 3> Marks{};
    std::string SelectedKey;
    bool Adding = false;
    // The opened member had a password stored.
    bool HadPassword = false;
    // The opened member as the panel was filled with it.
    cPersonnelMember ShownMember;
};
