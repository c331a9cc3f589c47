// The homing view: the text view that shows the homing prompts and the card's output while the
// machine is in Home mode. The machine document remembers it while it is open; whoever closes
// it (leaving Home mode, the operator's close box), the operator interface tells the document,
// so later homing messages are dropped until Home mode opens it again.
//
// Its lines are messages to be read at a glance, so they wrap to the window's width, and the
// window opens wide enough for the card's homing messages to stand on one row each.
#pragma once

#include "ui/TextView.h"

namespace morvik {

class HomingView : public CTextView {
public:
    // "HOMING (macro 1): moving X Y Z to machine zero" and a little more.
    static constexpr int kReadableColumns = 60;

    explicit HomingView(QWidget* parent = nullptr) : CTextView(parent, LongLines::Wrap) {}
    // A width to read by, no height of its own: the window's height is the document area's
    // choice.
    QSize sizeHint() const override;
};

} // namespace morvik
