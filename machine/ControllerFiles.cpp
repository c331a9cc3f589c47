#include "machine/ControllerFiles.h"

#include "machine/ConfigStream.h"
#include "machine/Machine.h"
#include "machine/MachineTables.h"
#include "settings/UnitTables.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace morvik {

namespace {

constexpr ControllerFileInfo kInfo[] = {
    {".CFG", " Configuration file", 100, "RCF"},
    {".WRK", " Work Coordinate file", 101, "RWF"},
    {".TOL", " Tool data file", 102, "RTF"},
};

using Systems = UnitSystem[kUnitSystemCount];

void FillSystems(const CMachine& machine, Systems& systems) {
    for (int u = 0; u < kUnitSystemCount; ++u)
        systems[u] = machine.General().System(u);
}

void WriteFeedPart(std::ostream& out, const FeedSettings& feed, const UnitSystem& system) {
    const int k = system.lengthUnit;
    const int m = system.timeUnit;
    ConfigStream::Line(out, system.name);
    ConfigStream::Line(out, "FEEDRATE=", feed.feedRate.ValueIn(k, m));
    ConfigStream::Line(out, "FEEDACCEL=", feed.feedAccel.ValueIn(k, m));
    ConfigStream::Line(out, "FEEDDECEL=", feed.feedDecel.ValueIn(k, m));
    ConfigStream::Line(out, "MAXRATE=", feed.maxFeedRate.ValueIn(k, m));
    ConfigStream::Line(out, "INCREMENT=", feed.maxAngle.ValueIn(unit::Degree));
}

void WriteMachineLines(std::ostream& out, const CMachine& machine) {
    const GeneralSettings& general = machine.General();
    const ExternalControlSettings& ext = machine.ExternalControls();
    ConfigStream::Line(out,
                       "MACHINETYPE=", ChoiceKeyword(kMachineTypes, general.machineType.Get()));
    ConfigStream::Line(out,
                       "PROGRAMCOMP=", ChoiceKeyword(kProgramStyles, general.programStyle.Get()));
    ConfigStream::Line(out, ";External controls configuration");
    ConfigStream::Line(out, "ESTOPCHANNEL=", ext.estopInputChannel.Get());
    ConfigStream::Line(out, "EESTOPCHANNEL=", ext.extEstopInputChannel.Get());
    ConfigStream::Line(out, "DRIVEFAULTCHANNEL=", ext.driveFaultInputChannel.Get());
}

void WriteConfigurationBody(CMachine& machine, std::ostream& out) {
    Systems systems;
    FillSystems(machine, systems);
    const int defaultSystem = machine.General().DefaultSystem();
    WriteMachineLines(out, machine);
    ConfigStream::Line(out, ";Feed configuration");
    for (const UnitSystem& system : systems)
        WriteFeedPart(out, machine.Feed(), system);
    for (Axis& axis : machine.Axes())
        axis.WriteConfigBlock(out, systems, defaultSystem);
    machine.GetSpindle().WriteConfigBlock(out, systems, defaultSystem);
    machine.GetCutter().WriteConfigBlock(out, systems, defaultSystem);
    ConfigStream::Line(out, ";Default units specifier");
    ConfigStream::Line(out, ChoiceKeyword(kDefaultUnits, defaultSystem));
}

void WriteWorkCoordinatesBody(CMachine& machine, std::ostream& out) {
    Systems systems;
    FillSystems(machine, systems);
    for (const WorkCoord& workCoord : machine.WorkCoords())
        workCoord.WriteConfigBlock(out, systems);
}

void WriteToolDataBody(CMachine& machine, std::ostream& out) {
    Systems systems;
    FillSystems(machine, systems);
    for (const Tool& tool : machine.Tools())
        tool.WriteConfigBlock(out, systems);
    for (const OffsetTable& table : machine.OffsetTables())
        table.WriteConfigBlock(out, systems);
}

using BodyWriter = void (*)(CMachine&, std::ostream&);
constexpr BodyWriter kBodies[] = {WriteConfigurationBody, WriteWorkCoordinatesBody,
                                  WriteToolDataBody};

std::size_t Slot(ControllerFile file) {
    return static_cast<std::size_t>(file);
}

} // namespace

const ControllerFileInfo& InfoOf(ControllerFile file) {
    return kInfo[Slot(file)];
}

std::string CutTitle(std::string_view title) {
    const std::size_t slash = title.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = title.rfind('.');
    // A dot before the file name is a folder's; a dot that opens the file name is part of it.
    if (dot == std::string_view::npos || dot <= nameStart)
        return std::string(title);
    return std::string(title.substr(0, dot));
}

std::string HeaderTitle(std::string_view title) {
    std::string cut = CutTitle(title);
    for (char& c : cut) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            c = '?';
    }
    return cut;
}

std::string ControllerFileName(std::string_view title, ControllerFile file) {
    return CutTitle(title) + InfoOf(file).extension;
}

std::string GeneratedDate(const std::tm& when) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&when, "%B %d, %Y   %I:%M:%S%p");
    return text.str();
}

void WriteControllerText(CMachine& machine, ControllerFile file, const std::tm& when,
                         std::ostream& out) {
    const ControllerFileInfo& info = InfoOf(file);
    ConfigStream::Line(out, ';', HeaderTitle(machine.GetTitle()), info.headerTitle);
    ConfigStream::Line(out, ';', " generated: ", GeneratedDate(when));
    ConfigStream::Prepare(out, machine.General().setupPrecision.Get());
    kBodies[Slot(file)](machine, out);
}

} // namespace morvik
