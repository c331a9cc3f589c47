// The status display on the card: each refresh reads the program status and the five counters
// in their order and shows exactly what the card answered, in the fields' formats; the option
// check boxes accept a click only until the next refresh.
#include "ui/StatusDisplay.h"
#include "controller/ControllerCodes.h"
#include "ui/widgets/PanelFixture.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <map>

namespace morvik {
namespace {

using test::PanelOnCard;

// A counter right-aligned in a field of `width` characters, never cut when it is wider.
std::string RightAligned(std::int32_t value, std::size_t width) {
    const std::string digits = std::to_string(value);
    return std::string(width - std::min(width, digits.size()), ' ') + digits;
}

// Every caption of the form ("MOTOR ERROR" the longest of its column) is shown whole at the
// form's font, inside the form and inside its group: the form widens for a wide font rather
// than cut or shrink a caption.
TEST(StatusDisplayForm, EveryCaptionFitsWholeAtTheFormsFont) {
    CStatusDisplay display;
    const int formPixels = QFontInfo(display.font()).pixelSize();
    const QRect form(QPoint(0, 0), display.sizeHint());
    QList<QWidget*> captions;
    for (QAbstractButton* indicator : display.findChildren<QAbstractButton*>())
        captions << indicator;
    for (QLabel* label : display.findChildren<QLabel*>())
        captions << label;
    ASSERT_EQ(captions.size(), 9 + 5);
    for (const QWidget* caption : captions) {
        SCOPED_TRACE(caption->objectName().toStdString());
        EXPECT_LE(caption->sizeHint().width(), caption->width()) << "cut off";
        EXPECT_EQ(QFontInfo(caption->font()).pixelSize(), formPixels) << "shrunk";
        EXPECT_TRUE(form.contains(caption->geometry()));
    }
    const QWidget* motorError = display.Indicator("motorError");
    for (const QGroupBox* group : display.findChildren<QGroupBox*>()) {
        if (group->title() == "ERROR") {
            EXPECT_TRUE(group->geometry().contains(motorError->geometry()));
        }
    }
}

class StatusDisplayOnCard : public PanelOnCard {
protected:
    // The queries of the trace since the last read, in order, each with the card's answer.
    std::vector<std::pair<int, std::string>> Queries() {
        std::vector<std::pair<int, std::string>> queries;
        int pending = 0;
        for (const std::string& line : TraceSinceLast()) {
            if (line.starts_with("dorncmdex(0x101, 0, 46"))
                pending = std::stoi(line.substr(std::string("dorncmdex(0x101, 0, ").size(), 3));
            else if (line.starts_with("dornrpyex(") && pending != 0)
                queries.emplace_back(std::exchange(pending, 0), line.substr(line.find(" -> ") + 4));
        }
        return queries;
    }

    void RunProgram() {
        HomeMachine();
        op->SelectRun();
        ASSERT_EQ(op->LoadFromLines({"O4321", "N10 G90 G01 X0.5 F60", "N20 G91 X0.5", "N30 M30"},
                                    "part.prt"),
                  LoadResult::Started);
        Ticks(1);
        op->Start();
        Ticks(3);
    }
};

TEST_F(StatusDisplayOnCard, ARefreshShowsWhatTheCardAnswered) {
    RunProgram();
    CStatusDisplay display;
    ASSERT_TRUE(display.TimerActive());
    EXPECT_EQ(display.TimerInterval(), 100);
    for (int refresh = 0; refresh < 3; ++refresh) {
        SCOPED_TRACE(refresh);
        Ticks(2);
        TraceSinceLast();
        display.Refresh();
        const auto queries = Queries();
        std::vector<int> codes;
        std::map<int, std::int32_t> answer;
        for (const auto& [code, reply] : queries) {
            codes.push_back(code);
            answer[code] = static_cast<std::int32_t>(std::stol(reply));
        }
        EXPECT_EQ(codes, (std::vector<int>{460, 465, 463, 464, 461, 466}));
        EXPECT_EQ(answer[465], 4321);
        const std::pair<const char*, std::string> fields[] = {
            {"programNumber", RightAligned(answer[465], 3)}, // 4321: wider than its field
            {"sequenceNumber", RightAligned(answer[463], 4)},
            {"repeatCount", RightAligned(answer[464], 4)},
            {"filePosition", RightAligned(answer[461], 6)},
            {"toolNumber", RightAligned(answer[466], 6)},
        };
        for (const auto& [name, text] : fields)
            EXPECT_EQ(display.Field(name)->text().toStdString(), text) << name;
        const auto status = static_cast<std::uint32_t>(answer[460]);
        const std::pair<const char*, std::uint32_t> indicators[] = {
            {"absolute", psw::Absolute},
            {"incremental", psw::Incremental},
            {"blockSkip", psw::BlockSkip},
            {"dryRun", psw::DryRun},
            {"partError", psw::PartError},
            {"emergencyStop", psw::EmergencyStop},
            {"externalEmergencyStop", psw::ExternalEmergencyStop},
            {"driveFault", psw::DriveFault},
            {"motorError", psw::MotorError},
        };
        for (const auto& [name, bit] : indicators)
            EXPECT_EQ(display.Indicator(name)->isChecked(), (status & bit) != 0) << name;
    }
}

TEST_F(StatusDisplayOnCard, ClicksChangeTheIndicatorsAtMostUntilTheNextRefresh) {
    op->ToggleDryRun();
    CStatusDisplay display;
    display.show();
    QAbstractButton* dryRun = display.Indicator("dryRun");
    QAbstractButton* blockSkip = display.Indicator("blockSkip");
    QAbstractButton* partError = display.Indicator("partError");
    ASSERT_TRUE(dryRun->isChecked());
    ASSERT_FALSE(blockSkip->isChecked());

    QTest::mouseClick(dryRun, Qt::LeftButton);
    QTest::mouseClick(blockSkip, Qt::LeftButton);
    QTest::mouseClick(partError, Qt::LeftButton);
    EXPECT_FALSE(dryRun->isChecked()) << "the check box takes the click";
    EXPECT_TRUE(blockSkip->isChecked());
    EXPECT_FALSE(partError->isChecked()) << "an error indicator takes no click";
    EXPECT_TRUE(machine->State().dryRunOn) << "the machine is not switched";
    EXPECT_FALSE(machine->State().blockSkipOn);

    display.Refresh();
    EXPECT_TRUE(dryRun->isChecked());
    EXPECT_FALSE(blockSkip->isChecked());
}

TEST_F(StatusDisplayOnCard, WithoutAMachineItNeitherRefreshesNorRuns) {
    machine->Shutdown(); // the document is closing: no current machine
    ASSERT_EQ(currentMachine, nullptr);
    TraceSinceLast();
    CStatusDisplay display;
    EXPECT_FALSE(display.TimerActive());
    display.Refresh();
    EXPECT_EQ(display.Field("programNumber")->text(), "");
    EXPECT_TRUE(TraceSinceLast().empty()) << "nothing asked of the card";
}

} // namespace
} // namespace morvik
