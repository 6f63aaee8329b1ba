// Binding test support: bounded waits for focus, the case detail page's declarations as the main
// window makes them, and a fixture with its own DorvaneServer (fresh demo data) per test.
#pragma once

#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/dbServerConnection.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestDatabase.h"
#include "toolkit/Host.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace binding_test
{
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition())
    {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Shows the window and waits until it is active.
inline bool Activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

inline bool FocusAndWait(QWidget *widget)
{
    widget->setFocus();
    return WaitUntil([widget] { return widget->hasFocus(); });
}

// The case detail page's controls and declarations, as the main window makes them.
struct cCaseDetailForm
{
    QWidget Window;
    cEditObjects Binding{nullptr, "CaseNeedsQuote"};

    QLabel *Label(const char *name, const char *code)
    {
        auto *label = new QLabel(code, &Window);
        label->setObjectName(name);
        Binding.AddLabel(label, code, "");
        return label;
    }

    void Memo(const char *name, const char *code)
    {
        auto *memo = new QPlainTextEdit(code, &Window);
        memo->setObjectName(name);
        Binding.AddMemo(memo, code, "");
    }

    cCaseDetailForm()
    {
        Binding.AddTable("CaseNeeds", "cn", "f10");
        Binding.AddTable("Cases", "ca", "cn10");
        Binding.AddTable("ProviderEntities", "H", "ca11");
        Binding.AddTable("Patients", "pa", "ca10");
        Binding.AddTable("Personnel", "pe", "ca23");
        Binding.AddTable("ProviderTypes", "pt", "cn11");
        Binding.AddTable("ProviderCategories", "pc", "cn12");
        Binding.AddTable("ProviderCategoryDetails", "pd", "cn13");
        Label("CaseNumberLabel", "*5");
        Binding.AddFields("ca22,ca1");
        Label("DateRequiredLabel", "cn14");
        Label("NeedsDescText", "cn15");
        Label("NeedsLabel", "*1");
        Binding.AddFields("pt10,pc12,pd11");
        Label("HospitalLabel", "H10");
        Label("DischargeNurseLabel", "*2");
        Binding.AddFields("pe11,pe13");
        Label("AgeLabel", "*3");
        Binding.AddFields("pa13,pa14");
        Label("GenderLabel", "*4");
        Binding.AddFields("ca30");
        Label("HeightLabel", "ca16");
        Label("WeightLabel", "ca17");
        Memo("DiagnosisMemo", "ca1001");
        Memo("HealthDetailsMemo", "ca1002");
        auto *price = new cLabeledEdit("NeedsQuotePriceEdit", "Price (if relavent) ", &Window);
        price->setText("f13");
        Binding.AddEdit(price, "f13", "");
        auto *comment = new cLabeledEdit("ResponseReasonEdit", "Comments ", &Window);
        comment->setText("f1001");
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
