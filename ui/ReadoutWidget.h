// A position readout of the control panel, drawn the way a machine's digital readout looks:
// large monospace digits, light on a dark face, readable from a step away from the screen.
// It shows its text as given (the operation layer formats the numbers); the digits are sized
// to fit the widget, at least kMinimumColumns characters wide.
//
// The font is chosen by what a readout needs, not by what the font claims: every digit, both
// signs, the blank and the point must have the same advance, or a changing value jitters
// sideways. Some monospace fonts (Noto Sans Mono among them) are not reported as fixed pitch
// though their digits are even; some fonts reported as fixed are not even in bold.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace morvik {

class ReadoutWidget : public QWidget {
public:
    static constexpr int kMinimumColumns = 14; // "%#+ 14.4f" and friends
    static constexpr int kPadding = 4;         // pixels between the frame and the digits

    explicit ReadoutWidget(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    // The font the digits are drawn with at the present size (for tests and the screenshot).
    QFont DigitFont() const;

    // The characters a readout shows ("%#+ 14.4f" and friends, and the blank readout).
    static constexpr const char* kReadoutCharacters = "0123456789+- .";
    // Whether every readout character has the same advance in font.
    static bool EvenAdvance(const QFont& font);
    // The family the digits are drawn in, chosen once: the first whose bold face passes
    // EvenAdvance, trying the system's fixed font, then the fixed-pitch families the system
    // has, then any other family; the system's fixed font when none passes.
    static QString DigitFamily();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont FitDigitFont(int columns) const;

    QString text_;
    // The fitted font is kept until the size or the number of columns changes: the readouts
    // repaint ten times a second.
    mutable QFont digitFont_;
    mutable QSize fittedSize_;
    mutable int fittedColumns_ = -1;
};

} // namespace morvik
