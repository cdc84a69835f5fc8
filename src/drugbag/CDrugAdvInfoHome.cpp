// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CDrugAdvInfoHome.h"

#include "DrugBagSql.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

#include <array>

namespace korvane {

namespace {

using platform::Recordset;

// The columns of tblDrugBag and the record properties they fill, in the order they are copied.
struct Field
{
    const char16_t* column;
    QString (CDrugAdvInfo::*read)() const;
    void (CDrugAdvInfo::*write)(const QString&);
};

const std::array<Field, 10> kFields{{
    {u"藥品代碼", &CDrugAdvInfo::代碼, &CDrugAdvInfo::set代碼},
    {u"英文品名", &CDrugAdvInfo::英文名, &CDrugAdvInfo::set英文名},
    {u"中文品名", &CDrugAdvInfo::中文名, &CDrugAdvInfo::set中文名},
    {u"成分名稱", &CDrugAdvInfo::成份名, &CDrugAdvInfo::set成份名},
    {u"廠商名稱", &CDrugAdvInfo::廠商名, &CDrugAdvInfo::set廠商名},
    {u"藥品外觀", &CDrugAdvInfo::外觀, &CDrugAdvInfo::set外觀},
    {u"適應症", &CDrugAdvInfo::適應症, &CDrugAdvInfo::set適應症},
    {u"其他用藥指示", &CDrugAdvInfo::其他用藥指示, &CDrugAdvInfo::set其他用藥指示},
    {u"副作用", &CDrugAdvInfo::副作用, &CDrugAdvInfo::set副作用},
    {u"藥品警語", &CDrugAdvInfo::警語, &CDrugAdvInfo::set警語},
}};

} // namespace

std::shared_ptr<platform::Connection> CDrugAdvInfoHome::connection() const
{
    auto connection = iv_context ? iv_context->getConnection() : nullptr;
    if (!connection)
        throw platform::Error(QStringLiteral("物件變數未設定（沒有資料庫連線）。"),
                              platform::Error::Kind::NullObject);
    return connection;
}

void CDrugAdvInfoHome::deleteDrugAdvInfoBy健保碼(const QString& p_strNhiCode)
{
    connection()->Execute(DrugBagSql::deleteFamily(p_strNhiCode));
}

void CDrugAdvInfoHome::deleteDrugAdvInfo(const CDrugAdvInfo& p_code)
{
    connection()->Execute(DrugBagSql::deleteCode(p_code.代碼()));
}

CDrugAdvInfoList CDrugAdvInfoHome::readRows(const QString& p_statement,
                                            const std::shared_ptr<platform::Connection>& p_connection) const
{
    Recordset rs;
    rs.Open(p_statement, p_connection, Recordset::adOpenDynamic, Recordset::adLockOptimistic);
    std::array<int, kFields.size()> columns{};
    for (size_t k = 0; k < kFields.size(); ++k)
        columns[k] = rs.fieldIndex(QString::fromUtf16(kFields[k].column));
    CDrugAdvInfoList list;
    while (!rs.Eof() && qsizetype(list.size()) < maxRecords) {
        auto record = createDrugAdvInfo();
        for (size_t k = 0; k < kFields.size(); ++k) {
            // A column the table lacks leaves its property empty, as a null does.
            if (columns[k] >= 0)
                (record.get()->*kFields[k].write)(rs.value(columns[k]).toString());
        }
        list.push_back(std::move(record));
        rs.MoveNext();
    }
    return list;
}

CDrugAdvInfoList CDrugAdvInfoHome::mapRows(const QString& p_statement) const
{
    const auto conn = connection();
    CDrugAdvInfoList list;
    try {
        list = readRows(p_statement, conn);
    } catch (const platform::Error&) {
        // A statement that cannot run finds nothing, as one without rows does.
        list.clear();
    }
    if (list.empty())
        list.push_back(nullptr);
    return list;
}

CDrugAdvInfoList CDrugAdvInfoHome::getBy成分(const QString& p_strId)
{
    return mapRows(DrugBagSql::selectIngredient(p_strId));
}

CDrugAdvInfoList CDrugAdvInfoHome::getByKeyWord(const QString& p_strId)
{
    return mapRows(DrugBagSql::selectKeyWord(p_strId));
}

std::shared_ptr<CDrugAdvInfo> CDrugAdvInfoHome::getBy中間六碼(const QString& p_strNhiCode)
{
    const QString first = p_strNhiCode.left(1);
    for (const auto& record : readRows(DrugBagSql::selectFamily(p_strNhiCode), connection())) {
        if (record->代碼().left(1) == first)
            return record;
    }
    return nullptr;
}

std::shared_ptr<CDrugAdvInfo> CDrugAdvInfoHome::getById(const QString& p_strId)
{
    const CDrugAdvInfoList list = readRows(DrugBagSql::selectCode(p_strId), connection());
    return list.empty() ? nullptr : list.front();
}

void CDrugAdvInfoHome::writeBack(const CDrugAdvInfo& p_code,
                                 const std::shared_ptr<platform::Connection>& p_connection)
{
    p_connection->Execute(DrugBagSql::deleteFamily(p_code.代碼()));
    Recordset rs;
    rs.Open(DrugBagSql::selectCode(p_code.代碼()), p_connection, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic);
    // The code's own row is still there when the family patterns do not reach it (a code
    // shorter than ten characters); it is then changed in place.
    if (rs.Bof())
        rs.AddNew();
    for (const Field& field : kFields)
        rs.setValue(QString::fromUtf16(field.column), (p_code.*field.read)());
    rs.Update();
}

bool CDrugAdvInfoHome::updateDrugAdvInfo(const CDrugAdvInfo& p_code)
{
    std::shared_ptr<platform::Connection> conn;
    try {
        conn = connection();
    } catch (const platform::Error&) {
        return false;
    }
    if (conn->InTransaction()) {
        writeBack(p_code, conn);
        return true;
    }
    try {
        platform::Transaction transaction(*conn);
        writeBack(p_code, conn);
        transaction.commit();
        return true;
    } catch (const platform::Error&) {
        return false;
    }
}

} // namespace korvane
