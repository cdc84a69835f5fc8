// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcTrace.h"
#include "platform/database/JetSql.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("jetcheck"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks every statement in unixODBC driver-manager traces (SQLPrepare, SQLExecDirect and their\n"
        "wide forms) against what Jet 4.0, the desktop database's engine, takes. Exits 1 naming each\n"
        "refused construct and its statement, 2 when a trace cannot be read or holds no statement.\n"
        "Text beyond ASCII shows in a trace as other characters, and a statement longer than the trace\n"
        "keeps (fewer than 128 characters) is checked as far as it shows; such statements are listed."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("The trace files."),
                                 QStringLiteral("trace..."));
    parser.process(app);
    const QStringList traces = parser.positionalArguments();
    if (traces.isEmpty())
        parser.showHelp(2);

    int statements = 0;
    int refused = 0;
    for (const QString& path : traces) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            print(stderr, QStringLiteral("jetcheck: cannot read %1: %2\n").arg(path, file.errorString()));
            return 2;
        }
        for (const korvane::TracedStatement& statement : korvane::OdbcTrace::statements(file)) {
            ++statements;
            const auto refusals = korvane::platform::JetSql::refusals(statement.text);
            if (statement.cut)
                print(stdout, QStringLiteral("%1:%2: %3 of %4 characters shown: %5\n")
                                  .arg(path)
                                  .arg(statement.line)
                                  .arg(statement.text.size())
                                  .arg(statement.length)
                                  .arg(statement.text));
            if (refusals.empty())
                continue;
            ++refused;
            print(stdout, QStringLiteral("%1:%2: %3 refused by Jet: %4\n%5")
                              .arg(path)
                              .arg(statement.line)
                              .arg(statement.function, statement.text,
                                   korvane::platform::JetSql::describe(refusals)));
        }
    }
    if (statements == 0) {
        print(stderr, QStringLiteral("jetcheck: no statement in the traces (was Trace=Yes set?)\n"));
        return 2;
    }
    print(stdout, QStringLiteral("jetcheck: %1 statements, %2 refused\n").arg(statements).arg(refused));
    return refused == 0 ? 0 : 1;
}
