// The homing view: the text view that shows the homing prompts and the card's output while the
// machine is in Home mode. The machine document remembers it while it is open; whoever closes
// it (leaving Home mode, the operator's close box), the operator interface tells the document,
// so later homing messages are dropped until Home mode opens it again.
#pragma once

#include "ui/TextView.h"

namespace morvik {

class HomingView : public CTextView {
public:
    explicit HomingView(QWidget* parent = nullptr) : CTextView(parent) {}
};

} // namespace morvik
