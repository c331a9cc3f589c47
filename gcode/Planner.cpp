// Words and codes of a block: which codes it holds by group, the words that set values
// (N F S T), the M-codes and the modal G-codes, in the order RS274/NGC runs them.
#include "gcode/Planner.h"

#include "gcode/Codes.h"

#include <utility>

namespace morvik::gcode {

namespace {

constexpr std::uint32_t kArcWords = LetterBit('I') | LetterBit('J') | LetterBit('K');

template <class E> E As(const CCode* code) {
    return static_cast<E>(code->value);
}

} // namespace

CPlanner::CPlanner(CPlannerSetup setup) : setup_(std::move(setup)) {
    Reset();
}

void CPlanner::Reset() {
    modal_ = CModalState{};
    modal_.units = setup_.units;
    modal_.selectedTool = setup_.initialTool;
    modal_.spindleTool = setup_.initialTool;
}

double CPlanner::Feed() const {
    if (!modal_.feedGiven) {
        return setup_.initialFeed;
    }
    return modal_.feedWord * setup_.feedPerUnit[static_cast<int>(modal_.feedUnits)];
}

std::string CPlanner::Apply(const CBlock& block, CSegmentSink& sink) {
    line_ = block.line;
    modal_.stop = CStop::None;
    CBlockCodes codes;
    std::string why = CollectCodes(block, codes);
    if (why.empty()) {
        why = ApplyWords(block);
    }
    if (why.empty()) {
        ApplyMCodes(codes);
        why = ApplyModes(block, codes);
        if (block.Has('F')) {
            // F is written in the units this block leaves in force (G20 F10 is 10 in/min).
            modal_.feedUnits = modal_.units;
        }
    }
    if (why.empty()) {
        why = CheckWordUse(block, codes);
    }
    if (why.empty()) {
        why = Motion(block, codes, sink);
    }
    if (why.empty() && modal_.stop == CStop::End) {
        EndProgram();
    }
    return why;
}

void CPlanner::EndProgram() {
    modal_.coordSystem = 0;
    modal_.plane = CPlane::XY;
    modal_.distance = CDistance::Absolute;
    modal_.feedMode = CFeedMode::PerMinute;
    modal_.cutterComp = CCutterComp::Off;
    modal_.motion = CMotion::Feed;
    modal_.spindle = CSpindle::Off;
    modal_.mist = false;
    modal_.flood = false;
    modal_.feedGiven = false;
    modal_.feedWord = 0;
}

std::string CPlanner::CollectCodes(const CBlock& block, CBlockCodes& codes) const {
    for (int n = 0; n < block.gCount; ++n) {
        const CCode* code = FindGCode(block.gCodes[n]);
        if (!code) {
            return "unsupported G-code " + CodeText('G', block.gCodes[n]);
        }
        if (std::exchange(codes.g[code->group], code)) {
            return "conflicting G-codes in one block";
        }
    }
    if (codes.G(CGGroup::Motion) && codes.GIs(CGGroup::NonModal, CNonModal::Home)) {
        return "G28 together with a motion code";
    }
    for (int n = 0; n < block.mCount; ++n) {
        const std::int32_t tenths = block.mCodes[n];
        if (tenths == 980 || tenths == 990) {
            return "subprogram call " + CodeText('M', tenths) + " is not supported";
        }
        const CCode* code = FindMCode(tenths);
        if (!code) {
            return "unsupported M-code " + CodeText('M', tenths);
        }
        if (code->group == static_cast<unsigned char>(CMGroup::Coolant)) {
            // M7 and M8 may stand together; M9 turns both off and goes alone.
            bool& flag = As<CCoolant>(code) == CCoolant::Mist    ? codes.mist
                         : As<CCoolant>(code) == CCoolant::Flood ? codes.flood
                                                                 : codes.coolantOff;
            if (std::exchange(flag, true) || (codes.coolantOff && (codes.mist || codes.flood))) {
                return "conflicting M-codes in one block";
            }
            continue;
        }
        if (std::exchange(codes.m[code->group], code)) {
            return "conflicting M-codes in one block";
        }
    }
    return {};
}

std::string CPlanner::ApplyWords(const CBlock& block) {
    if (block.Has('N')) {
        modal_.sequence = block.Whole('N');
    }
    if (block.Has('F')) {
        if (block.Value('F') < 0) {
            return "negative feed rate";
        }
        modal_.feedGiven = true;
        modal_.feedWord = block.Value('F');
    }
    if (block.Has('S')) {
        if (block.Value('S') < 0) {
            return "negative spindle speed";
        }
        modal_.speed = block.Value('S');
    }
    if (block.Has('T')) {
        if (block.Value('T') < 0) {
            return "negative tool number";
        }
        modal_.selectedTool = block.Whole('T');
    }
    return {};
}

void CPlanner::ApplyMCodes(const CBlockCodes& codes) {
    if (codes.M(CMGroup::ToolChange)) {
        modal_.spindleTool = modal_.selectedTool;
        modal_.toolChanged = true;
    }
    if (const CCode* spindle = codes.M(CMGroup::Spindle)) {
        modal_.spindle = As<CSpindle>(spindle);
    }
    modal_.mist = (modal_.mist || codes.mist) && !codes.coolantOff;
    modal_.flood = (modal_.flood || codes.flood) && !codes.coolantOff;
    if (const CCode* stop = codes.M(CMGroup::Stop)) {
        modal_.stop = As<CStop>(stop);
        if (modal_.stop == CStop::End) {
            // The end of the program stops the spindle and the coolant.
            modal_.spindle = CSpindle::Off;
            modal_.mist = false;
            modal_.flood = false;
        }
    }
}

std::string CPlanner::ApplyModes(const CBlock& block, const CBlockCodes& codes) {
    if (const CCode* c = codes.G(CGGroup::Plane)) {
        modal_.plane = As<CPlane>(c);
    }
    if (const CCode* c = codes.G(CGGroup::Units)) {
        modal_.units = As<CUnits>(c);
    }
    if (const CCode* c = codes.G(CGGroup::CutterComp)) {
        modal_.cutterComp = As<CCutterComp>(c);
    }
    if (const CCode* c = codes.G(CGGroup::ToolLength)) {
        if (auto why = ApplyToolLength(block, c->value != 0); !why.empty()) {
            return why;
        }
    }
    if (const CCode* c = codes.G(CGGroup::CoordSystem)) {
        modal_.coordSystem = c->value;
    }
    if (const CCode* c = codes.G(CGGroup::PathControl)) {
        modal_.pathControl = As<CPathControl>(c);
    }
    if (const CCode* c = codes.G(CGGroup::Distance)) {
        modal_.distance = As<CDistance>(c);
    }
    if (const CCode* c = codes.G(CGGroup::ArcDistance)) {
        modal_.arcCentreAbsolute = c->value != 0;
    }
    if (const CCode* c = codes.G(CGGroup::Retract)) {
        modal_.retract = As<CRetract>(c);
    }
    if (const CCode* c = codes.G(CGGroup::FeedMode)) {
        modal_.feedMode = As<CFeedMode>(c);
    }
    return {};
}

// G43 takes the length of offset H, or without H the length of the tool in the spindle (an
// empty spindle, tool 0, has none); G49 none.
std::string CPlanner::ApplyToolLength(const CBlock& block, bool on) {
    if (!on) {
        modal_.toolLengthOn = false;
        modal_.toolLength = 0;
        modal_.toolLengthH = -1;
        return {};
    }
    if (block.Has('H')) {
        const int h = block.Whole('H');
        if (h < 0 || static_cast<std::size_t>(h) >= setup_.hOffsets.size()) {
            return "H offset number out of range";
        }
        modal_.toolLength = setup_.hOffsets[h];
        modal_.toolLengthH = h;
    } else if (const int tool = modal_.ActiveTool(); tool == 0) {
        modal_.toolLength = 0;
        modal_.toolLengthH = -1;
    } else {
        const int tools = static_cast<int>(setup_.toolLengths.size()) - 1;
        if (tools < 1) {
            return "G43 without H needs a tool length table";
        }
        if (tool < 1 || tool > tools) {
            return "G43 without H needs a tool 1 to " + std::to_string(tools);
        }
        modal_.toolLength = setup_.toolLengths[tool];
        modal_.toolLengthH = -1;
    }
    modal_.toolLengthOn = true;
    return {};
}

// Words the block's codes have no use for are refused, except those that merely have no
// effect where they stand: a zero third centre word on an arc (K0 on an XY arc), H and D.
std::string CPlanner::CheckWordUse(const CBlock& block, const CBlockCodes& codes) const {
    const bool nonModal =
        codes.G(CGGroup::NonModal) && !codes.GIs(CGGroup::NonModal, CNonModal::Dwell);
    const CCode* motionCode = codes.G(CGGroup::Motion);
    // G80 ends any motion mode; its axis words would be ambiguous (a move in which mode?)
    // unless the block names its own motion, as Fanuc headers write "G0 G80 X..".
    const bool cancel = codes.G(CGGroup::CycleCancel) != nullptr;
    if (cancel && !motionCode && !nonModal && block.HasAxisWords()) {
        return "axis words on a G80 block";
    }
    const CMotion effective = nonModal                ? CMotion::None
                              : cancel && !motionCode ? CMotion::None
                              : motionCode            ? As<CMotion>(motionCode)
                                                      : modal_.motion;
    const bool blending = codes.GIs(CGGroup::PathControl, CPathControl::Blending);
    if ((block.words & kArcWords) != 0 && !IsArc(effective)) {
        return IsCycle(effective) ? "I, J or K in a drilling cycle" : "I, J, K or R outside an arc";
    }
    if (block.Has('R') && !IsArc(effective) && !IsCycle(effective)) {
        return "I, J, K or R outside an arc";
    }
    if (block.Has('Q') && effective != CMotion::Peck && effective != CMotion::ChipBreak &&
        !blending) {
        return "Q outside a peck drilling cycle";
    }
    if (block.Has('L') && !IsCycle(effective)) {
        return "L outside a drilling cycle";
    }
    if (block.Has('P') && !codes.GIs(CGGroup::NonModal, CNonModal::Dwell) && !blending &&
        !IsArc(effective) && effective != CMotion::DrillDwell) {
        return "P outside a dwell, G82 or an arc";
    }
    return {};
}

} // namespace morvik::gcode
