// The machine document: one machine tool. It owns the connection to the card, the machine's
// components (six axes, spindle, cutter, six work coordinates, nine tools, the D and H offset
// tables), the machine-wide settings and the run-time state; it reads and writes the machine
// file and generates and downloads the three controller files.
//
// Life of a document, as the application drives it:
//   CMachine machine(api, clock, ui);    // components bound, currentMachine set
//   if (!machine.Connect()) ...          // the card could not be opened: the application ends
//   machine.OnOpenDocument(path) or machine.OnNewDocument();
//   ...                                  // operation layer, dialogs, Save / Save As
//   machine.Shutdown();                  // or the destructor: stop, options, close the card
//
// The modes, homing, status cycle, part programs, jogging and external controls live in the
// operation layer; they work through the accessors below.
#pragma once

#include "controller/Clock.h"
#include "controller/KelvApiTable.h"
#include "controller/MotionController.h"
#include "machine/Axis.h"
#include "machine/ControllerFiles.h"
#include "machine/CurrentMachine.h"
#include "machine/Cutter.h"
#include "machine/DocumentBase.h"
#include "machine/MachineOpenCheck.h"
#include "machine/MachineSettings.h"
#include "machine/MachineState.h"
#include "machine/OffsetTable.h"
#include "machine/OperatorGate.h"
#include "machine/OperatorInterface.h"
#include "machine/Spindle.h"
#include "machine/Tool.h"
#include "machine/WorkCoord.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace morvik {

class CMachine : public CDocumentBase {
public:
    // The reply buffer of the read commands and of closing.
    static constexpr int kReplyBufferSize = 80;
    // Controller axis numbers of a new machine's axes X..W: only X and Y are on the card.
    static constexpr std::int32_t kNewMachineAxes[Axis::kAxisCount] = {1, 2, 0, 0, 0, 0};

    // The date in the controller file headers; local time unless a test fixes it.
    using DateSource = std::function<std::tm()>;

    // Construction steps up to binding: components numbered, settings bound to their keys
    // with their initial values, run-time state cleared, currentMachine set to this document.
    // Nothing is sent to the card yet.
    CMachine(const KelvApiTable& api, IClock& clock, IOperatorInterface& ui,
             std::int16_t controllerId = 0);
    // Runs Shutdown() unless the application already has.
    ~CMachine() override;
    CMachine(const CMachine&) = delete;
    CMachine& operator=(const CMachine&) = delete;

    // Opens the card, sends "PC0,EF\r" and "FO\r", switches the output options off and clears
    // the part program state. False when the card could not be opened (the operator has seen
    // why); the application then ends.
    bool Connect();
    // Closing the document: aborts a started program (bounded wait), output options off, 494
    // on, "PC62,EN\r", replies drained, both handles closed, currentMachine cleared. Runs once;
    // later calls and the destructor do nothing more. Without an open card only currentMachine
    // is cleared.
    void Shutdown();

