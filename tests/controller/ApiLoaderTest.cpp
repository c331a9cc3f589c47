// The loader against stand-in libraries built beside this test: testlibs/full holds complete
// libraries, testlibs/missing ones that lack a required function, testlibs/plain a dialog library
// without the optional about text. testlibs/full is also on this test's library path, so a bare
// name resolves there when the given folder has no library.
#include "controller/ApiLoader.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

namespace morvik {
namespace {

const std::string kLibs = MORVIK_TESTLIBS_DIR;

// Whether the library at path is still mapped into the process.
bool IsMapped(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

int NullSlots(const KelvApiTable& table) {
    int nulls = 0;
#define MORVIK_COUNT_NULL(name) nulls += table.name == nullptr ? 1 : 0;
    MORVIK_KELVAPI_FUNCTIONS(MORVIK_COUNT_NULL)
#undef MORVIK_COUNT_NULL
    return nulls;
}

int SlotCount() {
    int slots = 0;
#define MORVIK_COUNT_SLOT(name) ++slots;
    MORVIK_KELVAPI_FUNCTIONS(MORVIK_COUNT_SLOT)
#undef MORVIK_COUNT_SLOT
    return slots;
}

struct ControllerCase {
    const char* what;
    std::string folder;
    std::string fileName;
    int result;
    const char* missing;
};

void PrintTo(const ControllerCase& c, std::ostream* os) {
    *os << c.what;
}

class ControllerLibrary : public testing::TestWithParam<ControllerCase> {};

TEST_P(ControllerLibrary, LoadsOrRefusesAndLeavesTheTableAccordingly) {
    const auto& c = GetParam();
    SCOPED_TRACE(c.what);
    ApiLoader loader;
    // The calls below go through the table: a load that went otherwise ends the case here.
    ASSERT_EQ(loader.LoadController(c.folder, c.fileName), c.result) << loader.LoadError();
    EXPECT_EQ(loader.MissingFunction(), c.missing);
    EXPECT_EQ(loader.ControllerLoaded(), c.result == kLoadOk);
    if (c.result != kLoadOk) {
        EXPECT_EQ(NullSlots(loader.Api()), SlotCount()) << "a refused library leaves no pointer";
        return;
    }
    ASSERT_EQ(NullSlots(loader.Api()), 0);
    // The calls reach the stand-in library, not some other one.
    EXPECT_EQ(loader.Api().KelvOpen(0, KELV_MODE_BINARY, 0), 0x777);
    KELVCONFIG config{};
    config.size = sizeof config;
    EXPECT_EQ(loader.Api().KelvGetConfigurationEx(0x777, &config), 0);
    EXPECT_EQ(config.controllerType, 77);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ControllerLibrary,
    testing::Values(ControllerCase{"no such file anywhere", "/nonexistent",
                                   "libkelvapi32-absent.so", kLoadCannotOpen, ""},
                    ControllerCase{
                        "the folder's library lacks a function, though a complete one is on the "
                        "path: the folder wins",
                        kLibs + "/missing", kControllerLibraryName, kLoadMissingFunction,
                        "dorngetc"},
                    ControllerCase{"complete library in the folder", kLibs + "/full",
                                   kControllerLibraryName, kLoadOk, ""},
                    ControllerCase{"folder without the library: found on the library path",
                                   kLibs + "/plain", kControllerLibraryName, kLoadOk, ""},
                    ControllerCase{"no folder given: library path only", "", kControllerLibraryName,
                                   kLoadOk, ""}));

struct DialogCase {
    std::string folder;
    std::string fileName;
    int result;
    const char* missing;
    const char* aboutText; // null: the optional function is absent
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.folder << "/" << c.fileName;
}

class DialogLibrary : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogLibrary, RequiresTheAboutBoxAndTakesTheAboutTextWhenPresent) {
    const auto& c = GetParam();
    ApiLoader loader;
    ASSERT_EQ(loader.LoadDialog(c.folder, c.fileName), c.result) << loader.LoadError();
    EXPECT_EQ(loader.MissingFunction(), c.missing);
    EXPECT_EQ(loader.DialogLoaded(), c.result == kLoadOk);
    if (c.result != kLoadOk) {
        EXPECT_EQ(loader.Dialog().KELVDLG_AboutBox, nullptr);
        EXPECT_EQ(loader.Dialog().KELVDLG_AboutText, nullptr);
        return;
    }
    ASSERT_NE(loader.Dialog().KELVDLG_AboutBox, nullptr);
    EXPECT_EQ(loader.Dialog().KELVDLG_AboutBox(nullptr, "Morvik", 0), 1);
    if (!c.aboutText) {
        EXPECT_EQ(loader.Dialog().KELVDLG_AboutText, nullptr);
        return;
    }
    ASSERT_NE(loader.Dialog().KELVDLG_AboutText, nullptr);
    EXPECT_STREQ(loader.Dialog().KELVDLG_AboutText(), c.aboutText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogLibrary,
    testing::Values(
        DialogCase{"/nonexistent", "libkelvdlg32-absent.so", kLoadCannotOpen, "", nullptr},
        DialogCase{kLibs + "/missing", kDialogLibraryName, kLoadMissingFunction, "KELVDLG_AboutBox",
                   nullptr},
        DialogCase{kLibs + "/plain", kDialogLibraryName, kLoadOk, "", nullptr},
        DialogCase{kLibs + "/full", kDialogLibraryName, kLoadOk, "", "test dialog library"}));

TEST(ApiLoader, UnloadsARefusedLibraryAndEverythingOnDestruction) {
    const std::string full = kLibs + "/full/" + kControllerLibraryName;
    const std::string missing = kLibs + "/missing/" + kControllerLibraryName;
    const std::string dialog = kLibs + "/full/" + kDialogLibraryName;
    {
        ApiLoader loader;
        ASSERT_EQ(loader.LoadController(kLibs + "/full"), kLoadOk);
        ASSERT_EQ(loader.LoadDialog(kLibs + "/full"), kLoadOk);
        EXPECT_TRUE(IsMapped(full));
        EXPECT_TRUE(IsMapped(dialog));

        // A second load that fails drops the first library as well: no stale table survives.
        EXPECT_EQ(loader.LoadController(kLibs + "/missing"), kLoadMissingFunction);
        EXPECT_FALSE(IsMapped(missing));
        EXPECT_FALSE(IsMapped(full));
        EXPECT_EQ(NullSlots(loader.Api()), SlotCount());
        EXPECT_TRUE(loader.DialogLoaded()) << "the dialog library is loaded on its own";
    }
    EXPECT_FALSE(IsMapped(dialog));
}

TEST(ApiLoader, ExecutableFolderIsTheFolderOfThisTest) {
    const std::string folder = ApiLoader::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, MORVIK_BIN_DIR);
}

} // namespace
} // namespace morvik
