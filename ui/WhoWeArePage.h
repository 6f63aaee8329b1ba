// The " Who We Are " page of the " Admin " tab: the provider's company data, each edit bound by
// position to a line of the provider's record, saved as one record update followed by the server
// command that recomputes the provider's position from its zip code; and "What We Do", which
// opens the category selection dialog.
#pragma once

#include <QWidget>
#include <array>
#include <string>

class QPushButton;
class cLabeledEdit;
class cSession;
class cStringList;

class cWhoWeArePage : public QWidget
{
    Q_OBJECT

public:
    explicit cWhoWeArePage(cSession &session, QWidget *parent = nullptr);

    // Fills the edits from the provider's record and disables "Save Changes".
    void ShowMyInformation();

    // Handlers.
    void MyInfoEditChange();
    void MyInformationUpdateButtonClick();
    void WhatWeDoButtonClick();

signals:
    // The provider's record was read again after a save.
    void ProviderRecordChanged();

private:
    bool SaveCompanyData();
    bool StoredAsShown();
    bool EditsChanged() const;
    // The fields of a provider record that the edits show, in their order.
    static std::array<std::string, 12> ShownFields(const cStringList &record);
    void UpdateProviderPosition();
    std::string ProviderKey() const;

    cSession &Session;
    // The edits in the order of the table in the source file.
    std::array<cLabeledEdit *, 12> Edits{};
    // What the edits were filled with (the stored record as the page last read it).
    std::array<std::string, 12> Shown{};
    QPushButton *MyInformationUpdateButton = nullptr;
    QPushButton *WhatWeDoButton = nullptr;
};
