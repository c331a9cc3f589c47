// Our planner against LinuxCNC's standalone interpreter rs274, an RS274/NGC reference nobody
// here wrote. Each program in tests/gcode/rs274/ (one behaviour per file; a new case is one
// small file) is planned by CPlanner and run through `rs274 -t TOOLS -v VARS -g FILE`, and the
// two are compared move by move: kind, end point, arc centre, direction and sweep, feed, dwell.
// A block rs274 refuses must be refused by ours on the same line, the moves before it equal.
//
// Without rs274 (Debian's linuxcnc-uspace) the cases are skipped with a message; `make test`
// installs it.
#include "gcode/Program.h"
#include "gcode/Rs274Output.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace morvik::gcode::test {
namespace {

namespace fs = std::filesystem;

constexpr double kMmPerInch = 25.4;
// Two plans agree when every value is within 0.001 mm (plus what rs274's four printed
// decimals may hide, see CRefMove::resolution).
constexpr double kToleranceMm = 0.001;
constexpr double kTurn = 2 * std::numbers::pi;

// The machine both interpreters plan for. rs274 reads its tool table and var file in inches
// (it runs without an INI file, so its machine is an inch machine); our setup holds the same
// values converted to mm, our output unit.
struct CShopTool {
    int number;
    double lengthInch;
};
constexpr CShopTool kTools[] = {{1, 1.0}, {2, 2.0}, {3, 0.5}};
// G54 and G55 (X, Y, Z) in inches; G56 to G59 stay at zero.
constexpr double kWorkOriginsInch[2][3] = {{1.0, 2.0, 0.0}, {-1.0, 0.5, 0.25}};

std::string ToolTable() {
    std::ostringstream text;
    for (const CShopTool& t : kTools) {
        text << "T" << t.number << " P" << t.number << " Z" << t.lengthInch << "\n";
    }
    return text.str();
}

// #5220 selects G54; #5221.. hold G54, #5241.. G55 (20 numbers per system). The G28 and G30
// positions (#5161.., #5181..) are left at zero: machine zero, where our G28 goes.
std::string VarFile() {
    std::ostringstream text;
    text << "5220 1\n";
    for (int system = 0; system < 2; ++system) {
        for (int axis = 0; axis < 3; ++axis) {
            text << 5221 + 20 * system + axis << " " << kWorkOriginsInch[system][axis] << "\n";
        }
    }
    return text.str();
}

CPlannerSetup ShopSetup() {
    CPlannerSetup setup;
    for (int system = 0; system < 2; ++system) {
        for (int axis = 0; axis < 3; ++axis) {
            setup.workOrigins[system][axis] = kWorkOriginsInch[system][axis] * kMmPerInch;
        }
    }
    // In LinuxCNC, H n is tool n's length from the table.
    setup.toolLengths.assign(std::size(kTools) + 1, 0.0);
    for (const CShopTool& t : kTools) {
        setup.toolLengths[t.number] = t.lengthInch * kMmPerInch;
    }
    setup.hOffsets = setup.toolLengths;
    // rs274 starts with no tool in the spindle (tool 0), at machine zero, in G21.
    setup.initialTool = 0;
    return setup;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string FindRs274() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    dirs += ":/usr/bin";
    std::istringstream list(dirs);
    for (std::string dir; std::getline(list, dir, ':');) {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / "rs274";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

struct CRs274Result {
    CRefRun run;
    bool started = false;
};

CRs274Result RunRs274(const std::string& rs274, const fs::path& program) {
    CRs274Result result;
    char pattern[] = "/tmp/morvik-rs274-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    if (!dir) {
        return result;
    }
    const fs::path folder(dir);
    std::ofstream(folder / "tools.tbl") << ToolTable();
    std::ofstream(folder / "vars.var") << VarFile();
    const std::string command = "'" + rs274 + "' -t '" + (folder / "tools.tbl").string() +
                                "' -v '" + (folder / "vars.var").string() + "' -g '" +
                                program.string() + "' >'" + (folder / "out").string() + "' 2>'" +
                                (folder / "err").string() + "' </dev/null";
    const int status = std::system(command.c_str());
    result.started = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) != 127;
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.run = ParseRs274(ReadAll(folder / "out"), ReadAll(folder / "err"), ok);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return result;
}

// The line of `program` rs274 printed as the one it refused.
std::uint32_t LineOf(const std::string& program, const std::string& text) {
    std::istringstream lines(program);
    std::uint32_t number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == text) {
            return number;
        }
    }
    return 0;
}

