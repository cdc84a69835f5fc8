// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DrugBagActioner.h"

namespace korvane {
namespace platform {
class Recordset;
}

// Gives the clinic's "AC" drugs (tblDrugs of the clinic database) the drug-bag label texts of
// their "A0" counterparts: "A0" and the AC code's last eight characters. An AC label keeps its
// own Chinese name and, where it has them, its own indications.
class C524011002 : public DrugBagActioner
{
public:
    explicit C524011002(const platform::Services& services);
    QString previewHeading() const override;

protected:
    void update(const Installation& installation) override;

private:
    // The label the A0 row gives the AC code, from what the AC row holds (none: a new one).
    static LabelWrite labelFor(const QString& acCode, const platform::Recordset& acRow, const platform::Recordset& a0Row);
    void rewrite(const QString& acCode, const platform::Recordset& a0Row,
                 const std::shared_ptr<platform::Connection>& profile);
};

} // namespace korvane
