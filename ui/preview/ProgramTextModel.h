// The loaded program's text as the machine's preview lists it: one row per line, numbered
// as the card numbers its file position, the running line tinted. The text is the card's own
// copy (shared, never copied again); rows are cut from it only as the list shows them, so a
// million-line program costs one pass to find its line starts.
#pragma once

#include <QAbstractListModel>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morvik::preview {

class CProgramTextModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // The text to list (null: none); lines end with '\n', a last one without it still counts.
    void SetText(std::shared_ptr<const std::string> text);
    const std::shared_ptr<const std::string>& Text() const { return text_; }
    // The line (1-based) shown as running; 0 or a line the text does not have: none.
    void SetRunningLine(std::uint32_t line);
    std::uint32_t RunningLine() const { return running_; }

    // The row of a 1-based line, and back.
    static int RowOf(std::uint32_t line) { return static_cast<int>(line) - 1; }
    static std::uint32_t LineOf(int row) { return static_cast<std::uint32_t>(row) + 1; }
    // The text of a 1-based line, without its number.
    QString LineText(std::uint32_t line) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::shared_ptr<const std::string> text_;
    std::vector<std::size_t> starts_; // where each line begins in text_
    std::uint32_t running_ = 0;
    int numberWidth_ = 1;
};

} // namespace morvik::preview
