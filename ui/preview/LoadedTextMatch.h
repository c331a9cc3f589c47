// Which part program windows hold the program the card runs. A program loaded from an editor
// that was never saved has no path to be known by, and an editor on the loaded file that was
// edited since no longer holds the lines the card runs, so an editor is matched by its text:
// what a load from it would send now, against what was sent. The tick asks about every window
// ten times a second, so each editor is compared once per loaded text and per edit.
#pragma once

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace morvik {

class CPart;
class CPartView;

namespace preview {

class CLoadedTextMatch : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether view (a window of part) would send exactly loaded; false while nothing is.
    bool Holds(CPart& part, const CPartView& view,
               const std::shared_ptr<const std::string>& loaded);

    // The text a load from view sends, one line end after each line; none when the load would
    // be refused (a line too long, a NUL).
    static std::optional<std::string> SentText(const CPartView& view);

private:
    struct Known {
        std::weak_ptr<const std::string> loaded; // the text compared with
        bool holds = false;
        bool fresh = false; // false once the editor's text changed
    };

    Known& Entry(CPart& part);

    std::unordered_map<const CPart*, Known> known_;
};

} // namespace preview
} // namespace morvik
