// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "C524011002.h"

#include "actions/Installation.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

namespace korvane {

namespace {

using platform::Recordset;

const QString kSelectCode = QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼=?");

} // namespace

C524011002::C524011002(const platform::Services& services) : DrugBagActioner(services) {}

QString C524011002::previewHeading() const
{
    return QStringLiteral("藥袋資料更新預覽（AC 藥品沿用對應 A0 藥品的藥袋資料；只讀取，不會新增或改寫任何藥袋資料）");
}

void C524011002::update(const Installation& installation)
{
    // The clinic's drugs are only read; the labels are written.
    const auto clinic = open(ConnectionTexts::drugBagClinic(installation.clinicDatabasePath()), Use::Reading);
    const auto profile = open(ConnectionTexts::drugBagProfile(installation.drugProfilePath()), Use::Writing);
    const auto transaction = begin(*profile);
    scan(QStringLiteral("SELECT * FROM tblDrugs WHERE 代碼 LIKE 'AC%'"), clinic,
         [&](const Recordset& drug, qint64 count, qint64 total) {
             // The counterpart takes the stored code's last eight characters, blanks and all;
             // the AC label is found and written under the code without blanks.
             const QString code = drug.value(QStringLiteral("代碼")).toString();
             forDrug(code, [&] {
                 Recordset a0Row;
                 a0Row.Open(kSelectCode, profile, Recordset::adOpenDynamic, Recordset::adLockOptimistic,
                            {QString(QStringLiteral("A0") + code.right(8))});
                 showProgressText(count, total);
                 if (!a0Row.Bof())
                     rewrite(trimBlanks(code), a0Row, profile);
             });
         });
    clinic->Close();
    commit(transaction);
    profile->Close();
}

LabelWrite C524011002::labelFor(const QString& acCode, const Recordset& acRow, const Recordset& a0Row)
{
    // A new AC label takes the counterpart's indications and has no Chinese name yet; an
    // existing one keeps its own, nulls included.
    LabelWrite label;
    label.code = acCode;
    label.added = acRow.Bof();
    QVariant name = QStringLiteral("");
    QVariant indications = a0Row.value(QStringLiteral("適應症"));
    if (!label.added) {
        name = acRow.value(QStringLiteral("中文品名"));
        const QVariant own = acRow.value(QStringLiteral("適應症"));
        if (!own.isNull())
            indications = own;
    }
    // The existing row is rewritten in place: the same row as a delete and an add would leave,
    // in one statement.
    label.set(QStringLiteral("藥品代碼"), acCode);
    label.set(QStringLiteral("適應症"), indications);
    label.set(QStringLiteral("英文品名"), a0Row.value(QStringLiteral("英文品名")));
    label.set(QStringLiteral("中文品名"), name);
    for (const QString& column :
         {QStringLiteral("藥品外觀"), QStringLiteral("其他用藥指示"), QStringLiteral("副作用"),
          QStringLiteral("成分名稱"), QStringLiteral("廠商名稱"), QStringLiteral("孕婦等級"),
          QStringLiteral("藥品警語")})
        label.set(column, a0Row.value(column));
    return label;
}

void C524011002::rewrite(const QString& acCode, const Recordset& a0Row,
                         const std::shared_ptr<platform::Connection>& profile)
{
    Recordset acRow;
    acRow.Open(kSelectCode, profile, Recordset::adOpenDynamic, Recordset::adLockOptimistic, {acCode});
    write(labelFor(acCode, acRow, a0Row), acRow);
}

} // namespace korvane
