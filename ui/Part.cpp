#include "ui/Part.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

namespace morvik {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// UTF-8 when every byte sequence is valid UTF-8, else Latin-1.
QString Decode(const QByteArray& bytes, bool* latin1) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    *latin1 = utf8.hasError();
    return *latin1 ? QString::fromLatin1(bytes) : text;
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = kFailedToOpen;
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = kFailedToOpen;
        return false;
    }
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

bool CPart::Load(const QByteArray& bytes) {
    const bool byteOrderMark = bytes.startsWith(kByteOrderMark);
    bool latin1 = false;
    const QString text =
        Decode(byteOrderMark ? bytes.mid(sizeof kByteOrderMark - 1) : bytes, &latin1);
    QStringList lines;
    QStringList ends;
    SplitLines(text, &lines, &ends);
    // What the editor holds: the lines joined by one character each.
    if (text.size() - ends.join(QString()).size() + (lines.size() - 1) > kMaxCharacters)
        return false;
    latin1_ = latin1;
    byteOrderMark_ = byteOrderMark && !latin1;
    text_->setPlainText(lines.join('\n'));
    TagLines(lines, ends);
    return true;
}

bool CPart::Restore(const QByteArray& bytes, const QString& path, const QString& title) {
    if (!Load(bytes))
        return false;
    text_->setModified(true);
    path_ = path;
    title_ = path.isEmpty() ? title : TitleOf(path);
    emit TitleChanged();
    return true;
}

QByteArray CPart::FileBytes() const {
    const QByteArray mark = byteOrderMark_ && !latin1_ ? QByteArray(kByteOrderMark) : QByteArray();
    return mark + Encode(FileText());
}

void CPart::TagLines(const QStringList& lines, const QStringList& ends) {
    fileLines_.clear();
    defaultEnd_ = MostCommonEnd(ends);
    // A text with characters the editor also takes as paragraph breaks gives more blocks than
    // lines: then no line is matched and every line gets the common end.
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QString(kReadOnly).arg(path);
        return false;
    }
    const QByteArray bytes = FileBytes();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
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
    return text;
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
    return text;
}

std::string CPart::EncodedLine(const QString& line) const {
    return Encode(line).toStdString();
}

QString CPart::WithDefaultExtension(const QString& path) {
    return QFileInfo(path).fileName().contains('.') ? path : path + kExtension;
}

QString CPart::TitleOf(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace morvik