    // ---- Document operations ----
    // A new machine: built-in setup, then .CFG, .WRK, .TOL downloaded; the document is
    // unmodified and keeps its default title.
    virtual bool OnNewDocument();
    // ResetSetup, then the file must open for reading: if it does not, false is returned
    // without recording the path or downloading (the caller reports the file error and closes
    // the document). A file that holds none of the machine's sections (an empty file, a part
    // program) is not silently read as an all-zero machine: the operator is asked
    // (NoMachineDescription, with the path) whether to open it as a new machine with that
    // path; No gives false with OpenDeclined() set. Otherwise ReadSetup(path), unmodified,
    // path and title recorded, the three files downloaded.
    virtual bool OnOpenDocument(const std::string& path);
    // The checks and the question of OnOpenDocument, without changing this machine: whether
    // path would open as a machine file, as a new machine the operator agreed to, or not at
    // all (OpenDeclined and OpenReported tell why, as after OnOpenDocument). A machine about
    // to be replaced asks this first, so that a refused file leaves it as it was.
    MachineOpenCheck CheckOpen(const std::string& path);
    // OnOpenDocument once CheckOpen answered check (nothing is asked again).
    bool OnOpenChecked(const std::string& path, MachineOpenCheck check);
    // The last open failed because the operator declined it (nothing more to report).
    bool OpenDeclined() const { return openDeclined_; }
    // The last open failed and the operator has been told why: declined, or the path named a
    // folder, a FIFO or a device (NotARegularFile with the path), which is never read.
    bool OpenReported() const { return openReported_; }
    // True when the file holds at least one section this machine writes.
    bool HoldsMachineDescription(const std::string& path);
    // WriteSetup(path): false when the machine file could not be saved (the file on disk is
    // then unchanged); the caller tells the operator. Saved to the document's own file the
    // file's other sections and comments stay (Merge); saved to any other file (Save As onto
    // an existing file the operator agreed to replace) the file holds the machine alone.
    virtual bool OnSaveDocument(const std::string& path);
    // The path the last save went to (or tried to): what a failure report names.
    const std::string& LastSavePath() const { return lastSavePath_; }
    // Setup > Save: to the document's path, or through Save As when it has none. True when
    // the file was written; then the document is unmodified.
    bool SaveCommand();
    // Setup > Save As: the "Save Setup As" dialog; on OK the file is saved, the chosen path
    // becomes the document's path and its whole text the title (the controller files then
    // follow that path), and the document is unmodified. False when cancelled or not saved
    // (path and title then stay as they were).
    bool SaveAs();

    // ---- Machine file ----
    // The built-in setup of a new machine (X axis 1, Y axis 2, the rest not on the card),
    // overrides 100 % and block skip and dry run off, both sent to the card.
    void ResetSetup();
    // Reads every section; absent keys as the settings define, then the fix-ups
    // (SETUPPRECISION, joystick centres and upper extremes). A file that cannot be read reads
    // as one without any key.
    void ReadSetup(const std::string& path);
    // Merge: every section (erased first, so keys that are not ours go) written into the
    // existing file, keeping sections and lines that are not ours. Replace: the file holds
    // only what this machine writes. Saved atomically; false, leaving the file on disk as it
    // was, when the file is read-only, is not a regular file or cannot be written.
    enum class SaveMode { Merge, Replace };
    bool WriteSetup(const std::string& path, SaveMode mode = SaveMode::Merge);
    // The text a save to path would give that file (its sections that are not ours kept);
    // nullopt when a value cannot be stored. Recovery copies are written from it.
    std::optional<std::string> SetupText(const std::string& path);
    // Takes the setup back from a recovery copy: ResetSetup, the document's own settings
    // bound afresh, ReadSetup(copy), then the
    // document's path and title become the recorded ones (empty ones leave them), the document
    // is modified (nothing is saved until the operator saves) and the three files downloaded.
    void RestoreSetup(const std::string& copy, const std::string& path, const std::string& title);

    // ---- Controller files ----
    // Each writes its file (named after the title) and downloads it as controller file 100,
    // 101 or 102 with its read command. A file that cannot be written is reported to the
    // operator (message 34203 with the file name) and nothing is downloaded. A started program
    // is aborted first. False when the file was not written or the card did not answer.
    bool DownloadConfiguration(); // shows the wait cursor
    bool DownloadWorkCoordinates();
    bool DownloadToolData();
    // The three in order; stops early only when the card does not answer.
    bool DownloadAll();
    void SetDateSource(DateSource source) { dateSource_ = std::move(source); }

    // ---- Card options ----
    // Output options 490, 491, 494, 495 off, in that order.
    void AllOutputOptionsOff();
    void SetFeedOverride(double fraction);
    void SetRapidOverride(double fraction);
    void SetSpindleOverride(double fraction);
    void SetBlockSkip(bool on);
    void SetDryRun(bool on);
    // Aborts a started program and waits (bounded) for the card; clears program started.
    // False when the card did not answer (the program is then still marked started).
    bool AbortStartedProgram();

