// The program view: the text view that shows the card's output in Run mode (the executed
// blocks or the program's messages, as View > Program or View > Messages asked) and the first
// line of a program as it is loaded. The machine document remembers it while it is open;
// whoever closes it (the View command again, the operator's close box, the main window going),
// the operator interface tells the document, which forgets it and switches the card's four output
// options off, so the card never keeps sending text nobody shows.
#pragma once

#include "ui/TextView.h"

namespace morvik {

class COutputDisplay : public CTextView {
public:
    explicit COutputDisplay(QWidget* parent = nullptr) : CTextView(parent) {}
};

} // namespace morvik
