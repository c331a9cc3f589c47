#include "ui/Part.h"

#include "controller/StringTable.h"
#include "settings/AtomicFile.h"
#include "settings/RegularFile.h"

#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QStringDecoder>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

namespace morvik {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The longest file that can fit the editor: three bytes of UTF-8 for each character at most
// (a character of four bytes is two in the editor, a CR LF one), and a byte-order mark.
constexpr std::size_t kMaxFileBytes = 3 * std::size_t(CPart::kMaxCharacters) + 3;

bool DecodeUtf8(const QByteArray& bytes, QString* text) {
    // A second byte-order mark after the one taken off is a character of the text.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    *text = utf8.decode(bytes);
    return !utf8.hasError();
}

// UTF-8 when every byte sequence is valid UTF-8, else Latin-1.
QString Decode(const QByteArray& bytes, bool* latin1) {
    QString text;
    *latin1 = !DecodeUtf8(bytes, &text);
    return *latin1 ? QString::fromLatin1(bytes) : text;
}

// Characters the editor would not keep as they are: the text document takes the paragraph
// separator and its two frame marks (U+FDD0, U+FDD1) for block breaks, and draws a line
// separator as a break inside a line. In the editor each stands as a lone low surrogate,
// which decoded text never holds (valid UTF-8 has only whole pairs, Latin-1 nothing above
// U+00FF), and each stand-in goes back to its character wherever the text leaves the editor.
constexpr char16_t kHeldBack[] = {0x2029, 0x2028, 0xFDD0, 0xFDD1};
constexpr char16_t kFirstStandIn = 0xDC00;

QString ToEditor(QString text) {
    for (QChar& c : text) {
        for (std::size_t i = 0; i < std::size(kHeldBack); ++i) {
            if (c.unicode() == kHeldBack[i])
                c = QChar(char16_t(kFirstStandIn + i));
        }
    }
    return text;
}

QString FromEditor(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool paired = i > 0 && text[i - 1].isHighSurrogate();
        if (!paired && c >= kFirstStandIn && c < kFirstStandIn + std::size(kHeldBack))
            text[i] = QChar(kHeldBack[c - kFirstStandIn]);
    }
    return text;
}

// Splits the text at every CR LF, LF and CR, keeping each line's end beside it; the last line
// has none (it is empty when the text ends with a line end).
void SplitLines(const QString& text, QStringList* lines, QStringList* ends) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != '\n' && c != '\r')
            continue;
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        *lines << text.mid(start, i - start);
        *ends << (crlf ? QStringLiteral("\r\n") : QString(c));
        if (crlf)
            ++i;
        start = i + 1;
    }
    *lines << text.mid(start);
    *ends << QString();
}

// The end most lines have (LF when there is none, or on a tie with it).
QString MostCommonEnd(const QStringList& ends) {
    const qsizetype crlf = ends.count(QStringLiteral("\r\n"));
    const qsizetype lf = ends.count(QStringLiteral("\n"));
    const qsizetype cr = ends.count(QStringLiteral("\r"));
    if (crlf > lf && crlf >= cr)
        return QStringLiteral("\r\n");
    if (cr > lf && cr > crlf)
        return QStringLiteral("\r");
    return QStringLiteral("\n");
}

bool FitsLatin1(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace

CPart::CPart(const QString& title, QObject* parent)
    : QObject(parent), text_(std::make_unique<QTextDocument>()), title_(title) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_.get()));
    connect(text_.get(), &QTextDocument::modificationChanged, this, &CPart::ModifiedChanged);
}

CPart::~CPart() = default;

bool CPart::IsModified() const {
    return text_->isModified();
}

void CPart::SetModified(bool modified) {
    text_->setModified(modified);
}

bool CPart::Open(const QString& path, QString* error) {
    std::string read;
    switch (ReadRegularFile(path.toStdString(), kMaxFileBytes, &read)) {
    case FileReadResult::Ok:
        break;
    case FileReadResult::NotRegular:
        // A FIFO would block the window and /dev/zero fill memory: neither is read.
        *error = QString::fromStdString(MessageText(msg::NotARegularFile)) + '\n' + path;
        return false;
    default:
        *error = kFailedToOpen;
        return false;
    }
    const QByteArray bytes = QByteArray::fromStdString(read);
    if (!Load(bytes)) {
        // Cutting it would lose the rest of the program at the next save.
        *error = kFailedToOpen;
        return false;
    }
    text_->setModified(false);
    path_ = path;
    title_ = TitleOf(path);
    emit TitleChanged();
    return true;
}