std::string Num(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", std::fabs(value) < 5e-5 ? 0.0 : value);
    return buffer;
}

std::string Xyz(const CAxes& p) {
    return "X" + Num(p[0]) + " Y" + Num(p[1]) + " Z" + Num(p[2]);
}

const char* KindName(CSegmentKind kind) {
    static const char* names[] = {"rapid", "feed", "arc", "dwell"};
    return names[static_cast<int>(kind)];
}

std::string Describe(const CSegment& s) {
    std::string text = std::string("line ") + std::to_string(s.line) + " " + KindName(s.kind) +
                       " to " + Xyz(s.end);
    if (s.kind == CSegmentKind::Arc) {
        text += " centre " + Num(s.centre[0]) + "," + Num(s.centre[1]) + " sweep " +
                Num(s.sweep * 180 / std::numbers::pi) + " deg";
    }
    if (s.kind == CSegmentKind::Feed || s.kind == CSegmentKind::Arc) {
        text += " F" + Num(s.feed);
    }
    if (s.kind == CSegmentKind::Dwell) {
        text += " " + Num(s.seconds) + " s";
    }
    return text;
}

std::string Describe(const CRefMove& m) {
    std::string text = std::string(KindName(m.kind)) + " to " + Xyz(m.end);
    if (m.kind == CSegmentKind::Arc) {
        text += " centre " + Num(m.centre[0]) + "," + Num(m.centre[1]) + " rotation " +
                std::to_string(m.rotation);
    }
    if (m.kind == CSegmentKind::Feed || m.kind == CSegmentKind::Arc) {
        text += " F" + Num(m.feed);
    }
    if (m.kind == CSegmentKind::Dwell) {
        text += " " + Num(m.seconds) + " s";
    }
    return text;
}

bool Near(double a, double b, double resolution) {
    return std::fabs(a - b) <= kToleranceMm + resolution;
}

bool NearPoint(const CAxes& a, const CAxes& b, double resolution) {
    for (int i = 0; i < kAxes; ++i) {
        if (!Near(a[i], b[i], resolution)) {
            return false;
        }
    }
    return true;
}

// rs274's arc as a sweep: its rotation gives the direction and the turns begun; the last turn
// runs from the start to the end point. An end on its start (to what rs274 prints) closes a
// whole turn, as LinuxCNC's motion planner takes an ARC_FEED that ends where it starts.
double RefSweep(const CRefMove& m, const CAxes& start) {
    const CPlaneAxes axes = PlaneAxes(m.plane);
    const double from =
        std::atan2(start[axes.second] - m.centre[1], start[axes.first] - m.centre[0]);
    const double to = std::atan2(m.end[axes.second] - m.centre[1], m.end[axes.first] - m.centre[0]);
    const bool closed = Near(start[axes.first], m.end[axes.first], m.resolution) &&
                        Near(start[axes.second], m.end[axes.second], m.resolution);
    const bool clockwise = m.rotation < 0;
    double last = kTurn;
    if (!closed) {
        last = clockwise ? from - to : to - from;
        while (last <= 0) {
            last += kTurn;
        }
        while (last > kTurn) {
            last -= kTurn;
        }
    }
    const double sweep = last + kTurn * (std::abs(m.rotation) - 1);
    return clockwise ? -sweep : sweep;
}

bool Same(const CSegment& s, const CRefMove& m) {
    if (s.kind != m.kind || !NearPoint(s.end, m.end, m.resolution)) {
        return false;
    }
    switch (s.kind) {
    case CSegmentKind::Rapid:
        return true;
    case CSegmentKind::Feed:
        return Near(s.feed, m.feed, m.resolution);
    case CSegmentKind::Dwell:
        return std::fabs(s.seconds - m.seconds) < 1e-4;
    case CSegmentKind::Arc:
        break;
    }
    const CPlaneAxes axes = PlaneAxes(s.plane);
    const double radius =
        std::hypot(s.start[axes.first] - s.centre[0], s.start[axes.second] - s.centre[1]);
    // The sweep compared as the length it runs along the circle.
    return s.plane == m.plane && Near(s.centre[0], m.centre[0], m.resolution) &&
           Near(s.centre[1], m.centre[1], m.resolution) &&
           Near(s.sweep * radius, RefSweep(m, s.start) * radius, m.resolution) &&
           Near(s.feed, m.feed, m.resolution);
}

