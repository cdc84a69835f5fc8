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

// The pack as its start-up builds it, on a test machine: the wizard around the drug-price
// update (or another action), pressed OK as a user does.
class PackDriver
{
public:
    explicit PackDriver(TestMachine& machine) : m_machine(machine) {}
    ~PackDriver() { delete form.data(); }
    PackDriver(const PackDriver&) = delete;
    PackDriver& operator=(const PackDriver&) = delete;

    void pressOk()
    {
        pressOk([](const platform::Services& services) { return std::make_shared<C52407301>(services); });
    }

    void pressOk(const std::function<std::shared_ptr<IAction>(const platform::Services&)>& makeAction)
    {
        m_services = std::make_unique<platform::Services>(m_machine.services());
        form = modUpdatlet::Main(*m_services, makeAction(*m_services));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        auto* ok = form->findChild<QPushButton*>(QStringLiteral("btnOk"));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    }

    QPointer<frmOptionPanel> form;

private:
    TestMachine& m_machine;
    std::unique_ptr<platform::Services> m_services;
};

} // namespace korvane::test
