#include "telemetry/JsonWriter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace morvik {
namespace {

std::string Quoted(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

std::string NumberText(double value) {
    std::string out;
    AppendJsonNumber(out, value);
    return out;
}

TEST(JsonWriter, EscapesStringsAndKeepsThemValidUtf8) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"plain", R"("plain")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\parts\\a.prt", R"("C:\\parts\\a.prt")"},
        {"a\nb\rc\td\b\f", R"("a\nb\rc\td\b\f")"},
        {std::string("nul\0x", 5), R"("nul\u0000x")"},
        {"\x01\x1f", R"("\u0001\u001f")"},
        {"/slash", R"("/slash")"},
        {"Fr\xC3\xA4ser \xE2\x82\xAC \xF0\x9F\x94\xA7",
         "\"Fr\xC3\xA4ser \xE2\x82\xAC \xF0\x9F\x94\xA7\""},
        {"Fr\xE4ser", "\"Fr\xEF\xBF\xBDser\""},                       // Latin-1 byte
        {"\xC3", "\"\xEF\xBF\xBD\""},                                 // cut short
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                 // overlong "/"
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // surrogate
        {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // > U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Quoted(c.in), c.out) << c.in;
    }
}

TEST(JsonWriter, WritesNumbersInTheCLocaleShortestAndNullWhenNotFinite) {
    const struct {
        double in;
        const char* out;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.5, "1.5"},
        {-2.25, "-2.25"},
        {0.1, "0.1"},
        {1200.0, "1200"},
        {1e21, "1e+21"},
        {123456.789012, "123456.789012"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
        {std::numeric_limits<double>::infinity(), "null"},
        {-std::numeric_limits<double>::infinity(), "null"},
    };
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where available: a comma would break JSON
    for (const auto& c : cases) {
        EXPECT_EQ(NumberText(c.in), c.out);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(JsonWriter, PlacesCommasAndColonsInNestedValues) {
    JsonWriter json;
    json.BeginObject();
    json.Key("a").Integer(-3);
    json.Key("b").BeginArray().Bool(true).Null().Unsigned(18446744073709551615ull).EndArray();
    json.Key("c").BeginObject().EndObject();
    json.Key("d")
        .BeginArray()
        .BeginObject()
        .Key("x")
        .Number(1)
        .EndObject()
        .BeginArray()
        .EndArray()
        .EndArray();
    json.Key("e").String("");
    json.EndObject();
    EXPECT_EQ(json.Text(),
              R"({"a":-3,"b":[true,null,18446744073709551615],"c":{},"d":[{"x":1},[]],"e":""})");
}

} // namespace
} // namespace morvik
