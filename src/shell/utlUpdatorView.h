// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ProportionalLayout.h"
#include "actions/IAction.h"
#include "actions/IUpdatorView.h"
#include "platform/Services.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace korvane {

class LineControl;
class RunRecorder;

// The whole visible wizard: banner, description, progress bar, start and end time, OK and
// Cancel. It owns the run: OK starts the action, the action reports back through IUpdatorView,
// and afterwards the view writes the self-removal script and ends the program or closes its host.
class utlUpdatorView : public QWidget, public IUpdatorView
{
    Q_OBJECT
    // Also by name, as a host sets the properties of the control it created by name.
    Q_PROPERTY(bool IsNotClosedForm READ isNotClosedForm WRITE setIsNotClosedForm)
public:
    static inline const QString Identifier = QStringLiteral("VNQ.utlUpdatorView");
    static constexpr double TwipsPerPixel = 15;
    static constexpr double DesignWidth = 6960; // twips
    static constexpr double DesignHeight = 4755;
    // The display follows the action at most this often; the stored values are always current.
    static constexpr int RefreshIntervalMs = 16;

    explicit utlUpdatorView(const platform::Services& services, QWidget* parent = nullptr);
    ~utlUpdatorView() override;

    void setIsNotClosedForm(bool p_value) override;
    bool isNotClosedForm() const { return ivIsNotClosedForm; }
    // Throws platform::Error (OutOfRange) outside 0 to 100.
    void setProgressBarValue(qint16 p_value) override;
    void setMessgaeValue(const QString& p_value) override;
    void fireActionCompleted() override;
    void hideForm() override;

    // Keeps the action and shows its description.
    void setActioner(std::shared_ptr<IAction> p_action);
    // Records the run; without one the run leaves no record.
    void setRecorder(std::shared_ptr<RunRecorder> p_recorder) { ivRecorder = std::move(p_recorder); }
    // Called by the host form, by name, with itself.
    Q_INVOKABLE void setContainer(QObject* p_container);

    // What the action last reported, whether or not the display has caught up yet.
    QString messageValue() const { return ivMessage; }
    qint16 progressValue() const { return ivProgress; }
    // True while the action runs inside the OK click.
    bool isRunning() const { return ivRunning; }

Q_SIGNALS:
    // The wizard has ended, with the run's outcome or cancelled; the pack exits with it.
    void ended(korvane::Outcome outcome);

public:
    QObject* container() const { return ivContainer.data(); }
    // The time label's caption with its line breaks as written (CR LF).
    QString timeCaption() const { return ivTimeCaption; }
    // Positions and sizes in twips, as the last layout pass left them.
    const ProportionalLayout& proportionalLayout() const { return ivLayout; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createHeader();
    void createCaption();
    void createButtons();
    void btnOk_Click();
    void btnCancel_Click();
    void txtCaption_GotFocus();

    QString getFullPath(const QString& p_strName) const;
    void finishWizard();
    void unloadContainer();
    void end(Outcome outcome);

    void applyLayout();
    void setTimeCaption(const QString& caption);
    void scheduleRefresh();
    void refreshDisplay();

    platform::Services ivServices;
    std::shared_ptr<IAction> ivAction;
    std::shared_ptr<RunRecorder> ivRecorder;
    QPointer<QObject> ivContainer;
    bool ivIsNotClosedForm = false;
    bool ivRunning = false;
    std::optional<Outcome> ivOutcome; // once the wizard has ended: told once, never changed

    ProportionalLayout ivLayout;

    QString ivMessage;
    QString ivTimeCaption;
    qint16 ivProgress = 0;
    bool ivMessagePending = false;
    bool ivProgressPending = false;
    QElapsedTimer ivSinceRefresh;
    QTimer ivRefreshTimer;

    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr; // the control named "btn取消"
    QPlainTextEdit* txtCaption = nullptr;
    LineControl* Line1 = nullptr;
    LineControl* Line2 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblAppVersion = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
};

} // namespace korvane
