// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "utlUpdatorView.h"

#include "LineControl.h"
#include "SelfRemovalScript.h"
#include "actions/RunAction.h"
#include "actions/RunRecord.h"
#include "actions/SkipOnFailure.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Paths.h"

#include <QEvent>
#include <cstdio>
#include <QFont>
#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <cmath>

namespace korvane {

namespace {

const QString StartTimeCaption = QStringLiteral("開始時間：");
const QString EndTimeCaption = QStringLiteral("結束時間：");
const QString CloseCaption = QStringLiteral("關閉");
const QString CompletedTitle = QStringLiteral("訊息");
const QString CompletedText = QStringLiteral("更新作業完成，請點選「關閉」按鈕離開本精靈。");
// Why Cancel does nothing while the action runs: it holds the focus, but a transaction or a file
// half replaced cannot be left at a click.
const QString RunningCancelTip =
    QStringLiteral("更新進行中無法中途停止，請等候它完成。更新若失敗或被強制結束，資料都會維持更新前的樣子，"
                   "每個檔案也都是完整的舊檔或新檔，不會只寫了一半；可以再執行一次本更新程式。");

void setColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

// The design fonts are Windows fonts; elsewhere an installed CJK font stands in.
QFont designFont(const QStringList& families, double pointSize, bool bold)
{
    QFont font;
    font.setFamilies(families +
                     QStringList{QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans TC"),
                                 QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("sans-serif")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

int toPixels(double twips)
{
    return int(std::lround(twips / utlUpdatorView::TwipsPerPixel));
}

} // namespace

utlUpdatorView::utlUpdatorView(const platform::Services& services, QWidget* parent)
    : QWidget(parent), ivServices(services), ivLayout(DesignWidth, DesignHeight)
{
    // The controls in the order of the control collection, at the design size.
    using Item = ProportionalLayout::Item;
    ivLayout.addItem(Item::box(QStringLiteral("ProgressBar1"), QStringLiteral("ProgressBar"), 240, 3480, 6495, 375));
    ivLayout.addItem(Item::box(QStringLiteral("btnOk"), QStringLiteral("CommandButton"), 4200, 4200, 1215, 375));
    ivLayout.addItem(Item::box(QStringLiteral("btn取消"), QStringLiteral("CommandButton"), 5520, 4200, 1215, 375));
    ivLayout.addItem(Item::box(QStringLiteral("txtCaption"), QStringLiteral("TextBox"), 240, 1080, 6495, 1935, 9));
    ivLayout.addItem(Item::line(QStringLiteral("Line1"), 120, 3960, 6840, 3960));
    ivLayout.addItem(Item::line(QStringLiteral("Line2"), 120, 3945, 6840, 3945));
    ivLayout.addItem(Item::box(QStringLiteral("Label2"), QStringLiteral("Label"), 240, 240, 4215, 465, 18));
    ivLayout.addItem(Item::box(QStringLiteral("Image1"), QStringLiteral("Image"), 6000, 240, 480, 480));
    ivLayout.addItem(Item::box(QStringLiteral("lblAppVersion"), QStringLiteral("Label"), 4140, 600, 1515, 255, 9.75));
    ivLayout.addItem(Item::box(QStringLiteral("Label3"), QStringLiteral("Label"), 240, 4080, 2895, 375));
    ivLayout.addItem(Item::box(QStringLiteral("Label1"), QStringLiteral("Label"), 0, 0, 6975, 855));

    createControls();
    resize(toPixels(DesignWidth), toPixels(DesignHeight));
    applyLayout();

    ivRefreshTimer.setSingleShot(true);
    connect(&ivRefreshTimer, &QTimer::timeout, this, &utlUpdatorView::refreshDisplay);

    setTimeCaption(QString());
}

utlUpdatorView::~utlUpdatorView() = default;

void utlUpdatorView::createControls()
{
    // Created back to front: the banner lies behind the title, the buttons on top.
    createHeader();
    createCaption();
    createButtons();
    setTabOrder(txtCaption, btnCancel);
    setTabOrder(btnCancel, btnOk);
}

void utlUpdatorView::createHeader()
{
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    setColor(Label1, QPalette::Window, Qt::white);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblAppVersion = new QLabel(QStringLiteral("介面序號 1.0.002"), this);
    lblAppVersion->setObjectName(QStringLiteral("lblAppVersion"));
    lblAppVersion->setFont(
        designFont({QStringLiteral("微軟正黑體"), QStringLiteral("Microsoft JhengHei")}, 9.75, false));
    lblAppVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColor(lblAppVersion, QPalette::WindowText, QColor(0, 0, 128));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Label2 = new QLabel(QStringLiteral("Korvane 2.0 更新精靈"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(
        designFont({QStringLiteral("微軟正黑體"), QStringLiteral("Microsoft JhengHei")}, 18, true));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setAutoFillBackground(true);
    setColor(Label2, QPalette::Window, Qt::white);
    setColor(Label2, QPalette::WindowText, QColor(0, 0, 255));

    // Two lines a pixel apart make the etched separator: dark above, light below.
    Line2 = new LineControl(this);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setColor(palette().color(QPalette::Mid));
    Line1 = new LineControl(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setColor(palette().color(QPalette::Light));
}

void utlUpdatorView::createCaption()
{
    txtCaption = new QPlainTextEdit(this);
    txtCaption->setObjectName(QStringLiteral("txtCaption"));
    txtCaption->setFont(
        designFont({QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK TC")}, 9, false));
    setColor(txtCaption, QPalette::Base, txtCaption->palette().color(QPalette::Button));
    // Long lines wrap, as in a multi-line text box; tab stops every eight average characters.
    txtCaption->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtCaption->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtCaption->installEventFilter(this);
}

void utlUpdatorView::createButtons()
{
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btn取消"));
    connect(btnCancel, &QPushButton::clicked, this, &utlUpdatorView::btnCancel_Click);

    btnOk = new QPushButton(QStringLiteral("確定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    connect(btnOk, &QPushButton::clicked, this, &utlUpdatorView::btnOk_Click);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setVisible(false);
}

void utlUpdatorView::applyLayout()
{
    for (const ProportionalLayout::Item& item : ivLayout.items()) {
        QWidget* control = findChild<QWidget*>(item.name, Qt::FindDirectChildrenOnly);
        if (!control)
            continue;
        if (auto* lineControl = qobject_cast<LineControl*>(control)) {
            lineControl->setLine(QPoint(toPixels(item.x1), toPixels(item.y1)),
                                 QPoint(toPixels(item.x2), toPixels(item.y2)));
            continue;
        }
        // Rounding both edges keeps neighbouring controls from drifting apart.
        const int left = toPixels(item.left);
        const int top = toPixels(item.top);
        control->setGeometry(left, top, toPixels(item.left + item.width) - left,
                             toPixels(item.top + item.height) - top);
        if (item.fontSize > 0 && !qFuzzyCompare(control->font().pointSizeF(), item.fontSize)) {
            QFont font = control->font();
            font.setPointSizeF(item.fontSize);
            control->setFont(font);
        }
        if (control == txtCaption)
            txtCaption->setTabStopDistance(8 * txtCaption->fontMetrics().horizontalAdvance(u'0'));
    }
}

void utlUpdatorView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Widget sizes always fit the layout's 32 bits; nothing may escape into the event loop.
    skipOnFailure([&] {
        if (ivLayout.layout(event->size().width() * TwipsPerPixel, event->size().height() * TwipsPerPixel))
            applyLayout();
    });
}

bool utlUpdatorView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtCaption && event->type() == QEvent::FocusIn) {
        txtCaption_GotFocus();
        return false;
    }
    // Closing the host under a running action would destroy the view and the action with it.
    if (watched == ivContainer && event->type() == QEvent::Close) {
        if (ivRunning) {
            event->ignore();
            return true;
        }
        // Closed by its window before a run: nothing was done.
        end(Outcome::Cancelled);
    }
    return QWidget::eventFilter(watched, event);
}

void utlUpdatorView::setIsNotClosedForm(bool p_value)
{
    ivIsNotClosedForm = p_value;
}

void utlUpdatorView::setProgressBarValue(qint16 p_value)
{
    if (p_value < ProgressBar1->minimum() || p_value > ProgressBar1->maximum())
        throw platform::Error(QStringLiteral("無效的屬性值"), platform::Error::Kind::OutOfRange);
    ivProgress = p_value;
    ivProgressPending = true;
    scheduleRefresh();
}

void utlUpdatorView::setMessgaeValue(const QString& p_value)
{
    ivMessage = p_value;
    ivMessagePending = true;
    scheduleRefresh();
}

void utlUpdatorView::scheduleRefresh()
{
    // Actions report once per record; outside a run every change is shown at once.
    if (!ivRunning || !ivSinceRefresh.isValid() || ivSinceRefresh.elapsed() >= RefreshIntervalMs) {
        refreshDisplay();
        return;
    }
    if (!ivRefreshTimer.isActive())
        ivRefreshTimer.start(int(qMax<qint64>(0, RefreshIntervalMs - ivSinceRefresh.elapsed())));
}

void utlUpdatorView::refreshDisplay()
{
    ivRefreshTimer.stop();
    if (ivMessagePending) {
        ivMessagePending = false;
        txtCaption->setPlainText(platform::withLineFeeds(ivMessage));
    }
    if (ivProgressPending) {
        ivProgressPending = false;
        ProgressBar1->setValue(ivProgress);
    }
    ivSinceRefresh.start();
}

void utlUpdatorView::setTimeCaption(const QString& caption)
{
    ivTimeCaption = caption;
    Label3->setText(platform::withLineFeeds(caption));
}

void utlUpdatorView::fireActionCompleted()
{
    refreshDisplay();
    ProgressBar1->setVisible(false);
    btnCancel->setText(CloseCaption);
    btnOk->setEnabled(false);
    txtCaption->setEnabled(false);
    setTimeCaption(ivTimeCaption + EndTimeCaption + ivServices.clock.timeText());
    ivServices.dialogs.messageBox(platform::MessageIcon::Information, CompletedTitle, CompletedText);
}

void utlUpdatorView::setActioner(std::shared_ptr<IAction> p_action)
{
    ivAction = std::move(p_action);
    if (!ivAction)
        throw platform::Error(QStringLiteral("物件變數未設定"), platform::Error::Kind::NullObject);
    setMessgaeValue(ivAction->getDescription().toString());
}

void utlUpdatorView::setContainer(QObject* p_container)
{
    if (ivContainer)
        ivContainer->removeEventFilter(this);
    ivContainer = p_container;
    if (ivContainer)
        ivContainer->installEventFilter(this);
}

void utlUpdatorView::hideForm()
{
    refreshDisplay();
    skipOnFailure([this] {
        if (ivContainer)
            QMetaObject::invokeMethod(ivContainer.data(), "hide", Qt::DirectConnection);
    });
}

void utlUpdatorView::btnOk_Click()
{
    // OK pressed again while the action pumps events must not start a second, nested run.
    if (ivRunning)
        return;
    ivRunning = true;
    // The run keeps its own reference, whatever happens to the view's.
    const std::shared_ptr<IAction> action = ivAction;

    skipOnFailure([this] { btnCancel->setFocus(); });
    // OK looks as dead as it is; Cancel keeps the focus and says why it is ignored.
    skipOnFailure([this] { btnOk->setEnabled(false); });
    skipOnFailure([this] { btnCancel->setToolTip(RunningCancelTip); });
    skipOnFailure(
        [this] { setTimeCaption(StartTimeCaption + ivServices.clock.timeText() + QStringLiteral("\r\n")); });
    skipOnFailure([this] { ivServices.events.processEvents(); });
    skipOnFailure([this] { ProgressBar1->setVisible(true); });
    // An error the action did not handle is a failed run: the user is told. Only a run that is
    // done removes the pack; any other keeps it for another try.
    QString recordWarning;
    const Outcome outcome = !action       ? Outcome::Failed
                            : ivRecorder ? runRecorded(*action, *this, *ivRecorder, recordWarning)
                                         : runAction(*action, *this, ivServices.dialogs);
    // The pack may be about to remove itself: the user learns now that there is no record.
    if (!recordWarning.isEmpty()) {
        std::fputs(qPrintable(recordWarning + u'\n'), stderr);
        ivServices.dialogs.messageBox(platform::MessageIcon::Information, QStringLiteral("更新記錄"), recordWarning);
    }

    ivRunning = false;
    btnCancel->setToolTip(QString());
    refreshDisplay();
    end(outcome);
    if (outcome == Outcome::Done)
        skipOnFailure([this] { finishWizard(); });
    else
        unloadContainer();
}

void utlUpdatorView::btnCancel_Click()
{
    if (ivRunning)
        return;
    // After a run the button reads "關閉" and the run's outcome stands.
    end(Outcome::Cancelled);
    unloadContainer();
    ivAction.reset();
}

void utlUpdatorView::end(Outcome outcome)
{
    if (ivOutcome)
        return;
    ivOutcome = outcome;
    Q_EMIT ended(outcome);
}

void utlUpdatorView::txtCaption_GotFocus()
{
    // While a run goes OK is disabled and the focus belongs to Cancel.
    skipOnFailure([this] { (ivRunning ? btnCancel : btnOk)->setFocus(); });
}

QString utlUpdatorView::getFullPath(const QString& p_strName) const
{
    return SelfRemovalScript(ivServices.packFolder, platform::nativeSeparator()).getFullPath(p_strName);
}

void utlUpdatorView::finishWizard()
{
    QString name;
    skipOnFailure([this, &name] {
        if (ivAction)
            name = ivAction->getAppName();
    });
    if (name.isEmpty()) {
        unloadContainer();
        return;
    }

    const SelfRemovalScript script(ivServices.packFolder, platform::nativeSeparator());
    if (!script.isSupportedFolder()) {
        unloadContainer();
        return;
    }

    bool written = false;
    skipOnFailure([&] {
        ivServices.files.writeFile(getFullPath(SelfRemovalScript::ScriptName), script.bytes(name));
        written = true;
    });
    // A script that is not there (or only half there) must not be started by its bare name.
    if (written) {
        skipOnFailure([&] {
            ivServices.processes.startSelfRemoval(ivServices.packFolder, SelfRemovalScript::ScriptName,
                                                  getFullPath(name));
        });
    }

    if (ivIsNotClosedForm)
        unloadContainer();
    else
        ivServices.processes.endProcess();
}

void utlUpdatorView::unloadContainer()
{
    QObject* container = ivContainer.data();
    if (!container)
        return;
    if (auto* form = qobject_cast<QWidget*>(container)) {
        // Deleted once control is back in the event loop, never under the caller's feet.
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->close();
    } else {
        container->deleteLater();
    }
}

} // namespace korvane
