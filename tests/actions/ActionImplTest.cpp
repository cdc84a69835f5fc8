// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "actions/ActionImpl.h"

#include "ClinicDatabase.h"
#include "TestServices.h"
#include "platform/Paths.h"
#include "platform/database/Connection.h"

#include <gtest/gtest.h>

using korvane::ActionImpl;
using korvane::test::ClinicDatabase;
using korvane::test::FakeView;
using korvane::test::TestMachine;

namespace {

// The wrapped actioner, as far as the start-up action can see it.
class ProbeActioner : public korvane::ContextActioner
{
public:
    explicit ProbeActioner(bool failing)
        : ContextActioner(korvane::StepList::of(u"CKorvaneUpdateActioner")), fails(failing)
    {
    }
    void action(korvane::IUpdatorView&) override
    {
        ++runs;
        const auto connection = getContextConnection();
        connectionWasOpen = connection && connection->State() == korvane::platform::Connection::adStateOpen;
        ivLastRunFailed = fails;
    }
    QVariant getDescription() override { return {}; }
    QString getAppName() override { return QStringLiteral("UP47120901.exe"); }

    bool fails;
    int runs = 0;
    bool connectionWasOpen = false;
};

class StartUpAction : public ::testing::Test
{
protected:
    void run(bool actionerFails = false)
    {
        ActionImpl action(machine.services(), [this, actionerFails] {
            actioner = std::make_shared<ProbeActioner>(actionerFails);
            return actioner;
        });
        EXPECT_EQ(action.getAppName(), QString());
        EXPECT_EQ(action.getDescription().toString(), QStringLiteral("更新程序啟動"));
        action.action(view);
    }

    TestMachine machine;
    FakeView view;
    std::shared_ptr<ProbeActioner> actioner;
};

TEST_F(StartUpAction, RunsTheUpdateOnAnOpenClinicConnectionAndCompletesOnlyAfterSuccess)
{
    ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb")));
    EXPECT_EQ(ActionImpl::connectionText(QStringLiteral("C:\\Korvane")),
              QStringLiteral("Provider=Microsoft.Jet.OleDb.4.0;data source=C:\\Korvane") +
                  korvane::platform::joinPath({}, QStringLiteral("\\dbKorvane.mdb")));

    run();
    ASSERT_NE(actioner, nullptr);
    EXPECT_EQ(actioner->runs, 1);
    EXPECT_TRUE(actioner->connectionWasOpen);
    EXPECT_EQ(view.completedCalls, 1);
    EXPECT_TRUE(machine.dialogs.messages.empty());

    // The wrapped update told the user of its failure: no completion display after it.
    run(true);
    EXPECT_EQ(actioner->runs, 1);
    EXPECT_EQ(view.completedCalls, 1);
}

TEST_F(StartUpAction, StopsWithAMessageBeforeTheUpdateWithoutDatabaseOrInstallation)
{
    run();
    EXPECT_EQ(actioner, nullptr);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_EQ(machine.dialogs.messages[0].icon, korvane::platform::MessageIcon::Critical);
    EXPECT_TRUE(machine.dialogs.messages[0].text.startsWith(QStringLiteral("無法開啟 Korvane 的資料庫")));
    EXPECT_TRUE(
        machine.dialogs.messages[0].text.contains(machine.installFile(QStringLiteral("dbKorvane.mdb"))))
        << qPrintable(machine.dialogs.messages[0].text);

    machine.settings.setInstallationFolder(QString());
    run();
    EXPECT_EQ(actioner, nullptr);
    ASSERT_EQ(machine.dialogs.messages.size(), 2u);
    EXPECT_TRUE(machine.dialogs.messages[1].text.startsWith(QStringLiteral("找不到 Korvane 的安裝位置")));
    EXPECT_EQ(view.completedCalls, 0);
}

} // namespace
