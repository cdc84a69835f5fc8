// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace korvane {

// The texts of one drug-bag label, as one row of tblDrugBag holds them. A plain value: nothing
// is checked, and changing it changes no row until the store writes it back.
class CDrugAdvInfo
{
public:
    void set警語(const QString& vData) { iv警語 = vData; }
    QString 警語() const { return iv警語; }
    void set副作用(const QString& vData) { iv副作用 = vData; }
    QString 副作用() const { return iv副作用; }
    void set其他用藥指示(const QString& vData) { iv其他用藥指示 = vData; }
    QString 其他用藥指示() const { return iv其他用藥指示; }
    void set適應症(const QString& vData) { iv適應症 = vData; }
    QString 適應症() const { return iv適應症; }
    void set外觀(const QString& vData) { iv外觀 = vData; }
    QString 外觀() const { return iv外觀; }
    void set廠商名(const QString& vData) { iv廠商名 = vData; }
    QString 廠商名() const { return iv廠商名; }
    void set成份名(const QString& vData) { iv成份名 = vData; }
    QString 成份名() const { return iv成份名; }
    void set中文名(const QString& vData) { iv中文名 = vData; }
    QString 中文名() const { return iv中文名; }
    void set英文名(const QString& vData) { iv英文名 = vData; }
    QString 英文名() const { return iv英文名; }
    void set代碼(const QString& vData) { iv代碼 = vData; }
    QString 代碼() const { return iv代碼; }

private:
    QString iv代碼;
    QString iv英文名;
    QString iv中文名;
    QString iv成份名;
    QString iv廠商名;
    QString iv外觀;
    QString iv適應症;
    QString iv其他用藥指示;
    QString iv副作用;
    QString iv警語;
};

// The records of a search, in the database's order. When nothing was found it holds one
// element, and that element holds no record.
using CDrugAdvInfoList = std::vector<std::shared_ptr<CDrugAdvInfo>>;

} // namespace korvane
