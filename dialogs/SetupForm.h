// The one form every setup dialog is: a caption, a table of fields (SetupField.h) laid out as
// labelled rows, OK and Cancel. The form fills its controls from the values when it opens; OK
// checks every field in order and, on the first failure, shows the field's message and puts
// the focus on it, leaving the dialog open; when all pass it stores every field and closes.
// RunModal then runs the dialog's own after-OK rule (Apply): store, download the controller
// file the card needs, mark the machine modified. Cancel stores and downloads nothing.
//
// Run by RunSetupDialog (SetupCommands.h), which the Setup menu's command rows name.
#pragma once

#include "dialogs/SetupField.h"

#include <QDialog>

#include <vector>

class QFormLayout;

namespace morvik {

class CMachine;
class MachineOperation;

// What a setup dialog works on; the shell passes its main window as the parent.
struct SetupContext {
    CMachine& machine;
    MachineOperation& operation;
    QWidget* parent = nullptr;
};

class CSetupForm : public QDialog {
    Q_OBJECT

public:
    // Shows the dialog modally; true when it ended with OK (fields stored, Apply run).
    bool RunModal();
    // The control of the field labelled so (a QLineEdit, QComboBox or QCheckBox); nullptr when
    // there is none. The numbered dialogs' number field is found by its label too.
    QWidget* Control(const QString& label) const;
    // OK: check, store and close, or stay open on the first field that fails.
    void accept() override;

protected:
    CSetupForm(const SetupContext& context, const QString& caption);

    // Appends rows in order; call Finish() once after the last.
    void AddFields(std::vector<SetupField> fields);
    void AddRow(const QString& label, QWidget* control);
    // OK and Cancel, then the controls are filled from the values.
    void Finish();

    // The dialog's rule after OK, once every field is stored.
    virtual void Apply() = 0;

    // Checks every field in order; the first failure is shown and focused, and false returned.
    bool CheckFields();
    void StoreFields();
    void ShowFields();

    CMachine& Machine() const { return context_.machine; }
    MachineOperation& Operation() const { return context_.operation; }
    int Precision() const;

private:
    struct Row {
        SetupField field;
        QWidget* control;
    };
    static QWidget* MakeControl(const SetupField& field);
    static QString ControlText(const Row& row);
    static void SetControlText(const Row& row, const QString& text);

    SetupContext context_;
    QFormLayout* form_;
    std::vector<Row> rows_;
};

// A form whose values go into the configuration file: after OK the file is rewritten and
// downloaded, then the machine is marked modified. Most setup dialogs are one.
class CConfigurationSetupForm : public CSetupForm {
    Q_OBJECT

protected:
    using CSetupForm::CSetupForm;
    void Apply() override;
};

} // namespace morvik
