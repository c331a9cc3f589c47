// Dialog units: the layout unit of the station's fixed forms (the control panel, the status
// display). A form is laid out in units of its own font, so it keeps its proportions whatever
// font size the desktop uses. One horizontal unit is a quarter of the font's average character
// width, one vertical unit an eighth of its height; the average character width is taken over
// the 52 Latin letters, rounded, as the unit has always been defined.
#pragma once

#include <QFont>
#include <QRect>

namespace morvik {

// A rectangle in dialog units: x, y, width, height.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class DialogUnits {
public:
    // Base units in pixels: average character width and character height.
    DialogUnits(int baseX, int baseY);
    static DialogUnits ForFont(const QFont& font);

    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }
    // Dialog units to pixels, rounded to the nearest pixel.
    int X(int units) const;
    int Y(int units) const;
    QRect Map(const DluRect& rect) const;

private:
    int baseX_;
    int baseY_;
};

} // namespace morvik
