// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "C52407301.h"

#include "DrugPriceLine.h"
#include "actions/AppliedUpdateKey.h"
#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/Outcome.h"
#include "actions/RunRecord.h"
#include "actions/SkipOnFailure.h"
#include "drugbag/CDrugAdvInfoHome.h"
#include "platform/AnsiText.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/Sha256.h"
#include "platform/database/Connection.h"
#include "platform/TechnicalNote.h"
#include "platform/database/Recordset.h"
#include "platform/database/RowReader.h"
#include "platform/database/Transaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocale>
#include <QSet>
#include <QStringBuilder>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace korvane {

namespace {

const QString kNoDrugRecords =
    QStringLiteral("資料檔中沒有任何可以匯入的藥品資料，藥品資料維持原狀，未做任何變更。");

// The values named in the message at the end of a run; updatlet lists them all.
constexpr size_t kRefusalsShown = 20;
// A run whose refused lines pass both 1 % of its drug lines and this many commits nothing.
constexpr qsizetype kRefusedLinesTolerated = 20;
// The refused values a failed run names in its message, and the skipped lines a run names.
constexpr size_t kRefusalsNamedInFailure = 10;
constexpr size_t kSkippedShown = 10;

QString failureMessage(const QString& description)
{
    return QStringLiteral("更新藥價作業失敗，可能的原因為：\r\n") + description;
}

// A run refused before it changed anything is no failure: it says so, and what to mend.
QString refusalMessage(const QString& description)
{
    return QStringLiteral("藥價更新沒有執行，原因如下：\r\n") + description;
}

QString tableNote()
{
    return platform::technicalNote(QStringLiteral("藥品資料在資料庫的資料表 tblDrugs"));
}

QString noneStored(qsizetype records, const std::vector<RefusedValue>& refused)
{
    // A whole row refused tells more than a column left out.
    const auto row = std::find_if(refused.begin(), refused.end(), [](const RefusedValue& value) { return value.column.isEmpty(); });
    const RefusedValue& first = row != refused.end() ? *row : refused.front();
    return QStringLiteral("資料檔中的 %1 筆藥品資料都無法存入資料庫，藥品資料維持原狀，未做任何變更。"
                          "第一筆被拒絕的原因：\r\n")
               .arg(records) +
           first.text() + tableNote();
}

// The first few values, one a line, and how many more there are ("%1" in more).
template <typename Value> QString firstOf(const std::vector<Value>& values, size_t shown, const QString& more)
{
    QString text;
    const size_t n = std::min(values.size(), shown);
    for (size_t i = 0; i < n; ++i)
        text += values[i].text() + QStringLiteral("\r\n");
    if (n < values.size())
        text += more.arg(values.size() - n);
    return text;
}

// Where the code sits among DrugPriceLine::columns().
constexpr size_t kCodeColumn = 2;
// Where the columns the comparison reads sit in a row of DrugTableImage::readStatement().
constexpr int kKeptCode = 2, kKeptPrice = 3, kKeptDate = 4, kKeptName = 6;

// How the clinic database is opened: a run that writes has it to itself, so that its one
// transaction holds whole; a preview reads beside whoever else has it.
constexpr int kWriting = platform::Connection::adModeReadWrite | platform::Connection::adModeShareExclusive;
constexpr int kReading = platform::Connection::adModeRead;

// j / n × 100 to the nearest whole number, halves to even.
qint16 percent(qsizetype j, qsizetype n)
{
    return qint16(std::nearbyint(double(j) / double(n) * 100.0));
}

} // namespace

C52407301::C52407301(const platform::Services& services)
    : ActionerMembers(steps()), ivServices(services), ivConnections(services)
{
}

const StepList& C52407301::steps()
{
    static const StepList list(1, {QStringLiteral("刪除現有資料庫中的藥品資料"), QStringLiteral("讀取本次更新資料檔"),
                                   QStringLiteral("新增藥品資料到資料庫中"), QStringLiteral("刪除不給付的藥品資料"),
                                   QStringLiteral("同步藥袋資訊")});
    return list;
}

QVariant C52407301::getDescription()
{
    return QStringLiteral("按下「確定」按鈕後將更新本月最新異動的藥價 \r\n"
                          "本系統會保留前二個月藥價，並以「處方上的調劑日」做為判斷標準，請放心更新。\r\n"
                          "\r\n"
                          "[ 申報前執行處方驗證程序時，請記得啟用「自動調整」的選項 ]。\r\n"
                          "\r\n"
                          "\r\n"
                          "\r\n"
                          " 藥價更新程式序號 v1.0.0.6");
}

