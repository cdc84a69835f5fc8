// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"
#include "TestServices.h"
#include "drugbag/C524011002.h"
#include "drugbag/C524011003.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using korvane::C524011002;
using korvane::C524011003;
using korvane::platform::MessageIcon;
using korvane::test::ClinicDatabase;
using korvane::test::FakeView;
using korvane::test::TestMachine;

namespace {

const QString kAllColumns =
    QStringLiteral("藥品代碼, 英文品名, 中文品名, 成分名稱, 廠商名稱, 藥品外觀, 適應症, 其他用藥指示, "
                   "副作用, 孕婦等級, 藥品警語");

class DrugBagActions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(machine.installFolder()).mkpath(QStringLiteral("tools")));
        profile = std::make_unique<ClinicDatabase>(
            ClinicDatabase::create(machine.installFile(QStringLiteral("tools/dbDrugProfile.mdb")),
                                   QStringLiteral("drug-profile-sqlite.sql")));
    }

    void addProfile(const QVariant& code, const QVariant& name, const QVariant& indications,
                    const QVariant& form) const
    {
        profile->exec(
            QStringLiteral("INSERT INTO tDrugInfoFromNhi (健保碼, 中文名, 適應症, 劑型) VALUES (?, ?, ?, ?)"),
            {code, name, indications, form});
    }

    void addLabel(const QVariantList& values) const
    {
        profile->exec(QStringLiteral("INSERT INTO tblDrugBag (") + kAllColumns +
                          QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      values);
    }

    // The labels as text, nulls marked, in code order; all of them, or those of one code.
    QStringList labels(const QString& code = QString()) const
    {
        QStringList all;
        const QString where = code.isEmpty() ? QString() : QStringLiteral(" WHERE 藥品代碼 = '%1'").arg(code);
        for (const auto& row :
             profile->rows(QStringLiteral("SELECT ") + kAllColumns + QStringLiteral(" FROM tblDrugBag") +
                           where + QStringLiteral(" ORDER BY 藥品代碼"))) {
            QStringList fields;
            for (const QVariant& value : row)
                fields << (value.isNull() ? QStringLiteral("<null>") : value.toString());
            all << fields.join(u'|');
        }
        return all;
    }

    template <typename Action> std::unique_ptr<Action> run()
    {
        auto action = std::make_unique<Action>(machine.services());
        action->action(view);
        return action;
    }

    void expectFailedRunKept(korvane::IAction& action, const QStringList& before, const QString& cause)
    {
        EXPECT_EQ(labels(), before);
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        const auto& shown = machine.dialogs.messages.front();
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        EXPECT_EQ(shown.title, QStringLiteral("錯誤"));
        EXPECT_TRUE(shown.text.startsWith(QStringLiteral("更新藥袋資訊作業失敗，可能的原因為：\r\n")))
            << qPrintable(shown.text);
        EXPECT_TRUE(shown.text.contains(cause)) << qPrintable(shown.text);
        EXPECT_EQ(action.getAppName(), QString()); // the pack stays for another try
    }

    TestMachine machine;
    FakeView view;
    std::unique_ptr<ClinicDatabase> profile;
};

