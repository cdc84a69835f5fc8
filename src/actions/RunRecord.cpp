// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RunRecord.h"

#include "IAction.h"
#include "Installation.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/LogFile.h"
#include "platform/Paths.h"
#include "platform/Sha256.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSysInfo>
#include <cstdlib>

namespace korvane {

namespace {

const QString kBlockStart = QStringLiteral("===== 更新記錄 ");
const QString kLogName = QStringLiteral("updates.log");
const QString kOldLogName = QStringLiteral("updates.old.log");
const QString kActionKey = QStringLiteral("作業：");
const QString kOutcomeKey = QStringLiteral("結果：");
const QString kSummaryKey = QStringLiteral("摘要：");
const QString kCauseKey = QStringLiteral("原因：");
const QString kKeptKey = QStringLiteral("還原資料檔：");
const QString kTookBackKey = QStringLiteral("還原的更新：");
// The change files of the last committed runs that are kept beside the log.
constexpr int kKeptAttachments = 24;

QString timeText(const QDateTime& time)
{
    const int offset = time.offsetFromUtc();
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + (offset < 0 ? u'-' : u'+') +
           QTime(0, 0).addSecs(std::abs(offset)).toString(QStringLiteral("HH:mm"));
}

// Continuation lines are indented, so that every entry's label starts a line of its own.
QString entry(const QString& label, const QString& text)
{
    QString body = platform::withLineFeeds(text);
    body.replace(u'\n', QStringLiteral("\r\n    "));
    return label + QStringLiteral("：") + body + QStringLiteral("\r\n");
}

// The program's name, size and SHA-256, read beside the run rather than after it.
QString identify(const QString& path)
{
    QFile file(path);
    platform::Sha256 hash;
    const auto unreadable = [&] { return QDir::toNativeSeparators(path) + QStringLiteral("（無法讀取：") + file.errorString() + u'）'; };
    if (!file.open(QIODevice::ReadOnly))
        return unreadable();
    QByteArray piece(1 << 16, Qt::Uninitialized);
    for (qint64 read; (read = file.read(piece.data(), piece.size())) != 0;) {
        if (read < 0)
            return unreadable();
        hash.addData(QByteArrayView(piece.constData(), read));
    }
    return QDir::toNativeSeparators(path) +
           QStringLiteral("（%1 位元組，SHA-256 %2）")
               .arg(QLocale::c().toString(file.size()), QString::fromLatin1(hash.result().toHex()));
}

// The line of a message that names the cause: the first one, unless it only leads in to the
// lines that follow ("更新藥價作業失敗，可能的原因為：").
QString causeLine(const QString& message)
{
    const QStringList lines = platform::withLineFeeds(message).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (!line.isEmpty() && (!line.endsWith(u'：') || i + 1 == lines.size()))
            return line;
    }
    return {};
}

QString userName()
{
    return qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME", QDir::home().dirName())));
}

} // namespace

void RunDetails::add(const QString& label, const QString& text)
{
    ivLines << entry(label, text);
}

void RunDetails::setConnection(const QString& text)
{
    ivConnection = platform::maskPasswords(text);
}

void RunDetails::setKept(const QString& fileName, const QString& after)
{
    ivKept = fileName;
    ivKeptAfter = after;
}

void RunDetails::setTookBack(const QString& run, const QString& fileName)
{
    ivTookBack = run + QStringLiteral("（還原資料檔 ") + fileName + u'）';
}

namespace {

QString logFolderOf(const Installation& installation, const platform::Services& services)
{
    const QString base = installation.exists() ? installation.folder() : services.packFolder;
    return platform::joinPath(base, QStringLiteral("\\UpdateLog"));
}

} // namespace

QString runLogFolder(const platform::Services& services)
{
    return logFolderOf(Installation(services), services);
}

RunRecorder::RunRecorder(const platform::Services& machine, QString actionName, QString programPath)
    : ivMachine(machine), ivActionName(std::move(actionName)),
      // A pack is megabytes: hashed on the side while the update runs.
      ivProgramIdentity(std::async(std::launch::async, identify, std::move(programPath)))
{
}

void RunRecorder::start()
{
    ivStart = QDateTime::currentDateTime();
    ivMessages.clear();
    ivCause.clear();
}

void RunRecorder::remember(const QString& title, const QString& text, const QString& answer, bool critical)
{
    // Of a run that does not end well, the first critical message tells the cause; without one,
    // the first message.
    if (ivCause.isEmpty() || (critical && !ivCauseCritical)) {
        ivCause = causeLine(text);
        ivCauseCritical = critical;
    }
    ivMessages << entry(QStringLiteral("訊息"), QStringLiteral("「") + title + QStringLiteral("」") + text +
                                                  QStringLiteral("\n→ ") + answer);
}

void RunRecorder::messageBox(platform::MessageIcon icon, const QString& title, const QString& text)
{
    ivMachine.dialogs.messageBox(icon, title, text);
    remember(title, text, QStringLiteral("確定"), icon == platform::MessageIcon::Critical);
}