bool CPart::Load(const QByteArray& bytes, const QString& encoding) {
    const bool byteOrderMark = bytes.startsWith(kByteOrderMark);
    const QByteArray body = byteOrderMark ? bytes.mid(sizeof kByteOrderMark - 1) : bytes;
    bool latin1 = false;
    QString text;
    if (encoding == kLatin1 || (encoding == kLatin1AsUtf8 && !DecodeUtf8(body, &text))) {
        latin1 = true;
        text = QString::fromLatin1(body);
    } else if (encoding == kLatin1AsUtf8) {
        latin1 = true; // still the file's encoding: the next save asks as it would have
    } else if (encoding != kUtf8 || !DecodeUtf8(body, &text)) {
        text = Decode(body, &latin1);
    }
    text = ToEditor(text);
    QStringList lines;
    QStringList ends;
    SplitLines(text, &lines, &ends);
    // What the editor holds: the lines joined by one character each.
    if (text.size() - ends.join(QString()).size() + (lines.size() - 1) > kMaxCharacters)
        return false;
    latin1_ = latin1;
    byteOrderMark_ = byteOrderMark; // kept before any text, also before bytes read as Latin-1
    text_->setPlainText(lines.join('\n'));
    TagLines(lines, ends);
    return true;
}

bool CPart::Restore(const QByteArray& bytes, const QString& path, const QString& title,
                    const QString& encoding) {
    if (!Load(bytes, encoding))
        return false;
    text_->setModified(true);
    path_ = path;
    title_ = path.isEmpty() ? title : TitleOf(path);
    emit TitleChanged();
    return true;
}

QByteArray CPart::FileBytes() const {
    const QByteArray mark = byteOrderMark_ ? QByteArray(kByteOrderMark) : QByteArray();
    return mark + Encode(FileText());
}

CPart::RecoveryText CPart::Recovery() const {
    if (!latin1_)
        return {FileBytes(), kUtf8};
    if (!NeedsEncodingChange())
        return {FileBytes(), kLatin1};
    // Latin-1 cannot hold it: the copy holds UTF-8 and says the file is still Latin-1, so
    // that the restored document asks before its next save as this one would have.
    const QByteArray mark = byteOrderMark_ ? QByteArray(kByteOrderMark) : QByteArray();
    return {mark + FileText().toUtf8(), kLatin1AsUtf8};
}

void CPart::TagLines(const QStringList& lines, const QStringList& ends) {
    fileLines_.clear();
    defaultEnd_ = MostCommonEnd(ends);
    // The characters the editor takes for paragraph breaks stand in as others (ToEditor), so
    // each line is one block; should the counts still differ, no line is matched and every
    // line gets the common end rather than another line's.
    if (text_->blockCount() != lines.size())
        return;
    QTextBlock block = text_->firstBlock();
    for (qsizetype i = 0; i < lines.size(); ++i, block = block.next()) {
        fileLines_.push_back(FileLine{lines[i], ends[i]});
        block.setUserState(static_cast<int>(i));
    }
}

bool CPart::NeedsEncodingChange() const {
    return latin1_ && !FitsLatin1(PlainText());
}

QByteArray CPart::Encode(const QString& text) const {
    // A Latin-1 text that Latin-1 cannot hold is written as UTF-8 rather than losing
    // characters; SaveTo lets that happen only after the operator has agreed.
    return latin1_ && FitsLatin1(text) ? text.toLatin1() : text.toUtf8();
}

bool CPart::SaveTo(const QString& path, QString* error) {
    if (NeedsEncodingChange()) {
        *error = kFailedToSave; // the caller asks first; never changed behind the operator
        return false;
    }
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable()) {
        *error = QString(kReadOnly).arg(path);
        return false;
    }
    // Beside the old file, renamed over it once complete; the old file's mode, group and
    // (where the process may) owner stay, as the machine file's do.
    const QByteArray bytes = FileBytes();
    switch (
        ReplaceFileAtomically(path.toStdString(), std::string_view(bytes.data(), bytes.size()))) {
    case AtomicWriteResult::Ok:
        break;
    case AtomicWriteResult::NotRegular:
        *error = QString::fromStdString(MessageText(msg::NotARegularFile)) + '\n' + path;
        return false;
    case AtomicWriteResult::CannotCreate:
        *error = QString(kReadOnly).arg(path);
        return false;
    case AtomicWriteResult::NotWritten:
        *error = QString(kFailedToSave) + '\n' + path; // the path that could not be written
        return false;
    }
    path_ = path;
    title_ = TitleOf(path);
    text_->setModified(false);
    emit TitleChanged();
    return true;
}

// Not toPlainText(): that turns a no-break space into a blank, which would change the file.
QString CPart::PlainText() const {
    QString text = text_->toRawText();
    text.replace(QChar::ParagraphSeparator, '\n');
    return FromEditor(text);
}

QString CPart::FileText() const {
    QString text;
    for (QTextBlock block = text_->firstBlock(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        text += line;
        if (!block.next().isValid())
            break;
        const int index = block.userState();
        const bool unchanged = index >= 0 && std::size_t(index) < fileLines_.size() &&
                               fileLines_[std::size_t(index)].text == line &&
                               !fileLines_[std::size_t(index)].end.isEmpty();
        text += unchanged ? fileLines_[std::size_t(index)].end : defaultEnd_;
    }
    return FromEditor(text);
}

std::string CPart::EncodedLine(const QString& line) const {
    return Encode(FromEditor(line)).toStdString();
}

QString CPart::WithDefaultExtension(const QString& path) {
    return QFileInfo(path).fileName().contains('.') ? path : path + kExtension;
}

QString CPart::TitleOf(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace morvik