TEST_F(DrugBagActions, TheProfileFillsTheLabelsAndTheRunShowsItsProgress)
{
    const QString longText = QStringLiteral("  ") + QString(300, u'痛') + u' ';
    // New, with blanks around its code in the scan; the name loses its "#", "?" and "'".
    addProfile(QStringLiteral(" AC12345100 "), QStringLiteral("\"永信\"#安?心'錠"), longText,
               QStringLiteral("錠劑"));
    profile->exec(QStringLiteral("DROP VIEW tDrugInfoFronNhi"));
    profile->exec(QStringLiteral("CREATE TABLE tDrugInfoFronNhi (健保碼 TEXT)"));
    profile->exec(QStringLiteral("UPDATE tDrugInfoFromNhi SET 健保碼 = 'AC12345100'"));
    addProfile(QStringLiteral("BC00000100"), QStringLiteral("新名"), QStringLiteral("頭痛。"),
               QStringLiteral("膠囊劑"));
    addProfile(QStringLiteral("BC00000200"), QVariant(), QStringLiteral("胃痛。"), QVariant());
    addProfile(QStringLiteral("A'00000300"), QStringLiteral("引號"), QVariant(), QStringLiteral("錠劑"));
    for (const QVariant& code :
         {QVariant(QStringLiteral(" AC12345100 ")), QVariant(QStringLiteral("BC00000100")), QVariant(),
          QVariant(QStringLiteral("BC00000200")), QVariant(QStringLiteral("A'00000300")),
          QVariant(QStringLiteral("NO00000100")), QVariant(QStringLiteral("NO00000200")),
          QVariant(QStringLiteral("BC00000100"))})
        profile->exec(QStringLiteral("INSERT INTO tDrugInfoFronNhi VALUES (?)"), {code});
    // Blank indications are filled, an appearance is kept, a name is replaced; a label without a
    // profile row or without a profile name keeps its texts.
    addLabel({QStringLiteral("BC00000100"), QStringLiteral("EN"), QStringLiteral("舊名"),
              QStringLiteral("成分"), QStringLiteral("廠"), QStringLiteral("白色"), QStringLiteral("   "),
              QStringLiteral("飯後"), QStringLiteral("嗜睡"), QStringLiteral("B"), QStringLiteral("警語")});
    addLabel({QStringLiteral("BC00000200"), QVariant(), QStringLiteral("原名"), QVariant(), QVariant(),
              QVariant(), QStringLiteral("原有適應症"), QVariant(), QVariant(), QVariant(), QVariant()});
    addLabel({QStringLiteral("NO00000200"), QVariant(), QStringLiteral("不動"), QVariant(), QVariant(),
              QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});

    const auto action = run<C524011003>();

    EXPECT_TRUE(machine.dialogs.messages.empty());
    EXPECT_EQ(
        labels(),
        (QStringList{
            QStringLiteral("A'00000300||引號|||錠劑|<null>||||"),
            QStringLiteral("AC12345100||\"永信\"安心錠|||錠劑|") + QString(250, u'痛') +
                QStringLiteral("||||"),
            QStringLiteral("BC00000100|EN|新名|成分|廠|白色|頭痛。|飯後|嗜睡|B|警語"),
            QStringLiteral(
                "BC00000200|<null>|原名|<null>|<null>|<null>|原有適應症|<null>|<null>|<null>|<null>"),
            QStringLiteral("NO00000200|<null>|不動|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>"),
        }));
    // Eight scan rows: the bar at 0, 12.5 (halves to even), 25, ... then 100; the text rounds halves up.
    EXPECT_EQ(view.progress, (std::vector<qint16>{0, 12, 25, 38, 50, 62, 75, 88, 100}));
    ASSERT_EQ(view.messages.size(), 10);
    EXPECT_EQ(view.messages.at(0), action->getMessageString(1).toString());
    EXPECT_EQ(view.messages.at(1), QStringLiteral("目前處理: / 8.....%"));
    EXPECT_EQ(view.messages.at(2), QStringLiteral("目前處理:1 / 8.....13%"));
    EXPECT_EQ(view.messages.at(8), QStringLiteral("目前處理:7 / 8.....88%"));
    EXPECT_EQ(view.messages.at(9), action->getMessageString(2).toString());
    EXPECT_EQ(action->getAppName(), QStringLiteral("UP52401101.exe"));

    // Run again: nothing new to add, nothing changes.
    const QStringList after = labels();
    run<C524011003>();
    EXPECT_EQ(labels(), after);
}

TEST_F(DrugBagActions, ProgressOfFourRowsAndOfAnEmptyProfile)
{
    EXPECT_EQ(C524011003::progressText(0, 4), QStringLiteral("目前處理: / 4.....%"));
    EXPECT_EQ(C524011003::progressText(3, 4), QStringLiteral("目前處理:3 / 4.....75%"));
    EXPECT_EQ(C524011003::progressValue(3, 4), 75);

    run<C524011003>();
    EXPECT_EQ(view.progress, (std::vector<qint16>{100}));
    EXPECT_EQ(view.messages, (QStringList{C524011003(machine.services()).getMessageString(2).toString()}));
    EXPECT_TRUE(machine.dialogs.messages.empty());
}

TEST_F(DrugBagActions, AFailureInTheMiddleLeavesTheLabelsAsTheyWere)
{
    for (int i = 1; i <= 4; ++i)
        addProfile(QStringLiteral("BC0000%1").arg(i, 2, 10, QLatin1Char('0')) + QStringLiteral("00"),
                   QStringLiteral("名%1").arg(i), QStringLiteral("適應症"), QStringLiteral("錠劑"));
    addLabel({QStringLiteral("BC00000100"), QVariant(), QStringLiteral("舊"), QVariant(), QVariant(),
              QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    profile->exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblDrugBag WHEN NEW.藥品代碼 = 'BC00000300' "
                       "BEGIN SELECT RAISE(ABORT, '標籤被拒絕'); END"));
    const QStringList before = labels();

    const auto action = run<C524011003>();
    expectFailedRunKept(*action, before, QStringLiteral("標籤被拒絕"));
}

TEST_F(DrugBagActions, ChecksBeforeARun)
{
    // Run from inside the installation: nothing at all.
    machine.settings.setInstallationFolder(machine.packFolder());
    auto action = run<C524011003>();
    EXPECT_TRUE(machine.dialogs.messages.empty());
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(action->getAppName(), QStringLiteral("UP52401101.exe"));

    // No drug-bag printing module: told so, and the database is never made.
    machine.settings.setInstallationFolder(machine.installFolder());
    profile.reset();
    ASSERT_TRUE(QFile::remove(machine.installFile(QStringLiteral("tools/dbDrugProfile.mdb"))));
    EXPECT_EQ(run<C524011003>()->getAppName(), QString()); // the pack stays for when it is installed
    EXPECT_EQ(run<C524011002>()->getAppName(), QString());
    ASSERT_EQ(machine.dialogs.messages.size(), 2u);
    for (const auto& shown : machine.dialogs.messages) {
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        EXPECT_EQ(shown.title, QStringLiteral("安裝失敗"));
        EXPECT_EQ(shown.text, QStringLiteral("沒有安裝Zan科技藥袋列印模組，請上公司網站下載"));
    }
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(machine.installFile(QStringLiteral("tools/dbDrugProfile.mdb"))));
}

