// morvik-cfg, run as built: the controller files of a machine file without a card, with the
// names and text the station writes when it opens that file, and clear failures.
#include "machine/document/MachineFixture.h"

#include <sys/wait.h>

namespace morvik {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// Runs the tool with the arguments from the folder, capturing both streams.
ToolRun RunTool(const test::TempFolder& folder, const std::vector<std::string>& arguments) {
    std::string command = "cd " + Quoted(folder.Path().string()) + " && " +
                          Quoted(std::string(MORVIK_BIN_DIR) + "/morvik-cfg");
    for (const std::string& argument : arguments)
        command += " " + Quoted(argument);
    const std::string out = folder.File(".out");
    const std::string err = folder.File(".err");
    command += " >" + Quoted(out) + " 2>" + Quoted(err);
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = test::ReadBytes(out);
    run.err = test::ReadBytes(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

// Everything but the date line.
std::string WithoutDate(const std::string& text) {
    std::string kept;
    int line = 0;
    for (const std::string& l : test::Lines(text))
        if (++line != 2)
            kept += l + "\n";
    return kept;
}

TEST(MorvikCfg, WritesTheFilesTheStationWritesOnOpening) {
    struct Case {
        const char* what;
        bool outDir; // OUTDIR given, or the current directory
    };
    for (const Case& c : {Case{"into OUTDIR", true}, Case{"into the current directory", false}}) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        std::filesystem::create_directory(folder.File("out"));
        const std::string target = c.outDir ? folder.File("out") : folder.Path().string();
        std::vector<std::string> arguments = {test::GoldenPath("mill.mch")};
        if (c.outDir)
            arguments.push_back("out");

        const ToolRun run = RunTool(folder, arguments);

        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::string listed;
        for (const char* name : {"mill.CFG", "mill.WRK", "mill.TOL"}) {
            SCOPED_TRACE(name);
            const std::string path = target + "/" + name;
            listed += path + "\n";
            const std::string written = test::ReadBytes(path);
            EXPECT_EQ(WithoutDate(written), WithoutDate(test::Golden(name)));
            EXPECT_EQ(test::Lines(written)[1].rfind("; generated: ", 0), 0u);
        }
        EXPECT_EQ(run.out, listed);
    }
}

TEST(MorvikCfg, FailsClearlyForAMissingMachineFileOrAnUnusableFolder) {
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    };
    test::TempFolder folder;
    std::filesystem::create_directory(folder.File("machines.mch"));
    const Case cases[] = {
        {"no arguments", {}, 2, "usage: morvik-cfg MACHINEFILE [OUTDIR]"},
        {"too many", {"a.mch", "out", "extra"}, 2, "usage: morvik-cfg MACHINEFILE [OUTDIR]"},
        {"missing file",
         {"absent.mch"},
         2,
         "morvik-cfg: cannot read machine file absent.mch: no such file"},
        {"a folder",
         {"machines.mch"},
         2,
         "morvik-cfg: cannot read machine file machines.mch: is a folder, not a machine file"},
        {"missing output folder",
         {test::GoldenPath("mill.mch"), "nowhere"},
         3,
         "morvik-cfg: cannot use output folder \"nowhere\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun run = RunTool(folder, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(folder.EntryCount(), 1u) << "nothing written";
    }
}

TEST(MorvikCfg, ReportsControllerFilesThatCannotBeWritten) {
    test::TempFolder folder;
    // A folder where the configuration file should go.
    std::filesystem::create_directory(folder.File("mill.CFG"));
    const ToolRun run = RunTool(folder, {test::GoldenPath("mill.mch")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("A controller file could not be written"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(mill.CFG)"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

// A hand-edited precision far beyond what a double carries finishes at once and writes what
// precision 17 writes.
TEST(MorvikCfg, HugeSetupPrecisionWritesTheFilesOfPrecisionSeventeen) {
    test::TempFolder folder;
    std::string mill = test::Golden("mill.mch");
    const std::size_t line = mill.find("SETUPPRECISION=9");
    ASSERT_NE(line, std::string::npos);
    for (const char* precision : {"17", "2147483647"}) {
        std::string text = mill;
        text.replace(line, std::string("SETUPPRECISION=9").size(),
                     std::string("SETUPPRECISION=") + precision);
        std::filesystem::create_directory(folder.File(precision));
        test::WriteBytes(folder.File(std::string(precision) + "/mill.mch"), text);
        const ToolRun run = RunTool(folder, {std::string(precision) + "/mill.mch", precision});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    for (const char* name : {"mill.CFG", "mill.WRK", "mill.TOL"}) {
        SCOPED_TRACE(name);
        const std::string seventeen = test::ReadBytes(folder.File(std::string("17/") + name));
        EXPECT_GT(seventeen.size(), 100u);
        EXPECT_EQ(WithoutDate(test::ReadBytes(folder.File(std::string("2147483647/") + name))),
                  WithoutDate(seventeen));
    }
}

TEST(MorvikCfg, RefusesAFileThatHoldsNoMachineDescription) {
    test::TempFolder folder;
    test::WriteBytes(folder.File("bracket.nc"), "O1\nG01 X1 F10\nM30\n");
    const ToolRun run = RunTool(folder, {"bracket.nc"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "morvik-cfg: cannot read machine file bracket.nc: holds no machine "
                       "description\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("bracket.CFG")));
}

} // namespace
} // namespace morvik