QString C52407301::getAppName()
{
    return ivPackName;
}

QString C52407301::progressMessage(qint64 n)
{
    // Built once per line read: one allocation, not one per piece.
    return QStringLiteral("藥價更新程序作業中．．．　(目前正處理第") % QString::number(n) %
           QStringLiteral("筆藥品資料。)\r\n\r\n１．更新過程中請勿中斷程式。\r\n"
                          "２．硬體規格不同,您的畫面可能會出現閃爍狀況,屬於正常情況,請勿擔心。");
}

void C52407301::say(const QString& text)
{
    ivView->setMessgaeValue(text);
}

QString C52407301::priceListPath() const
{
    return platform::joinPath(ivServices.packFolder, QStringLiteral("\\all.puf"));
}

Outcome C52407301::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivDrugCount = -1;
    ivDrugsBefore = -1;
    ivChanges.reset();
    ivKept.reset();
    ivRefused.clear();
    ivUnconverted.clear();
    ivAfterCommit.clear();
    ivList = {};
    ivListDrugLines = -1;
    try {
        return replaceDrugs(priceListPath());
    } catch (const RunRefused& refusal) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("無法更新藥價"),
                                      refusalMessage(refusal.description()));
        return Outcome::Refused;
    } catch (...) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                                      failureMessage(platform::describe(std::current_exception())));
        return Outcome::Failed;
    }
}

std::shared_ptr<platform::Connection> C52407301::openForRun(int mode)
{
    Installation(ivServices).require();
    const QString path = priceListPath();
    if (!ivServices.files.fileExists(path))
        throw RunRefused(QStringLiteral("找不到本次的藥價資料檔：") + QDir::toNativeSeparators(path) +
                         QStringLiteral("。藥品資料沒有變更。本更新程式要從它自己的資料夾執行，藥價資料檔 all.puf "
                                        "要放在它的旁邊；請將更新程式連同 all.puf 一起複製到同一個資料夾後再執行。"));
    // A preview reads beside whoever has the database, but refuses what the run would.
    if (mode == kReading)
        beforeAnyChange([&] { platform::Connection::requireUnheld(ivConnections.clinicConnectionText()); });
    const auto connection = getClinicConnection(mode);
    try {
        ivDrugsBefore = currentDrugCount(connection);
    } catch (...) {
        connection->Close();
        throw;
    }
    return connection;
}

PriceList C52407301::readPriceList(IUpdatorView* p_form)
{
    const QString path = priceListPath();
    QByteArray bytes = ivServices.files.readFile(path);
    // Which list a run applied, for its record: hashed beside the run.
    ivList = {path, bytes.size(), std::async(std::launch::async, [bytes] {
                                      return platform::Sha256::hex(bytes);
                                  }).share()};
    if (const QString refusal = PriceListSurvey::refusalOfContent(bytes); !refusal.isEmpty())
        throw RunRefused(refusal);
    const platform::TextLines lines = platform::TextLines::fromAnsiFile(std::move(bytes));
    PriceList list = PriceList::read(lines, [&](qsizetype read) {
        if (!p_form)
            return;
        ivServices.events.processEvents();
        p_form->setMessgaeValue(progressMessage(read));
    });
    const PriceListSurvey& survey = list.survey();
    if (const QString refusal = survey.refusal(lines.lastLineTerminated()); !refusal.isEmpty())
        throw RunRefused(refusal);
    // A list of nothing but damaged drug lines says what is wrong with them.
    if (survey.drugRecords() == 0)
        throw RunRefused(survey.firstSkipped().isEmpty() ? kNoDrugRecords
                                                         : kNoDrugRecords + QStringLiteral("例如") + survey.firstSkipped() +
                                                               QStringLiteral("。"));
    return list;
}

