// Test support shared by the binding tests: a bounded wait and the case detail page's
// declarations as the main window makes them.
#pragma once

#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>
#include <functional>

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

// The case detail page's controls and declarations, as the main window makes them.
struct cCaseDetailForm
{
    QWidget Window;
    cEditObjects Binding{nullptr, "CaseNeedsQuote"};

    QLabel *Label(const char *name, const char *placeholder)
    {
        auto *label = new QLabel(placeholder, &Window);
        label->setObjectName(name);
        return label;
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
        Binding.AddLabel(Label("CaseNumberLabel", "*5"), "*5", "");
        Binding.AddFields("ca22,ca1");
        Binding.AddLabel(Label("DateRequiredLabel", "cn14"), "cn14", "");
        Binding.AddLabel(Label("NeedsDescText", "cn15"), "cn15", "");
        Binding.AddLabel(Label("NeedsLabel", "*1"), "*1", "");
        Binding.AddFields("pt10,pc12,pd11");
        Binding.AddLabel(Label("HospitalLabel", "H10"), "H10", "");
        Binding.AddLabel(Label("DischargeNurseLabel", "*2"), "*2", "");
        Binding.AddFields("pe11,pe13");
        Binding.AddLabel(Label("AgeLabel", "*3"), "*3", "");
        Binding.AddFields("pa13,pa14");
        Binding.AddLabel(Label("GenderLabel", "*4"), "*4", "");
        Binding.AddFields("ca30");
        Binding.AddLabel(Label("HeightLabel", "ca16"), "ca16", "");
        Binding.AddLabel(Label("WeightLabel", "ca17"), "ca17", "");
        auto *diagnosis = new QPlainTextEdit("ca1001", &Window);
        diagnosis->setObjectName("DiagnosisMemo");
        Binding.AddMemo(diagnosis, "ca1001", "");
        auto *health = new QPlainTextEdit("ca1002", &Window);
        health->setObjectName("HealthDetailsMemo");
        Binding.AddMemo(health, "ca1002", "");
        auto *price = new cLabeledEdit("NeedsQuotePriceEdit", "Price (if relavent) ", &Window);
        price->setText("f13");
        Binding.AddEdit(price, "f13", "");
        auto *comment = new cLabeledEdit("ResponseReasonEdit", "Comments ", &Window);
        comment->setText("f1001");
        Binding.AddEdit(comment, "f1001", "");
    }
};
} // namespace binding_test
