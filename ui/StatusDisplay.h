// The status display: a window on the machine that shows the part program's counters (program
// number, sequence number, file position, repeat count, tool number) and the card's mode,
// option and error flags from its program status word. It refreshes itself every 100 ms from
// its own timer while it is open; View > Machine Status opens and closes it, and when it goes,
// by either way, the operator interface tells the machine document, which then drops the
// menu's check.
//
// Each refresh asks the card its own six questions (ReadProgramCounters) and shows the
// ProgramCounters it got, the snapshot's type for them.
//
// The indicators only show the card's state: the two option check boxes can be clicked, but
// the next refresh shows the card's state again (the options are switched from the Options
// menu or by external switches); the radio-button indicators do not react to clicks at all.
#pragma once

#include "operation/MachineSnapshot.h"
#include "ui/DialogUnits.h"

#include <QSize>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QLineEdit;

namespace morvik {

class CStatusDisplay : public QWidget {
public:
    static constexpr int kRefreshMs = 100;
    static constexpr int kFormWidthDlu = 283;
    static constexpr int kFormHeightDlu = 59;

    // Builds the form; with a machine it refreshes once and starts its timer.
    explicit CStatusDisplay(QWidget* parent = nullptr);

    // Reads the card and shows what it read; nothing without a machine. The timer calls it.
    void Refresh();
    bool TimerActive() const { return timer_.isActive(); }
    int TimerInterval() const { return timer_.interval(); }

    // The form's fields and indicators, for tests: the five counter fields and the nine
    // indicators by their object names (see StatusDisplay.cpp).
    QLineEdit* Field(const char* name) const;
    QAbstractButton* Indicator(const char* name) const;

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void BuildFields();
    void BuildIndicators();
    // Every widget at its rectangle of the form in units_.
    void Place();
    // The form widened, if need be, until every caption fits its rectangle at the form's font.
    void WidenToFitCaptions();
    void Show(const ProgramCounters& counters);

    DialogUnits units_;
    QTimer timer_;
    std::vector<QLineEdit*> fields_;
    std::vector<QAbstractButton*> indicators_;
    // Every widget of the form with its rectangle, in the order built.
    std::vector<std::pair<QWidget*, DluRect>> placed_;
};

} // namespace morvik
