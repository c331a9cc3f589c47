// The panel's form: dialog units converted with the font's metrics, every control of the form
// at its place with its id, caption and kind, and the axis buttons' large font.
#include "ui/ControlButton.h"
#include "ui/ControlPanel.h"
#include "ui/DialogUnits.h"
#include "ui/LampWidget.h"
#include "ui/PanelTemplate.h"
#include "ui/ReadoutWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string_view>
#include <typeinfo>

namespace morvik {
namespace {

TEST(DialogUnits, QuarterCharacterWidthAndEighthHeightRounded) {
    struct Case {
        int baseX, baseY;
        DluRect rect;
        QRect pixels;
    };
    const Case cases[] = {
        {4, 8, {2, 3, 22, 20}, {2, 3, 22, 20}},
        {6, 13, {26, 3, 98, 20}, {39, 5, 147, 33}},  // 3*13/8 = 4.875, 98*6/4 = 147
        {6, 13, {0, 0, 126, 300}, {0, 0, 189, 488}}, // 487.5 rounds up
        {7, 15, {1, 1, 1, 1}, {2, 2, 2, 2}},         // 1.75 and 1.875
        {5, 12, {2, 4, 3, 1}, {3, 6, 4, 2}},         // 2.5, 6, 3.75, 1.5
    };
    for (const Case& c : cases) {
        const DialogUnits units(c.baseX, c.baseY);
        EXPECT_EQ(units.Map(c.rect), c.pixels) << c.baseX << "/" << c.baseY;
    }
}

TEST(DialogUnits, BaseUnitsComeFromTheFontsLetters) {
    QFont font;
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const DialogUnits units = DialogUnits::ForFont(font);
    EXPECT_EQ(units.BaseX(), (letters / 26 + 1) / 2);
    EXPECT_EQ(units.BaseY(), metrics.height());
}

// The widget class each kind of form item becomes.
bool IsKind(const QWidget* widget, PanelItemKind kind) {
    switch (kind) {
    case PanelItemKind::AxisButton:
    case PanelItemKind::ActionButton:
        return dynamic_cast<const ControlButton*>(widget) != nullptr;
    case PanelItemKind::CheckButton:
        return dynamic_cast<const ControlCheckBox*>(widget) != nullptr;
    case PanelItemKind::PushButton:
        return dynamic_cast<const QPushButton*>(widget) != nullptr &&
               dynamic_cast<const ControlButton*>(widget) == nullptr;
    case PanelItemKind::Readout:
        return dynamic_cast<const ReadoutWidget*>(widget) != nullptr;
    case PanelItemKind::Lamp:
        return dynamic_cast<const LampWidget*>(widget) != nullptr;
    case PanelItemKind::OverrideEdit:
        return dynamic_cast<const QLineEdit*>(widget) != nullptr;
    case PanelItemKind::Arrows:
        return widget->findChildren<QWidget*>().size() == 2;
    case PanelItemKind::Choice:
        return dynamic_cast<const QComboBox*>(widget) != nullptr;
    default:
        return false; // static items have no id
    }
}

QString Caption(const QWidget* widget) {
    if (const auto* button = dynamic_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* lamp = dynamic_cast<const LampWidget*>(widget))
        return lamp->caption();
    return QString();
}

TEST(ControlPanelForm, InformationStripStandsClearOfEveryControl) {
    ControlPanel panel;
    const QWidget* strip = panel.findChild<QWidget*>(QStringLiteral("infoStrip"));
    ASSERT_NE(strip, nullptr);
    for (const PanelItem& item : PanelItems()) {
        SCOPED_TRACE(item.caption);
        SCOPED_TRACE(item.id);
        EXPECT_FALSE(panel.Units().Map(item.rect).intersects(strip->geometry()));
    }
}

TEST(ControlPanelForm, EveryControlStandsAtItsPlaceWithItsCaption) {
    ControlPanel panel;
    const DialogUnits& units = panel.Units();
    EXPECT_EQ(units.BaseY(), QFontMetrics(panel.font()).height());
    EXPECT_EQ(panel.width(), units.X(kPanelWidthDlu));
    EXPECT_EQ(panel.minimumWidth(), panel.maximumWidth()) << "fixed width";
    EXPECT_GE(panel.minimumHeight(), units.Y(kPanelHeightDlu));

    for (const PanelItem& item : PanelItems()) {
        if (item.id == 0)
            continue;

        SCOPED_TRACE(item.id);
        QWidget* widget = panel.Control(item.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget, panel.findChild<QWidget*>(ControlPanel::ControlName(item.id)));
        EXPECT_EQ(widget->geometry(), units.Map(item.rect));
        EXPECT_LE(widget->geometry().bottom(), panel.minimumHeight()) << "nothing cut off";
        EXPECT_TRUE(IsKind(widget, item.kind));
        EXPECT_EQ(Caption(widget), QString::fromLatin1(item.caption));
    }
    // The frames and texts without ids are there too, with their captions (the information
    // strip's own labels are the strip's children).
    QStringList groups;
    for (const QGroupBox* box : panel.findChildren<QGroupBox*>())
        groups << box->title();
    groups.sort();
    EXPECT_EQ(groups, (QStringList{"Jog", "Override", "Run", "Spindle", "Status"}));
    QStringList labels;
    for (const QLabel* label : panel.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        labels << label->text();
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"%", "%", "%", "Feed", "Rapid", "Spin"}));
}