qint64 C52407301::currentDrugCount(const std::shared_ptr<platform::Connection>& connection)
{
    if (!connection->hasTable(QStringLiteral("tblDrugs")))
        throw RunRefused(QStringLiteral("資料庫中找不到藥品資料，這可能不是 Korvane 的資料庫：") +
                         ivConnections.clinicDatabaseName() +
                         QStringLiteral("。藥價資料檔保留在原處；請資訊人員確認 Korvane 的資料庫設定。") +
                         platform::technicalNote(QStringLiteral("資料庫中沒有資料表 tblDrugs")));
    platform::Recordset count;
    count.Open(QStringLiteral("SELECT COUNT(*) FROM tblDrugs"), connection);
    return count.value(0).toLongLong();
}

void C52407301::findColumns(const platform::Recordset& recordset)
{
    for (size_t k = 0; k < ivColumnIndexes.size(); ++k)
        ivColumnIndexes[k] = recordset.fieldIndex(DrugPriceLine::columns()[k].name);
}

bool C52407301::confirmShrink(qsizetype drugs, qint64 current, bool stored)
{
    const QString counts =
        stored ? QStringLiteral("資料庫只接受了本次藥價資料檔中的 %1 筆藥品資料，不到目前藥品資料 %2 筆的一半")
                     .arg(drugs)
                     .arg(current)
               : QStringLiteral("本次藥價資料檔只有 %1 筆藥品資料，不到目前藥品資料 %2 筆的一半")
                     .arg(drugs)
                     .arg(current);
    const QString why = !stored             ? QStringLiteral("，藥價資料檔可能不完整（例如在傳送時被截斷）。")
                        : ivRefused.empty() ? QStringLiteral("。")
                                            : QStringLiteral("，其餘的被資料庫拒絕了：\r\n") + ivRefused.front().text();
    if (ivServices.dialogs.question(QStringLiteral("藥價更新"),
                                    counts + why + QStringLiteral("\r\n\r\n確定要以這份資料取代目前所有的藥品資料嗎？"), false))
        return true;
    ivServices.dialogs.messageBox(platform::MessageIcon::Information, QStringLiteral("藥價更新"),
                                  counts + QStringLiteral("，未經確認不進行更新。") + PriceListSurvey::unchanged());
    return false;
}

void C52407301::requireFewRefusals(qsizetype drugRecords) const
{
    QSet<qsizetype> lines;
    for (const RefusedValue& value : ivRefused)
        lines.insert(value.line);
    const qsizetype refused = lines.size();
    if (refused <= kRefusedLinesTolerated || refused * 100 <= drugRecords)
        return;
    // So many refusals mean the table does not fit the list (a required column, a unique index,
    // short columns): committed, it would leave the clinic with a table of holes.
    QString text = QStringLiteral("資料庫拒絕了本次藥價資料檔 %1 筆藥品資料中的 %2 筆（超過 1%），因此沒有更新："
                                  "藥品資料維持原狀，未做任何變更，藥價資料檔保留在原處。"
                                  "這通常表示資料庫的資料表定義與藥價資料檔不合（例如必填的欄位、不可重複的索引、太短的欄位），"
                                  "請資訊人員排除下列原因後再執行一次本更新程式：\r\n")
                       .arg(drugRecords)
                       .arg(refused);
    text += firstOf(ivRefused, kRefusalsNamedInFailure, QStringLiteral("……其餘 %1 項未列出。"));
    throw platform::Error(text + tableNote(), platform::Error::Kind::DatabaseRefused);
}

