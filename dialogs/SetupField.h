// One control of a setup dialog, described as data: its label, its kind, how it is checked on
// OK, and how it reads its text from and stores its text into the value it edits. The dialogs
// are tables of these (SetupAxisDialogs.cpp, ...); CSetupForm lays them out and runs them.
//
// Every value travels as text between the control and its setting: quantities in their text
// form with the machine's setup precision (parsed back on OK when edited; a unit the tables do
// not know is refused, a bare number keeps the field's unit), integers as "%d", check boxes as
// "1" or "0", combo boxes as their text.
#pragma once

#include "dialogs/QuantityInput.h"
#include "settings/AppInt.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace morvik {

enum class FieldKind {
    Quantity, // a dimensioned quantity in text form: a known unit, or a bare number
    Integer,  // "Enter an integer." / "Enter an integer between %1 and %2."
    Number,   // a plain floating value: "Enter a number."
    Combo,    // an editable combo box with fixed choices
    Check,    // a check box, "1" or "0"
    Text,     // free text
};

struct IntRange {
    int low = 0;
    int high = 0;
};

struct SetupField {
    QString label;
    FieldKind kind = FieldKind::Quantity;
    std::optional<IntRange> range;             // Integer only
    int maxChars = 0;                          // Combo and Text: 0 means no limit
    QStringList choices;                       // Combo only
    std::function<QString()> read;             // the value's text for the control
    std::function<void(const QString&)> write; // stores text that passed the checks
    // Quantity only: nullopt when the text is accepted, else the message (QuantityInput.h).
    std::function<std::optional<QString>(const QString&)> validate;

    // The failure message for text typed into this field; nullopt when the text is accepted.
    std::optional<QString> Check(const QString& text) const;
};

// The builders the dialog tables use. An accessor (a function returning a reference) lets a
// numbered dialog point the same control at whichever entry is shown.
// A text left as shown is not parsed again: the value keeps every digit (and a unit the file
// left undefined stays as it is instead of being refused).
template <class Quantity>
SetupField QuantityField(const QString& label, std::function<Quantity&()> at, int precision) {
    SetupField field;
    field.label = label;
    auto shown = [at, precision] { return QString::fromStdString(at().Format(precision)); };
    field.read = shown;
    // The message names the field: a dialog holds many quantities of one kind.
    field.validate = [at, shown, label](const QString& text) -> std::optional<QString> {
        if (text == shown())
            return std::nullopt;
        const std::optional<QString> failure = CheckQuantityText(at(), text);
        return failure ? std::optional<QString>(label + ": " + *failure) : std::nullopt;
    };
    field.write = [at, shown](const QString& text) {
        if (text != shown())
            StoreQuantityText(at(), text);
    };
    return field;
}

template <class Quantity>
SetupField QuantityField(const QString& label, Quantity& quantity, int precision) {
    return QuantityField<Quantity>(
        label, [&quantity]() -> Quantity& { return quantity; }, precision);
}

SetupField IntegerField(const QString& label, std::function<int()> get,
                        std::function<void(int)> set, std::optional<IntRange> range);
SetupField IntegerField(const QString& label, CAppInt& item, std::optional<IntRange> range);
SetupField NumberField(const QString& label, std::function<double()> get,
                       std::function<void(double)> set);
SetupField CheckField(const QString& label, std::function<int()> get, std::function<void(int)> set);
SetupField CheckField(const QString& label, CAppInt& item);
SetupField ComboField(const QString& label, QStringList choices, std::function<QString()> get,
                      std::function<void(const QString&)> set, int maxChars = 0);
SetupField TextField(const QString& label, int maxChars, std::function<QString()> get,
                     std::function<void(const QString&)> set);

// "%d" of the text's leading decimal integer, as the numbered dialogs' number fields read it:
// no number reads as 0.
int LeadingInteger(const QString& text);

} // namespace morvik
