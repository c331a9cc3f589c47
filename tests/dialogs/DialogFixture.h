// The setup dialogs on the simulated card: a machine opened from a copy of the three-axis test
// machine in the test's own folder (so Save never touches the source tree), the operation
// facade, validation messages recorded instead of shown, and the remembered numbers back at 1.
// A dialog is run through its runner (RunSetupDialog) exactly as the shell runs it; the test acts
// on it from a zero-time timer while it is modal, so nothing waits for real time.
#pragma once

#include "dialogs/NumberedSetupForm.h"
#include "dialogs/SetupAxisDialogs.h"
#include "dialogs/SetupCommands.h"
#include "dialogs/SetupComponentDialogs.h"
#include "dialogs/SetupMachineDialogs.h"
#include "dialogs/SetupNumberedDialogs.h"
#include "dialogs/ValidationMessage.h"
#include "operation/OperationFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <string_view>

namespace morvik::test {

class DialogOnCard : public OperationOnCard {
protected:
    void SetUp() override {
        OperationOnCard::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        machinePath = folder.File("mill.mch");
        std::filesystem::copy_file(OperationData("xyz.mch"), machinePath);
        ASSERT_TRUE(machine->OnOpenDocument(machinePath));
        SetupRememberedNumbers() = RememberedNumbers{};
        SetValidationMessageHook([this](QWidget*, const QString& text) { shownMessages << text; });
        Forget();
    }
    void TearDown() override {
        SetValidationMessageHook(nullptr);
        OperationOnCard::TearDown();
    }

    // Runs the dialog; act gets it while it is modal.
    void Run(SetupRunner dialog, const std::function<void(CSetupForm&)>& act = nullptr) {
        bool acted = false;
        if (act) {
            QTimer::singleShot(0, [&] {
                auto* form = qobject_cast<CSetupForm*>(QApplication::activeModalWidget());
                if (form == nullptr)
                    return;
                acted = true;
                act(*form);
                if (form->isVisible())
                    form->reject(); // a test that left it open cancels
            });
        }
        dialog(SetupContext{*machine, *op, nullptr});
        EXPECT_EQ(act != nullptr, acted) << "no setup dialog came up";
    }

    // The text a dialog shows in the field labelled so, read by opening it and cancelling.
    QString Shown(SetupRunner dialog, const QString& label) {
        QString text;
        Run(dialog, [&](CSetupForm& form) { text = Text(form, label); });
        return text;
    }

public:
    // Helpers that act on a dialog; also used by free functions of the tests.
    static QWidget* Field(CSetupForm& form, const QString& label) {
        QWidget* control = form.Control(label);
        EXPECT_NE(control, nullptr) << label.toStdString();
        return control;
    }

    static QString Text(CSetupForm& form, const QString& label) {
        QWidget* control = Field(form, label);
        if (auto* check = qobject_cast<QCheckBox*>(control))
            return check->isChecked() ? "1" : "0";
        if (auto* combo = qobject_cast<QComboBox*>(control))
            return combo->currentText();
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            return edit->text();
        return {};
    }

    // Types the text as the operator would (a check box takes "1" or "0").
    static void Type(CSetupForm& form, const QString& label, const QString& text) {
        QWidget* control = Field(form, label);
        if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setChecked(text == "1");
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setEditText(text);
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(text);
    }

    // The number field of a numbered dialog loses the focus to the next field.
    static void LeaveNumberField(CNumberedSetupForm& form) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(form.NumberEdit(), &out);
    }

protected:
    // Controller file downloads since the last look: "LO100", "RCF100", ...
    std::vector<std::string> Downloads() {
        std::vector<std::string> downloads;
        for (const std::string& command : CardCommands()) {
            if (IsDownload(command))
                downloads.push_back(command);
        }
        return downloads;
    }

    // "LO100".."LO102" and "RCF", "RWF", "RTF" followed by 100..102.
    static bool IsDownload(std::string_view command) {
        if (command.starts_with("LO"))
            command.remove_prefix(2);
        else if (command.size() > 3 && command[0] == 'R' &&
                 std::string_view("CWT").find(command[1]) != std::string_view::npos &&
                 command[2] == 'F')
            command.remove_prefix(3);
        else
            return false;
        return command == "100" || command == "101" || command == "102";
    }

    std::string machinePath;
    QStringList shownMessages;
};

inline const std::vector<std::string> kConfigurationDownload = {"LO100", "RCF100"};
inline const std::vector<std::string> kWorkCoordDownload = {"LO101", "RWF101"};
inline const std::vector<std::string> kToolDownload = {"LO102", "RTF102"};
inline const std::vector<std::string> kNoDownload = {};

} // namespace morvik::test
