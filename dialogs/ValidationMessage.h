// The message a setup dialog shows when a field does not validate on OK ("Enter an integer.",
// ...). It is a modal box captioned with the application name; tests replace it with a hook
// that records the text and returns at once, so that no box ever blocks a test.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace morvik {

using ValidationMessageHook = std::function<void(QWidget* dialog, const QString& text)>;

// Installs the hook every setup dialog uses from now on; an empty hook puts the message box back.
void SetValidationMessageHook(ValidationMessageHook hook);

// Called by the forms: through the hook when one is installed, else a modal warning box.
void ShowValidationMessage(QWidget* dialog, const QString& text);

} // namespace morvik
