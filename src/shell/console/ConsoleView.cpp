// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ConsoleView.h"

#include "platform/ConsoleDialogs.h"
#include "platform/Conversions.h"
#include "platform/Error.h"

#include <QStringList>
#include <memory>

namespace korvane {

namespace {

// Forms remembered: a run has a step list and a progress text or two.
constexpr size_t kFormsKept = 8;

// Told again before a second has passed without a word, whichever way the check falls.
constexpr std::chrono::milliseconds kQuietLimit(800);
constexpr std::chrono::milliseconds kHeartbeatCheck(100);

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Whether two messages say the same thing about another record or another step: equal but for
// their numbers and the step marks ("V") that begin lines. Runs once per record, so it compares
// in place.
bool sameForm(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    bool lineStart = true;
    while (i < a.size() || j < b.size()) {
        if (lineStart) {
            if (i < a.size() && a[i] == u'V')
                ++i;
            if (j < b.size() && b[j] == u'V')
                ++j;
            lineStart = false;
            continue;
        }
        if (i < a.size() && j < b.size() && isDigit(a[i]) && isDigit(b[j])) {
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            continue;
        }
        if (i == a.size() || j == b.size() || a[i] != b[j])
            return false;
        lineStart = a[i] == u'\n';
        ++i;
        ++j;
    }
    return true;
}

// The lines of after that differ from the same line of before, leaving out a step that only
// lost its mark. Both have the same form, hence the same number of lines.
QString changedLines(const QString& before, const QString& after)
{
    const QStringList old = platform::withLineFeeds(before).split(u'\n');
    const QStringList now = platform::withLineFeeds(after).split(u'\n');
    QStringList changed;
    for (qsizetype i = 0; i < now.size() && i < old.size(); ++i) {
        if (now[i] != old[i] && !(old[i].startsWith(u'V') && !now[i].startsWith(u'V')))
            changed << now[i];
    }
    return changed.join(u'\n');
}

} // namespace

ConsoleView::ConsoleView(const platform::Clock& clock, platform::Dialogs& dialogs, std::FILE* out)
    : ivClock(clock), ivDialogs(dialogs), ivOut(out), ivTerminal(platform::ConsoleDialogs::isTerminal(out)),
      ivIntervalMs(ivTerminal ? TerminalIntervalMs : LogIntervalMs)
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    ivMilliseconds = [timer] { return timer->elapsed(); };
}

ConsoleView::~ConsoleView()
{
    stopKeepingAlive();
}

void ConsoleView::setPace(bool terminal, std::function<qint64()> milliseconds)
{
    stopKeepingAlive();
    ivRealTime = false;
    ivTerminal = terminal;
    ivIntervalMs = terminal ? TerminalIntervalMs : LogIntervalMs;
    ivMilliseconds = std::move(milliseconds);
}

// A box holds the stream for itself while it waits for its answer: no heartbeat in a prompt.
void ConsoleView::messageBox(platform::MessageIcon icon, const QString& title, const QString& text)
{
    flush();
    const std::lock_guard lock(ivWriting);
    ivDialogs.messageBox(icon, title, text);
    ivLastWrite = std::chrono::steady_clock::now();
}

QString ConsoleView::inputBox(const QString& prompt, const QString& title)
{
    flush();
    const std::lock_guard lock(ivWriting);
    QString answer = ivDialogs.inputBox(prompt, title);
    ivLastWrite = std::chrono::steady_clock::now();
    return answer;
}

bool ConsoleView::question(const QString& title, const QString& text, bool defaultYes)
{
    flush();
    const std::lock_guard lock(ivWriting);
    const bool yes = ivDialogs.question(title, text, defaultYes);
    ivLastWrite = std::chrono::steady_clock::now();
    return yes;
}

void ConsoleView::write(const QString& text)
{
    const std::lock_guard lock(ivWriting);
    writeLocked(text);
}

void ConsoleView::writeLocked(const QString& text)
{
    QString lines = platform::withLineFeeds(text);
    if (!lines.endsWith(u'\n'))
        lines += u'\n';
    const QByteArray utf8 = lines.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), ivOut);
    std::fflush(ivOut);
    ivLastWrite = std::chrono::steady_clock::now();
}

