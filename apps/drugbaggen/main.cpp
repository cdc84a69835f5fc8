// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "generators/DrugBagDataGenerator.h"
#include "platform/Error.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <cstdio>
#include <memory>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "drugbaggen: %s\n", qPrintable(message));
    return 1;
}

bool readCount(const QCommandLineParser& parser, const QCommandLineOption& option, qint64& value)
{
    bool ok = false;
    value = parser.value(option).toLongLong(&ok);
    return ok && value >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("drugbaggen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes made-up drug-bag data as SQL for the embedded database: the NHI drug profile and the "
        "drug-bag labels (for tools/dbDrugProfile.mdb) and, when CLINIC_SQL is named, the clinic's AC drugs "
        "(for dbKorvane.mdb). Run each file into a database made from the schema in schema/."));
    parser.addHelpOption();
    const QCommandLineOption profileOption(QStringLiteral("profile"),
                                           QStringLiteral("Drugs in the NHI profile (40000)."),
                                           QStringLiteral("N"), QStringLiteral("40000"));
    const QCommandLineOption bagOption(QStringLiteral("bag"),
                                       QStringLiteral("Labels of profile drugs (20000)."),
                                       QStringLiteral("N"), QStringLiteral("20000"));
    const QCommandLineOption acOption(
        QStringLiteral("ac-drugs"), QStringLiteral("The clinic's AC drugs, with their A0 and AC labels (0)."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed; equal seeds, equal data (1)."),
                                        QStringLiteral("S"), QStringLiteral("1"));
    parser.addOptions({profileOption, bagOption, acOption, seedOption});
    parser.addPositionalArgument(QStringLiteral("PROFILE_SQL"),
                                 QStringLiteral("The drug-profile rows to write."));
    parser.addPositionalArgument(QStringLiteral("CLINIC_SQL"), QStringLiteral("The clinic's drugs to write."),
                                 QStringLiteral("[CLINIC_SQL]"));
    parser.process(app);

    korvane::DrugBagDataGenerator::Sizes sizes;
    if (!readCount(parser, profileOption, sizes.profileRows) ||
        !readCount(parser, bagOption, sizes.bagRows) || !readCount(parser, acOption, sizes.acDrugs))
        return fail(QStringLiteral("--profile, --bag and --ac-drugs want a whole number of 0 or more"));
    bool seedOk = false;
    const qulonglong seed = parser.value(seedOption).toULongLong(&seedOk);
    if (!seedOk)
        return fail(QStringLiteral("--seed wants a whole number of 0 or more"));
    const QStringList outputs = parser.positionalArguments();
    if (outputs.isEmpty() || outputs.size() > 2)
        return fail(QStringLiteral("name one or two output files (see --help)"));

    try {
        QElapsedTimer timer;
        timer.start();
        QSaveFile profile(outputs.at(0));
        std::unique_ptr<QSaveFile> clinic;
        if (outputs.size() == 2)
            clinic = std::make_unique<QSaveFile>(outputs.at(1));
        for (QSaveFile* file : {&profile, clinic.get()}) {
            if (file && !file->open(QIODevice::WriteOnly))
                return fail(QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString()));
        }
        korvane::DrugBagDataGenerator(seed).write(sizes, profile, clinic.get());
        for (QSaveFile* file : {&profile, clinic.get()}) {
            if (file && !file->commit())
                return fail(QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString()));
        }
        std::printf("drugbaggen: %lld profile drugs, %lld labels of them, %lld AC drugs, %lld ms: %s\n",
                    qlonglong(sizes.profileRows), qlonglong(sizes.bagRows), qlonglong(sizes.acDrugs),
                    qlonglong(timer.elapsed()), qPrintable(outputs.join(QStringLiteral(", "))));
    } catch (const korvane::platform::Error& error) {
        return fail(error.description());
    }
    return 0;
}
