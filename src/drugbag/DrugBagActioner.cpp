// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugBagActioner.h"

#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/Outcome.h"
#include "actions/RunRecord.h"
#include "actions/SkipOnFailure.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

#include <QScopeGuard>
#include <QStringBuilder>
#include <algorithm>
#include <cmath>
#include <optional>

namespace korvane {

namespace {

// Every text column of a label, in the order the table lists them: the columns of the preview's
// CSV.
const QStringList kLabelColumns{QStringLiteral("英文品名"), QStringLiteral("中文品名"), QStringLiteral("成分名稱"),
                                QStringLiteral("廠商名稱"), QStringLiteral("藥品外觀"), QStringLiteral("適應症"),
                                QStringLiteral("其他用藥指示"), QStringLiteral("副作用"), QStringLiteral("孕婦等級"),
                                QStringLiteral("藥品警語")};

// As the table holds them: a null is no text, text is compared as text.
bool sameValue(const QVariant& a, const QVariant& b)
{
    return a.isNull() || b.isNull() ? a.isNull() == b.isNull() : a.toString() == b.toString();
}

// A value on a terminal line: its control characters shown, a long text cut.
QString shown(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("（空白）");
    QString text = platform::visibleControls(value.toString());
    if (text.size() > 30)
        text = text.left(30) + QStringLiteral("…");
    return u'「' + text + u'」';
}

} // namespace

QVariant LabelWrite::value(const QString& column, const platform::Recordset& row) const
{
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        if (it->first == column)
            return it->second;
    }
    return added ? QVariant() : row.value(column);
}

void LabelWrite::set(const QString& column, const QVariant& value)
{
    values.emplace_back(column, value);
}

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
    // A preview's step list would read as work done; its progress texts are shown.
    if (!ivPreview)
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
    // A preview reads the database the run writes, but is refused where the run would be.
    using platform::Connection;
    connection->setMode(use == Use::Reading ? Connection::adModeRead
                        : ivPreview         ? Connection::adModeRead | Connection::adModeShareExclusive
                                            : Connection::adModeReadWrite | Connection::adModeShareExclusive);
    connection->setStatementLog(ivServices.statementLog);
    beforeAnyChange([&connection] { connection->Open(); });
    return connection;
}

std::unique_ptr<platform::Transaction> DrugBagActioner::begin(platform::Connection& connection) const
{
    if (ivPreview)
        return nullptr;
    return beforeAnyChange([&connection] { return std::make_unique<platform::Transaction>(connection); });
}

void DrugBagActioner::commit(const std::unique_ptr<platform::Transaction>& transaction)
{
    if (transaction)
        transaction->commit();
}

DrugBagActioner::LabelChange DrugBagActioner::changeOf(const LabelWrite& label, const platform::Recordset& row)
{
    LabelChange change{label.code, label.added, {}};
    for (const auto& [column, value] : label.values) {
        const auto seen = std::find_if(change.columns.begin(), change.columns.end(),
                                       [&](const auto& written) { return written.first == column; });
        if (seen != change.columns.end())
            seen->second.second = value;
        else
            change.columns.push_back({column, {label.added ? QVariant() : row.value(column), value}});
    }
    // The value set last counts; a column that ends as it was is no change.
    std::erase_if(change.columns, [&](const auto& column) {
        return !label.added && sameValue(column.second.first, column.second.second);
    });
    return change;
}

void DrugBagActioner::write(const LabelWrite& label, platform::Recordset& row)
{
    std::optional<LabelChange> change;
    if (ivPreview)
        change = changeOf(label, row);
    if (label.added)
        row.AddNew();
    for (const auto& [column, value] : label.values)
        row.setValue(column, value);
    // Given as the run gives them, a value that a column refuses fails the preview as the run.
    if (ivPreview)
        row.CancelUpdate();
    else
        row.Update();
    countLabel(label.added);
    if (change && (change->added || !change->columns.empty()))
        ivPreview->push_back(std::move(*change));
}

