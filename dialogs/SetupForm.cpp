#include "dialogs/SetupForm.h"

#include "dialogs/ValidationMessage.h"
#include "machine/Machine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace morvik {

CSetupForm::CSetupForm(const SetupContext& context, const QString& caption)
    : QDialog(context.parent), context_(context), form_(new QFormLayout) {
    setWindowTitle(caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
}

bool CSetupForm::RunModal() {
    if (exec() != QDialog::Accepted)
        return false;
    Apply();
    return true;
}

QWidget* CSetupForm::Control(const QString& label) const {
    for (int i = 0; i < form_->rowCount(); ++i) {
        QLayoutItem* labelItem = form_->itemAt(i, QFormLayout::LabelRole);
        QLayoutItem* fieldItem = form_->itemAt(i, QFormLayout::FieldRole);
        auto* text = labelItem != nullptr ? qobject_cast<QLabel*>(labelItem->widget()) : nullptr;
        if (text != nullptr && fieldItem != nullptr && text->text() == label)
            return fieldItem->widget();
    }
    return nullptr;
}

void CSetupForm::accept() {
    if (!CheckFields())
        return;
    StoreFields();
    QDialog::accept();
}

void CSetupForm::AddFields(std::vector<SetupField> fields) {
    for (SetupField& field : fields) {
        QWidget* control = MakeControl(field);
        AddRow(field.label, control);
        rows_.push_back(Row{std::move(field), control});
    }
}

void CSetupForm::AddRow(const QString& label, QWidget* control) {
    auto* text = new QLabel(label, this);
    text->setBuddy(control);
    form_->addRow(text, control);
}

void CSetupForm::Finish() {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetupForm::reject);
    layout()->addWidget(buttons);
    ShowFields();
}

bool CSetupForm::CheckFields() {
    for (const Row& row : rows_) {
        if (const std::optional<QString> failure = row.field.Check(ControlText(row))) {
            ShowValidationMessage(this, *failure);
            row.control->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(row.control))
                edit->selectAll();
            return false;
        }
    }
    return true;
}

void CSetupForm::StoreFields() {
    for (const Row& row : rows_)
        row.field.write(ControlText(row));
}

void CSetupForm::ShowFields() {
    for (const Row& row : rows_)
        SetControlText(row, row.field.read());
}

int CSetupForm::Precision() const {
    return context_.machine.SetupPrecision();
}

QWidget* CSetupForm::MakeControl(const SetupField& field) {
    if (field.kind == FieldKind::Check)
        return new QCheckBox;
    if (field.kind == FieldKind::Combo) {
        // Editable, as the operator may type a text; one that names no choice changes nothing.
        auto* combo = new QComboBox;
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(field.choices);
        return combo;
    }
    return new QLineEdit;
}

QString CSetupForm::ControlText(const Row& row) {
    if (auto* check = qobject_cast<QCheckBox*>(row.control))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* combo = qobject_cast<QComboBox*>(row.control))
        return combo->currentText();
    return static_cast<QLineEdit*>(row.control)->text();
}

void CSetupForm::SetControlText(const Row& row, const QString& text) {
    if (auto* check = qobject_cast<QCheckBox*>(row.control)) {
        check->setChecked(text == QStringLiteral("1"));
    } else if (auto* combo = qobject_cast<QComboBox*>(row.control)) {
        // The value's text even when it is none of the choices (a unit a hand-edited machine
        // file names), so that OK without an edit keeps it.
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
        combo->setEditText(text);
    } else {
        static_cast<QLineEdit*>(row.control)->setText(text);
    }
}

void CConfigurationSetupForm::Apply() {
    Machine().DownloadConfiguration();
    Machine().SetModifiedFlag();
}

} // namespace morvik
