// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// parts [LINES]: times three parts of a run on their own, headless, LINES times (45000 by
// default): splitting and decoding a generated price list, splitting and converting the fields of
// its drug lines, and the record-by-record reports of an action through the real wizard view, once
// with the program's event pump and once pumping on every call. Prints one line per part:
// "<part>: N ms".

#include "actions/IAction.h"
#include "actions/IUpdatorView.h"
#include "generators/PriceListGenerator.h"
#include "platform/AnsiText.h"
#include "platform/ConsoleDialogs.h"
#include "platform/NativeServices.h"
#include "pricing/DrugPriceLine.h"
#include "shell/frmOptionPanel.h"
#include "shell/modUpdatlet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QWidget>
#include <cstdio>
#include <functional>

namespace {

// An action that only reports, as the drug-price update does once per line.
class ReportingAction : public korvane::IAction
{
public:
    ReportingAction(int records, std::function<void()> pump) : m_records(records), m_pump(std::move(pump)) {}
    QVariant getDescription() override { return QString(); }
    QString getAppName() override { return QString(); }
    korvane::Outcome action(korvane::IUpdatorView& p_form) override
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= m_records; ++i) {
            p_form.setMessgaeValue(QStringLiteral("已處理 %1 筆").arg(i));
            p_form.setProgressBarValue(qint16(qint64(i) * 100 / m_records));
            m_pump();
        }
        elapsedMs = timer.elapsed();
        return korvane::Outcome::Done;
    }
    qint64 elapsedMs = 0;

private:
    int m_records;
    std::function<void()> m_pump;
};

qint64 reports(const korvane::platform::Services& services, int records, std::function<void()> pump)
{
    auto action = std::make_shared<ReportingAction>(records, std::move(pump));
    QWidget* form = korvane::modUpdatlet::Main(services, action);
    form->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return action->elapsedMs;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 45000;
    if (lines <= 0) {
        std::fprintf(stderr, "usage: parts [LINES]\n");
        return 2;
    }

    const QByteArray file = korvane::PriceListGenerator::generate(lines, 1);
    QElapsedTimer timer;
    timer.start();
    const auto decoded = korvane::platform::TextLines::fromAnsiFile(file);
    qint64 characters = 0;
    for (qsizetype i = 0; i < decoded.count(); ++i)
        characters += decoded.at(i).size();
    std::printf("decode: %lld ms (%lld lines, %lld characters)\n", static_cast<long long>(timer.elapsed()),
                static_cast<long long>(decoded.count()), static_cast<long long>(characters));

    // The hot path of the import: every field of every drug line split off and converted.
    timer.restart();
    qint64 converted = 0;
    QString text;
    for (qsizetype i = 0; i < decoded.count(); ++i) {
        decoded.read(i, text);
        const korvane::DrugPriceLine line(text);
        if (!line.isDrugRecord())
            continue;
        for (const korvane::DrugPriceLine::Column& column : korvane::DrugPriceLine::columns())
            converted += line.value(column).has_value() ? 1 : 0;
    }
    std::printf("parse and convert: %lld ms (%lld values)\n", static_cast<long long>(timer.elapsed()),
                static_cast<long long>(converted));

    korvane::platform::ConsoleDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services services = native.services();
    std::printf("reports, program's pump: %lld ms\n",
                static_cast<long long>(reports(services, lines, [&] { services.events.processEvents(); })));
    std::printf("reports, pump on every call: %lld ms\n",
                static_cast<long long>(reports(services, lines, [] { QCoreApplication::processEvents(); })));
    return 0;
}
