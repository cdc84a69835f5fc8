// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CDrugPriceUndoActioner.h"

#include "DrugPriceLine.h"
#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/Outcome.h"
#include "actions/SkipOnFailure.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/TechnicalNote.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/RowReader.h"
#include "platform/database/Transaction.h"

#include <QDir>
#include <QLocale>
#include <array>
#include <cmath>

namespace korvane {

namespace {

const QString kAction = QStringLiteral("CDrugPriceUndoActioner");
const QString kNothingChanged = QStringLiteral("藥品資料沒有變更。");

constexpr int kWriting = platform::Connection::adModeReadWrite | platform::Connection::adModeShareExclusive;
constexpr int kReading = platform::Connection::adModeRead;
// Where the columns the comparison reads sit in a row of DrugTableImage::readStatement().
constexpr int kCode = 2, kPrice = 3, kDate = 4, kName = 6;

QString count(qsizetype n)
{
    return QLocale::c().toString(qlonglong(n));
}

// "2026-01-12 10:15:00 的藥價更新（C52407301）", as the clerk knows the run.
QString runName(const KeptRun& run)
{
    const QString what = run.action == kAction ? QStringLiteral("還原") : QStringLiteral("藥價更新");
    return run.start.section(u' ', 0, 1) + QStringLiteral(" 的") + what + QStringLiteral("（") + run.action + u'）';
}

void addRow(DrugPricePreview& changes, bool kept, const QVariant& code, const QVariant& name, const QVariant& price,
            const QVariant& date, qint64 place)
{
    if (kept)
        changes.addKeptRow(code.toString(), name.toString(), price.toDouble(), DrugPricePreview::takesEffect(date), place);
    else
        changes.addTableRow(code.toString(), name.toString(), price.toDouble(), DrugPricePreview::takesEffect(date), place);
}

qint16 percent(qsizetype j, qsizetype n)
{
    return qint16(std::nearbyint(double(j) / double(n) * 100.0));
}

} // namespace

CDrugPriceUndoActioner::CDrugPriceUndoActioner(const platform::Services& services)
    : ActionerMembers(steps()), ivServices(services), ivConnections(services)
{
}

const StepList& CDrugPriceUndoActioner::steps()
{
    static const StepList list(1, {QStringLiteral("讀取上次更新前保留的藥品資料"), QStringLiteral("比對目前的藥品資料"),
                                   QStringLiteral("還原藥品資料到資料庫中")});
    return list;
}

QVariant CDrugPriceUndoActioner::getDescription()
{
    QString text = QStringLiteral("按下「確定」按鈕後，將把藥品資料還原成上次藥價更新之前的樣子；"
                                  "上次執行的若是還原，則改回還原之前的樣子。\r\n"
                                  "還原前會先比對目前的藥品資料：上次更新之後若有人修改過藥品資料，會先詢問是否仍要還原。\r\n\r\n");
    const Installation installation(ivServices);
    const KeptRun run = installation.exists() ? lastKeptRun(runLogFolder(ivServices)) : KeptRun{};
    text += run.fileName.isEmpty() ? QStringLiteral("（更新記錄中沒有可以還原的藥價更新。）")
                                   : QStringLiteral("將還原：") + runName(run) + QStringLiteral("。");
    return text;
}

std::shared_ptr<platform::Connection> CDrugPriceUndoActioner::openForRun(int mode)
{
    Installation(ivServices).require();
    if (mode == kReading)
        beforeAnyChange([&] { platform::Connection::requireUnheld(ivConnections.clinicConnectionText()); });
    const auto connection = ivConnections.getClinicConnection(mode);
    try {
        if (!connection->hasTable(QStringLiteral("tblDrugs")))
            throw RunRefused(QStringLiteral("資料庫中找不到藥品資料，這可能不是 Korvane 的資料庫：") +
                             ivConnections.clinicDatabaseName() + u'。' + kNothingChanged +
                             platform::technicalNote(QStringLiteral("資料庫中沒有資料表 tblDrugs")));
        ivTarget = findTarget();
    } catch (...) {
        connection->Close();
        throw;
    }
    return connection;
}

CDrugPriceUndoActioner::Target CDrugPriceUndoActioner::findTarget() const
{
    const QString folder = runLogFolder(ivServices);
    Target target;
    target.run = lastKeptRun(folder);
    if (target.run.fileName.isEmpty())
        throw RunRefused(QStringLiteral("沒有可以還原的藥價更新：這個安裝的更新記錄中，沒有任何一次藥價更新保留了更新前的藥品資料。") +
                         kNothingChanged + platform::technicalNote(QStringLiteral("更新記錄：") +
                                                                   QDir::toNativeSeparators(folder)));
    target.path = QDir::toNativeSeparators(QDir(folder).filePath(target.run.fileName));
    const QString which = QStringLiteral("上次") + runName(target.run) + QStringLiteral("之前保留的藥品資料");
    QByteArray bytes;
    try {
        bytes = readBesideRecord(folder, target.run.fileName);
    } catch (const platform::Error& error) {
        if (error.kind() == platform::Error::Kind::FileNotFound)
            throw RunRefused(QStringLiteral("找不到") + which + QStringLiteral("：") + target.path +
                             QStringLiteral(" 不存在（可能已被刪除或搬走），因此無法還原。") + kNothingChanged);
        throw RunRefused(which + QStringLiteral("無法讀取，因此無法還原：") + error.description() + kNothingChanged);
    }
    try {
        target.image = DrugTableImage::fromFile(bytes);
    } catch (const platform::Error& error) {
        throw RunRefused(which + QStringLiteral("不能使用：") + error.description() + QStringLiteral("（") +
                         target.path + QStringLiteral("），因此無法還原。") + kNothingChanged);
    }
    // Put into another database, the rows would replace drugs they never were.
    const QString kept = target.image.header().database;
    const QString file = ivConnections.clinicDatabaseFile();
    const bool same = file.isEmpty() ? kept.compare(ivConnections.clinicDatabaseName(), Qt::CaseInsensitive) == 0
                                     : platform::samePath(kept, file);
    if (!same)
        throw RunRefused(which + QStringLiteral("是從另一個資料庫（") + kept + QStringLiteral("）讀出的，不是目前的診所資料庫（") +
                         ivConnections.clinicDatabaseName() + QStringLiteral("），因此不會還原。") + kNothingChanged);
    // An emptied drug table would stop the clinic from dispensing: never committed.
    if (target.image.rows().count() == 0)
        throw RunRefused(which + QStringLiteral("是空的（那次更新之前沒有任何藥品資料）；還原會清空藥品資料，因此不會還原。") +
                         kNothingChanged);
    return target;
}

void CDrugPriceUndoActioner::addKeptRows(DrugPricePreview& changes, const DrugTableImage::Rows& rows) const
{
    qint64 place = 0;
    rows.forEach([&](const DrugTableImage::Values& row) {
        addRow(changes, true, row[kCode], row[kName], row[kPrice], row[kDate], place++);
    });
}

bool CDrugPriceUndoActioner::confirmDiffering(qsizetype differing)
{
    const QString what = QStringLiteral("目前的藥品資料與") + runName(ivTarget->run) +
                         QStringLiteral("之後不同：有 %1 筆資料在那之後被新增、刪除或修改過，還原會讓這些變更消失。")
                             .arg(count(differing));
    if (ivServices.dialogs.question(QStringLiteral("還原藥價更新"),
                                    what + QStringLiteral("\r\n要先看還原會改變哪些藥品，請執行 updatlet --dry-run ") + kAction +
                                        QStringLiteral("。\r\n\r\n確定仍要還原嗎？"),
                                    false))
        return true;
    ivServices.dialogs.messageBox(platform::MessageIcon::Information, QStringLiteral("還原藥價更新"),
                                  what + QStringLiteral("未經確認不進行還原，") + kNothingChanged);
    return false;
}

Outcome CDrugPriceUndoActioner::refuse(const RunRefused& refusal)
{
    ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("無法還原"),
                                  QStringLiteral("還原藥價更新沒有執行，原因如下：\r\n") + refusal.description());
    return Outcome::Refused;
}

