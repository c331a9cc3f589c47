// Names, header date and number format of the controller files.
#include "machine/document/MachineFixture.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <locale>

namespace morvik {
namespace {

TEST(ControllerFileNames, FormedFromTheTitleWithoutLimitAndCutOnlyInTheFileName) {
    struct Case {
        const char* title;
        const char* configuration;
        const char* firstLine;
    };
    const Case cases[] = {
        {"mill.mch", "mill.CFG", ";mill Configuration file"},
        {"mill", "mill.CFG", ";mill Configuration file"},
        {"Machine1", "Machine1.CFG", ";Machine1 Configuration file"},
        {"C:\\cnc\\lathe.mch", "C:\\cnc\\lathe.CFG", ";C:\\cnc\\lathe Configuration file"},
        // A dot in a folder name never cuts: the extension is taken from the file name only.
        {"C:\\cnc.old\\mill.mch", "C:\\cnc.old\\mill.CFG", ";C:\\cnc.old\\mill Configuration file"},
        {"/cnc.old/mill.mch", "/cnc.old/mill.CFG", ";/cnc.old/mill Configuration file"},
        {"/cnc.old/mill", "/cnc.old/mill.CFG", ";/cnc.old/mill Configuration file"},
        {"C:\\cnc.old/mill", "C:\\cnc.old/mill.CFG", ";C:\\cnc.old/mill Configuration file"},
        // The last dot of the file name starts the extension.
        {"mill.v2.mch", "mill.v2.CFG", ";mill.v2 Configuration file"},
        // A file name that starts with a dot has no extension to cut.
        {"/cnc/.mch", "/cnc/.mch.CFG", ";/cnc/.mch Configuration file"},
        // Far beyond the 39 characters the card's old buffers held.
        {"/home/operator/machines/the-big-horizontal-mill-in-hall-3.mch",
         "/home/operator/machines/the-big-horizontal-mill-in-hall-3.CFG",
         ";/home/operator/machines/the-big-horizontal-mill-in-hall-3 Configuration file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(ControllerFileName(c.title, ControllerFile::Configuration), c.configuration);
        const std::string cut = CutTitle(c.title);
        EXPECT_EQ(ControllerFileName(c.title, ControllerFile::WorkCoordinates), cut + ".WRK");
        EXPECT_EQ(ControllerFileName(c.title, ControllerFile::ToolData), cut + ".TOL");

        test::InTempFolder cwd;
        test::RecordingOperator ui;
        ManualClock clock;
        test::FakeKelvApi fake;
        CMachine machine(fake.Table(), clock, ui);
        machine.SetTitle(c.title);
        EXPECT_EQ(test::Lines(test::ControllerText(machine, ControllerFile::Configuration))[0],
                  c.firstLine);
    }
}

TEST(ControllerFileNames, FileNumbersAndReadCommands) {
    struct Case {
        ControllerFile file;
        const char* extension;
        const char* header;
        std::int32_t number;
        const char* readCommand;
    };
    const Case cases[] = {
        {ControllerFile::Configuration, ".CFG", " Configuration file", 100, "RCF"},
        {ControllerFile::WorkCoordinates, ".WRK", " Work Coordinate file", 101, "RWF"},
        {ControllerFile::ToolData, ".TOL", " Tool data file", 102, "RTF"},
    };
    for (const Case& c : cases) {
        const ControllerFileInfo& info = InfoOf(c.file);
        EXPECT_STREQ(info.extension, c.extension);
        EXPECT_STREQ(info.headerTitle, c.header);
        EXPECT_EQ(info.number, c.number);
        EXPECT_STREQ(info.readCommand, c.readCommand);
    }
}

std::tm Date(int year, int month, int day, int hour, int minute, int second) {
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = hour;
    date.tm_min = minute;
    date.tm_sec = second;
    return date;
}

class CommaLocale : public testing::Test {
protected:
    void SetUp() override {
        savedC_ = std::setlocale(LC_ALL, nullptr);
        savedCpp_ = std::locale();
    }
    void TearDown() override {
        std::setlocale(LC_ALL, savedC_.c_str());
        std::locale::global(savedCpp_);
    }
    // A German desktop: month names in German, a decimal comma, no AM/PM.
    void UseGermanLocale() {
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
            << "the de_DE.UTF-8 locale is missing (make test creates it)";
        std::locale::global(std::locale("de_DE.UTF-8"));
        char probe[16];
        std::snprintf(probe, sizeof probe, "%g", 0.5);
        ASSERT_STREQ(probe, "0,5");
    }

private:
    std::string savedC_;
    std::locale savedCpp_;
};

TEST_F(CommaLocale, HeaderDateIsEnglishTwelveHourTimeWhateverTheLocale) {
    struct Case {
        std::tm date;
        const char* text;
    };
    const Case cases[] = {
        {Date(2026, 12, 9, 22, 5, 7), "December 09, 2026   10:05:07PM"},
        {Date(2025, 1, 1, 0, 0, 0), "January 01, 2025   12:00:00AM"},
        {Date(2024, 3, 21, 12, 30, 59), "March 21, 2024   12:30:59PM"},
        {Date(2023, 5, 5, 9, 1, 2), "May 05, 2023   09:01:02AM"},
    };
    for (bool german : {false, true}) {
        if (german)
            UseGermanLocale();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            EXPECT_EQ(GeneratedDate(c.date), c.text);
        }
    }
}

TEST_F(CommaLocale, SetupPrecisionGivesTheSignificantDigitsOfEveryNumber) {
    struct Case {
        int precision;
        const char* feedRate; // 12.3456789 in/min
        const char* maxRate;  // 100 in/min
        const char* scale;    // 2000 counts/in in counts/mm: 78.740156...
    };
    const Case cases[] = {
        {9, "FEEDRATE=12.3456789", "MAXRATE=100", "XSCALE=78.740156"},
        {6, "FEEDRATE=12.3457", "MAXRATE=100", "XSCALE=78.7402"},
        {2, "FEEDRATE=12", "MAXRATE=1e+02", "XSCALE=79"},
        // Below 1 the stream keeps its default of six digits.
        {0, "FEEDRATE=12.3457", "MAXRATE=100", "XSCALE=78.7402"},
        {-4, "FEEDRATE=12.3457", "MAXRATE=100", "XSCALE=78.7402"},
    };
    for (bool german : {false, true}) {
        if (german)
            UseGermanLocale();
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "precision " << c.precision << " german " << german);
            test::RecordingOperator ui;
            ManualClock clock;
            test::FakeKelvApi fake;
            CMachine machine(fake.Table(), clock, ui);
            machine.ResetSetup();
            machine.General().partPrgmMetricDimUnits.Set(unit::Millimeter);
            machine.General().setupPrecision.Set(c.precision);
            machine.Feed().feedRate.Set(unit::Inch, timeunit::Minute, 12.3456789);
            machine.Feed().maxFeedRate.Set(unit::Inch, timeunit::Minute, 100);
            machine.AxisX().Scale().Set(unit::Inch, 2000);
            const auto lines =
                test::Lines(test::ControllerText(machine, ControllerFile::Configuration));
            // The English feed part, then the metric X part.
            EXPECT_EQ(lines[10], c.feedRate);
            EXPECT_EQ(lines[13], c.maxRate);
            const auto metricX = std::find(lines.begin() + 24, lines.end(), "METRIC");
            ASSERT_NE(metricX, lines.end());
            EXPECT_EQ(*(metricX + 1), c.scale);
        }
    }
}

} // namespace
} // namespace morvik
