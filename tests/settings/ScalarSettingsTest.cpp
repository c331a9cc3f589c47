#include "settings/AppDouble.h"
#include "settings/AppInt.h"
#include "settings/AppString.h"

#include "settings/TempFolder.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

constexpr const char* kSection = "GENERAL";

class ScalarSettingsTest : public ::testing::Test {
protected:
    CProfileFile FileWith(const std::string& value) {
        WriteBytes(path_, std::string("[GENERAL]\nKEY=") + value + "\n");
        return CProfileFile(path_);
    }

    TempFolder folder_;
    std::string path_ = folder_.File("machine.mch");
};

TEST_F(ScalarSettingsTest, IntReadsLeadingIntegerAndZeroWhenAbsent) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"12abc", 12},
                 {"abc", 0},
                 {"-7", -7},
                 {" 5", 5},
                 {"", 0},
                 // only 19 characters are taken: the twentieth digit is never seen
                 {"1234567890123456789999", 2147483647},
                 {"0000000000000000000123", 0}};
    for (const auto& c : cases) {
        CAppInt item(99, kSection, "KEY");
        item.Read(FileWith(c.text));
        EXPECT_EQ(item.Get(), c.value) << c.text;
    }
    CAppInt absent(99, kSection, "OTHER");
    absent.Read(FileWith("1"));
    EXPECT_EQ(absent.Get(), 0);
}

TEST_F(ScalarSettingsTest, DoubleWritesPercentStarGAndReadsLeadingNumber) {
    const struct {
        double value;
        int precision;
        const char* text;
    } writes[] = {{0.1, 9, "0.1"},      {2.5, 9, "2.5"},
                  {0.0, 9, "0"},        {2.5, 0, "2"},
                  {1234.5, 0, "1e+03"}, {1.0 / 3.0, 9, "0.333333333"},
                  {-1e-7, 9, "-1e-07"}, {0.1, 17, "0.10000000000000001"}};
    for (const auto& c : writes) {
        CProfileFile file(path_);
        const CAppDouble item(c.value, kSection, "KEY");
        ASSERT_TRUE(item.Write(file, c.precision));
        EXPECT_EQ(file.GetString(kSection, "KEY", "", 80), c.text);
        CAppDouble back(7.0, kSection, "KEY");
        back.Read(file);
        EXPECT_DOUBLE_EQ(back.Get(), std::stod(c.text)) << c.text;
    }
    CAppDouble absent(7.0, kSection, "OTHER");
    absent.Read(FileWith("1"));
    EXPECT_EQ(absent.Get(), 0.0);
    CAppDouble garbage(7.0, kSection, "KEY");
    garbage.Read(FileWith("x1.5"));
    EXPECT_EQ(garbage.Get(), 0.0);
}

TEST_F(ScalarSettingsTest, DoubleReadTakesOnly29Characters) {
    CAppDouble item(0.0, kSection, "KEY");
    // The exponent starts at the 30th character and is not read.
    item.Read(FileWith("1.000000000000000000000000000e5"));
    EXPECT_EQ(item.Get(), 1.0);
}

TEST_F(ScalarSettingsTest, StringReadsZeroWhenAbsentAndCutsAt119) {
    CAppString absent("kept?", kSection, "OTHER");
    absent.Read(FileWith("x"));
    EXPECT_EQ(absent.Get(), "0");

    const std::string longText(150, 'a');
    CProfileFile file(path_);
    const CAppString item(longText, kSection, "KEY");
    ASSERT_TRUE(item.Write(file));
    ASSERT_TRUE(file.Save());
    CAppString back;
    back.Init("", kSection, "KEY");
    back.Read(CProfileFile(path_));
    EXPECT_EQ(back.Get(), longText.substr(0, 119));
}

