// Machine files written on a German desktop must hold "0.1", never "0,1", and read back the
// same. The test switches the whole process to a comma-decimal locale, the way a desktop
// session sets it, writes and reads numbers and quantities, and compares the text byte for
// byte with what the C locale produces.
#include "settings/AppDouble.h"
#include "settings/Dimension.h"
#include "settings/NumberText.h"
#include "settings/Speed.h"

#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>

namespace morvik {
namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Writes a few settings and returns the file's text and the values read back from it.
struct RoundTrip {
    std::string text;
    double ratio = 0;
    double limit = 0;
    double feed = 0;
    double parsed = 0;
};

RoundTrip WriteAndRead(const std::string& path) {
    CProfileFile file(path);
    const CAppDouble ratio(0.1, "GENERAL", "RATIO");
    const CDimension limit(unit::Millimeter, -25.4, "XAXIS", "LIMIT");
    const CSpeed feed(unit::Inch, timeunit::Minute, 1234.5678, "FEED", "RATE");
    ratio.Write(file, 9);
    limit.Write(file, 9);
    feed.Write(file, 9);
    file.WriteString("GENERAL", "MANUAL", FormatG(2.5e-7, 9));
    file.Save();

    const CProfileFile loaded(path);
    CAppDouble ratioBack;
    CDimension limitBack;
    CSpeed feedBack;
    ratioBack.Init(0, "GENERAL", "RATIO");
    limitBack.Init(0, 0, "XAXIS", "LIMIT");
    feedBack.Init(0, 0, 0, "FEED", "RATE");
    ratioBack.Read(loaded);
    limitBack.Read(loaded);
    feedBack.Read(loaded);
    return RoundTrip{test::ReadBytes(path), ratioBack.Get(), limitBack.ValueIn(unit::Millimeter),
                     feedBack.ValueIn(unit::Inch, timeunit::Minute),
                     ParseLeadingDouble(loaded.GetString("GENERAL", "MANUAL", "", 80))};
}

class CommaLocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedC_ = std::setlocale(LC_ALL, nullptr);
        savedCpp_ = std::locale();
    }
    void TearDown() override {
        std::setlocale(LC_ALL, savedC_.c_str());
        std::locale::global(savedCpp_);
    }

    test::TempFolder folder_;
    std::string savedC_;
    std::locale savedCpp_;
};

TEST_F(CommaLocaleTest, NumbersAndQuantitiesReadAndWriteAsInTheCLocale) {
    const RoundTrip reference = WriteAndRead(folder_.File("c.mch"));
    EXPECT_EQ(reference.text, "[GENERAL]\nRATIO=0.1\nMANUAL=2.5e-07\n[XAXIS]\nLIMIT=-25.4 mm\n"
                              "[FEED]\nRATE=1234.5678 in/min\n");

    ASSERT_NE(std::setlocale(LC_ALL, kCommaLocale), nullptr)
        << "The " << kCommaLocale << " locale is not installed; create it with "
        << "'localedef -i de_DE -f UTF-8 " << kCommaLocale << "' (make test does this).";
    std::locale::global(std::locale(kCommaLocale));
    // Proof that the locale is in force: the C library itself now writes a comma.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 0.5);
    ASSERT_STREQ(probe, "0,5") << "the locale must use a decimal comma";

    const RoundTrip german = WriteAndRead(folder_.File("de.mch"));

    EXPECT_EQ(german.text, reference.text);
    EXPECT_EQ(german.ratio, 0.1);
    EXPECT_EQ(german.limit, -25.4);
    EXPECT_DOUBLE_EQ(german.feed, 1234.5678);
    EXPECT_EQ(german.parsed, 2.5e-7);
    EXPECT_EQ(ParseLeadingDouble("2,5"), 2.0); // the comma is never a decimal point here
}

} // namespace
} // namespace morvik
