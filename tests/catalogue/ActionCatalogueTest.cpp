// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "catalogue/ActionCatalogue.h"

#include "TestServices.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using korvane::ActionCatalogue;
using korvane::ActionEntry;

namespace {

// Where the build puts the pack of an entry: beside the others, or in a folder named after the
// action where several actions share the executable's name.
QString packPath(const ActionEntry& entry)
{
    const auto all = ActionCatalogue::entries();
    const bool shared = std::count_if(all.begin(), all.end(), [&](const ActionEntry& other) {
                            return other.packExecutable == entry.packExecutable;
                        }) > 1;
    return QStringLiteral(KORVANE_PACK_DIR "/") + (shared ? entry.name + u'/' : QString()) +
           entry.packExecutable;
}

TEST(ActionCatalogue, EveryActionIsMadeByItsFactoryAndBuiltIntoItsPack)
{
    korvane::test::TestMachine machine;
    QSet<QString> names;
    for (const ActionEntry& entry : ActionCatalogue::entries()) {
        SCOPED_TRACE(entry.name.toStdString());
        EXPECT_FALSE(names.contains(entry.name));
        names.insert(entry.name);
        EXPECT_EQ(ActionCatalogue::find(entry.name), &entry);

        const auto action = entry.create(machine.services());
        ASSERT_NE(action, nullptr);
        // The executable an action removes after its run is the one its pack was built as; the
        // start-up, the two program-file packs and the undo (run again, it redoes) stay.
        const bool stays = QStringList{"ActionImpl", "CDrugDeployActioner", "CExeUpdateActioner", "CDrugPriceUndoActioner"}
                               .contains(entry.name);
        EXPECT_EQ(action->getAppName(), stays ? QString() : entry.packExecutable);
        EXPECT_TRUE(QFileInfo(packPath(entry)).isExecutable()) << packPath(entry).toStdString();
        // Windows shows the pack's version as its description shows it, or none of its own.
        const QRegularExpressionMatch serial =
            QRegularExpression(QStringLiteral("序號 v([0-9]+(\\.[0-9]+){3})$")).match(action->getDescription().toString());
        EXPECT_EQ(entry.fileVersion, serial.captured(1));
        EXPECT_FALSE(entry.fileDescription.isEmpty());
    }
    EXPECT_NE(ActionCatalogue::find(ActionCatalogue::DefaultAction), nullptr);
    EXPECT_EQ(ActionCatalogue::find(u"c52407301"), nullptr);
}

} // namespace
