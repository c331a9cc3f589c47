#include "dialogs/QuantityInput.h"

#include "settings/NumberText.h"
#include "settings/UnitTables.h"

#include <QRegularExpression>
#include <QStringList>

namespace morvik {

namespace {

QString Symbols(int count, const char* (*symbol)(int)) {
    QStringList names;
    for (int i = 1; i < count; ++i)
        names << QString::fromLatin1(symbol(i));
    return names.join(QStringLiteral(", "));
}

} // namespace

bool IsBareNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)?\s*$)"));
    return number.match(text).hasMatch();
}

double BareNumberValue(const QString& text) {
    return ParseLeadingDouble(text.toStdString());
}

QString AcceptedUnitsMessage(bool lengthUnits, bool timeUnits) {
    QString text = QStringLiteral("Enter a number followed by its unit");
    if (lengthUnits && timeUnits)
        text += QStringLiteral(", such as 200 in/min");
    text += QStringLiteral(".");
    if (lengthUnits)
        text += QStringLiteral("\nLength and angle units: ") +
                Symbols(LengthUnitCount(), LengthUnitSymbol) + QStringLiteral(".");
    if (timeUnits)
        text += QStringLiteral("\nTime units: ") + Symbols(TimeUnitCount(), TimeUnitSymbol) +
                QStringLiteral(".");
    return text;
}

} // namespace morvik
