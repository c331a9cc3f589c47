// morvik-cfg MACHINEFILE [OUTDIR]
//
// Writes the configuration (.CFG), work coordinate (.WRK) and tool data (.TOL) files of a
// machine file into OUTDIR (default: the current directory), with the same names and the same
// text as the station writes them when it opens that machine file; no card is needed. Users
// check, diff and keep under version control what their card will be told.
//
// Exit codes: 0 written; 2 usage, or the machine file is missing or unreadable; 3 the output
// folder cannot be used or a file could not be written.
#include "controller/Clock.h"
#include "controller/OfflineKelvApi.h"
#include "controller/StringTable.h"
#include "machine/ControllerFiles.h"
#include "machine/Machine.h"
#include "settings/RegularFile.h"
#include "settings/UnitTables.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitUnreadable = 2;
constexpr int kExitNotWritten = 3;

// The operator is whoever runs the tool: messages go to stderr, nothing is ever asked.
class ConsoleOperator : public morvik::IOperatorInterface {
public:
    bool failed = false;

    void ShowMessageBox(int id, const std::string& detail) override {
        failed = true;
        std::cerr << "morvik-cfg: " << morvik::MessageText(id);
        if (!detail.empty())
            std::cerr << " (" << detail << ")";
        std::cerr << '\n';
    }
    bool AskYesNo(int, const std::string&) override { return false; }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::optional<std::string> ChooseOpenFile(const std::string&,
                                              const std::vector<morvik::FileFilter>&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&,
                                              const std::vector<morvik::FileFilter>&,
                                              const std::string&) override {
        return std::nullopt;
    }
    bool OpenView(morvik::ViewKind) override { return false; }
    void CloseView(morvik::ViewKind) override {}
    void ClearView(morvik::ViewKind) override {}
    void AppendToView(morvik::ViewKind, const std::string&) override {}
};

int Usage() {
    std::cerr << "usage: morvik-cfg MACHINEFILE [OUTDIR]\n"
                 "Writes the .CFG, .WRK and .TOL controller files of MACHINEFILE into OUTDIR\n"
                 "(default: the current directory), as the station does when it opens it.\n";
    return kExitUsage;
}

// Empty when the machine file can be read, else why not.
std::string WhyUnreadable(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec))
        return "no such file";
    if (fs::is_directory(path, ec))
        return "is a folder, not a machine file";
    // A FIFO would block the tool, a device never end: neither is opened.
    if (morvik::IsSpecialFile(path.string()))
        return "is a device or a pipe, not a machine file";
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return std::strerror(errno);
    return std::string();
}

bool EnterFolder(const fs::path& folder) {
    std::error_code ec;
    fs::current_path(folder, ec);
    if (ec)
        std::cerr << "morvik-cfg: cannot use output folder " << folder << ": " << ec.message()
                  << '\n';
    return !ec;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3)
        return Usage();
    std::error_code ec;
    const fs::path machineFile = fs::absolute(argv[1], ec);
    const std::string why = ec ? ec.message() : WhyUnreadable(machineFile);
    if (!why.empty()) {
        std::cerr << "morvik-cfg: cannot read machine file " << argv[1] << ": " << why << '\n';
        return kExitUnreadable;
    }
    if (argc == 3 && !EnterFolder(argv[2]))
        return kExitNotWritten;

    morvik::BuildUnitTables();
    morvik::ManualClock clock;
    ConsoleOperator console;
    morvik::CMachine machine(morvik::OfflineKelvApi(), clock, console);
    if (!machine.Connect() || !machine.OnOpenDocument(machineFile.string())) {
        std::cerr << "morvik-cfg: cannot read machine file " << argv[1]
                  << (machine.OpenDeclined() ? ": holds no machine description" : "") << '\n';
        return kExitUnreadable;
    }
    if (console.failed)
        return kExitNotWritten;
    for (morvik::ControllerFile file : morvik::kControllerFileOrder)
        std::cout << (fs::current_path() / ControllerFileName(machine.GetTitle(), file)).string()
                  << '\n';
    return 0;
}