void ConsoleView::keepAlive()
{
    if (!ivTerminal || !ivRealTime || ivHeartbeat.joinable())
        return;
    {
        const std::lock_guard lock(ivWriting);
        ivStopping = false;
        ivAliveSince = std::chrono::steady_clock::now();
    }
    ivHeartbeat = std::thread([this] { heartbeat(); });
}

void ConsoleView::stopKeepingAlive()
{
    if (!ivHeartbeat.joinable())
        return;
    {
        const std::lock_guard lock(ivWriting);
        ivStopping = true;
    }
    ivWake.notify_all();
    ivHeartbeat.join();
}

void ConsoleView::heartbeat()
{
    std::unique_lock lock(ivWriting);
    while (!ivStopping) {
        ivWake.wait_for(lock, kHeartbeatCheck);
        if (ivStopping)
            break;
        // What the action said last, once it is due, though the action is busy elsewhere now.
        if (due() && flushLocked())
            continue;
        const auto now = std::chrono::steady_clock::now();
        if (now - ivLastWrite < kQuietLimit)
            continue;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - ivAliveSince).count();
        writeLocked(QStringLiteral("……仍在處理中（已進行 %1 秒）").arg(seconds));
    }
}

bool ConsoleView::due() const
{
    return ivLastShownMs < 0 || ivMilliseconds() - ivLastShownMs >= ivIntervalMs;
}

void ConsoleView::start()
{
    write(QStringLiteral("開始時間：") + ivClock.timeText());
    ivSinceStart.start();
    keepAlive();
}

void ConsoleView::finish()
{
    stopKeepingAlive();
    flush();
    const qint64 ms = ivSinceStart.isValid() ? ivSinceStart.elapsed() : 0;
    write(QStringLiteral("完成時間：") + ivClock.timeText() + QStringLiteral("（歷時 ") +
          QString::number(double(ms) / 1000.0, 'f', 3) + QStringLiteral(" 秒）"));
}

void ConsoleView::cancel()
{
    stopKeepingAlive();
    flush();
    write(QStringLiteral("更新作業已取消：") + ivClock.timeText());
}

QString ConsoleView::changedPart(const QString& message)
{
    for (QString& shown : ivShownForms) {
        if (sameForm(shown, message)) {
            const QString changed = changedLines(shown, message);
            shown = message;
            return changed;
        }
    }
    if (ivShownForms.size() == kFormsKept)
        ivShownForms.erase(ivShownForms.begin());
    ivShownForms.push_back(message);
    return message;
}

void ConsoleView::flush()
{
    const std::lock_guard lock(ivWriting);
    flushLocked();
}

bool ConsoleView::flushLocked()
{
    bool shown = false;
    if (ivMessage != ivShownMessage) {
        if (const QString part = changedPart(ivMessage); !part.isEmpty())
            writeLocked(part);
        ivShownMessage = ivMessage;
        shown = true;
    }
    if (ivProgress != ivShownProgress) {
        writeLocked(QStringLiteral("進度：") + QString::number(ivProgress) + u'%');
        ivShownProgress = ivProgress;
        shown = true;
    }
    if (shown)
        ivLastShownMs = ivMilliseconds();
    return shown;
}

void ConsoleView::setMessgaeValue(const QString& p_value)
{
    const std::lock_guard lock(ivWriting);
    // A message of another form starts a new stage: what is pending of the last one is written
    // first, then the new one at once.
    if (!sameForm(p_value, ivMessage)) {
        flushLocked();
        ivMessage = p_value;
        flushLocked();
        return;
    }
    ivMessage = p_value;
    if (due())
        flushLocked();
}

void ConsoleView::setProgressBarValue(qint16 p_value)
{
    if (p_value < 0 || p_value > 100)
        throw platform::Error(QStringLiteral("無效的屬性值：") + QString::number(p_value),
                              platform::Error::Kind::OutOfRange);
    const std::lock_guard lock(ivWriting);
    ivProgress = p_value;
    // A log also gets every tenth, which tells how far a run that was stopped had come.
    if (due() || (!ivTerminal && p_value / 10 > ivShownProgress / 10))
        flushLocked();
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