// The limit counts characters: a text the dialog accepted comes back whole, a longer one is
// cut between characters, and bytes that are not UTF-8 come back as they were written.
TEST_F(ScalarSettingsTest, StringLimitCountsCharactersAndNeverCutsInsideOne) {
    const std::string o = "\xC3\x98";            // Ø
    const std::string degree = "\xC2\xB0";       // °
    const std::string euro = "\xE2\x82\xAC";     // €
    const std::string clef = "\xF0\x9D\x84\x9E"; // a four-byte character
    std::string mixed;
    for (int i = 0; i < 30; ++i)
        mixed += o + degree + euro + clef; // 120 characters
    std::string latin1(150, '\xD8');       // Ø in Latin-1: one byte, not UTF-8
    struct Case {
        const char* what;
        std::string written;
        std::string readBack;
    };
    const Case cases[] = {
        {"119 two-byte characters",
         [&] {
             std::string t;
             for (int i = 0; i < 119; ++i)
                 t += o;
             return t;
         }(),
         ""},
        {"120 characters of one to four bytes", mixed, mixed.substr(0, mixed.size() - 4)},
        {"Latin-1 bytes", latin1, latin1.substr(0, 119)},
        {"a stray continuation byte counts as one", std::string(118, 'a') + "\x80" + o,
         std::string(118, 'a') + "\x80"},
        {"a cut sequence is one byte each", std::string(117, 'a') + "\xE2\x82" + "bc",
         std::string(117, 'a') + "\xE2\x82"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CProfileFile file(path_);
        ASSERT_TRUE(CAppString(c.written, kSection, "KEY").Write(file));
        ASSERT_TRUE(file.Save());
        CAppString back;
        back.Init("", kSection, "KEY");
        back.Read(CProfileFile(path_));
        EXPECT_EQ(back.Get(), c.readBack.empty() ? c.written : c.readBack);
    }
}

TEST_F(ScalarSettingsTest, StringWithLineBreakIsRefusedAndFileUntouched) {
    const std::string original = "[GENERAL]\nKEY=old\n";
    WriteBytes(path_, original);
    CProfileFile file(path_);
    const CAppString item("Mill\n[FEED]\nRATE=9999 in/min", kSection, "KEY");
    EXPECT_FALSE(item.Write(file));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadBytes(path_), original);
}

TEST_F(ScalarSettingsTest, UnboundSettingWritesNothingAndReadsItsDefault) {
    CProfileFile file = FileWith("5");
    CAppInt item;
    EXPECT_EQ(item.Section(), nullptr);
    EXPECT_FALSE(item.Write(file));
    item.EraseSection(file);
    item.Set(3);
    item.Read(file);
    EXPECT_EQ(item.Get(), 0);
    EXPECT_EQ(file.GetString(kSection, "KEY", "", 80), "5");

    item.Init(8, kSection, "KEY");
    EXPECT_EQ(item.Get(), 8);
    item.Read(file);
    EXPECT_EQ(item.Get(), 5);
}

// The owners' saving order: erase the section through its first object, then write every
// object. Keys that no object writes any longer disappear; other sections stay.
TEST_F(ScalarSettingsTest, SavingASectionDropsKeysNoObjectWrites) {
    WriteBytes(path_, "[GENERAL]\nNAME=old\nHANDWRITTEN=1\n[FEED]\nRATE=1\n");
    CProfileFile file(path_);
    const CAppString name("mill", kSection, "NAME");
    const CAppInt count(3, kSection, "COUNT");
    const CAppDouble ratio(0.5, kSection, "RATIO");
    name.EraseSection(file);
    EXPECT_TRUE(name.Write(file));
    EXPECT_TRUE(count.Write(file));
    EXPECT_TRUE(ratio.Write(file, 9));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadBytes(path_), "[FEED]\nRATE=1\n[GENERAL]\nNAME=mill\nCOUNT=3\nRATIO=0.5\n");
}

TEST(ScalarSettings, VirtualOperationsWorkThroughTheBases) {
    TempFolder folder;
    CProfileFile file(folder.File("x.ini"));
    CAppInt number(4, "S", "N");
    CAppDouble real(1.5, "S", "R");
    CRegisterableItem& plain = number;
    CRegisterableItemWithPrecision& precise = real;
    EXPECT_TRUE(plain.Write(file));
    EXPECT_TRUE(precise.Write(file, 9));
    number.Set(0);
    real.Set(0);
    plain.Read(file);
    precise.Read(file);
    EXPECT_EQ(number.Get(), 4);
    EXPECT_EQ(real.Get(), 1.5);
    plain.EraseSection(file);
    EXPECT_EQ(file.Text(), "");
}

} // namespace
} // namespace morvik
