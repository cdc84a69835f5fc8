// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

// For tests that link the wizard and the drug-price update (korvane_shell, korvane_pricing).

#include "TestServices.h"
#include "pricing/C52407301.h"
#include "shell/frmOptionPanel.h"
#include "shell/modUpdatlet.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace korvane::test {

// The pack as its start-up builds it, on a test machine: the wizard around its action (the
// drug-price update unless another maker is given), pressed OK as a user does.
class PackDriver
{
public:
    using ActionMaker = std::function<std::shared_ptr<IAction>(const platform::Services&)>;

    explicit PackDriver(TestMachine& machine, ActionMaker makeAction = makeDrugPriceUpdate)
        : m_machine(machine), m_makeAction(std::move(makeAction))
    {
    }
    ~PackDriver() { delete form.data(); }
    PackDriver(const PackDriver&) = delete;
    PackDriver& operator=(const PackDriver&) = delete;

    void pressOk() { pressOk(m_machine.services()); }
    // On the machine's files and settings with other services (the real dialogs, say).
    void pressOk(const platform::Services& services)
    {
        m_services = std::make_unique<platform::Services>(services);
        form = modUpdatlet::Main(*m_services, m_makeAction(*m_services));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        auto* ok = form->findChild<QPushButton*>(QStringLiteral("btnOk"));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    }

    QPointer<frmOptionPanel> form;

private:
    static std::shared_ptr<IAction> makeDrugPriceUpdate(const platform::Services& services)
    {
        auto action = std::make_shared<C52407301>(services);
        action->setPackName(QStringLiteral("UP52407301.exe"));
        return action;
    }

    TestMachine& m_machine;
    ActionMaker m_makeAction;
    std::unique_ptr<platform::Services> m_services;
};

} // namespace korvane::test
