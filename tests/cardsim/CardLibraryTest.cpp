// The simulated card as the station meets it: the functions exported by libkelvapi32.so and
// libkelvdlg32.so, and the call trace. Each golden case runs a short sequence with a trace
// file and compares the trace with the expected file golden/<name>.trace; run the test with
// MORVIK_UPDATE_GOLDEN=1 to rewrite those files after a deliberate change, then review them.
#include "cardsim/KelvSim.h"
#include "controller/KelvApi.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

extern "C" const char* KELVDLG_AboutText(void);

namespace morvik {
namespace {

namespace fs = std::filesystem;

constexpr KELVHANDLE kClosed = 0x7777;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Put(KELVHANDLE ascii, const char* text) {
    dornputs(ascii, text);
}

void Drain(KELVHANDLE ascii, int16_t size) {
    char buffer[256];
    while (dorngets(ascii, buffer, size) > 0) {
    }
}

std::int32_t Query(KELVHANDLE binary, int code) {
    std::int32_t argument = 0;
    std::int32_t reply = 0;
    dorncmdex(binary, 0, code, &argument, KELV_TYPE_INT32);
    dornrpyex(binary, &reply, KELV_TYPE_INT32);
    return reply;
}

void Command(KELVHANDLE binary, int code, std::int32_t argument) {
    dorncmdex(binary, 0, code, &argument, KELV_TYPE_INT32);
}

// The station's opening: binary handle, configuration record, ASCII handle, two commands.
void OpenLikeTheStation(KELVHANDLE& binary, KELVHANDLE& ascii) {
    binary = KelvOpen(0, KELV_MODE_BINARY, 0);
    KELVCONFIG config{};
    config.size = sizeof config;
    KelvGetConfigurationEx(binary, &config);
    ascii = KelvOpen(0, KELV_MODE_ASCII, 0);
    Put(ascii, "PC0,EF\r");
    Put(ascii, "FO\r");
}

const char* const kConfig[] = {
    ";m Configuration file\n", "MACHINETYPE=VMILL\n", "ESTOPCHANNEL=1\n", "ENGLISH\n",
    "FEEDRATE=60\n",           "MAXRATE=120\n",       "XAXIS=1\n",        "ENGLISH\n",
    "XSCALE=1000\n",           "XRATECONV=60\n",      "XRAPIDRATE=120\n", "XRAPIDACCEL=36000\n",
    "XRAPIDDECEL=36000\n",     "XLOWLIMIT=-1\n",      "XUPLIMIT=1\n",     "ENGLISH\n",
};

void Configure(KELVHANDLE ascii) {
    Put(ascii, "LO100\r");
    while (dornrdy(ascii) != -1) {
    }
    for (const char* line : kConfig) {
        Put(ascii, line);
    }
    Put(ascii, "\x1a");
    Put(ascii, "RCF100\r");
    Drain(ascii, 80);
}

void OpenAndClose() {
    KELVHANDLE binary = 0;
    KELVHANDLE ascii = 0;
    KelvOpen(1, KELV_MODE_BINARY, 0);
    OpenLikeTheStation(binary, ascii);
    Drain(ascii, 80);
    dornrdy(binary);
    Put(ascii, "PC62,EN\r");
    KelvClose(binary);
    KelvClose(ascii);
    KelvClose(ascii);
    dornrdy(ascii);
}

void DownloadAndRead() {
    KELVHANDLE binary = 0;
    KELVHANDLE ascii = 0;
    OpenLikeTheStation(binary, ascii);
    Configure(ascii);
    Put(ascii, "LO101\r");
    Put(ascii, "\x1a");
    Put(ascii, "RWF101\r");
    Drain(ascii, 80);
}

void RunProgram() {
    KELVHANDLE binary = 0;
    KELVHANDLE ascii = 0;
    OpenLikeTheStation(binary, ascii);
    Configure(ascii);
    Put(ascii, "LOF\r");
    for (const char* line : {"O12\n", "G0 X0.5\n", "(MSG, done)\n", "M30\n"}) {
        Put(ascii, line);
    }
    Put(ascii, "\x1a");
    KelvSimAdvanceMs(500);
    Drain(ascii, 40);
    Put(ascii, "RUF-12\r");
    Command(binary, 494, 1);
    Command(binary, 495, 1);
    Query(binary, 460);
    Command(binary, 410, 0);
    KelvSimAdvanceMs(200);
    Query(binary, 460);
    double position = 0;
    KelvGetOptimalEx(binary, 1, &position);
    KelvSimAdvanceMs(1000);
    Query(binary, 460);
    KelvGetPositionEx(binary, 1, &position);
    if (dorngetc(ascii) != 0) {
        char buffer[128];
        dorngets(ascii, buffer, 127);
    }
    dorngetc(ascii);
}

void JogAndIo() {
    KELVHANDLE binary = 0;
    KELVHANDLE ascii = 0;
    OpenLikeTheStation(binary, ascii);
    Configure(ascii);
    KelvSetVelocityOverride(binary, 1, 1);
    KelvSetVelocity(binary, 1, 60);
    KelvSetAcceleration(binary, 1, 36000);
    KelvSetDeceleration(binary, 1, 36000);
    KelvSetOperatingMode(binary, 1, 0, 4);
    KelvEnableAxis(binary, 1, 1);
    KelvDirection(binary, 1, 1);
    KelvGo(binary, 1);
    KelvSimAdvanceMs(500);
    KelvDecodeStatus(binary, KelvGetStatus(binary, 1), KELV_COND_MOTION_FINISHED);
    KelvSimAdvanceMs(2000);
    const std::int32_t status = KelvGetStatus(binary, 1);
    KelvDecodeStatus(binary, status, KELV_COND_MOTION_FINISHED);
    KelvDecodeStatus(binary, status, KELV_COND_AXIS_ERROR);
    double position = 0;
    KelvGetTargetEx(binary, 1, &position);
    KelvGetPositionEx(binary, 2, &position);
    KelvGo(binary, 2);
    KelvEnableDigitalIO(binary, 5, 1);
    KelvSimSetInputs(1, 1);
    std::uint32_t word = 0;
    KelvGetDigitalIOEx(binary, 0, &word);
    Query(binary, 460);
    KelvMoveAbsolute(binary, 1, 0);
    KelvBlockBegin(binary, 1, 3);
    KelvBlockEnd(binary, 0);
    KelvMacroCall(binary, 3);
}

void HostileCalls() {
    KELVHANDLE binary = 0;
    KELVHANDLE ascii = 0;
    OpenLikeTheStation(binary, ascii);
    KelvGetConfigurationEx(binary, nullptr);
    dornputs(ascii, nullptr);
    dornputs(binary, "FO\r");
    dornputs(ascii, "\\\"\t\xff\r");
    dorngets(ascii, nullptr, 80);
    char buffer[4];
    dorngets(ascii, buffer, 0);
    dorngets(ascii, buffer, 4);
    dorncmdex(binary, 0, 460, nullptr, KELV_TYPE_INT32);
    dornrpyex(binary, nullptr, KELV_TYPE_INT32);
    double value = 1e300;
    dorncmdex(binary, 0, 440, &value, KELV_TYPE_DOUBLE);
    KelvSetVelocity(binary, 1, 1);
    KelvGetPositionEx(binary, 1, nullptr);
    KelvGetStatus(kClosed, 1);
    KelvDecodeStatus(kClosed, -1, 3);
    KelvDecodeStatus(binary, -1, 40);
    KelvMoveAbsolute(binary, 1, 1e300);
    KelvEnableDigitalIO(binary, 40, 1);
    KelvGetDigitalIOEx(kClosed, 0, nullptr);
    KelvClose(kClosed);
}

struct GoldenCase {
    const char* name;
    std::function<void()> run;
};

class CardLibrary : public testing::TestWithParam<GoldenCase> {
protected:
    void SetUp() override {
        KelvSimReset();
        KelvSimUseManualClock(1);
        trace =
            fs::path(testing::TempDir()) / (std::string("cardsim_") + GetParam().name + ".trace");
        fs::remove(trace);
    }
    void TearDown() override {
        KelvSimSetTraceFile(nullptr);
        KelvSimReset();
        fs::remove(trace);
    }
    fs::path trace;
};

TEST_P(CardLibrary, TraceMatchesTheGoldenFile) {
    KelvSimSetTraceFile(trace.c_str());
    GetParam().run();
    KelvSimSetTraceFile(nullptr);
    const fs::path golden = fs::path(MORVIK_TEST_DATA_DIR) / "cardsim" / "golden" /
                            (std::string(GetParam().name) + ".trace");
    const std::string actual = ReadFile(trace);
    if (std::getenv("MORVIK_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << actual;
    }
    EXPECT_EQ(actual, ReadFile(golden)) << "golden file " << golden;
}

INSTANTIATE_TEST_SUITE_P(Sequences, CardLibrary,
                         testing::Values(GoldenCase{"open_and_close", OpenAndClose},
                                         GoldenCase{"download_and_read", DownloadAndRead},
                                         GoldenCase{"run_program", RunProgram},
                                         GoldenCase{"jog_and_io", JogAndIo},
                                         GoldenCase{"hostile_calls", HostileCalls}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CardLibraryTrace, TheEnvironmentNamesTheTraceFileAndSimCallsAreNotTraced) {
    const fs::path path = fs::path(testing::TempDir()) / "cardsim_env.trace";
    fs::remove(path);
    ::setenv("KELVSIM_TRACE", path.c_str(), 1);
    KelvSimSetTraceFile(nullptr);
    KelvSimReset();
    KelvSimSetInputs(1, 1);
    KelvOpen(0, KELV_MODE_BINARY, 0);
    KELVDLG_AboutBox(nullptr, "Morvik", 0);
    ::unsetenv("KELVSIM_TRACE");
    KelvSimSetTraceFile(nullptr);
    KelvOpen(0, KELV_MODE_ASCII, 0);

    const std::string text = ReadFile(path);
    const std::string about =
        std::string("KELVDLG_AboutBox(NULL, \"Morvik\", 0) = 1 -> \"Morvik\\n") +
        "Morvik operator station\\nVersion ";
    EXPECT_EQ(text.rfind("KelvOpen(0, 0x8002, 0) = 0x101\n" + about, 0), 0u) << text;
    EXPECT_NE(text.find("Copyright"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << "one line per call";
    EXPECT_EQ(std::string(KELVDLG_AboutText()).rfind("Morvik operator station\nVersion ", 0), 0u);
    fs::remove(path);
    KelvSimReset();
}

TEST(CardLibraryExports, OnlyTheLibraryAndSimulatorFunctionsAreExported) {
    const std::string file = std::string(MORVIK_BIN_DIR) + "/libkelvapi32.so";
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : {"KelvOpen",
                             "KelvClose",
                             "KelvGetConfigurationEx",
                             "dorncmdex",
                             "dornrpyex",
                             "dornrdy",
                             "dornputs",
                             "dorngets",
                             "dorngetc",
                             "KelvBlockBegin",
                             "KelvBlockEnd",
                             "KelvMacroCall",
                             "KelvGetStatus",
                             "KelvDecodeStatus",
                             "KelvGetPositionEx",
                             "KelvGetOptimalEx",
                             "KelvGetTargetEx",
                             "KelvMoveAbsolute",
                             "KelvMoveRelative",
                             "KelvSetVelocity",
                             "KelvSetAcceleration",
                             "KelvSetDeceleration",
                             "KelvSetVelocityOverride",
                             "KelvSetOperatingMode",
                             "KelvEnableAxis",
                             "KelvDirection",
                             "KelvGo",
                             "KelvStop",
                             "KelvEnableDigitalIO",
                             "KelvGetDigitalIOEx",
                             "KelvSimReset",
                             "KelvSimUseManualClock",
                             "KelvSimAdvanceMs",
                             "KelvSimSetInputs",
                             "KelvSimGetIoWord",
                             "KelvSimSetFault",
                             "KelvSimSetTraceFile",
                             "KelvSimControllerFile"}) {
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    }
    EXPECT_EQ(dlsym(library, "_ZN6morvik7TheCardEv"), nullptr) << "the model stays inside";
    dlclose(library);
}

} // namespace
} // namespace morvik
