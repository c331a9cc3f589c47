#include "dialogs/SetupField.h"

#include "settings/NumberText.h"
#include "settings/Utf8Text.h"

namespace morvik {

namespace {

// The digits a plain floating value (a wear factor) is shown with: all that a double carries
// in decimal, so that OK without an edit stores the value unchanged.
constexpr int kNumberDigits = 15;

std::optional<QString> CheckInteger(const SetupField& field, const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return QStringLiteral("Enter an integer.");
    if (field.range && (value < field.range->low || value > field.range->high)) {
        return QStringLiteral("Enter an integer between %1 and %2.")
            .arg(field.range->low)
            .arg(field.range->high);
    }
    return std::nullopt;
}

std::optional<QString> CheckNumber(const QString& text) {
    bool ok = false;
    text.trimmed().toDouble(&ok); // Qt reads in the C locale whatever the desktop's
    if (!ok)
        return QStringLiteral("Enter a number.");
    return std::nullopt;
}

// Characters as the machine file counts them when it reads the text back (one per UTF-8
// sequence), not UTF-16 units: what the dialog accepts comes back whole.
std::optional<QString> CheckLength(const SetupField& field, const QString& text) {
    if (field.maxChars > 0 && Utf8Characters(text.toStdString()) > std::size_t(field.maxChars))
        return QStringLiteral("Enter no more than %1 characters.").arg(field.maxChars);
    return std::nullopt;
}

SetupField Blank(const QString& label, FieldKind kind) {
    SetupField field;
    field.label = label;
    field.kind = kind;
    return field;
}

} // namespace

std::optional<QString> SetupField::Check(const QString& text) const {
    switch (kind) {
    case FieldKind::Integer:
        return CheckInteger(*this, text);
    case FieldKind::Number:
        return CheckNumber(text);
    case FieldKind::Combo:
    case FieldKind::Text:
        return CheckLength(*this, text);
    case FieldKind::Quantity:
        return validate ? validate(text) : std::nullopt;
    case FieldKind::Check:
        break;
    }
    return std::nullopt;
}

SetupField IntegerField(const QString& label, std::function<int()> get,
                        std::function<void(int)> set, std::optional<IntRange> range) {
    SetupField field = Blank(label, FieldKind::Integer);
    field.range = range;
    field.read = [get] { return QString::number(get()); };
    field.write = [set](const QString& text) { set(text.trimmed().toInt(nullptr, 10)); };
    return field;
}

SetupField IntegerField(const QString& label, CAppInt& item, std::optional<IntRange> range) {
    return IntegerField(
        label, [&item] { return item.Get(); }, [&item](int value) { item.Set(value); }, range);
}

SetupField NumberField(const QString& label, std::function<double()> get,
                       std::function<void(double)> set) {
    SetupField field = Blank(label, FieldKind::Number);
    field.read = [get] { return QString::fromStdString(FormatG(get(), kNumberDigits)); };
    field.write = [set](const QString& text) { set(text.trimmed().toDouble()); };
    return field;
}

SetupField CheckField(const QString& label, std::function<int()> get,
                      std::function<void(int)> set) {
    SetupField field = Blank(label, FieldKind::Check);
    field.read = [get] { return get() != 0 ? QStringLiteral("1") : QStringLiteral("0"); };
    field.write = [set](const QString& text) { set(text == QStringLiteral("1") ? 1 : 0); };
    return field;
}

SetupField CheckField(const QString& label, CAppInt& item) {
    return CheckField(
        label, [&item] { return item.Get(); }, [&item](int value) { item.Set(value); });
}

SetupField ComboField(const QString& label, QStringList choices, std::function<QString()> get,
                      std::function<void(const QString&)> set, int maxChars) {
    SetupField field = Blank(label, FieldKind::Combo);
    field.maxChars = maxChars;
    field.choices = std::move(choices);
    field.read = std::move(get);
    field.write = std::move(set);
    return field;
}

SetupField TextField(const QString& label, int maxChars, std::function<QString()> get,
                     std::function<void(const QString&)> set) {
    SetupField field = Blank(label, FieldKind::Text);
    field.maxChars = maxChars;
    field.read = get;
    // A text that was not edited is not stored again: bytes from a file written elsewhere that
    // are not UTF-8 would come back from the control changed.
    field.write = [get, set](const QString& text) {
        if (text != get())
            set(text);
    };
    return field;
}

int LeadingInteger(const QString& text) {
    return ParseLeadingInt(text.toStdString());
}

} // namespace morvik