Outcome C52407301::replaceDrugs(const QString& path)
{
    say(getMesageString(1).toString());
    say(getMesageString(2).toString());
    const auto connection = openForRun(kWriting);
    bool cancelled = false;
    try {
        const PriceList list = readPriceList(ivView);
        const PriceListSurvey& survey = list.survey();
        ivListDrugLines = survey.drugRecords();
        // A list cut short or meant for another purpose would empty most of the table: asked
        // before anything is written, so that no lock is held while the question waits.
        const qint64 current = ivDrugsBefore;
        bool confirmed = ivAllowShrink;
        if (current > 0 && survey.drugRecords() * 2 < current && !confirmed) {
            if (!confirmShrink(survey.drugRecords(), current, false)) {
                connection->Close();
                return Outcome::Cancelled;
            }
            confirmed = true;
        }
        std::optional<platform::Transaction> transaction;
        beforeAnyChange([&] { transaction.emplace(*connection); });
        // The table as it was, read once: kept for taking the run back, and compared with the list.
        DrugPricePreview changes;
        ivKept = std::make_unique<KeptDrugTable>(ivServices, QStringLiteral("C52407301"), ivConnections.clinicDatabaseName());
        qint64 place = 0;
        ivDrugsBefore = ivKept->readBefore(connection, [&](const platform::RowReader& row) {
            changes.addTableRow(row.value(kKeptCode).toString(), row.value(kKeptName).toString(),
                                row.value(kKeptPrice).toDouble(), DrugPricePreview::takesEffect(row.value(kKeptDate)),
                                place++);
        }).count();
        // Closed before the transaction ends, whichever way it ends.
        platform::Recordset recordset;
        connection->Execute(QStringLiteral("DELETE FROM tblDrugs"));
        const qsizetype n = list.count();
        say(getMesageString(3).toString());
        recordset.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), connection,
                       platform::Recordset::adOpenDynamic, platform::Recordset::adLockOptimistic);
        findColumns(recordset);
        // Rows may go to a server in batches: a refused one is told here, by its line.
        qsizetype refusedRows = 0;
        recordset.setRefusedRowHandler([&](qint64 index, const platform::Error& reason) {
            ++refusedRows;
            ivRefused.push_back({qsizetype(index) + 1, list.line(index).field(3).toString(), QString(), reason.description()});
        });
        qsizetype sent = 0;
        for (qsizetype j = 0; j < n; ++j) {
            ivServices.events.processEvents();
            if (addDrugRecord(j, list.line(j), recordset))
                ++sent;
            ivView->setProgressBarValue(percent(j, n));
        }
        recordset.Flush();
        std::stable_sort(ivRefused.begin(), ivRefused.end(),
                         [](const RefusedValue& a, const RefusedValue& b) { return a.line < b.line; });
        // An emptied drug table would stop the clinic from dispensing: never commit one. Nor one
        // of holes, nor one short of half the drugs unless the user says so, counted on the rows
        // the table took.
        const qsizetype added = sent - refusedRows;
        if (added == 0)
            throw RunRefused(ivRefused.empty() ? kNoDrugRecords : noneStored(survey.drugRecords(), ivRefused));
        requireFewRefusals(survey.drugRecords());
        if (current > 0 && added * 2 < current && !confirmed)
            cancelled = !confirmShrink(added, current, true);
        if (!cancelled) {
            recordset.Close();
            // The comparison needs nothing of the database: made while the table as the run leaves
            // it is read (should that read throw, the future waits for the comparison to end).
            auto compared = std::async(std::launch::async, [&] { return committedChanges(changes, list); });
            ivKept->readAfter(connection);
            ivChanges = compared.get();
            // Kept on the disk before the commit: a run that cannot be taken back commits nothing.
            try {
                ivKept->keep();
            } catch (const platform::Error& error) {
                throw platform::Error(QStringLiteral("更新前的藥品資料無法保留下來（供日後還原），因此沒有更新："
                                                     "藥品資料維持原狀，未做任何變更，藥價資料檔保留在原處。") +
                                          error.description(),
                                      error.kind());
            }
            try {
                transaction->commit();
            } catch (...) {
                ivKept->discard();
                throw;
            }
            ivDrugCount = added;
        }
    } catch (...) {
        ivChanges.reset();
        if (ivKept && ivDrugCount < 0)
            ivKept->discard();
        connection->Close();
        throw;
    }
    if (cancelled) {
        ivChanges.reset();
        connection->Close();
        return Outcome::Cancelled;
    }
    return finishCommitted(path, *connection);
}

Outcome C52407301::finishCommitted(const QString& path, platform::Connection& connection)
{
    // The new prices are in: the run is done, whatever fails from here on. What does is named in
    // the last message and the record, and never turns the outcome into a failure.
    QString notes = skippedReport();
    if (!ivAfterCommit.isEmpty())
        notes += QStringLiteral("\r\n\r\n") + ivAfterCommit;

    Outcome outcome = Outcome::Done;
    try {
        // A list some of whose values were refused stays, with the pack, to be run again once
        // the cause is mended; the prices that went in stand.
        if (!ivRefused.empty()) {
            outcome = Outcome::ItemsLeft;
            reportRefused(notes);
        } else {
            // The price list goes only once the new prices are safely in; the update itself
            // stands even when it cannot be removed.
            try {
                ivServices.files.removeFile(path);
            } catch (const platform::Error& error) {
                outcome = Outcome::ItemsLeft;
                ivServices.dialogs.messageBox(
                    platform::MessageIcon::Information, QStringLiteral("訊息"),
                    QStringLiteral("藥價已更新完成，但無法刪除本次的藥價資料檔，請自行刪除：\r\n") + path +
                        QStringLiteral("\r\n\r\n") + error.description() + notes);
            }
            if (outcome == Outcome::Done && !notes.isEmpty())
                ivServices.dialogs.messageBox(
                    platform::MessageIcon::Information, QStringLiteral("訊息"),
                    QStringLiteral("藥價更新完成：現有 %1 筆藥品資料。").arg(ivDrugCount) + notes);
        }
        ivView->hideForm();
    } catch (...) {
        if (ivAfterCommit.isEmpty())
            ivAfterCommit = QStringLiteral("更新完成後的訊息無法顯示：") + platform::describe(std::current_exception());
    }
    skipOnFailure([&] { connection.Close(); });
    return outcome;
}

