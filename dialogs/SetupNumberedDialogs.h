// The three numbered setup dialogs: work coordinates (1-6), tools (1-9) and tool offsets
// (1-32). Each edits a copy of the whole set and hands it to the machine on OK, then rewrites
// and downloads the work coordinate or tool data file and marks the machine modified.
#pragma once

#include "dialogs/NumberedSetupForm.h"
#include "machine/OffsetTable.h"
#include "machine/Tool.h"
#include "machine/WorkCoord.h"

#include <array>

namespace morvik {

// The numbers the three dialogs last showed, kept for as long as the program runs (never
// saved); all start at 1.
struct RememberedNumbers {
    int workCoord = 1;
    int tool = 1;
    int toolOffset = 1;
};
RememberedNumbers& SetupRememberedNumbers();

// "Work Coordinates Setup": the X...W offsets of one work coordinate at a time.
class CSetupWorkCoorDlg : public CNumberedSetupForm {
    Q_OBJECT
public:
    explicit CSetupWorkCoorDlg(const SetupContext& context);

protected:
    void Apply() override;

private:
    std::array<WorkCoord, WorkCoord::kWorkCoordCount> copy_;
};

// "Tool Setup": description, X, Y, Z lengths, radius, wear, wear factor and orientation of
// one tool at a time. The description is limited to the 119 characters the machine file
// keeps, so that nothing is cut silently when the file is read again.
class CSetupToolDlg : public CNumberedSetupForm {
    Q_OBJECT
public:
    static constexpr int kDescriptionLimit = 119;

    explicit CSetupToolDlg(const SetupContext& context);

protected:
    void Apply() override;

private:
    Tool& Shown() { return copy_[static_cast<std::size_t>(Current() - 1)]; }

    std::array<Tool, Tool::kToolCount> copy_;
};

// "Tool Offsets Setup": geometry, wear and wear factor of entry 1...32 of the D table (row D)
// and of the H table (row H). Entry 0 is not reachable here.
class CSetupOffsetsDlg : public CNumberedSetupForm {
    Q_OBJECT
public:
    static constexpr int kLastEntry = OffsetTable::kEntryCount - 1;

    explicit CSetupOffsetsDlg(const SetupContext& context);

protected:
    void Apply() override;

private:
    std::array<OffsetTable, 2> copy_;
};

} // namespace morvik
