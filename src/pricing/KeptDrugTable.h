// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DrugTableImage.h"
#include "platform/Services.h"

#include <QString>
#include <functional>
#include <future>
#include <memory>

namespace korvane {
namespace platform {
class Connection;
class RowReader;
}
class RunDetails;

// What a run that replaces tblDrugs keeps of the table before it commits, so that the run can be
// taken back: the table as it was, read in one pass (which the run also compares with), and,
// once the run has written its rows, the table as it leaves it; the file of both written and
// flushed beside the run's record. A run that cannot keep it must not commit: keep() throws.
class KeptDrugTable
{
public:
    // action: the run's own; database: the clinic database as a user would find it; undoes: for
    // an undo, the file of the run it puts back.
    KeptDrugTable(const platform::Services& services, QString action, QString database, QString undoes = {});
    ~KeptDrugTable();
    KeptDrugTable(const KeptDrugTable&) = delete;
    KeptDrugTable& operator=(const KeptDrugTable&) = delete;

    // Reads every row of the table as it is now; each hears every row too. The rows are then
    // compressed beside the run's further work.
    const DrugTableImage::Rows& readBefore(const std::shared_ptr<platform::Connection>& connection,
                                           const std::function<void(const platform::RowReader&)>& each = {});
    // Reads the table as the run leaves it, inside the run's transaction.
    const DrugTableImage::Rows& readAfter(const std::shared_ptr<platform::Connection>& connection);
    // Writes the file and flushes it to the disk. Throws platform::Error naming the file and the
    // cause (a full disk, a link where it would go): the run must not commit then, and says why.
    void keep();
    // For a run that did not commit after all: the file written goes again.
    void discard() noexcept;

    const DrugTableImage::Rows& before() const { return ivBefore; }
    const DrugTableImage::Rows& after() const { return ivAfter; }
    // The file's name beside the record once kept; empty before.
    const QString& fileName() const { return ivFileName; }
    // Names the file in the record, with what the run left.
    void record(RunDetails& details, const QString& afterWord) const;

    // The name the files of this kind have after their stem.
    static QString name();

private:
    platform::Services ivServices;
    DrugTableImage::Header ivHeader;
    DrugTableImage::Rows ivBefore;
    DrugTableImage::Rows ivAfter;
    std::future<QByteArray> ivCompressed;
    QString ivFileName;
};

} // namespace korvane