QString C52407301::skippedReport() const
{
    if (!ivChanges || ivChanges->skipped.empty())
        return {};
    const std::vector<SkippedValue>& skipped = ivChanges->skipped;
    QString text = QStringLiteral("\r\n\r\n藥價資料檔中有 %1 項資料沒有照原樣匯入：略過的行不是完整的藥品資料"
                                  "（欄位不足、藥價空白或不是數字），沒有加入藥品資料，該藥品若原本就有已隨本次更新刪除；"
                                  "無法轉換的日期留白，數字以 0 存入。請向藥價資料檔的來源確認下列資料：\r\n")
                       .arg(skipped.size());
    return text + firstOf(skipped, kSkippedShown, QStringLiteral("……其餘 %1 項未列出，全部列在更新記錄的明細檔中。"));
}

void C52407301::reportRefused(const QString& notes)
{
    QString text = QStringLiteral("藥價已更新，現有 %1 筆藥品資料，但資料庫拒絕了下列 %2 項資料：\r\n")
                       .arg(ivDrugCount)
                       .arg(ivRefused.size());
    text += firstOf(ivRefused, kRefusalsShown, QStringLiteral("……其餘 %1 項未列出。\r\n"));
    text += QStringLiteral("\r\n代碼被拒絕的藥品沒有加入；其他被拒絕的欄位留白。藥價資料檔與本更新程式都保留在原處，"
                           "排除原因（例如請資訊人員加大欄位）後可以再執行一次本更新程式。");
    ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新未完成"), text + notes);
}

DrugPricePreview C52407301::preview(IUpdatorView* p_progress)
{
    DrugPricePreview preview;
    // Refused as the run would be, in the same order, before the whole list is read.
    const auto connection = openForRun(kReading);
    try {
        const PriceList list = readPriceList(p_progress);
        qint64 place = 0;
        DrugTableImage::scan(connection, [&](const platform::RowReader& row) {
            preview.addTableRow(row.value(kKeptCode).toString(), row.value(kKeptName).toString(),
                                row.value(kKeptPrice).toDouble(), DrugPricePreview::takesEffect(row.value(kKeptDate)),
                                place++);
        });

        // Each line's values are given to a new row that is never saved, so that the preview
        // refuses exactly what the update's columns would.
        platform::Recordset check;
        check.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), connection,
                   platform::Recordset::adOpenDynamic, platform::Recordset::adLockOptimistic);
        findColumns(check);
        std::vector<RefusedValue> refused;
        std::vector<SkippedValue> unconverted;
        for (qsizetype i = 0; i < list.count(); ++i) {
            if (p_progress)
                p_progress->setProgressBarValue(percent(i, list.count()));
            const DrugPriceLine fields = list.line(i);
            if (!fields.isDrugRecord()) {
                preview.addListLine(fields, i);
                continue;
            }
            check.AddNew();
            const bool codeStored = assignColumns(i, fields, check, refused, unconverted);
            check.CancelUpdate();
            if (codeStored)
                preview.addListLine(fields, i);
        }
        check.Close();
        for (const RefusedValue& value : refused)
            preview.addRefusal(value);
        preview.addSkipped(unconverted);
    } catch (...) {
        connection->Close();
        throw;
    }
    connection->Close();
    preview.finish();
    preview.setSources(priceListPath(), ivConnections.clinicDatabaseName());
    return preview;
}

