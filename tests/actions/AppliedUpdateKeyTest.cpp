// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicConnection.h"
#include "Fakes.h"
#include "actions/AppliedUpdateKey.h"
#include "actions/ContextActioner.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

// Every case works on the embedded database, which is not in the Windows build.
#ifndef Q_OS_WIN

using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::test::ClinicConnection;

namespace {

class AppliedUpdateKey : public ::testing::Test
{
protected:
    QList<QVariantList> keys() const
    {
        return clinic.db.rows(QStringLiteral("SELECT pKey, pValue FROM tblTemp ORDER BY rowid"));
    }

    QTemporaryDir dir;
    ClinicConnection clinic{dir.filePath(QStringLiteral("dbKorvane.mdb"))};
};

TEST_F(AppliedUpdateKey, RecordsTheDataFileNameAndStripsTheStamp)
{
    const struct
    {
        QString stamp;
        QString stored;
    } cases[] = {{QStringLiteral("2024年4月"), QStringLiteral("20244.puf")},
                 {QStringLiteral("113年12月"), QStringLiteral("11312.puf")},
                 {QStringLiteral("202404"), QStringLiteral("202404.puf")},
                 {QString(), QStringLiteral(".puf")}};
    for (const auto& c : cases) {
        QString stamp = c.stamp;
        korvane::writeAppliedUpdateKey(clinic.connection, stamp);
        EXPECT_EQ(stamp + QStringLiteral(".puf"), c.stored);
    }
    const auto rows = keys();
    ASSERT_EQ(rows.size(), 4); // every call adds a row of its own
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0].toString(), QStringLiteral("AUTOUPDATE_DRUG_KEY"));
        EXPECT_EQ(rows[i][1].toString(), cases[i].stored);
    }
}

TEST_F(AppliedUpdateKey, FailuresReachTheCaller)
{
    QString stamp = QStringLiteral("2024年4月");
    EXPECT_THROW(korvane::writeAppliedUpdateKey(nullptr, stamp), Error);
    clinic.db.exec(QStringLiteral("DROP TABLE tblTemp"));
    EXPECT_THROW(korvane::writeAppliedUpdateKey(clinic.connection, stamp), Error);
}

const korvane::StepList kNoSteps(0, {});

// An actioner that works on a context's connection, as the deployment actions do.
class ContextUser : public korvane::ContextActioner
{
public:
    ContextUser() : ContextActioner(kNoSteps) {}
    QVariant getDescription() override { return {}; }
    korvane::Outcome action(korvane::IUpdatorView&) override
    {
        writeUpdateKey();
        return korvane::Outcome::Done;
    }
    QString getAppName() override { return {}; }
};

TEST_F(AppliedUpdateKey, AnActionerWritesThroughItsContext)
{
    ContextUser actioner;
    actioner.setUpdateTimeStamp(QStringLiteral("2024年4月"));
    korvane::test::FakeView view;
    EXPECT_THROW(std::ignore = actioner.action(view), Error); // no context yet

    auto context = std::make_shared<korvane::clsContext>();
    EXPECT_EQ(context->getConnection(), nullptr);
    context->setCinnection(clinic.connection);
    actioner.setContext(context);
    EXPECT_EQ(actioner.action(view), korvane::Outcome::Done);
    EXPECT_EQ(actioner.UpdateTimeStamp(), QStringLiteral("20244"));
    EXPECT_EQ(clinic.connection->State(), Connection::adStateOpen); // a context's connection stays open
    EXPECT_EQ(keys().size(), 1);
}

} // namespace
#endif