    // How long the card may take to brake, by this machine's settings: the stop of a jog
    // (MAXJOGRATE / JOGDECEL) and the abort of a program (the fastest feed the overrides allow
    // / FEEDDECEL, each fitted axis's RAPIDRATE / RAPIDDECEL), plus a margin, never below
    // kMinimumWaitMs. A wait on the card is bounded by these, so a healthy card that brakes
    // slowly is not reported as not answering.
    static constexpr std::uint32_t kMinimumWaitMs = 5000;
    std::uint32_t JogStopWaitMs() const;
    std::uint32_t AbortWaitMs() const;

    // The user interface tells the document that one of its windows is gone. The program
    // view also takes the card's output options with it.
    void OnViewDestroyed(ViewKind view);

    // ---- Accessors ----
    MotionController& Controller() { return controller_; }
    // The operator interface the machine and the operations use: the application's, through
    // the gate that knows when the station is busy (OperatorGate.h).
    IOperatorInterface& Operator() { return gate_; }
    OperatorGate& Gate() { return gate_; }
    IClock& Clock() { return clock_; }
    MachineState& State() { return state_; }
    const MachineState& State() const { return state_; }

    std::array<Axis, Axis::kAxisCount>& Axes() { return axes_; }
    const std::array<Axis, Axis::kAxisCount>& Axes() const { return axes_; }
    Axis& AxisX() { return axes_[0]; }
    Axis& AxisY() { return axes_[1]; }
    Axis& AxisZ() { return axes_[2]; }
    Spindle& GetSpindle() { return spindle_; }
    const Spindle& GetSpindle() const { return spindle_; }
    Cutter& GetCutter() { return cutter_; }
    const Cutter& GetCutter() const { return cutter_; }
    std::array<WorkCoord, WorkCoord::kWorkCoordCount>& WorkCoords() { return workCoords_; }
    const std::array<WorkCoord, WorkCoord::kWorkCoordCount>& WorkCoords() const {
        return workCoords_;
    }
    std::array<Tool, Tool::kToolCount>& Tools() { return tools_; }
    const std::array<Tool, Tool::kToolCount>& Tools() const { return tools_; }
    // [0] is the D table, [1] the H table.
    std::array<OffsetTable, 2>& OffsetTables() { return offsetTables_; }
    const std::array<OffsetTable, 2>& OffsetTables() const { return offsetTables_; }

    GeneralSettings& General() { return general_; }
    const GeneralSettings& General() const { return general_; }
    FeedSettings& Feed() { return feed_; }
    const FeedSettings& Feed() const { return feed_; }
    JoggingSettings& Jogging() { return jogging_; }
    const JoggingSettings& Jogging() const { return jogging_; }
    HomingSettings& Homing() { return homing_; }
    const HomingSettings& Homing() const { return homing_; }
    ExternalControlSettings& ExternalControls() { return externalControls_; }
    const ExternalControlSettings& ExternalControls() const { return externalControls_; }

    // The part-program units DEFAULTUNITS selects: English for 0, metric otherwise.
    UnitSystem DefaultUnitSystem() const;
    int SetupPrecision() const { return general_.setupPrecision.Get(); }

private:
    enum class Outcome { Done, FileNotWritten, CardNotAnswering };

    void BindSettings();
    void NumberComponents();
    bool SaveComponents(CProfileFile& file, int precision) const;
    bool WriteSections(CProfileFile& file, int precision);
    void LoadComponents(const CProfileFile& file);
    Outcome Download(ControllerFile file);
    bool WriteControllerFile(ControllerFile file, const std::string& name);

    IClock& clock_;
    OperatorGate gate_;
    IOperatorInterface& ui_; // the gate
    DateSource dateSource_;
    bool shutDown_ = false;
    bool openDeclined_ = false;
    bool openReported_ = false;
    std::string lastSavePath_;

    MotionController controller_;
    std::array<Axis, Axis::kAxisCount> axes_;
    Spindle spindle_;
    Cutter cutter_;
    std::array<WorkCoord, WorkCoord::kWorkCoordCount> workCoords_;
    std::array<Tool, Tool::kToolCount> tools_;
    std::array<OffsetTable, 2> offsetTables_;

    GeneralSettings general_;
    FeedSettings feed_;
    JoggingSettings jogging_;
    HomingSettings homing_;
    ExternalControlSettings externalControls_;

    MachineState state_;
};

} // namespace morvik
