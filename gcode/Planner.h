// Turns the blocks of a part program into segments (Segment.h), one block at a time, keeping
// the modal state between them. The card's program runner and the station's preview both
// plan with it, each with its own setup.
//
// The output frame is the setup's: a point is the work origin of the active coordinate
// system (G54..G59) plus the programmed value in the program's units (G20/G21) converted to
// output length, plus the tool length on Z while G43 is on; G53 and G28 use the machine
// origin instead. A block is refused, with a reason that names the word, when it asks for
// anything the planner does not run exactly (cutter compensation, parameters, subprograms,
// unknown codes, arcs whose end is off their circle): never approximately.
#pragma once

#include "gcode/Block.h"
#include "gcode/ModalState.h"
#include "gcode/Segment.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace morvik::gcode {

struct CBlockCodes;

struct CPlannerSetup {
    // Output length per program unit: inch (G20) and millimetre (G21). Millimetres by default.
    std::array<double, 2> lengthPerUnit{25.4, 1.0};
    // Output feed per unit of F, in inch and millimetre programs (per minute by default).
    std::array<double, 2> feedPerUnit{25.4, 1.0};
    CUnits units = CUnits::Mm;          // the units before a G20 or G21
    double initialFeed = 0;             // output feed until an F word
    std::array<CAxes, 6> workOrigins{}; // G54..G59, output frame
    CAxes machineOrigin{};              // machine zero: G53's origin and G28's end
    std::vector<double> toolLengths;    // [tool number], output length; index 0 unused
    std::vector<double> hOffsets;       // [H number], output length
    std::uint8_t fittedAxes = 0x3f;     // bit i: axis X..W is fitted
    int initialTool = 0;                // the tool in the spindle when the program starts
};

class CPlanner {
public:
    explicit CPlanner(CPlannerSetup setup = {});

    // The modal state a program starts with; the position stays.
    void Reset();
    // What the end of a program (M2, M30) resets, after the block's motion: G54, G17, G90,
    // G94, G40, G1, M5, M9 and the feed back to its first value. Units, the tool length and
    // the tool in the spindle stay.
    void EndProgram();
    // Planning goes on from a modal state read elsewhere (the machine's, for a preview).
    void SetModal(const CModalState& modal) { modal_ = modal; }
    // A new setup (the machine's tables changed) for the blocks still to come.
    void SetSetup(CPlannerSetup setup) { setup_ = std::move(setup); }
    void SetPosition(const CAxes& position) { position_ = position; }
    const CAxes& Position() const { return position_; }
    const CModalState& Modal() const { return modal_; }
    const CPlannerSetup& Setup() const { return setup_; }
    // The feed the next feed move runs at, in output units.
    double Feed() const;

    // Runs one block that was read without error: its segments go to `sink` in order. Returns
    // an empty string, or why the block cannot run (its segments are then not to be used).
    std::string Apply(const CBlock& block, CSegmentSink& sink);

private:
    // Planner.cpp: words and codes.
    std::string CollectCodes(const CBlock& block, CBlockCodes& codes) const;
    std::string ApplyWords(const CBlock& block);
    void ApplyMCodes(const CBlockCodes& codes);
    std::string ApplyModes(const CBlock& block, const CBlockCodes& codes);
    std::string ApplyToolLength(const CBlock& block, bool on);
    std::string CheckWordUse(const CBlock& block, const CBlockCodes& codes) const;

    // PlannerMotion.cpp: targets, lines, G28, G53.
    std::string Motion(const CBlock& block, const CBlockCodes& codes, CSegmentSink& sink);
    double Factor() const;
    double Origin(int axis) const;
    std::string Target(const CBlock& block, CAxes& target) const;
    void Emit(CSegmentKind kind, const CAxes& end, CSegmentSink& sink);
    std::string Home(const CBlock& block, CSegmentSink& sink);
    std::string MachineMove(const CBlock& block, CSegmentSink& sink);
    std::string Dwell(const CBlock& block, CSegmentSink& sink);

    // PlannerArc.cpp.
    std::string Arc(const CBlock& block, CSegmentSink& sink);
    std::string ArcCentre(const CBlock& block, const CAxes& end, std::array<double, 2>& centre);
    std::string Mismatch(double outputLength) const;
    double ProgramLength(double mm, double inch) const;

    // PlannerCycle.cpp: G81 G82 G83 G73.
    std::string Cycle(const CBlock& block, CSegmentSink& sink);
    std::string CycleWords(const CBlock& block, bool starting);
    void Hole(const CAxes& hole, double r, double bottom, CSegmentSink& sink);

    CPlannerSetup setup_;
    CModalState modal_;
    CAxes position_{};
    std::uint32_t line_ = 0; // the block being planned
};

} // namespace morvik::gcode
