// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ConsoleView.h"

#include "platform/Conversions.h"
#include "platform/Error.h"

namespace korvane {

namespace {
constexpr qint64 kShowEveryMs = 250;
}

ConsoleView::ConsoleView(const platform::Clock& clock, platform::Dialogs& dialogs, std::FILE* out)
    : ivClock(clock), ivDialogs(dialogs), ivOut(out)
{
}

void ConsoleView::messageBox(platform::MessageIcon icon, const QString& title, const QString& text)
{
    flush();
    ivDialogs.messageBox(icon, title, text);
}

QString ConsoleView::inputBox(const QString& prompt, const QString& title)
{
    flush();
    return ivDialogs.inputBox(prompt, title);
}

bool ConsoleView::question(const QString& title, const QString& text, bool defaultYes)
{
    flush();
    return ivDialogs.question(title, text, defaultYes);
}

void ConsoleView::write(const QString& text)
{
    QString lines = platform::withLineFeeds(text);
    if (!lines.endsWith(u'\n'))
        lines += u'\n';
    const QByteArray utf8 = lines.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), ivOut);
    std::fflush(ivOut);
}

void ConsoleView::start()
{
    write(QStringLiteral("開始時間：") + ivClock.timeText());
    ivSinceShown.start();
    ivSinceStart.start();
}

void ConsoleView::finish()
{
    flush();
    const qint64 ms = ivSinceStart.isValid() ? ivSinceStart.elapsed() : 0;
    write(QStringLiteral("完成時間：") + ivClock.timeText() + QStringLiteral("（歷時 ") +
          QString::number(double(ms) / 1000.0, 'f', 3) + QStringLiteral(" 秒）"));
}

void ConsoleView::cancel()
{
    flush();
    write(QStringLiteral("更新作業已取消：") + ivClock.timeText());
}

void ConsoleView::flush()
{
    if (ivMessage != ivShownMessage) {
        write(ivMessage);
        ivShownMessage = ivMessage;
    }
    if (ivProgress != ivShownProgress) {
        write(QStringLiteral("進度：") + QString::number(ivProgress) + u'%');
        ivShownProgress = ivProgress;
    }
    ivSinceShown.start();
}

void ConsoleView::setMessgaeValue(const QString& p_value)
{
    ivMessage = p_value;
    if (!ivSinceShown.isValid() || ivSinceShown.elapsed() >= kShowEveryMs)
        flush();
}

void ConsoleView::setProgressBarValue(qint16 p_value)
{
    if (p_value < 0 || p_value > 100)
        throw platform::Error(QStringLiteral("無效的屬性值：") + QString::number(p_value),
                              platform::Error::Kind::OutOfRange);
    ivProgress = p_value;
    if (!ivSinceShown.isValid() || ivSinceShown.elapsed() >= kShowEveryMs)
        flush();
}

void ConsoleView::fireActionCompleted()
{
    flush();
    write(QStringLiteral("結束時間：") + ivClock.timeText());
    messageBox(platform::MessageIcon::Information, QStringLiteral("訊息"),
                                  QStringLiteral("更新作業完成，請點選「關閉」按鈕離開本精靈。"));
}

void ConsoleView::hideForm()
{
    flush();
}

} // namespace korvane
