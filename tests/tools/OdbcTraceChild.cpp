// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// Sends statements to an ODBC driver through Qt's ODBC driver, as the packs do, so that the
// driver manager's trace of a fresh process shows them: "prepare:" lines are prepared and run
// (as the recordsets send theirs), "direct:" lines run at once (as Execute sends its own).
// Usage: odbc_trace_child CONNECTION-TEXT < statements
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: odbc_trace_child CONNECTION-TEXT < statements\n", stderr);
        return 2;
    }
    int status = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"));
        db.setDatabaseName(QString::fromLocal8Bit(argv[1]));
        if (!db.open()) {
            std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
            return 1;
        }
        QTextStream in(stdin);
        in.setEncoding(QStringConverter::Utf8);
        for (QString line; in.readLineInto(&line);) {
            QSqlQuery query(db);
            bool ran = false;
            if (line.startsWith(QStringLiteral("prepare:")))
                ran = query.prepare(line.mid(8)) && query.exec();
            else if (line.startsWith(QStringLiteral("direct:")))
                ran = query.exec(line.mid(7));
            else
                continue;
            if (!ran) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(line), qPrintable(query.lastError().text()));
                status = 1;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    return status;
}
