// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "generators/PriceListGenerator.h"
#include "platform/Error.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <cstdio>
#include <limits>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "pufgen: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pufgen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a made-up NHI drug-price list (Big5, CR LF) for trying the price import."));
    parser.addHelpOption();
    const QCommandLineOption linesOption(QStringLiteral("lines"),
                                         QStringLiteral("Number of drug lines (45000)."), QStringLiteral("N"),
                                         QStringLiteral("45000"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed; equal seeds, equal files (1)."),
                                        QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption monthOption(
        QStringLiteral("month"),
        QStringLiteral("The list this many months on: some drugs repriced, some gone, some new (0)."),
        QStringLiteral("M"), QStringLiteral("0"));
    parser.addOption(linesOption);
    parser.addOption(seedOption);
    parser.addOption(monthOption);
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The file to write."));
    parser.process(app);

    bool linesOk = false;
    bool seedOk = false;
    const qlonglong lines = parser.value(linesOption).toLongLong(&linesOk);
    const qulonglong seed = parser.value(seedOption).toULongLong(&seedOk);
    bool monthOk = false;
    const int month = parser.value(monthOption).toInt(&monthOk);
    // The list is built in memory: a 32-bit program cannot hold more than about this many lines.
    const qlonglong mostLines = std::numeric_limits<qsizetype>::max() / 2048;
    if (!linesOk || lines < 0 || lines > mostLines)
        return fail(QStringLiteral("--lines wants a whole number from 0 to %1").arg(mostLines));
    if (!seedOk)
        return fail(QStringLiteral("--seed wants a whole number of 0 or more"));
    if (!monthOk || month < 0 || month > 1200)
        return fail(QStringLiteral("--month wants a whole number from 0 to 1200"));
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("name one output file (see --help)"));
    const QString output = parser.positionalArguments().constFirst();

    try {
        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = korvane::PriceListGenerator::generateMonth(lines, seed, month);
        QSaveFile file(output);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
        std::printf("pufgen: %lld drug lines, %lld bytes, %lld ms: %s\n", lines, qlonglong(bytes.size()),
                    qlonglong(timer.elapsed()), qPrintable(output));
    } catch (const korvane::platform::Error& error) {
        return fail(error.description());
    }
    return 0;
}
