// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/QtTranslation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// Built into the program: it takes effect on a machine without Qt's translations, through the
// static library that carries it, in this test as in every program.
TEST(QtTranslation, QtsOwnTextsComeInTraditionalChinese)
{
    ASSERT_TRUE(korvane::platform::loadQtTranslation());
    QCommandLineParser parser;
    EXPECT_FALSE(parser.parse({QStringLiteral("program"), QStringLiteral("--bogus")}));
    EXPECT_EQ(parser.errorText(), QStringLiteral("未知選項「bogus」。"));
    EXPECT_EQ(QCoreApplication::translate("QSQLiteResult", "Unable to fetch row"), QStringLiteral("無法抓取列"));
}

} // namespace
