#include "operation/ProgramView.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"

namespace morvik {

namespace {

// The output option that makes the card send what a program view kind shows; 0 for none.
std::int32_t OptionOf(ProgramViewKind kind) {
    switch (kind) {
    case ProgramViewKind::Program:
        return code::OutputEchoBlocks;
    case ProgramViewKind::Messages:
        return code::OutputMessages;
    case ProgramViewKind::Nothing:
        break;
    }
    return 0;
}

} // namespace

bool OpenMachineView(CMachine& machine, ViewKind view) {
    OpenViews& views = machine.State().views;
    if (views.Has(view))
        return true;
    if (!machine.Operator().OpenView(view))
        return false;
    views.Remember(view);
    return true;
}

void CloseMachineView(CMachine& machine, ViewKind view) {
    OpenViews& views = machine.State().views;
    if (!views.Has(view))
        return;
    // The user interface reports the destruction through CMachine::OnViewDestroyed as well;
    // forgetting here keeps the document right whichever comes first.
    machine.Operator().CloseView(view);
    views.Forget(view);
}

ProgramView::ProgramView(CMachine& machine) : machine_(machine) {}

void ProgramView::Toggle(ProgramViewKind kind) {
    const std::int32_t option = OptionOf(kind);
    if (option == 0)
        return;
    MachineState& state = machine_.State();
    if (IsChecked(kind)) {
        // The kind stays recorded: it only says what the view was last opened for. A window
        // destroyed at once has already switched the options off through
        // CMachine::OnViewDestroyed; only a view still remembered needs it done here.
        machine_.Operator().CloseView(ViewKind::ProgramView);
        if (state.views.Has(ViewKind::ProgramView)) {
            state.views.Forget(ViewKind::ProgramView);
            machine_.AllOutputOptionsOff();
            // In Run mode the card keeps sending its messages for the panel's message line.
            if (state.Mode() == MachineMode::Run)
                machine_.Controller().SetOutputOption(code::OutputMessages, true);
        }
        return;
    }
    // A window that cannot be created changes nothing: no option is left switched on for a
    // view that is not there.
    if (!OpenMachineView(machine_, ViewKind::ProgramView))
        return;
    machine_.AllOutputOptionsOff();
    machine_.Controller().SetOutputOption(option, true);
    // In Run mode the card's messages stay on for the panel's message line.
    if (state.Mode() == MachineMode::Run && option != code::OutputMessages)
        machine_.Controller().SetOutputOption(code::OutputMessages, true);
    state.programViewKind = kind;
    state.firstLineEcho = {}; // what the view showed of the last load is not what it shows now
    machine_.Operator().RetitleView(ViewKind::ProgramView);
}

bool ProgramView::IsChecked(ProgramViewKind kind) const {
    const MachineState& state = machine_.State();
    return state.views.Has(ViewKind::ProgramView) && state.programViewKind == kind;
}

void ProgramView::Route(const std::string& text) {
    const MachineState& state = machine_.State();
    ViewKind target;
    if (state.Mode() == MachineMode::Run)
        target = ViewKind::ProgramView;
    else if (state.Mode() == MachineMode::Home)
        target = ViewKind::HomingView;
    else
        return;
    if (!state.views.Has(target))
        return;
    const std::string shown = target == ViewKind::ProgramView ? WithoutFirstLineEcho(text) : text;
    if (!shown.empty())
        machine_.Operator().AppendToView(target, shown);
}

// The echo may arrive split over several pieces: what matches it so far is held back; the whole
// echo is dropped, and any other text puts back what was held and ends the wait.
std::string ProgramView::WithoutFirstLineEcho(const std::string& text) {
    MachineState::AwaitedEcho& echo = machine_.State().firstLineEcho;
    if (echo.text.empty())
        return text;
    std::size_t taken = 0;
    while (taken < text.size() && echo.matched < echo.text.size() &&
           text[taken] == echo.text[echo.matched]) {
        ++taken;
        ++echo.matched;
    }
    if (echo.matched == echo.text.size()) {
        echo = {};
        return text.substr(taken);
    }
    if (taken == text.size())
        return std::string();
    std::string held = echo.text.substr(0, echo.matched);
    echo = {};
    return held + text.substr(taken);
}

} // namespace morvik