C52407301::CommittedChanges C52407301::committedChanges(DrugPricePreview& changes, const PriceList& list) const
{
    // The lines whose row, or code, was refused added nothing.
    QSet<qsizetype> notStored;
    for (const RefusedValue& value : ivRefused) {
        if (value.column.isEmpty() || value.column == DrugPriceLine::columns()[kCodeColumn].name)
            notStored.insert(value.line - 1);
    }
    for (qsizetype i = 0; i < list.count(); ++i) {
        if (!notStored.contains(i))
            changes.addListLine(list.line(i), i);
    }
    for (const RefusedValue& value : ivRefused)
        changes.addRefusal(value);
    std::vector<SkippedValue> unconverted;
    std::copy_if(ivUnconverted.begin(), ivUnconverted.end(), std::back_inserter(unconverted),
                 [&](const SkippedValue& value) { return !notStored.contains(value.line - 1); });
    changes.addSkipped(unconverted);
    changes.finish();
    return CommittedChanges::of(changes);
}

C52407301::CommittedChanges C52407301::CommittedChanges::of(DrugPricePreview& changes)
{
    changes.setCommitted();
    return {changes.added(),
            changes.removed(),
            changes.repriced(),
            changes.unchanged(),
            changes.tableRows(),
            changes.csv(),
            changes.skipped(),
            changes.earliestPriceDate(),
            changes.latestPriceDate()};
}

void C52407301::recordRun(RunDetails& p_details) const
{
    p_details.setConnection(ivConnections.clinicConnectionText());
    if (ivList.size >= 0) {
        QString list = QDir::toNativeSeparators(ivList.path) +
                       QStringLiteral("（%1 位元組，SHA-256 %2")
                           .arg(QLocale::c().toString(ivList.size), ivList.sha256.valid() ? ivList.sha256.get() : QString());
        if (ivListDrugLines >= 0)
            list += QStringLiteral("；藥品資料 %1 行").arg(QLocale::c().toString(qlonglong(ivListDrugLines)));
        if (ivChanges && ivChanges->earliest && ivChanges->latest)
            list += QStringLiteral("，藥價參考日期 %1 至 %2")
                        .arg(ivChanges->earliest->toString(Qt::ISODate), ivChanges->latest->toString(Qt::ISODate));
        p_details.add(QStringLiteral("藥價資料檔"), list + u'）');
    }
    if (ivChanges && ivDrugCount >= 0) {
        const CommittedChanges& changes = *ivChanges;
        const QString counts = QStringLiteral("新增 %1、刪除 %2、變價 %3、不變 %4")
                                   .arg(changes.added)
                                   .arg(changes.removed)
                                   .arg(changes.repriced)
                                   .arg(changes.unchanged);
        p_details.setSummary(counts + QStringLiteral("；tblDrugs %1 → %2 筆").arg(changes.before).arg(ivDrugCount));
        p_details.add(QStringLiteral("藥品"), QStringLiteral("更新前 %1 筆，更新後 %2 筆；").arg(changes.before).arg(ivDrugCount) +
                                                counts + QStringLiteral("（明細見 CSV 檔）"));
        p_details.attach(QStringLiteral("C52407301.csv"), ivChanges->csv);
        if (ivKept)
            ivKept->record(p_details, QStringLiteral("更新後"));
    } else if (ivDrugsBefore >= 0) {
        p_details.add(QStringLiteral("藥品"),
                      QStringLiteral("藥品資料（tblDrugs）維持原狀（%1 筆），沒有變更").arg(ivDrugsBefore));
    }
    if (!ivRefused.empty()) {
        QString refused;
        for (const RefusedValue& value : ivRefused)
            refused += u'\n' + value.text();
        p_details.add(QStringLiteral("被拒絕的資料"), QStringLiteral("%1 項").arg(ivRefused.size()) + refused);
    }
    if (ivChanges && !ivChanges->skipped.empty()) {
        QString skipped;
        for (const SkippedValue& value : ivChanges->skipped)
            skipped += u'\n' + value.text();
        p_details.add(QStringLiteral("略過的資料"), QStringLiteral("%1 項").arg(ivChanges->skipped.size()) + skipped);
    }
    if (!ivAfterCommit.isEmpty())
        p_details.add(QStringLiteral("注意"), ivAfterCommit);
}

