// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RowReader.h"

#include "Connection.h"
#include "DatabaseDialect.h"
#include "RowStatement.h"
#include "platform/Error.h"

namespace korvane::platform {

RowReader::RowReader(const std::shared_ptr<Connection>& connection, const QString& statement)
    : m_connection(connection)
{
    if (!m_connection)
        throw Error(QStringLiteral("物件變數未設定（沒有資料庫連線）。"), Error::Kind::NullObject);
    m_statement = m_connection->dialect().rowStatement(m_connection->database(), statement);
    m_statement->query();
}

RowReader::~RowReader()
{
    // The rows not read are let go of before the statement, so that nothing holds the database.
    if (m_statement) {
        try {
            m_statement->finish();
        } catch (...) {
        }
    }
}

bool RowReader::next()
{
    return m_statement->next();
}

int RowReader::columnCount() const
{
    return m_statement->columnCount();
}

QVariant RowReader::value(int column) const
{
    return m_statement->value(column);
}

void RowReader::appendStored(int column, QByteArray& out) const
{
    m_statement->appendStored(column, out);
}

} // namespace korvane::platform
