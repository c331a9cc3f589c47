#include "dialogs/ValidationMessage.h"

#include "controller/StringTable.h"

#include <QMessageBox>

namespace morvik {

namespace {

ValidationMessageHook& Hook() {
    static ValidationMessageHook hook;
    return hook;
}

} // namespace

void SetValidationMessageHook(ValidationMessageHook hook) {
    Hook() = std::move(hook);
}

void ShowValidationMessage(QWidget* dialog, const QString& text) {
    if (Hook()) {
        Hook()(dialog, text);
        return;
    }
    QMessageBox::warning(dialog, QString::fromLatin1(kMessageCaption), text);
}

} // namespace morvik
