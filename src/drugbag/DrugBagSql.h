// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

// The statements the drug-bag store runs on tblDrugBag. A value goes into its literal with
// every single quote doubled, so that no value can end the literal and change the statement;
// a value without quotes stands in the statement exactly as given.
namespace korvane::DrugBagSql {

// The value as it stands inside a quoted literal.
QString inLiteral(QString p_value);

// The rows of exactly this code.
QString selectCode(const QString& p_strNhiCode);
QString deleteCode(const QString& p_strNhiCode);
// A code ending in "00" or "G0": every row of its family, the rows whose code begins with the
// same character and ends with the same middle six followed by "00" or "G0". Any other code:
// the rows of exactly that code.
QString deleteFamily(const QString& p_strNhiCode);
// The rows that may stand for the code's family (the caller picks by the first character).
QString selectFamily(const QString& p_strNhiCode);
QString selectIngredient(const QString& p_strId);
// Codes beginning with the keyword, and rows with the keyword in any of the nine texts.
QString selectKeyWord(const QString& p_strId);

// "00" or "G0", exactly: the endings of one code family.
bool endsFamily(const QString& p_code);

} // namespace korvane::DrugBagSql
