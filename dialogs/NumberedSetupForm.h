// A setup form that shows one entry of a numbered set at a time (work coordinates 1-6, tools
// 1-9, tool offsets 1-32). The dialog edits a copy of the whole set; the number field chooses
// the entry shown. Leaving the number field stores the shown fields into the copy's current
// entry, reads the typed number (no number reads as 0), clamps it to 1...maximum, writes it
// back and shows that entry; the up and down arrows do the same one step at a time. The number
// is remembered for the next opening (for as long as the program runs). OK stores the shown
// fields too; the dialog's Apply then hands the whole copy to the machine.
#pragma once

#include "dialogs/SetupForm.h"

class QLineEdit;
class QToolButton;

namespace morvik {

class CNumberedSetupForm : public CSetupForm {
    Q_OBJECT

public:
    // The entry shown, 1...maximum.
    int Current() const { return current_; }
    QLineEdit* NumberEdit() const { return number_; }
    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }

    // The typed number is taken as on leaving the field, then OK as for every form.
    void accept() override;

protected:
    // remembered: the process-wide number of this dialog, kept across openings.
    // numberMaxChars: the number field's length limit on OK (0: none).
    CNumberedSetupForm(const SetupContext& context, const QString& caption,
                       const QString& numberLabel, int maximum, int& remembered,
                       int numberMaxChars = 0);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The number field lost the focus.
    void NumberFieldLeft();
    // One click on an arrow: +1 up, -1 down.
    void Step(int delta);
    // The shown fields into the copy's current entry; false when one fails its check.
    bool StoreShown();
    void ShowEntry(int number);
    int Clamp(int number) const;

    int maximum_;
    int& remembered_;
    int numberMaxChars_;
    int current_;
    bool busy_ = false; // a message box from our own handling takes the focus away
    QLineEdit* number_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace morvik
