// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringView>
#include <iterator>

class QIODevice;

namespace korvane {

// Writes made-up but realistic drug-bag data, for trying and measuring the two drug-bag actions,
// as SQL that the embedded database runs: the NHI drug profile and the drug-bag labels of a
// drug-profile database, and the clinic's drugs. The same seed always gives the same data, on
// every system. The data has what real data has: codes of the "00" and "G0" families, AC drugs
// with and without their A0 counterparts, codes with blanks around them, Chinese names with
// "#", "?" and "'", indications longer than a label holds, and fields left null.
class DrugBagDataGenerator
{
public:
    struct Sizes
    {
        qint64 profileRows = 0; // tDrugInfoFromNhi
        qint64 bagRows = 0;     // tblDrugBag rows of profile drugs (more than the profile: others)
        qint64 acDrugs = 0;     // AC drugs in tblDrugs, with A0 and AC labels for many of them
    };

    explicit DrugBagDataGenerator(quint64 p_seed);

    // The drug-profile rows to profileSql and the clinic's drugs to clinicSql (when given), each
    // as one transaction of multi-row INSERT statements, one statement ending each ";" line.
    // Throws platform::Error when a device cannot be written.
    void write(const Sizes& p_sizes, QIODevice& p_profileSql, QIODevice* p_clinicSql);

private:
    struct Drug;
    class Table;

    quint32 nextRandom();
    int below(int p_count);
    bool chance(int p_perMille);
    template <typename List> const auto& pick(const List& p_list)
    {
        return p_list[size_t(below(int(std::size(p_list))))];
    }

    Drug nextDrug(QChar p_first, QChar p_second);
    QString nextMiddleSix();
    QString chineseName(const Drug& p_drug);
    QString indications();
    QString appearance(const Drug& p_drug);

    void writeProfileRow(Table& p_table, const Drug& p_drug);
    void writeBagRow(Table& p_table, const Drug& p_drug, const QString& p_code);

    quint64 ivState;
    qint64 ivLicense = 100000;
};

} // namespace korvane
