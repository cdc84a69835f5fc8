// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "KeptDrugTable.h"

#include "actions/RunRecord.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QLocale>

namespace korvane {

KeptDrugTable::KeptDrugTable(const platform::Services& services, QString action, QString database, QString undoes)
    : ivServices(services)
{
    ivHeader.action = std::move(action);
    ivHeader.run = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ivHeader.database = std::move(database);
    ivHeader.undoes = std::move(undoes);
}

KeptDrugTable::~KeptDrugTable()
{
    // The compression holds the rows it reads: it ends before they go.
    if (ivCompressed.valid())
        ivCompressed.wait();
}

QString KeptDrugTable::name()
{
    return QStringLiteral("tblDrugs.before");
}

const DrugTableImage::Rows& KeptDrugTable::readBefore(const std::shared_ptr<platform::Connection>& connection,
                                                      const std::function<void(const platform::RowReader&)>& each)
{
    ivBefore = DrugTableImage::read(connection, each);
    ivCompressed = std::async(std::launch::async, [this] { return DrugTableImage::compress(ivBefore); });
    return ivBefore;
}

const DrugTableImage::Rows& KeptDrugTable::readAfter(const std::shared_ptr<platform::Connection>& connection)
{
    ivAfter = DrugTableImage::readHashes(connection);
    return ivAfter;
}

void KeptDrugTable::keep()
{
    ivFileName = keepBesideRecord(ivServices, name(), DrugTableImage::fileBytes(ivHeader, ivCompressed.get(), ivBefore, ivAfter));
}

void KeptDrugTable::discard() noexcept
{
    if (ivFileName.isEmpty())
        return;
    try {
        dropBesideRecord(ivServices, ivFileName);
    } catch (...) {
    }
    ivFileName.clear();
}

void KeptDrugTable::record(RunDetails& details, const QString& afterWord) const
{
    if (ivFileName.isEmpty())
        return;
    const QLocale c = QLocale::c();
    details.setKept(ivFileName, QStringLiteral("之前的藥品資料 %1 筆；%2 %3 筆，摘要 %4")
                                    .arg(c.toString(qlonglong(ivBefore.count())), afterWord,
                                         c.toString(qlonglong(ivAfter.count())), ivAfter.digest()));
}

} // namespace korvane
