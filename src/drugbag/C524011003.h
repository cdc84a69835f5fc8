// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DrugBagActioner.h"

namespace korvane {
namespace platform {
class Recordset;
}

// Brings the drug-bag labels in line with the NHI drug profile that the drug-bag printing module
// ships in its drug-profile database: every drug of the profile gets a tblDrugBag row, empty
// indications and appearance are filled from the profile, and the Chinese name is the
// profile's, without "#", "?" and "'".
class C524011003 : public DrugBagActioner
{
public:
    explicit C524011003(const platform::Services& services);
    QString previewHeading() const override;

    // The profile's Chinese name as a label shows it.
    static QString cleanedName(QString p_name);

protected:
    void update(const Installation& installation) override;

private:
    // The label the profile row gives the code, from what its bag row holds (none: a new one).
    static LabelWrite labelFor(const QString& code, const platform::Recordset& bag, const platform::Recordset& nhi);
    void syncCode(const QString& code, const std::shared_ptr<platform::Connection>& profile);
};

} // namespace korvane