QString RunRecorder::inputBox(const QString& prompt, const QString& title)
{
    const QString answer = ivMachine.dialogs.inputBox(prompt, title);
    remember(title, prompt, answer.isEmpty() ? QStringLiteral("取消") : QStringLiteral("輸入「") + answer + u'」');
    return answer;
}

bool RunRecorder::question(const QString& title, const QString& text, bool defaultYes)
{
    const bool yes = ivMachine.dialogs.question(title, text, defaultYes);
    remember(title, text, yes ? QStringLiteral("是") : QStringLiteral("否"));
    return yes;
}

QString RunRecorder::block(Outcome outcome, const RunDetails& details, const QStringList& attached,
                          const QString& installation, const QString& folder) const
{
    QString text = kBlockStart + timeText(ivStart) + QStringLiteral(" =====\r\n");
    text += entry(QStringLiteral("作業"), ivActionName);
    text += entry(QStringLiteral("結果"), outcomeText(outcome) + QStringLiteral("（結束代碼 %1）").arg(exitStatus(outcome)));
    // One line, so that the history reads it back whole.
    if ((outcome == Outcome::Refused || outcome == Outcome::Failed) && !ivCause.isEmpty())
        text += entry(QStringLiteral("原因"), ivCause);
    if (!details.ivSummary.isEmpty())
        text += entry(QStringLiteral("摘要"), details.ivSummary);
    text += entry(QStringLiteral("開始"), timeText(ivStart));
    text += entry(QStringLiteral("結束"), timeText(QDateTime::currentDateTime()));
    text += entry(QStringLiteral("電腦"), QSysInfo::machineHostName());
    text += entry(QStringLiteral("使用者"), userName());
    text += entry(QStringLiteral("更新程式"), ivProgram);
    text += entry(QStringLiteral("更新程式資料夾"), ivMachine.packFolder);
    text += entry(QStringLiteral("安裝資料夾"), installation.isEmpty() ? QStringLiteral("（未設定）") : installation);
    text += entry(QStringLiteral("資料庫連線"),
                  details.ivConnection.isEmpty() ? QStringLiteral("（本作業未使用）") : details.ivConnection);
    if (!details.ivTookBack.isEmpty())
        text += entry(QStringLiteral("還原的更新"), details.ivTookBack);
    for (const QString& line : details.ivLines)
        text += line;
    if (!details.ivKept.isEmpty())
        text += entry(QStringLiteral("還原資料檔"),
                      QDir::toNativeSeparators(QDir(folder).filePath(details.ivKept)) + QStringLiteral("（") +
                          details.ivKeptAfter + u'）');
    for (const QString& file : attached)
        text += entry(QStringLiteral("明細檔"), file);
    text += ivMessages.isEmpty() ? entry(QStringLiteral("訊息"), QStringLiteral("（無）")) : ivMessages.join(QString());
    // Whatever a message quoted (a driver's words, a list's codes) is kept without a password
    // and without a control character that would act when the log is shown.
    return platform::visibleControls(platform::maskPasswords(text + QStringLiteral("\r\n")), true);
}

QString RunRecorder::finish(Outcome outcome, const IAction& action)
{
    const Installation installation(ivMachine);
    const QString folder = logFolderOf(installation, ivMachine);
    try {
        RunDetails details;
        // A run refused for want of an installation did nothing there that it could tell of. What
        // the action cannot tell still leaves a block with the outcome and the messages.
        if (installation.exists()) {
            try {
                action.recordRun(details);
            } catch (...) {
                details = RunDetails();
                details.add(QStringLiteral("注意"), QStringLiteral("本次作業的明細無法整理：") +
                                                      platform::describe(std::current_exception()));
            }
        }
        platform::LogFile log(folder, kLogName, kOldLogName, kBlockStart);
        // The change files are named, and the block appended, under one hold of the lock.
        platform::LogFile::Writer writer = log.open();
        QStringList attached;
        QString attachmentFailure;
        // Beside the file the run kept, under the same stem.
        const QString stem = details.ivKept.isEmpty() ? ivStart.toString(QStringLiteral("yyyyMMdd-HHmmss"))
                                                      : details.ivKept.section(u' ', 0, 0);
        for (const auto& attachment : details.ivAttachments) {
            try {
                attached << writer.writeBeside(stem, attachment.name, attachment.bytes, kKeptAttachments);
            } catch (const platform::Error& error) {
                attached << error.description();
                attachmentFailure = error.description();
            }
        }
        if (ivProgramIdentity.valid())
            ivProgram = ivProgramIdentity.get();
        writer.append(block(outcome, details, attached,
                            installation.isSet() && !installation.exists()
                                ? installation.folder() + QStringLiteral("（不存在）")
                                : installation.folder(),
                            folder));
        if (!details.ivKept.isEmpty())
            keepLastKept(writer, details.ivKept);
        if (!attachmentFailure.isEmpty())
            return QStringLiteral("警告：明細檔沒有寫入，更新本身不受影響，更新記錄已寫入 ") +
                   QDir::toNativeSeparators(log.path()) +
                   QStringLiteral("。請確認這個資料夾可以寫入、磁碟還有空間。（") + attachmentFailure + u'）';
        return {};
    } catch (...) {
        // What is left to fail here is the log file itself: its folder or its disk.
        return QStringLiteral("警告：更新記錄沒有寫入 ") + QDir::toNativeSeparators(folder) +
               QStringLiteral("，更新本身不受影響。請確認這個資料夾可以寫入、磁碟還有空間。（") +
               platform::describe(std::current_exception()) + u'）';
    }
}