Outcome CDrugPriceUndoActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivTarget.reset();
    ivKept.reset();
    ivChanges.reset();
    ivChangesCsv.clear();
    ivDrugsBefore = -1;
    ivDrugCount = -1;
    try {
        return takeBack();
    } catch (const RunRefused& refusal) {
        return refuse(refusal);
    } catch (...) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                                      QStringLiteral("還原藥價更新失敗，藥品資料維持原狀，可能的原因為：\r\n") +
                                          platform::describe(std::current_exception()));
        return Outcome::Failed;
    }
}

Outcome CDrugPriceUndoActioner::takeBack()
{
    const StepList& list = steps();
    ivView->setMessgaeValue(list.render(1));
    const auto connection = openForRun(kWriting);
    const Target& target = *ivTarget;
    try {
        ivView->setMessgaeValue(list.render(2));
        // Compared before anything is locked for writing, so that no lock is held while the
        // question waits.
        QString compared;
        {
            const DrugTableImage::Rows now = DrugTableImage::read(connection);
            compared = now.digest();
            if (compared != target.image.header().afterDigest &&
                !confirmDiffering(DrugTableImage::differingRows(now.hashes(), target.image.afterHashes()))) {
                connection->Close();
                return Outcome::Cancelled;
            }
        }
        std::optional<platform::Transaction> transaction;
        beforeAnyChange([&] { transaction.emplace(*connection); });
        DrugPricePreview changes;
        ivKept = std::make_unique<KeptDrugTable>(ivServices, kAction, ivConnections.clinicDatabaseName(),
                                                 target.run.fileName);
        qint64 place = 0;
        ivDrugsBefore = ivKept->readBefore(connection, [&](const platform::RowReader& row) {
            addRow(changes, false, row.value(kCode), row.value(kName), row.value(kPrice), row.value(kDate), place++);
        }).count();
        // What was compared is what is replaced: nobody wrote between the two reads.
        if (ivKept->before().digest() != compared)
            throw platform::Error(QStringLiteral("藥品資料在比對之後又被其他程式變更了，因此沒有還原；請關閉 Korvane 後再執行一次。"),
                                  platform::Error::Kind::Database);

        ivView->setMessgaeValue(list.render(3));
        connection->Execute(QStringLiteral("DELETE FROM tblDrugs"));
        platform::Recordset recordset;
        recordset.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), connection,
                       platform::Recordset::adOpenDynamic, platform::Recordset::adLockOptimistic);
        std::array<int, DrugTableImage::columnCount> columns{};
        for (size_t k = 0; k < columns.size(); ++k) {
            columns[k] = recordset.fieldIndex(DrugPriceLine::columns()[k].name);
            if (columns[k] < 0)
                throw platform::Error(QStringLiteral("藥品資料少了欄位「") + DrugPriceLine::columns()[k].name +
                                          QStringLiteral("」，保留的資料無法放回，因此沒有還原。"),
                                      platform::Error::Kind::Database);
        }
        // Rows go to a server in batches; one refused fails the whole: all or nothing.
        std::optional<platform::Error> refused;
        qint64 refusedRow = -1;
        recordset.setRefusedRowHandler([&](qint64 row, const platform::Error& reason) {
            if (!refused) {
                refused = reason;
                refusedRow = row;
            }
        });
        const DrugTableImage::Rows& rows = target.image.rows();
        const qsizetype n = rows.count();
        qint64 row = 0;
        place = 0;
        std::vector<QString> codes; // for naming a refused row, which a server tells later
        codes.reserve(size_t(n));
        rows.forEach([&](const DrugTableImage::Values& values) {
            ivServices.events.processEvents();
            codes.push_back(values[kCode].toString());
            recordset.AddNew(row);
            for (size_t k = 0; k < columns.size(); ++k)
                recordset.setStored(columns[k], values[k]);
            recordset.Update();
            addRow(changes, true, values[kCode], values[kName], values[kPrice], values[kDate], place++);
            ivView->setProgressBarValue(percent(row++, n));
        });
        recordset.Flush();
        if (refused)
            throw platform::Error(QStringLiteral("資料庫不接受保留的第 %1 筆藥品資料（代碼 ").arg(refusedRow + 1) +
                                      platform::visibleControls(codes[size_t(refusedRow)]) +
                                      QStringLiteral("），因此沒有還原：") + refused->description(),
                                  platform::Error::Kind::DatabaseRefused);
        recordset.Close();
        // Exactly what was kept, or nothing: read back before the commit.
        if (ivKept->readAfter(connection).digest() != target.image.header().digest)
            throw platform::Error(QStringLiteral("放回的藥品資料讀回來後與保留的不完全相同（資料庫改變了某些值），因此沒有還原。"),
                                  platform::Error::Kind::Database);
        changes.finish();
        changes.setCommitted();
        try {
            ivKept->keep();
        } catch (const platform::Error& error) {
            throw platform::Error(QStringLiteral("還原前的藥品資料無法保留下來（供日後再改回），因此沒有還原。") +
                                      error.description(),
                                  error.kind());
        }
        try {
            transaction->commit();
        } catch (...) {
            ivKept->discard();
            throw;
        }
        ivDrugCount = rows.count();
        ivChangesCsv = changes.csv();
        ivChanges = std::move(changes);
    } catch (...) {
        if (ivKept && ivDrugCount < 0)
            ivKept->discard();
        connection->Close();
        throw;
    }
    // Taken back: what follows cannot fail the run.
    skipOnFailure([&] {
        ivServices.dialogs.messageBox(
            platform::MessageIcon::Information, QStringLiteral("還原藥價更新"),
            QStringLiteral("已還原 ") + runName(target.run) + QStringLiteral("之前的藥品資料：現有 %1 筆藥品資料"
                                                                        "（新增 %2、刪除 %3、變價 %4）。\r\n"
                                                                        "若要改回還原之前的樣子，可以再執行一次本程式。")
                                                 .arg(count(ivDrugCount), count(ivChanges->added()), count(ivChanges->removed()),
                                                      count(ivChanges->repriced())));
    });
    skipOnFailure([&] { ivView->hideForm(); });
    skipOnFailure([&] { connection->Close(); });
    return Outcome::Done;
}