// A drilling cycle that moves to its next hole from below the level it approaches at: rs274
// rapids there in one slanted move (out of the hole at R and up to the initial level at
// once); ours rises straight up first and then moves across, so that the tool clears what the
// initial level is meant to clear. The two are the same move when ours is a rise along one
// axis to the level rs274 ends at followed by a rapid to rs274's end.
bool RisesThenCrosses(const CSegment& rise, const CSegment& across, const CRefMove& m) {
    if (m.kind != CSegmentKind::Rapid || rise.kind != CSegmentKind::Rapid ||
        across.kind != CSegmentKind::Rapid || !NearPoint(across.end, m.end, m.resolution)) {
        return false;
    }
    int moved = 0;
    int axis = -1;
    for (int i = 0; i < kAxes; ++i) {
        if (rise.end[i] != rise.start[i]) {
            ++moved;
            axis = i;
        }
    }
    return moved == 1 && rise.end[axis] > rise.start[axis] &&
           Near(rise.end[axis], m.end[axis], m.resolution);
}

// rs274 prints a move to where the tool already stands (G28's intermediate point on the spot,
// a G90 repeat that drills the same hole again); ours leaves such moves out. They are dropped.
std::vector<CRefMove> WithoutStandingMoves(const std::vector<CRefMove>& moves) {
    std::vector<CRefMove> kept;
    CAxes at{};
    for (const CRefMove& m : moves) {
        const bool standing =
            (m.kind == CSegmentKind::Rapid || m.kind == CSegmentKind::Feed) && m.end == at;
        if (!standing) {
            kept.push_back(m);
        }
        at = m.end;
    }
    return kept;
}

void Compare(const std::vector<CSegment>& ours, const std::vector<CRefMove>& reference) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < ours.size() && j < reference.size()) {
        if (Same(ours[i], reference[j])) {
            ++i;
            ++j;
        } else if (i + 1 < ours.size() && RisesThenCrosses(ours[i], ours[i + 1], reference[j])) {
            i += 2;
            ++j;
        } else {
            ADD_FAILURE() << "move " << j + 1 << " differs:\n  ours:  " << Describe(ours[i])
                          << "\n  rs274: " << Describe(reference[j]);
            return;
        }
    }
    for (; i < ours.size(); ++i) {
        ADD_FAILURE() << "ours only: " << Describe(ours[i]);
    }
    for (; j < reference.size(); ++j) {
        ADD_FAILURE() << "rs274 only: " << Describe(reference[j]);
    }
}

std::vector<fs::path> Cases() {
    std::vector<fs::path> files;
    const fs::path folder = fs::path(MORVIK_TEST_DATA_DIR) / "gcode" / "rs274";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".ngc") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Rs274Diff : public ::testing::TestWithParam<fs::path> {};

TEST_P(Rs274Diff, PlansWhatRs274Plans) {
    static const std::string rs274 = FindRs274();
    if (rs274.empty()) {
        GTEST_SKIP() << "rs274 not found (Debian package linuxcnc-uspace): comparison skipped";
    }
    const fs::path& file = GetParam();
    const std::string program = ReadAll(file);
    ASSERT_FALSE(program.empty()) << file;

    const CRs274Result reference = RunRs274(rs274, file);
    ASSERT_TRUE(reference.started) << "rs274 did not run";

    CPlanner planner(ShopSetup());
    CProgramResult result;
    std::vector<CSegment> ours = PlanProgramSegments(program, planner, result);

    if (reference.run.refused) {
        const std::uint32_t line = LineOf(program, reference.run.refusedText);
        ASSERT_NE(line, 0u) << "rs274 refused a block not found in the program: \""
                            << reference.run.refusedText << "\" (" << reference.run.error << ")";
        EXPECT_EQ(result.errorLine, line)
            << "rs274 refuses line " << line << " (" << reference.run.error
            << "); ours: " << (result.Ok() ? std::string("runs it") : result.Message());
        // The segments of the refused block are not to be used.
        std::erase_if(ours, [line](const CSegment& s) { return s.line >= line; });
    } else {
        ASSERT_TRUE(result.Ok()) << "rs274 runs it, ours refuses: " << result.Message();
    }
    Compare(ours, WithoutStandingMoves(reference.run.moves));
}

std::string CaseName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.stem().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Programs, Rs274Diff, ::testing::ValuesIn(Cases()), CaseName);

} // namespace
} // namespace morvik::gcode::test
