// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "C524011003.h"

#include "actions/Installation.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

namespace korvane {

namespace {

using platform::Recordset;

bool isBlank(const QVariant& value)
{
    return value.isNull() || DrugBagActioner::trimBlanks(value.toString()).isEmpty();
}

// Indications fit a label: without blanks around them and cut to 250 characters; a null stays
// null.
QVariant labelIndications(const QVariant& value)
{
    return value.isNull() ? value : QVariant(DrugBagActioner::trimBlanks(value.toString()).left(250));
}

} // namespace

C524011003::C524011003(const platform::Services& services) : DrugBagActioner(services) {}

QString C524011003::previewHeading() const
{
    return QStringLiteral("藥袋資料更新預覽（依藥袋列印模組附帶的健保用藥資料；只讀取，不會新增或改寫任何藥袋資料）");
}

QString C524011003::cleanedName(QString p_name)
{
    return p_name.remove(u'#').remove(u'?').remove(u'\'');
}

void C524011003::update(const Installation& installation)
{
    const auto profile = open(ConnectionTexts::drugBagProfile(installation.drugProfilePath()), Use::Writing);
    const auto transaction = begin(*profile);
    scan(QStringLiteral("SELECT * FROM tDrugInfoFronNhi "), profile,
         [&](const Recordset& row, qint64 count, qint64 total) {
             showProgressText(count, total);
             const QVariant code = row.value(QStringLiteral("健保碼"));
             // A profile row without a code has nothing to look up.
             if (!code.isNull()) {
                 const QString trimmed = trimBlanks(code.toString());
                 forDrug(trimmed, [&] { syncCode(trimmed, profile); });
             }
         });
    commit(transaction);
    profile->Close();
}

LabelWrite C524011003::labelFor(const QString& code, const Recordset& bag, const Recordset& nhi)
{
    LabelWrite label;
    label.code = code;
    label.added = bag.Bof();
    const QVariant indications = labelIndications(nhi.value(QStringLiteral("適應症")));
    if (label.added) {
        label.set(QStringLiteral("藥品代碼"), code);
        label.set(QStringLiteral("適應症"), indications);
        for (const QString& column :
             {QStringLiteral("英文品名"), QStringLiteral("成分名稱"), QStringLiteral("廠商名稱"),
              QStringLiteral("其他用藥指示"), QStringLiteral("副作用"), QStringLiteral("孕婦等級"),
              QStringLiteral("藥品警語")})
            label.set(column, QStringLiteral(""));
    }
    if (isBlank(label.value(QStringLiteral("適應症"), bag)))
        label.set(QStringLiteral("適應症"), indications);
    if (isBlank(label.value(QStringLiteral("藥品外觀"), bag)))
        label.set(QStringLiteral("藥品外觀"), nhi.value(QStringLiteral("劑型")));
    // A profile row without a Chinese name leaves the label's name as it was.
    const QVariant name = nhi.value(QStringLiteral("中文名"));
    if (!name.isNull())
        label.set(QStringLiteral("中文品名"), cleanedName(name.toString()));
    return label;
}

void C524011003::syncCode(const QString& code, const std::shared_ptr<platform::Connection>& profile)
{
    // The code is bound, never pasted: a quote in it can neither break nor change the statement.
    Recordset bag;
    bag.Open(QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼=?"), profile, Recordset::adOpenDynamic,
             Recordset::adLockOptimistic, {code});
    Recordset nhi;
    nhi.Open(QStringLiteral("SELECT * FROM tDrugInfoFromNhi WHERE 健保碼=?"), profile,
             Recordset::adOpenDynamic, Recordset::adLockOptimistic, {code});
    // Without a profile row there is nothing to copy: an existing row stays as it is, and no
    // empty row is made.
    if (nhi.Bof())
        return;
    write(labelFor(code, bag, nhi), bag);
}

} // namespace korvane
