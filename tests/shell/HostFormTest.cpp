// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ShellTestSupport.h"
#include "shell/ViewRegistry.h"

#include <QResizeEvent>
#include <QTest>
#include <vector>

namespace korvane::test {
namespace {

// A hosted control that records what the form does to it.
class RecordingControl : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    Q_INVOKABLE void setContainer(QObject* p_container) { container = p_container; }

    QObject* container = nullptr;
    std::vector<QSize> resizes;

protected:
    void resizeEvent(QResizeEvent* event) override { resizes.push_back(event->size()); }
};

// A control that offers no setContainer at all.
class PlainControl : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

ViewRegistry testRegistry()
{
    ViewRegistry registry;
    registry.registerFactory(QStringLiteral("Test.Recording"),
                             [](QWidget* parent) { return new RecordingControl(parent); });
    registry.registerFactory(QStringLiteral("Test.Plain"),
                             [](QWidget* parent) { return new PlainControl(parent); });
    registry.registerFactory(QStringLiteral("Test.Throws"), [](QWidget*) -> QWidget* {
        throw platform::Error(QStringLiteral("無法建立元件"));
    });
    registry.registerFactory(QStringLiteral("Test.Null"), [](QWidget*) -> QWidget* { return nullptr; });
    return registry;
}

class HostFormTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        deliverDeferredDeletes();
        delete form.data();
    }
    QPointer<frmOptionPanel> form = new frmOptionPanel(testRegistry());
};

TEST_F(HostFormTest, HostedControlIsNamedShownStretchedAndGivenTheForm)
{
    EXPECT_EQ(form->getUserControl(), nullptr);
    form->setUserControl(QStringLiteral("Test.Recording"));
    auto* control = qobject_cast<RecordingControl*>(form->getUserControl());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->objectName(), QStringLiteral("ComponentName"));
    EXPECT_FALSE(control->isHidden());
    EXPECT_EQ(control->geometry(), QRect(0, 0, 683, 402));
    EXPECT_EQ(control->container, form.data());
}

TEST_F(HostFormTest, ControlWithoutSetContainerIsStillShownAndStretched)
{
    form->setUserControl(QStringLiteral("Test.Plain"));
    QWidget* control = form->getUserControl();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->objectName(), QStringLiteral("ComponentName"));
    EXPECT_FALSE(control->isHidden());
    EXPECT_EQ(control->geometry(), QRect(0, 0, 683, 402));
}

class HostFormFailureTest : public HostFormTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(HostFormFailureTest, ControlThatCannotBeCreatedLeavesTheFormEmptyWithoutError)
{
    EXPECT_NO_THROW(form->setUserControl(QString::fromLatin1(GetParam())));
    EXPECT_EQ(form->getUserControl(), nullptr);
    EXPECT_TRUE(form->findChildren<QWidget*>().isEmpty());
    // The form itself still works.
    form->resize(700, 420);
    form->show();
    EXPECT_TRUE(form->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Identifiers, HostFormFailureTest,
                         ::testing::Values("VNQ.NoSuchView", "", "Test.Throws", "Test.Null"));

TEST_F(HostFormTest, IdentifierIsMatchedWithoutRegardToCase)
{
    form->setUserControl(QStringLiteral("test.RECORDING"));
    EXPECT_NE(qobject_cast<RecordingControl*>(form->getUserControl()), nullptr);
}

TEST_F(HostFormTest, SecondControlUnderTheSameNameIsRefused)
{
    form->setUserControl(QStringLiteral("Test.Recording"));
    QWidget* first = form->getUserControl();
    form->setUserControl(QStringLiteral("Test.Plain"));
    EXPECT_EQ(form->getUserControl(), first);
    EXPECT_EQ(form->findChildren<QWidget*>(QStringLiteral("ComponentName")).size(), 1);
}

TEST_F(HostFormTest, ResizeSetsWidthBeforeHeight)
{
    form->setUserControl(QStringLiteral("Test.Recording"));
    form->show();
    auto* control = qobject_cast<RecordingControl*>(form->getUserControl());
    control->resizes.clear();

    form->resize(900, 500);
    EXPECT_EQ(control->resizes, (std::vector<QSize>{{900, 402}, {900, 500}}));
    EXPECT_EQ(control->pos(), QPoint(0, 0));
}

TEST_F(HostFormTest, HideFormKeepsTheFormLoaded)
{
    form->setUserControl(QStringLiteral("Test.Recording"));
    form->show();
    form->hideForm();
    EXPECT_FALSE(form->isVisible());
    deliverDeferredDeletes();
    ASSERT_FALSE(form.isNull());
    EXPECT_NE(form->getUserControl(), nullptr);
}

} // namespace
} // namespace korvane::test

#include "HostFormTest.moc"