ActionPreview C52407301::previewChanges(IUpdatorView* p_progress)
{
    const DrugPricePreview changes = preview(p_progress);
    ActionPreview shown{changes.text(true), changes.text(false), changes.csv(), {}};
    if (changes.tableRows() > 0 && changes.listRecords() * 2 < changes.tableRows())
        shown.caution = QStringLiteral("注意：更新後的藥品不到目前的一半；實際更新時會先詢問是否套用，"
                                       "updatlet 須加上 --allow-shrink 才會套用。");
    return shown;
}

QStringList C52407301::sourceFiles() const
{
    return {clinicDatabasePath(), priceListPath()};
}

QString C52407301::doneText() const
{
    QString text = QStringLiteral("藥價更新完成：藥品資料（tblDrugs）現有 %1 筆。").arg(ivDrugCount);
    if (ivChanges && !ivChanges->skipped.empty())
        text += QStringLiteral("藥價資料檔中有 %1 項資料略過或留白（見上方訊息）。").arg(ivChanges->skipped.size());
    return text;
}

QString C52407301::cancelledText() const
{
    return QStringLiteral("若確定要以這份藥價資料取代目前的藥品資料，請加上 --allow-shrink 再執行一次。");
}

QStringList C52407301::refusedTexts() const
{
    QStringList texts;
    for (const RefusedValue& value : ivRefused)
        texts << value.text();
    return texts;
}

bool C52407301::assignColumns(qsizetype index, const DrugPriceLine& fields, platform::Recordset& recordset,
                              std::vector<RefusedValue>& refused, std::vector<SkippedValue>& unconverted)
{
    const auto& columns = DrugPriceLine::columns();
    // A value that does not convert is stored as nothing (a number as 0), as always, and named.
    auto unconvertedValue = [&](const DrugColumn& column) {
        if (const QString why = fields.whyUnconverted(column); !why.isEmpty())
            unconverted.push_back({index + 1, fields.field(3).toString(), column.name, why});
    };
    for (size_t k = 0; k < columns.size(); ++k) {
        try {
            // Text goes in as it stands, straight from the line.
            if (columns[k].conversion == DrugPriceLine::Conversion::Text) {
                recordset.setText(ivColumnIndexes[k], fields.field(columns[k].field));
            } else if (const auto value = fields.value(columns[k])) {
                recordset.setValue(ivColumnIndexes[k], *value);
                if (value->metaType().id() == QMetaType::Int)
                    unconvertedValue(columns[k]);
            } else {
                unconvertedValue(columns[k]);
            }
        } catch (const platform::Error& error) {
            // Any other column left unset still leaves a drug; a row without its code does not.
            refused.push_back({index + 1, fields.field(3).toString(), columns[k].name, error.description()});
            if (columns[k].field == 3)
                return false;
        }
    }
    return true;
}

bool C52407301::addDrugRecord(qsizetype index, const DrugPriceLine& fields, platform::Recordset& recordset)
{
    if (!fields.isDrugRecord())
        return false;
    recordset.AddNew(index);
    if (!assignColumns(index, fields, recordset, ivRefused, ivUnconverted)) {
        recordset.CancelUpdate();
        return false;
    }
    // A refused row is told to the handler; what throws here means nothing more can be stored.
    recordset.Update();
    return true;
}

void C52407301::syncDrugBagCode(QStringView line, CDrugAdvInfoHome& home)
{
    const DrugPriceLine fields(line);
    // Unlike the row insert, a drug without a price is passed over.
    if (!fields.isDrugRecord() || platform::toDouble(fields.field(DrugPriceLine::priceField)) == 0.0)
        return;
    const QString code = fields.field(3).toString();
    const auto info = home.getBy中間六碼(code);
    if (!info || info->代碼() == code)
        return;
    info->set代碼(code);
    if (info->代碼().right(2) == QStringLiteral("G0"))
        info->set代碼(info->代碼().left(8) + QStringLiteral("00"));
    if (!home.updateDrugAdvInfo(*info))
        throw platform::Error(QStringLiteral("無法將藥袋資訊改存為藥品代碼 ") + info->代碼() +
                                  QStringLiteral("。"),
                              platform::Error::Kind::Database);
}

void C52407301::writeUpdateKey()
{
    const auto connection = getClinicConnection(kWriting);
    writeAppliedUpdateKey(connection, ivUpdateTimeStamp);
    connection->Close();
}

} // namespace korvane