void CDrugPriceUndoActioner::recordRun(RunDetails& p_details) const
{
    p_details.setConnection(ivConnections.clinicConnectionText());
    if (ivTarget)
        p_details.setTookBack(ivTarget->run.start + u' ' + ivTarget->run.action, ivTarget->run.fileName);
    if (ivChanges && ivDrugCount >= 0) {
        const QString counts = QStringLiteral("新增 %1、刪除 %2、變價 %3、不變 %4")
                                   .arg(ivChanges->added())
                                   .arg(ivChanges->removed())
                                   .arg(ivChanges->repriced())
                                   .arg(ivChanges->unchanged());
        p_details.setSummary(QStringLiteral("還原 ") + ivTarget->run.start.section(u' ', 0, 1) + u' ' + ivTarget->run.action +
                             QStringLiteral("；") + counts +
                             QStringLiteral("；tblDrugs %1 → %2 筆").arg(ivDrugsBefore).arg(ivDrugCount));
        p_details.add(QStringLiteral("藥品"), QStringLiteral("還原前 %1 筆，還原後 %2 筆；").arg(ivDrugsBefore).arg(ivDrugCount) +
                                                counts + QStringLiteral("（明細見 CSV 檔）"));
        p_details.attach(kAction + QStringLiteral(".csv"), ivChangesCsv);
        if (ivKept)
            ivKept->record(p_details, QStringLiteral("還原後"));
    } else if (ivDrugsBefore >= 0) {
        p_details.add(QStringLiteral("藥品"), QStringLiteral("藥品資料（tblDrugs）維持原狀（%1 筆），沒有變更").arg(ivDrugsBefore));
    }
}

