// CMachine's controller files: write each file's text under the name formed from the document
// title, then download it to the card and have the card read it.
#include "machine/Machine.h"

#include "controller/StringTable.h"
#include "settings/AtomicFile.h"

#include <array>
#include <optional>
#include <sstream>

namespace morvik {

// Each download is one operation on the card: the station is busy while it runs, and a
// message (the card not answering, a file not written) is shown once it has unwound.
bool CMachine::DownloadConfiguration() {
    CardOperation operation(gate_);
    return Download(ControllerFile::Configuration) == Outcome::Done;
}

bool CMachine::DownloadWorkCoordinates() {
    CardOperation operation(gate_);
    return Download(ControllerFile::WorkCoordinates) == Outcome::Done;
}

bool CMachine::DownloadToolData() {
    CardOperation operation(gate_);
    return Download(ControllerFile::ToolData) == Outcome::Done;
}

bool CMachine::DownloadAll() {
    CardOperation operation(gate_);
    bool all = true;
    for (ControllerFile file : kControllerFileOrder) {
        const Outcome outcome = Download(file);
        all = all && outcome == Outcome::Done;
        // A card that did not answer would only keep the operator waiting twice more.
        if (outcome == Outcome::CardNotAnswering)
            break;
    }
    return all;
}

CMachine::Outcome CMachine::Download(ControllerFile file) {
    // The configuration download shows the wait cursor for as long as it runs.
    std::optional<WaitCursor> wait;
    if (file == ControllerFile::Configuration)
        wait.emplace(ui_);
    const ControllerFileInfo& info = InfoOf(file);
    const std::string name = ControllerFileName(GetTitle(), file);
    if (!WriteControllerFile(file, name)) {
        ui_.ShowMessageBox(msg::ControllerFileNotWritten, name);
        return Outcome::FileNotWritten;
    }
    if (!AbortStartedProgram())
        return Outcome::CardNotAnswering;
    const DownloadResult sent = controller_.DownloadFile(name, info.number);
    // The card took no line: having it read the empty file would wipe its configuration.
    if (sent == DownloadResult::CardNotReady)
        return Outcome::CardNotAnswering;
    controller_.SendAscii(AsciiCommand(info.readCommand, info.number));
    controller_.DrainReplies(kReplyBufferSize);
    // The file vanished between writing and sending: the card read its previous copy.
    return sent == DownloadResult::Sent ? Outcome::Done : Outcome::FileNotWritten;
}

bool CMachine::WriteControllerFile(ControllerFile file, const std::string& name) {
    // Writing the configuration text sets the display formats; they may change only once the
    // file is on disk, or the readouts would show a scale the card never got.
    std::array<std::string, Axis::kAxisCount> axisFormats;
    for (std::size_t i = 0; i < axes_.size(); ++i)
        axisFormats[i] = axes_[i].DisplayFormat();
    const std::string cutterFormat = cutter_.DisplayFormat();
    std::ostringstream text;
    WriteControllerText(*this, file, dateSource_(), text);
    if (WriteFileAtomically(name, text.str()))
        return true;
    for (std::size_t i = 0; i < axes_.size(); ++i)
        axes_[i].RestoreDisplayFormat(axisFormats[i]);
    cutter_.RestoreDisplayFormat(cutterFormat);
    return false;
}

} // namespace morvik
