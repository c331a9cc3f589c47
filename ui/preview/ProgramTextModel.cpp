#include "ui/preview/ProgramTextModel.h"

#include <QBrush>
#include <QColor>

namespace morvik::preview {

namespace {

// The part program window's tint for the running line, so both read alike.
const QColor kRunningTint(255, 236, 150);

} // namespace

void CProgramTextModel::SetText(std::shared_ptr<const std::string> text) {
    if (text == text_)
        return;
    beginResetModel();
    text_ = std::move(text);
    starts_.clear();
    running_ = 0;
    if (text_ != nullptr && !text_->empty()) {
        const std::string& t = *text_;
        starts_.push_back(0);
        for (std::size_t at = t.find('\n'); at != std::string::npos; at = t.find('\n', at + 1)) {
            if (at + 1 < t.size())
                starts_.push_back(at + 1);
        }
    }
    numberWidth_ = static_cast<int>(QString::number(starts_.size()).size());
    endResetModel();
}

void CProgramTextModel::SetRunningLine(std::uint32_t line) {
    if (line > starts_.size())
        line = 0;
    if (line == running_)
        return;
    const std::uint32_t before = running_;
    running_ = line;
    for (const std::uint32_t changed : {before, line}) {
        if (changed != 0) {
            const QModelIndex at = index(RowOf(changed));
            emit dataChanged(at, at, {Qt::BackgroundRole});
        }
    }
}

QString CProgramTextModel::LineText(std::uint32_t line) const {
    if (line == 0 || line > starts_.size())
        return {};
    const std::size_t from = starts_[line - 1];
    std::size_t to = line < starts_.size() ? starts_[line] - 1 : text_->size();
    if (to > from && (*text_)[to - 1] == '\n')
        --to;
    return QString::fromUtf8(text_->data() + from, static_cast<qsizetype>(to - from));
}

int CProgramTextModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(starts_.size());
}

QVariant CProgramTextModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::uint32_t line = LineOf(index.row());
    if (role == Qt::DisplayRole)
        return QString("%1  %2").arg(line, numberWidth_).arg(LineText(line));
    if (role == Qt::BackgroundRole && line == running_)
        return QBrush(kRunningTint);
    return {};
}

} // namespace morvik::preview