ActionPreview CDrugPriceUndoActioner::previewChanges(IUpdatorView* p_progress)
{
    Q_UNUSED(p_progress);
    ivTarget.reset();
    std::shared_ptr<platform::Connection> connection;
    // Refused as the run refuses, in its words: the user is told, and nothing else is listed.
    try {
        connection = openForRun(kReading);
    } catch (const RunRefused& refusal) {
        ActionPreview refused;
        refused.outcome = refuse(refusal);
        return refused;
    }
    const Target& target = *ivTarget;
    DrugPricePreview changes;
    DrugTableImage::Rows now;
    try {
        qint64 place = 0;
        now = DrugTableImage::read(connection, [&](const platform::RowReader& row) {
            addRow(changes, false, row.value(kCode), row.value(kName), row.value(kPrice), row.value(kDate), place++);
        });
    } catch (...) {
        connection->Close();
        throw;
    }
    connection->Close();
    addKeptRows(changes, target.image.rows());
    changes.finish();
    changes.setSources(target.path, ivConnections.clinicDatabaseName(), DrugPricePreview::Source::KeptTable);
    ActionPreview shown{QStringLiteral("將還原：") + runName(target.run) + QStringLiteral("\n") + changes.text(true),
                        QStringLiteral("將還原：") + runName(target.run) + QStringLiteral("\n") + changes.text(false),
                        changes.csv(),
                        {}};
    if (now.digest() != target.image.header().afterDigest)
        shown.caution = QStringLiteral("注意：目前的藥品資料與那次更新之後有 %1 筆不同（在那之後被新增、刪除或修改過），"
                                       "還原會讓這些變更消失；實際還原時會先詢問，updatlet 須加上 --answer 是 才會還原。")
                            .arg(count(DrugTableImage::differingRows(now.hashes(), target.image.afterHashes())));
    return shown;
}

QStringList CDrugPriceUndoActioner::sourceFiles() const
{
    QStringList files{ivConnections.clinicDatabaseFile()};
    if (ivTarget)
        files << ivTarget->path;
    return files;
}

QString CDrugPriceUndoActioner::cancelledText() const
{
    return QStringLiteral("若確定仍要還原，請加上 --answer 是 再執行一次（先以 --dry-run 看會改變哪些藥品）。");
}

QString CDrugPriceUndoActioner::doneText() const
{
    return QStringLiteral("還原完成：藥品資料（tblDrugs）現有 %1 筆。").arg(ivDrugCount);
}

} // namespace korvane