namespace {

// One block of the log, as far as the history and the undo read it: the first of each key (a
// message or a detail never starts a line with a key).
struct RecordedRun
{
    QString start;
    QString action, outcome, summary, cause;
    QString kept; // the name of the file kept for taking the run back; empty for none
};

// The kept file's name from the entry's text: its path, then what the run left in brackets.
QString keptFileName(const QString& text)
{
    const qsizetype separator = std::max(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));
    const QString name = text.mid(separator + 1);
    return name.section(QStringLiteral("（"), 0, 0);
}

std::vector<RecordedRun> recordedRuns(const QString& text)
{
    std::vector<RecordedRun> runs;
    const QStringList blocks = text.split(QStringLiteral("\r\n") + kBlockStart);
    for (QString block : blocks) {
        if (block.startsWith(kBlockStart))
            block.remove(0, kBlockStart.size());
        const QStringList lines = block.split(QStringLiteral("\r\n"));
        if (lines.isEmpty() || !lines.first().endsWith(QStringLiteral(" =====")))
            continue;
        RecordedRun run;
        run.start = lines.first().chopped(6);
        QString kept;
        for (const QString& line : lines) {
            const auto take = [&line](const QString& key, QString& into) {
                if (line.startsWith(key) && into.isNull())
                    into = line.mid(key.size());
            };
            take(kActionKey, run.action);
            take(kOutcomeKey, run.outcome);
            take(kSummaryKey, run.summary);
            take(kCauseKey, run.cause);
            take(kKeptKey, kept);
        }
        if (!kept.isEmpty())
            run.kept = keptFileName(kept);
        runs.push_back(std::move(run));
    }
    return runs;
}

QString logText(const QString& folder)
{
    return platform::LogFile::read(QDir(folder).filePath(kOldLogName)) +
           platform::LogFile::read(QDir(folder).filePath(kLogName));
}

} // namespace

void RunRecorder::keepLastKept(platform::LogFile::Writer& writer, const QString& kept)
{
    QStringList last;
    for (const RecordedRun& run : recordedRuns(writer.text())) {
        if (!run.kept.isEmpty())
            last << run.kept;
    }
    last = last.mid(std::max<qsizetype>(0, last.size() - keptTables));
    if (!last.contains(kept))
        last << kept;
    writer.keepOnly(kept.section(u' ', 1), last);
}

QStringList recentRuns(const QString& folder, int n)
{
    const std::vector<RecordedRun> all = recordedRuns(logText(folder));
    // Only the last run that kept a file can be taken back, and only while its file is there.
    qsizetype undoable = -1;
    for (qsizetype i = qsizetype(all.size()) - 1; i >= 0; --i) {
        if (!all[size_t(i)].kept.isEmpty()) {
            if (QFileInfo(QDir(folder).filePath(all[size_t(i)].kept)).isFile())
                undoable = i;
            break;
        }
    }
    QStringList runs;
    for (qsizetype i = std::max<qsizetype>(0, qsizetype(all.size()) - n); i < qsizetype(all.size()); ++i) {
        const RecordedRun& run = all[size_t(i)];
        runs << (run.start + QStringLiteral("  ") + run.action + QStringLiteral("  ") + run.outcome +
                 (run.summary.isEmpty() ? QString() : QStringLiteral("  ") + run.summary) +
                 (run.cause.isEmpty() ? QString() : QStringLiteral("  原因：") + run.cause) +
                 (i == undoable ? QStringLiteral("  〔可還原〕") : QString()));
    }
    return runs;
}

KeptRun lastKeptRun(const QString& folder)
{
    const std::vector<RecordedRun> all = recordedRuns(logText(folder));
    for (auto run = all.rbegin(); run != all.rend(); ++run) {
        if (!run->kept.isEmpty())
            return {run->start, run->action, run->kept};
    }
    return {};
}

QString keepBesideRecord(const platform::Services& services, const QString& name, const QByteArray& bytes)
{
    const platform::LogFile log(runLogFolder(services), kLogName, kOldLogName, kBlockStart);
    platform::LogFile::Writer writer = log.open();
    const QString path =
        writer.writeBeside(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")), name, bytes, 0, true);
    return QFileInfo(path).fileName();
}

QByteArray readBesideRecord(const QString& folder, const QString& fileName)
{
    return platform::LogFile(folder, kLogName, kOldLogName, kBlockStart).readBeside(fileName);
}

void dropBesideRecord(const platform::Services& services, const QString& fileName)
{
    const platform::LogFile log(runLogFolder(services), kLogName, kOldLogName, kBlockStart);
    log.open().removeBeside(fileName);
}

} // namespace korvane
