// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugBagActioner.h"

#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/Outcome.h"
#include "actions/RunRecord.h"
#include "actions/SkipOnFailure.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

#include <QStringBuilder>
#include <cmath>

namespace korvane {

namespace {

} // namespace

DrugBagActioner::DrugBagActioner(const platform::Services& services) : ContextActioner(steps()), ivServices(services) {}

const StepList& DrugBagActioner::steps()
{
    static const StepList list(0, {QStringLiteral("更新前置作業"), QStringLiteral("更新藥袋資訊到Korvane中"),
                                   QStringLiteral("刪除本次更新暫存檔")});
    return list;
}

QVariant DrugBagActioner::getDescription()
{
    return QStringLiteral("更新Korvane系統藥袋資訊");
}

QString DrugBagActioner::getAppName()
{
    return ivPackName;
}

QString DrugBagActioner::trimBlanks(QStringView text)
{
    while (text.startsWith(u' '))
        text = text.mid(1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text.toString();
}

qint16 DrugBagActioner::progressValue(qint64 count, qint64 total)
{
    return qint16(std::nearbyint(double(count) * 100.0 / double(total)));
}

QString DrugBagActioner::progressText(qint64 count, qint64 total)
{
    const double percent = std::round(double(count) * 100.0 / double(total));
    // Built once per row: one allocation, not one per piece.
    return QStringLiteral("目前處理:") % (count == 0 ? QString() : QString::number(count)) %
           QStringLiteral(" / ") % QString::number(total) % QStringLiteral(".....") %
           (percent == 0 ? QString() : QString::number(qint64(percent))) % u'%';
}

void DrugBagActioner::say(qint16 step)
{
    ivView->setMessgaeValue(getMessageString(step).toString());
}

void DrugBagActioner::scan(
    const QString& statement, const std::shared_ptr<platform::Connection>& connection,
    const std::function<void(const platform::Recordset& row, qint64 count, qint64 total)>& each)
{
    platform::Recordset rows;
    rows.Open(statement, connection, platform::Recordset::adOpenKeyset,
              platform::Recordset::adLockOptimistic);
    if (rows.Bof())
        return;
    say(1);
    const qint64 total = rows.RecordCount();
    for (qint64 count = 0; !rows.Eof(); ++count) {
        ivServices.events.processEvents();
        ivView->setProgressBarValue(progressValue(count, total));
        each(rows, count, total);
        rows.MoveNext();
    }
}

void DrugBagActioner::showProgressText(qint64 count, qint64 total)
{
    ivView->setMessgaeValue(progressText(count, total));
}

std::shared_ptr<platform::Connection> DrugBagActioner::open(const QString& connectionText, Use use)
{
    ivConnectionTexts << connectionText;
    auto connection = std::make_shared<platform::Connection>();
    connection->setConnectionString(connectionText);
    connection->setMode(use == Use::Writing
                            ? platform::Connection::adModeReadWrite | platform::Connection::adModeShareExclusive
                            : platform::Connection::adModeRead);
    connection->setStatementLog(ivServices.statementLog);
    beforeAnyChange([&connection] { connection->Open(); });
    return connection;
}

std::unique_ptr<platform::Transaction> DrugBagActioner::begin(platform::Connection& connection)
{
    return beforeAnyChange([&connection] { return std::make_unique<platform::Transaction>(connection); });
}

Outcome DrugBagActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivConnectionTexts.clear();
    ivLabelsAdded = ivLabelsChanged = 0;
    ivCommitted = false;
    const Installation installation(ivServices);
    try {
        installation.require();
    } catch (const RunRefused& refusal) {
        return reportRefusal(ivServices.dialogs, refusal.description());
    }
    if (!ivServices.files.fileExists(installation.drugProfilePath())) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("安裝失敗"),
                                      QStringLiteral("沒有安裝Zan科技藥袋列印模組，請上公司網站下載"));
        return Outcome::Refused;
    }
    // Refused where another program holds a database before anything was changed.
    Outcome notDone = Outcome::Failed;
    std::exception_ptr error;
    try {
        update(installation);
        ivCommitted = true;
    } catch (const RunRefused&) {
        notDone = Outcome::Refused;
        error = std::current_exception();
    } catch (...) {
        error = std::current_exception();
    }
    if (error) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                                      QStringLiteral("更新藥袋資訊作業失敗，藥袋資訊維持原狀，未做任何變更。可能的原因為：\r\n") +
                                          platform::describe(error));
        return notDone;
    }
    skipOnFailure([&] { say(2); });
    skipOnFailure([&] { ivView->setProgressBarValue(100); });
    return Outcome::Done;
}

void DrugBagActioner::recordRun(RunDetails& p_details) const
{
    p_details.setConnection(ivConnectionTexts.join(u'\n'));
    if (!ivCommitted) {
        p_details.add(QStringLiteral("藥袋資料"), QStringLiteral("tblDrugBag 維持原狀，沒有變更"));
        return;
    }
    const QString counts = QStringLiteral("藥袋資料新增 %1 筆、改寫 %2 筆").arg(ivLabelsAdded).arg(ivLabelsChanged);
    p_details.setSummary(counts);
    p_details.add(QStringLiteral("藥袋資料"), QStringLiteral("tblDrugBag ") + counts);
}

void DrugBagActioner::forDrug(const QString& code, const std::function<void()>& work)
{
    try {
        work();
    } catch (const platform::Error& error) {
        // Which label could not be written is what the clinic needs to mend it.
        throw platform::Error(QStringLiteral("藥品代碼 ") + code + QStringLiteral("：") + error.description(),
                              error.kind());
    }
}

void DrugBagActioner::deleteProfileMetaFile()
{
    try {
        ivServices.files.removeFile(
            platform::joinPath(ivServices.packFolder, QStringLiteral("\\dbDrugProfile_meta.mdb")));
    } catch (const platform::Error&) {
        // Missing or in use: there is nothing to clean up that matters.
    }
}

} // namespace korvane
