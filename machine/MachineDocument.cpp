// CMachine as a document: new, open, save and save as, and the machine file's section walks.
#include "machine/Machine.h"

#include "controller/StringTable.h"
#include "settings/RegularFile.h"

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace morvik {

namespace {

const std::vector<FileFilter> kMachineFileFilters = {
    {"Machine Files (*.mch)", "*.mch"},
    {"All Files (*.*)", "*.*"},
};

// The document framework's own open step: the file must exist and be readable. A folder, a
// FIFO or a device is refused without reading it (a FIFO would block the window, /dev/zero
// fill memory); so is a file far longer than any machine file.
FileReadResult CheckReadable(const std::string& path) {
    std::string bytes;
    return ReadRegularFile(path, CProfileFile::kMaxBytes, &bytes);
}

// Two names of one file (a link, "./", a different spelling) are the same file.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (a.empty() || b.empty() || ::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0)
        return a == b;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A machine file whose write permission is off is not replaced: the atomic save would rename
// over it, since only the folder's permissions count for a rename (and root passes every
// check), so the read-only mark is honoured here, as on the desktop the files come from.
bool IsReadOnlyFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

} // namespace

bool CMachine::OnNewDocument() {
    ResetSetup();
    DownloadAll();
    SetModifiedFlag(false);
    return true;
}

MachineOpenCheck CMachine::CheckOpen(const std::string& path) {
    openDeclined_ = false;
    openReported_ = false;
    const FileReadResult readable = CheckReadable(path);
    if (readable == FileReadResult::NotRegular) {
        ui_.ShowMessageBox(msg::NotARegularFile, path);
        openReported_ = true;
        return MachineOpenCheck::Refused;
    }
    if (readable != FileReadResult::Ok)
        return MachineOpenCheck::Refused;
    if (HoldsMachineDescription(path))
        return MachineOpenCheck::MachineFile;
    // The operator's choice: a new machine's setup, saved to this path from now on.
    if (ui_.AskYesNo(msg::NoMachineDescription, path))
        return MachineOpenCheck::NewMachine;
    openDeclined_ = true;
    openReported_ = true;
    return MachineOpenCheck::Refused;
}

bool CMachine::OnOpenDocument(const std::string& path) {
    return OnOpenChecked(path, CheckOpen(path));
}

bool CMachine::OnOpenChecked(const std::string& path, MachineOpenCheck check) {
    ResetSetup();
    if (check == MachineOpenCheck::Refused)
        return false;
    if (check == MachineOpenCheck::MachineFile)
        ReadSetup(path);
    else
        BindSettings();
    SetModifiedFlag(false);
    SetPathName(path);
    DownloadAll();
    return true;
}

// The machine's own file keeps what others wrote in it (comments, sections of other
// programs); any other file the operator chose to replace holds the machine alone afterwards.
bool CMachine::OnSaveDocument(const std::string& path) {
    lastSavePath_ = path;
    const bool ownFile = !GetPathName().empty() && SameFile(path, GetPathName());
    return WriteSetup(path, ownFile ? SaveMode::Merge : SaveMode::Replace);
}

bool CMachine::HoldsMachineDescription(const std::string& path) {
    // The sections this machine writes are the ones a machine file holds: ask a save into an
    // empty profile for them, so the list can never fall behind the components.
    CProfileFile written{std::string()};
    WriteSections(written, SetupPrecision());
    const CProfileFile file(path);
    for (const std::string& section : written.SectionNames()) {
        if (file.HasSection(section))
            return true;
    }
    return false;
}

bool CMachine::SaveCommand() {
    if (GetPathName().empty())
        return SaveAs();
    if (!OnSaveDocument(GetPathName()))
        return false;
    SetModifiedFlag(false);
    return true;
}

bool CMachine::SaveAs() {
    const std::optional<std::string> chosen =
        ui_.ChooseSaveFile("Save Setup As", kMachineFileFilters, std::string());
    if (!chosen || chosen->empty() || !OnSaveDocument(*chosen))
        return false;
    SetPathName(*chosen);
    SetTitle(*chosen);
    SetModifiedFlag(false);
    return true;
}

void CMachine::ResetSetup() {
    for (std::size_t i = 0; i < axes_.size(); ++i)
        axes_[i].Reset(kNewMachineAxes[i]);
    spindle_.Reset(0);
    cutter_.Reset(0);
    for (WorkCoord& workCoord : workCoords_)
        workCoord.Reset();
    for (Tool& tool : tools_)
        tool.Reset();
    for (OffsetTable& table : offsetTables_)
        table.Reset();
    SetFeedOverride(1.0);
    SetRapidOverride(1.0);
    SetSpindleOverride(1.0);
    SetBlockSkip(false);
    SetDryRun(false);
}

void CMachine::ReadSetup(const std::string& path) {
    const CProfileFile file(path);
    LoadSection(file, general_.Items());
    general_.FixUp();
    LoadSection(file, feed_.Items());
    LoadComponents(file);
    LoadSection(file, jogging_.Items());
    jogging_.FixUp();
    LoadSection(file, homing_.Items());
    LoadSection(file, externalControls_.Items());
}

void CMachine::LoadComponents(const CProfileFile& file) {
    for (Axis& axis : axes_)
        axis.Load(file);
    spindle_.Load(file);
    cutter_.Load(file);
    for (WorkCoord& workCoord : workCoords_)
        workCoord.Load(file);
    for (Tool& tool : tools_)
        tool.Load(file);
    for (OffsetTable& table : offsetTables_)
        table.Load(file);
}

bool CMachine::WriteSetup(const std::string& path, SaveMode mode) {
    if (IsReadOnlyFile(path) || IsSpecialFile(path))
        return false;
    // A precision below 1 would write every value with one digit; saved as read, it is 9.
    general_.FixUp();
    CProfileFile file = mode == SaveMode::Merge ? CProfileFile(path) : CProfileFile::Empty(path);
    // A value the file refused (a text that would break it) leaves the file on disk as it was:
    // replacing it would lose that key without a trace.
    return WriteSections(file, SetupPrecision()) && file.Save();
}

std::optional<std::string> CMachine::SetupText(const std::string& path) {
    general_.FixUp();
    CProfileFile file(path);
    if (!WriteSections(file, SetupPrecision()))
        return std::nullopt;
    return file.Text();
}

void CMachine::RestoreSetup(const std::string& copy, const std::string& path,
                            const std::string& title) {
    ResetSetup();
    BindSettings(); // what the copy does not hold (or holds unreadably) is a new machine's
    ReadSetup(copy);
    if (!path.empty())
        SetPathName(path);
    if (!title.empty())
        SetTitle(title);
    SetModifiedFlag(true);
    DownloadAll();
}

bool CMachine::WriteSections(CProfileFile& file, int precision) {
    bool written = SaveSection(file, general_.Items(), precision);
    written = SaveSection(file, jogging_.Items(), precision) && written;
    written = SaveSection(file, homing_.Items(), precision) && written;
    written = SaveSection(file, externalControls_.Items(), precision) && written;
    written = SaveSection(file, feed_.Items(), precision) && written;
    return SaveComponents(file, precision) && written;
}

bool CMachine::SaveComponents(CProfileFile& file, int precision) const {
    bool written = true;
    for (const Axis& axis : axes_)
        written = axis.Save(file, precision) && written;
    written = spindle_.Save(file, precision) && written;
    written = cutter_.Save(file, precision) && written;
    for (const WorkCoord& workCoord : workCoords_)
        written = workCoord.Save(file, precision) && written;
    for (const Tool& tool : tools_)
        written = tool.Save(file, precision) && written;
    for (const OffsetTable& table : offsetTables_)
        written = table.Save(file, precision) && written;
    return written;
}

} // namespace morvik