TEST(ControlPanelForm, TheFirstFillGivesTheAxisButtonsTheLargeFont) {
    ControlPanel panel;
    panel.FirstFill(); // without a machine: only the widgets, nothing from a machine
    const int expected = static_cast<int>(QFontInfo(panel.font()).pixelSize() * 2.5);
    for (int id : {control::kAxisX, control::kAxisY, control::kAxisZ, control::kAxisS})
        EXPECT_EQ(QFontInfo(panel.Control(id)->font()).pixelSize(), expected) << id;
    EXPECT_EQ(QFontInfo(panel.Control(control::kStart)->font()).pixelSize(),
              QFontInfo(panel.font()).pixelSize());
    for (int id : {control::kFeedOverride, control::kRapidOverride, control::kSpindleOverride})
        EXPECT_EQ(static_cast<QLineEdit*>(panel.Control(id))->text(), "") << id;
}

TEST(ReadoutWidget, TheDigitsFitTheReadout) {
    for (const QSize size : {QSize(147, 33), QSize(300, 60), QSize(60, 20)}) {
        ReadoutWidget readout;
        readout.resize(size);
        readout.setText("     +123.4567");
        const QFontMetrics metrics(readout.DigitFont());
        EXPECT_LE(metrics.horizontalAdvance(readout.text()),
                  size.width() - 2 * ReadoutWidget::kPadding)
            << size.width();
        EXPECT_LE(metrics.height(), size.height());
    }
}

// Whatever fonts the machine has: a readout's characters all advance alike at the size it draws
// them, so a changing value never shifts sideways. (Some even fonts are not reported as fixed
// pitch; the readout goes by the advances, measured.)
TEST(ReadoutWidget, EveryDigitSignBlankAndPointAdvancesAlike) {
    for (const QSize size : {QSize(147, 33), QSize(300, 60), QSize(60, 20)}) {
        ReadoutWidget readout;
        readout.resize(size);
        readout.setText("     -123.4567");
        const QFontMetricsF metrics(readout.DigitFont());
        const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
        for (const char c : std::string_view(ReadoutWidget::kReadoutCharacters))
            EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QLatin1Char(c)), zero)
                << "'" << c << "' in " << readout.DigitFont().family().toStdString() << " at "
                << size.width();
        EXPECT_TRUE(readout.DigitFont().bold());
    }
    EXPECT_EQ(ReadoutWidget::kReadoutCharacters, std::string_view("0123456789+- ."));
}

// A taller panel (a larger main window) draws the whole form larger: every control scaled with
// the height, the panel as much wider, the fonts larger; back at the form's height, every
// control is at its place again. The growth stops at kMaxScale.
TEST(ControlPanelForm, ScalesWithTheWindowAndWidensToMatch) {
    QWidget window;
    auto* panel = new ControlPanel(&window);
    window.show();
    panel->FirstFill();
    const DialogUnits& units = panel->Units();
    const QSize form(panel->width(), panel->minimumHeight());
    const int buttonPixels = QFontInfo(panel->Control(control::kStart)->font()).pixelSize();
    const int axisPixels = QFontInfo(panel->Control(control::kAxisX)->font()).pixelSize();

    panel->resize(form.width(), form.height() * 2);
    EXPECT_NEAR(panel->Scale(), 2.0, 0.01);
    EXPECT_NEAR(panel->width(), form.width() * 2, 2);
    for (const PanelItem& item : PanelItems()) {
        if (item.id == 0)
            continue;
        SCOPED_TRACE(item.id);
        const QRect at = panel->Control(item.id)->geometry();
        const QRect formRect = units.Map(item.rect);
        EXPECT_NEAR(at.left(), formRect.left() * 2, 1);
        EXPECT_NEAR(at.top(), formRect.top() * 2, 1);
        EXPECT_NEAR(at.width(), formRect.width() * 2, 2);
        EXPECT_NEAR(at.height(), formRect.height() * 2, 2);
        EXPECT_LE(at.right(), panel->width()) << "nothing cut off at the side";
    }
    EXPECT_GT(QFontInfo(panel->Control(control::kStart)->font()).pixelSize(), buttonPixels);
    EXPECT_GT(QFontInfo(panel->Control(control::kAxisX)->font()).pixelSize(), axisPixels);

    panel->resize(panel->width(), form.height());
    EXPECT_EQ(panel->Scale(), 1.0);
    EXPECT_EQ(panel->width(), form.width());
    for (const PanelItem& item : PanelItems()) {
        if (item.id != 0) {
            EXPECT_EQ(panel->Control(item.id)->geometry(), units.Map(item.rect)) << item.id;
        }
    }

    panel->resize(panel->width(), form.height() * 10);
    EXPECT_EQ(panel->Scale(), ControlPanel::kMaxScale);
}

} // namespace
} // namespace morvik
