#include "gcode/Codes.h"

#include "gcode/ModalState.h"

#include <algorithm>
#include <iterator>

namespace morvik::gcode {

namespace {

template <class G, class V> constexpr CCode Code(std::int32_t tenths, G group, V value) {
    return CCode{tenths, static_cast<unsigned char>(group), static_cast<unsigned char>(value)};
}

constexpr CCode kGCodes[] = {
    Code(0, CGGroup::Motion, CMotion::Rapid),
    Code(10, CGGroup::Motion, CMotion::Feed),
    Code(20, CGGroup::Motion, CMotion::ArcCw),
    Code(30, CGGroup::Motion, CMotion::ArcCcw),
    Code(40, CGGroup::NonModal, CNonModal::Dwell),
    Code(170, CGGroup::Plane, CPlane::XY),
    Code(180, CGGroup::Plane, CPlane::ZX),
    Code(190, CGGroup::Plane, CPlane::YZ),
    Code(200, CGGroup::Units, CUnits::Inch),
    Code(210, CGGroup::Units, CUnits::Mm),
    Code(280, CGGroup::NonModal, CNonModal::Home),
    Code(400, CGGroup::CutterComp, CCutterComp::Off),
    Code(430, CGGroup::ToolLength, 1),
    Code(490, CGGroup::ToolLength, 0),
    Code(530, CGGroup::NonModal, CNonModal::Machine),
    Code(540, CGGroup::CoordSystem, 0),
    Code(550, CGGroup::CoordSystem, 1),
    Code(560, CGGroup::CoordSystem, 2),
    Code(570, CGGroup::CoordSystem, 3),
    Code(580, CGGroup::CoordSystem, 4),
    Code(590, CGGroup::CoordSystem, 5),
    Code(610, CGGroup::PathControl, CPathControl::ExactStop),
    Code(611, CGGroup::PathControl, CPathControl::ExactPath),
    Code(640, CGGroup::PathControl, CPathControl::Blending),
    Code(730, CGGroup::Motion, CMotion::ChipBreak),
    Code(800, CGGroup::CycleCancel, CMotion::None),
    Code(810, CGGroup::Motion, CMotion::Drill),
    Code(820, CGGroup::Motion, CMotion::DrillDwell),
    Code(830, CGGroup::Motion, CMotion::Peck),
    Code(900, CGGroup::Distance, CDistance::Absolute),
    Code(901, CGGroup::ArcDistance, 1),
    Code(910, CGGroup::Distance, CDistance::Incremental),
    Code(911, CGGroup::ArcDistance, 0),
    Code(940, CGGroup::FeedMode, CFeedMode::PerMinute),
    Code(980, CGGroup::Retract, CRetract::Initial),
    Code(990, CGGroup::Retract, CRetract::RPlane),
};

constexpr CCode kMCodes[] = {
    Code(0, CMGroup::Stop, CStop::Pause),
    Code(10, CMGroup::Stop, CStop::OptionalPause),
    Code(20, CMGroup::Stop, CStop::End),
    Code(30, CMGroup::Spindle, CSpindle::Clockwise),
    Code(40, CMGroup::Spindle, CSpindle::CounterClockwise),
    Code(50, CMGroup::Spindle, CSpindle::Off),
    Code(60, CMGroup::ToolChange, 0),
    Code(70, CMGroup::Coolant, CCoolant::Mist),
    Code(80, CMGroup::Coolant, CCoolant::Flood),
    Code(90, CMGroup::Coolant, CCoolant::Off),
    Code(300, CMGroup::Stop, CStop::End),
};

template <std::size_t N> const CCode* Find(const CCode (&table)[N], std::int32_t tenths) {
    const auto found = std::lower_bound(
        std::begin(table), std::end(table), tenths,
        [](const CCode& code, std::int32_t wanted) { return code.tenths < wanted; });
    return found != std::end(table) && found->tenths == tenths ? found : nullptr;
}

} // namespace

const CCode* FindGCode(std::int32_t tenths) {
    return Find(kGCodes, tenths);
}

const CCode* FindMCode(std::int32_t tenths) {
    return Find(kMCodes, tenths);
}

bool IsArcCode(std::int32_t tenths) {
    const CCode* code = FindGCode(tenths);
    return code != nullptr && code->group == static_cast<unsigned char>(CGGroup::Motion) &&
           IsArc(static_cast<CMotion>(code->value));
}

} // namespace morvik::gcode
