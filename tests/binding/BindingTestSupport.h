// Binding test support: bounded waits for focus, the case detail page's declarations as the main
// window makes them, and a fixture with its own DorvaneServer (fresh demo data) per test.
#pragma once

#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/dbServerConnection.h"
#include "tests/GuiWait.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestDatabase.h"
#include "toolkit/Host.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace binding_test
{
// Shows the window and waits until it is active.
inline bool Activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Lays the widgets out one above the other in the window.
inline void Stack(QWidget &window, std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QVBoxLayout(&window);
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
}

inline bool FocusAndWait(QWidget *widget)
{
    widget->setFocus();
    return WaitUntil([widget] { return widget->hasFocus(); });
}

// Part of the case detail page's controls and declarations, as the main window makes them: joined
// labels, labels computed by the window ("*" codes), extra fields, a memo and two edits.
struct cCaseDetailForm
{
    QWidget Window;
    cEditObjects Binding{nullptr, "CaseNeedsQuote"};

    cCaseDetailForm()
    {
        Binding.AddTable("CaseNeeds", "cn", "f10");
        Binding.AddTable("Cases", "ca", "cn10");
        Binding.AddTable("ProviderEntities", "H", "ca11");
        // Labels by name and code, with the extra fields (no name) where the window adds them.
        const std::pair<const char *, const char *> labels[] = {
            {"CaseNumberLabel", "*5"}, {nullptr, "ca22,ca1"},    {"DateRequiredLabel", "cn14"},
            {"NeedsDescText", "cn15"}, {"HospitalLabel", "H10"}, {"GenderLabel", "*4"},
            {nullptr, "ca30"},         {"HeightLabel", "ca16"}};
        for (const auto &[name, code] : labels)
        {
            if (!name)
            {
                Binding.AddFields(code);
                continue;
            }
            auto *label = new QLabel(code, &Window);
            label->setObjectName(name);
            Binding.AddLabel(label, code, "");
        }
        auto *diagnosis = new QPlainTextEdit("ca1001", &Window);
        diagnosis->setObjectName("DiagnosisMemo");
        Binding.AddMemo(diagnosis, "ca1001", "");
        auto *price = new cLabeledEdit("NeedsQuotePriceEdit", "Price (if relavent) ", &Window);
        auto *comment = new cLabeledEdit("ResponseReasonEdit", "Comments ", &Window);
        price->setText("f13");
        comment->setText("f1001");
        Binding.AddEdit(price, "f13", "");
        Binding.AddEdit(comment, "f1001", "");
    }
};

// Each test gets its own server with fresh demo data, a connection and the database; message
// boxes go to a recording host.
class cServerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Server.Start()) << Server.Error;
        Connection = std::make_unique<dbServerConnection>("127.0.0.1", Server.DataPortText(), "DorvaneClient",
                                                          "", true, 30);
        ASSERT_TRUE(Connection->IsConnectedFlag);
        Db = std::make_unique<cTestDatabase>(Server.DatabasePath());
        ASSERT_TRUE(Db->IsOpen()) << Db->LastError;
    }

    cRecordingHost RecordingHost;
    cScopedHost HostScope{&RecordingHost};
    cServerProcess Server;
    std::unique_ptr<dbServerConnection> Connection;
    std::unique_ptr<cTestDatabase> Db;
};
} // namespace binding_test
