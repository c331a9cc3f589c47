#include "machine/OperatorGate.h"

namespace morvik {

// A modal window is open for the lifetime of this object.
class OperatorGate::Modal {
public:
    explicit Modal(OperatorGate& gate) : gate_(gate) { ++gate_.modal_; }
    ~Modal() { --gate_.modal_; }
    Modal(const Modal&) = delete;
    Modal& operator=(const Modal&) = delete;

private:
    OperatorGate& gate_;
};

void OperatorGate::ShowMessageBox(int id, const std::string& detail) {
    if (operations_ > 0) {
        kept_.emplace_back(id, detail);
        return;
    }
    Modal modal(*this);
    ui_.ShowMessageBox(id, detail);
}

bool OperatorGate::AskYesNo(int id, const std::string& detail) {
    Modal modal(*this);
    return ui_.AskYesNo(id, detail);
}

std::optional<std::string> OperatorGate::ChooseOpenFile(const std::string& title,
                                                        const std::vector<FileFilter>& filters) {
    Modal modal(*this);
    return ui_.ChooseOpenFile(title, filters);
}

std::optional<std::string> OperatorGate::ChooseSaveFile(const std::string& title,
                                                        const std::vector<FileFilter>& filters,
                                                        const std::string& suggestedName) {
    Modal modal(*this);
    return ui_.ChooseSaveFile(title, filters, suggestedName);
}

void OperatorGate::EndOperation() {
    if (operations_ > 0 && --operations_ > 0)
        return;
    // The same message twice in one operation (two downloads the card did not answer) is
    // one thing for the operator to know.
    std::vector<std::pair<int, std::string>> kept;
    kept.swap(kept_);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        bool repeated = false;
        for (std::size_t j = 0; j < i; ++j)
            repeated = repeated || kept[j] == kept[i];
        if (!repeated)
            ShowMessageBox(kept[i].first, kept[i].second);
    }
}

} // namespace morvik
