// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "CDrugAdvInfo.h"
#include "actions/clsContext.h"

#include <QString>
#include <memory>

namespace korvane {
namespace platform {
class Connection;
}

// The gateway to tblDrugBag on the connection of a context: searches, deletion by code or by
// code family, and writing a record back as the one row of its family. Codes ending in "00" and
// "G0" that agree in the first character and characters 3 to 8 are one drug (one family).
// The connection is asked of the context at every operation.
class CDrugAdvInfoHome
{
public:
    // Public, as other code may read, assign or clear it directly.
    std::shared_ptr<clsContext> iv_context;

    void setContext(const std::shared_ptr<clsContext>& p_context) { iv_context = p_context; }
    std::shared_ptr<CDrugAdvInfo> createDrugAdvInfo() const { return std::make_shared<CDrugAdvInfo>(); }

    // The code's family, or the code alone when it is not of a family. Failures throw.
    void deleteDrugAdvInfoBy健保碼(const QString& p_strNhiCode);
    // Exactly the record's code. Failures throw.
    void deleteDrugAdvInfo(const CDrugAdvInfo& p_code);
    // Replaces the rows of the record's code family by one row with the record's code and texts.
    // The delete and the write are one transaction: when the write fails, the family's rows stay
    // as they were and the answer is false. Inside a transaction of the caller's, a failure
    // throws instead, so that the caller's transaction is not committed with half a write-back.
    bool updateDrugAdvInfo(const CDrugAdvInfo& p_code);

    // A list search whose statement cannot run finds nothing; only a missing connection throws.
    CDrugAdvInfoList getBy成分(const QString& p_strId);
    CDrugAdvInfoList getByKeyWord(const QString& p_strId);
    // The row that stands for the code's family: the first the database returns whose code has
    // the same first character (exact case). Null when there is none. Failures throw.
    std::shared_ptr<CDrugAdvInfo> getBy中間六碼(const QString& p_strNhiCode);
    // The first row of exactly this code, or null. Failures throw.
    std::shared_ptr<CDrugAdvInfo> getById(const QString& p_strId);

    // A list holds at most this many records; further rows are not read.
    static constexpr qsizetype maxRecords = 32768;

private:
    std::shared_ptr<platform::Connection> connection() const;
    // The records of the statement's rows; a null field reads as empty text.
    CDrugAdvInfoList mapRows(const QString& p_statement) const;
    CDrugAdvInfoList readRows(const QString& p_statement,
                              const std::shared_ptr<platform::Connection>& p_connection) const;
    void writeBack(const CDrugAdvInfo& p_code, const std::shared_ptr<platform::Connection>& p_connection);
};

} // namespace korvane