class AcDrugs : public DrugBagActions
{
protected:
    void SetUp() override
    {
        DrugBagActions::SetUp();
        clinic = std::make_unique<ClinicDatabase>(
            ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
    }
    void addDrugs(const QStringList& codes) const
    {
        for (const QString& code : codes)
            clinic->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES (?)"), {code});
    }
    void addA0(const QString& code, const QVariant& indications) const
    {
        addLabel({code, QStringLiteral("EN ") + code, QStringLiteral("A0名"), QStringLiteral("成分"),
                  QStringLiteral("廠"), QStringLiteral("白色"), indications, QStringLiteral("飯後"),
                  QStringLiteral("嗜睡"), QStringLiteral("C"), QStringLiteral("警語")});
    }

    std::unique_ptr<ClinicDatabase> clinic;
};

TEST_F(AcDrugs, ACLabelsTakeTheTextsOfTheirA0CounterpartsAndKeepTheirOwnNames)
{
    addDrugs({QStringLiteral("AC12345100"), QStringLiteral("AC22222200  "), QStringLiteral("AC33333300"),
              QStringLiteral("AC44444400"), QStringLiteral("BC12345100"), QStringLiteral("AC55555500")});
    addA0(QStringLiteral("A012345100"), QStringLiteral("A0適應症"));
    addLabel({QStringLiteral("AC12345100"), QStringLiteral("舊"), QStringLiteral("自己的名"),
              QStringLiteral("舊"), QStringLiteral("舊"), QStringLiteral("舊"),
              QStringLiteral("自己的適應症"), QStringLiteral("舊"), QStringLiteral("舊"), QStringLiteral("A"),
              QStringLiteral("舊")});
    addA0(QStringLiteral("A0222200  "),
          QStringLiteral("空白碼適應症")); // the stored code's last eight, blanks and all
    addA0(QStringLiteral("A044444400"), QVariant());
    addLabel({QStringLiteral("AC44444400"), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
              QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    addA0(QStringLiteral("A055555500"), QStringLiteral("五"));

    const auto action = run<C524011002>();

    EXPECT_TRUE(machine.dialogs.messages.empty());
    EXPECT_EQ(labels(QStringLiteral("AC12345100")).value(0),
              QStringLiteral("AC12345100|EN A012345100|自己的名|成分|廠|白色|自己的適應症|飯後|嗜睡|C|警語"));
    EXPECT_EQ(labels(QStringLiteral("AC22222200")).value(0),
              QStringLiteral("AC22222200|EN A0222200  ||成分|廠|白色|空白碼適應症|飯後|嗜睡|C|警語"));
    EXPECT_TRUE(labels(QStringLiteral("AC33333300")).isEmpty());
    // Its own name and indications were null, and so were the counterpart's indications.
    EXPECT_EQ(labels(QStringLiteral("AC44444400")).value(0),
              QStringLiteral("AC44444400|EN A044444400|<null>|成分|廠|白色|<null>|飯後|嗜睡|C|警語"));
    EXPECT_EQ(labels(QStringLiteral("AC55555500")).value(0),
              QStringLiteral("AC55555500|EN A055555500||成分|廠|白色|五|飯後|嗜睡|C|警語"));
    EXPECT_EQ(labels().size(), 8);
    EXPECT_EQ(view.progress, (std::vector<qint16>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(view.messages.at(2), QStringLiteral("目前處理:1 / 5.....20%"));
    EXPECT_EQ(action->getAppName(), QStringLiteral("UP52401101.exe"));
    EXPECT_EQ(clinic->count(QStringLiteral("tblDrugs")), 6); // only read
}

TEST_F(AcDrugs, AFailureInTheMiddleOrAMissingClinicDatabaseLeavesTheLabelsAsTheyWere)
{
    addDrugs({QStringLiteral("AC00000100"), QStringLiteral("AC00000200"), QStringLiteral("AC00000300")});
    for (const char* code : {"A000000100", "A000000200", "A000000300"})
        addA0(QString::fromLatin1(code), QStringLiteral("適應症"));
    profile->exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblDrugBag WHEN NEW.藥品代碼 = 'AC00000300' "
                       "BEGIN SELECT RAISE(ABORT, '標籤被拒絕'); END"));
    const QStringList before = labels();
    auto action = run<C524011002>();
    expectFailedRunKept(*action, before, QStringLiteral("標籤被拒絕"));

    machine.dialogs.messages.clear();
    clinic.reset();
    ASSERT_TRUE(QFile::remove(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
    action = run<C524011002>();
    expectFailedRunKept(*action, before, QStringLiteral("dbKorvane.mdb"));
    EXPECT_FALSE(QFile::exists(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
}

} // namespace
