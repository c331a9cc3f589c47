// CMachine: construction, connection, shutdown and the card options. The document operations
// are in MachineDocument.cpp, the controller file downloads in MachineDownload.cpp.
#include "machine/Machine.h"

#include "controller/ControllerCodes.h"

namespace morvik {

CMachine* currentMachine = nullptr;

MotionController* CurrentController() {
    return currentMachine ? &currentMachine->Controller() : nullptr;
}

namespace {

constexpr const char* kOpenCommands[] = {"PC0,EF\r", "FO\r"};
constexpr const char* kCloseCommand = "PC62,EN\r";
constexpr std::int32_t kOutputOptions[] = {code::OutputOption490, code::OutputOption491,
                                           code::OutputEchoBlocks, code::OutputMessages};

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

CMachine::CMachine(const KelvApiTable& api, IClock& clock, IOperatorInterface& ui,
                   std::int16_t controllerId)
    : clock_(clock), gate_(ui), ui_(gate_), dateSource_(LocalNow),
      controller_(api, clock, gate_, controllerId), axes_{Axis(1, 'X'), Axis(2, 'Y'),
                                                          Axis(3, 'Z'), Axis(4, 'U'),
                                                          Axis(5, 'V'), Axis(6, 'W')} {
    state_ = MachineState{};
    currentMachine = this;
    // The machine type, program style and default units tables are constants (MachineTables.h).
    BindSettings();
    NumberComponents();
}

CMachine::~CMachine() {
    Shutdown();
}

void CMachine::BindSettings() {
    general_.Bind();
    feed_.Bind();
    jogging_.Bind();
    homing_.Bind();
    externalControls_.Bind();
}

void CMachine::NumberComponents() {
    for (int i = 0; i < WorkCoord::kWorkCoordCount; ++i)
        workCoords_[static_cast<std::size_t>(i)].Init(i + 1);
    for (int i = 0; i < Tool::kToolCount; ++i)
        tools_[static_cast<std::size_t>(i)].Init(i + 1);
    offsetTables_[0].Init('D');
    offsetTables_[1].Init('H');
}

bool CMachine::Connect() {
    if (!controller_.OpenController())
        return false;
    for (const char* command : kOpenCommands)
        controller_.SendAscii(command);
    AllOutputOptionsOff();
    state_.partLoaded = false;
    state_.partPath.clear();
    state_.programStarted = false;
    return true;
}

void CMachine::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    if (controller_.IsOpen()) {
        CardOperation operation(gate_);
        AbortStartedProgram();
        AllOutputOptionsOff();
        controller_.SetOutputOption(code::OutputEchoBlocks, true);
        controller_.SendAscii(kCloseCommand);
        controller_.DrainReplies(kReplyBufferSize);
        controller_.CloseController();
    }
    if (currentMachine == this)
        currentMachine = nullptr;
}

bool CMachine::AbortStartedProgram() {
    if (!state_.programStarted)
        return true;
    CardOperation operation(gate_);
    if (!controller_.AbortProgramAndWait(AbortWaitMs()))
        return false;
    state_.programStarted = false;
    return true;
}

void CMachine::AllOutputOptionsOff() {
    for (std::int32_t option : kOutputOptions)
        controller_.SetOutputOption(option, false);
}

void CMachine::SetFeedOverride(double fraction) {
    state_.feedOverride = fraction;
    controller_.SetFeedOverride(fraction);
}

void CMachine::SetRapidOverride(double fraction) {
    state_.rapidOverride = fraction;
    controller_.SetRapidOverride(fraction);
}

void CMachine::SetSpindleOverride(double fraction) {
    state_.spindleOverride = fraction;
    controller_.SetSpindleOverride(fraction);
}

void CMachine::SetBlockSkip(bool on) {
    state_.blockSkipOn = on;
    controller_.SetBlockSkip(on);
}

void CMachine::SetDryRun(bool on) {
    state_.dryRunOn = on;
    controller_.SetDryRun(on);
}

void CMachine::OnViewDestroyed(ViewKind view) {
    state_.views.Forget(view);
    if (view != ViewKind::ProgramView)
        return;
    AllOutputOptionsOff();
    // In Run mode the card keeps sending its messages for the panel's message line.
    if (state_.Mode() == MachineMode::Run)
        controller_.SetOutputOption(code::OutputMessages, true);
}

UnitSystem CMachine::DefaultUnitSystem() const {
    return general_.System(general_.DefaultSystem());
}

} // namespace morvik
