#include "ui/Part.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocument>

namespace morvik {

namespace {

// UTF-8 when every byte sequence is valid UTF-8, else Latin-1.
QString Decode(const QByteArray& bytes, bool* latin1) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    *latin1 = utf8.hasError();
    return *latin1 ? QString::fromLatin1(bytes) : text;
}

// True when the bytes hold at least one LF and every LF follows a CR.
bool AllCrLf(const QByteArray& bytes) {
    qsizetype lf = bytes.indexOf('\n');
    if (lf < 0)
        return false;
    for (; lf >= 0; lf = bytes.indexOf('\n', lf + 1)) {
        if (lf == 0 || bytes[lf - 1] != '\r')
            return false;
    }
    return true;
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
    bool latin1 = false;
    const QString text = Decode(bytes, &latin1);
    if (text.size() > kMaxCharacters) {
        // Cutting it would lose the rest of the program at the next save.
        *error = kFailedToOpen;
        return false;
    }
    latin1_ = latin1;
    crlf_ = AllCrLf(bytes);
    text_->setPlainText(text);
    text_->setModified(false);
    path_ = path;
    title_ = TitleOf(path);
    emit TitleChanged();
    return true;
}

QByteArray CPart::Encode(const QString& text) const {
    // A Latin-1 file that has been given characters Latin-1 cannot hold is written as UTF-8
    // rather than losing them.
    return latin1_ && FitsLatin1(text) ? text.toLatin1() : text.toUtf8();
}

bool CPart::SaveTo(const QString& path, QString* error) {
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
    QString text = PlainText();
    if (crlf_)
        text.replace('\n', QStringLiteral("\r\n"));
    const QByteArray bytes = Encode(text);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = kFailedToSave;
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