Outcome DrugBagActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivPreview = nullptr;
    return perform();
}

ActionPreview DrugBagActioner::previewChanges(IUpdatorView* p_progress)
{
    SilentView silent;
    ivView = p_progress ? p_progress : &silent;
    std::vector<LabelChange> labels;
    ivPreview = &labels;
    const auto done = qScopeGuard([this] {
        ivPreview = nullptr;
        ivView = nullptr;
    });
    ActionPreview preview;
    preview.outcome = perform();
    return preview.outcome == Outcome::Done ? previewOf(labels) : preview;
}

ActionPreview DrugBagActioner::previewOf(const std::vector<LabelChange>& labels) const
{
    QString lines;
    QStringList header{QStringLiteral("異動"), QStringLiteral("藥品代碼"), QStringLiteral("變更的欄位")};
    for (const QString& column : kLabelColumns)
        header << column + QStringLiteral("（原來）") << column + QStringLiteral("（更新後）");
    QString csv = QStringLiteral("\uFEFF") + platform::csvLine(header);
    for (const LabelChange& label : labels) {
        QStringList said;
        QStringList changed;
        for (const auto& [column, values] : label.columns) {
            if (column == QStringLiteral("藥品代碼"))
                continue;
            changed << column;
            if (label.added) {
                if (!values.second.isNull() && !values.second.toString().isEmpty())
                    said << column + shown(values.second);
            } else {
                said << column + shown(values.first) + QStringLiteral("→") + shown(values.second);
            }
        }
        const QString change = label.added ? QStringLiteral("新增") : QStringLiteral("改寫");
        lines += change + u' ' + platform::visibleControls(label.code) + QStringLiteral("：") +
                 (said.isEmpty() ? QStringLiteral("各欄空白") : said.join(QStringLiteral("、"))) + u'\n';
        QStringList row{change, label.code, changed.join(QStringLiteral("、"))};
        for (const QString& column : kLabelColumns) {
            const auto found = std::find_if(label.columns.begin(), label.columns.end(),
                                            [&](const auto& written) { return written.first == column; });
            if (found == label.columns.end())
                row << QString() << QString();
            else
                row << found->second.first.toString() << found->second.second.toString();
        }
        csv += platform::csvLine(row);
    }
    const qint64 unchanged = ivLabelsChanged - qint64(labels.size()) + std::count_if(labels.begin(), labels.end(), [](const LabelChange& label) {
                                 return label.added;
                             });
    ActionPreview preview;
    preview.totals = QStringLiteral("合計：新增 %1 筆藥袋資料，改寫 %2 筆（其中 %3 筆內容不變，沒有列出）。\n")
                         .arg(ivLabelsAdded)
                         .arg(ivLabelsChanged)
                         .arg(unchanged);
    preview.changes = lines + (lines.isEmpty() ? QString() : QStringLiteral("\n")) + preview.totals;
    preview.csv = csv.toUtf8();
    preview.closing = QStringLiteral("預覽結束：只讀取了藥袋資料，沒有新增或改寫任何一筆，也沒有寫入更新記錄。");
    return preview;
}

QStringList DrugBagActioner::sourceFiles() const
{
    const Installation installation(ivServices);
    return {installation.drugProfilePath(), installation.clinicDatabasePath()};
}

Outcome DrugBagActioner::perform()
{
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
    try {
        update(installation);
        ivCommitted = !ivPreview;
    } catch (const RunRefused& refusal) {
        // Another program holds a database: nothing has been changed.
        // Its words say what to close.
        return reportRefusal(ivServices.dialogs,
                             QStringLiteral("藥袋資料沒有更新，維持原狀，沒有任何變更。原因：\r\n") + refusal.description());
    } catch (...) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                                      QStringLiteral("更新藥袋資料失敗：藥袋資料維持原狀，沒有任何變更。可能的原因為：\r\n") +
                                          platform::describe(std::current_exception()) +
                                          QStringLiteral("\r\n\r\n排除原因後，可以再執行一次本更新程式。"));
        return Outcome::Failed;
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
