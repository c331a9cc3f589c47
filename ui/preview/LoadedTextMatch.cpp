#include "ui/preview/LoadedTextMatch.h"

#include "operation/PartProgram.h"
#include "ui/Part.h"
#include "ui/PartView.h"

#include <QTextDocument>

namespace morvik::preview {

std::optional<std::string> CLoadedTextMatch::SentText(const CPartView& view) {
    const ProgramLines program = PartProgram::EditorProgramLines(view.Lines());
    if (program.refusal != 0)
        return std::nullopt;
    std::string text;
    for (const std::string& line : program.lines) {
        text += line;
        text += '\n';
    }
    return text;
}

CLoadedTextMatch::Known& CLoadedTextMatch::Entry(CPart& part) {
    const auto found = known_.find(&part);
    if (found != known_.end())
        return found->second;
    connect(&part.Text(), &QTextDocument::contentsChanged, this, [this, key = &part] {
        if (const auto it = known_.find(key); it != known_.end())
            it->second.fresh = false;
    });
    connect(&part, &QObject::destroyed, this, [this, key = &part] { known_.erase(key); });
    return known_[&part];
}

bool CLoadedTextMatch::Holds(CPart& part, const CPartView& view,
                             const std::shared_ptr<const std::string>& loaded) {
    if (loaded == nullptr)
        return false;
    Known& known = Entry(part);
    if (known.fresh && known.loaded.lock() == loaded)
        return known.holds;
    const std::optional<std::string> sent = SentText(view);
    known.loaded = loaded;
    known.holds = sent.has_value() && *sent == *loaded;
    known.fresh = true;
    return known.holds;
}

} // namespace morvik::preview
