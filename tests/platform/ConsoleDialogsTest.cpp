// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/ConsoleDialogs.h"

#include <QByteArray>
#include <cstdio>
#include <gtest/gtest.h>

using korvane::platform::ConsoleDialogs;
using korvane::platform::MessageIcon;

namespace {

class ConsoleDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        out = std::tmpfile();
        in = std::tmpfile();
        err = std::tmpfile();
        ASSERT_TRUE(out && in && err);
    }
    void TearDown() override
    {
        std::fclose(out);
        std::fclose(in);
        std::fclose(err);
    }

    void giveInput(const QByteArray& bytes)
    {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), in);
        std::rewind(in);
    }

    QByteArray output(std::FILE* stream = nullptr)
    {
        if (!stream)
            stream = out;
        std::fflush(stream);
        std::rewind(stream);
        QByteArray bytes;
        char buffer[256];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
            bytes.append(buffer, qsizetype(n));
        return bytes;
    }

    std::FILE* out = nullptr;
    std::FILE* in = nullptr;
    std::FILE* err = nullptr;
};

TEST_F(ConsoleDialogsTest, MessageBoxPrintsTitleAndTextAndCriticalOnesMarkedOnTheErrorStream)
{
    ConsoleDialogs dialogs(out, in, err);
    dialogs.messageBox(MessageIcon::Information, QStringLiteral("藥價更新"),
                       QStringLiteral("第一行\r\n第二行"));
    EXPECT_FALSE(dialogs.criticalShown());
    dialogs.messageBox(MessageIcon::Critical, QStringLiteral("錯誤"),
                       QStringLiteral("更新藥價作業失敗，可能的原因為：\rx"));
    EXPECT_TRUE(dialogs.criticalShown());
    dialogs.messageBox(MessageIcon::Information, QStringLiteral("完成"), QString());
    EXPECT_TRUE(dialogs.criticalShown()) << "stays set once a critical box was shown";

    EXPECT_EQ(QString::fromUtf8(output()), QStringLiteral("[藥價更新]\n第一行\n第二行\n\n[完成]\n\n\n"));
    EXPECT_EQ(QString::fromUtf8(output(err)), QStringLiteral("!! [錯誤]\n更新藥價作業失敗，可能的原因為：\nx\n\n"));
}

TEST_F(ConsoleDialogsTest, InputBoxReadsOneLineUntilTheInputEnds)
{
    giveInput("TP-3150\r\n\xE5\x8A\x9F\nlast");
    ConsoleDialogs dialogs(out, in);
    EXPECT_EQ(dialogs.inputBox(QStringLiteral("請輸入印表機型號"), QStringLiteral("藥袋印表機")), "TP-3150");
    EXPECT_EQ(dialogs.inputBox("p", "t"), QStringLiteral("功"));
    EXPECT_EQ(dialogs.inputBox("p", "t"), "last");
    EXPECT_EQ(dialogs.inputBox("p", "t"), QString());
    EXPECT_TRUE(QString::fromUtf8(output()).startsWith(QStringLiteral("[藥袋印表機]\n請輸入印表機型號\n> ")));
}

TEST_F(ConsoleDialogsTest, UnattendedInputBoxesTakeTheGivenAnswersAndNeverWaitForMore)
{
    giveInput("typed\n");
    ConsoleDialogs dialogs(out, in);
    dialogs.answerFrom({QStringLiteral(" 1 ")});
    EXPECT_EQ(dialogs.inputBox("p", "t"), QStringLiteral(" 1 "));
    // None left, and the input is no terminal: cancelled without reading it.
    EXPECT_EQ(dialogs.inputBox("p", "t"), QString());
    EXPECT_EQ(std::fgetc(in), 't');
    EXPECT_EQ(
        QString::fromUtf8(output()),
        QStringLiteral("[t]\np\n>  1 \n[t]\np\n> \n（沒有以 --answer 給回答，也沒有終端機可以詢問：視為取消）\n"));
}

TEST_F(ConsoleDialogsTest, QuestionIsAnsweredWithItsDefaultWithoutReadingInput)
{
    giveInput("是\n");
    ConsoleDialogs dialogs(out, in);
    EXPECT_FALSE(dialogs.question(QStringLiteral("藥價更新"), QStringLiteral("要套用嗎？")));
    EXPECT_TRUE(dialogs.question("t", "q", true));
    EXPECT_EQ(dialogs.inputBox("p", "t"), QStringLiteral("是")) << "the input is left for what asks for it";
    EXPECT_TRUE(QString::fromUtf8(output()).startsWith(
        QStringLiteral("?? [藥價更新]\n要套用嗎？\n> 否（預設的回答）\n\n?? [t]\nq\n> 是（預設的回答）\n\n")));
}

} // namespace
