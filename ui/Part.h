// A part program document: one G-code text file, edited in one or more CPartView windows that
// all show this document's text (so Save and File > Load always take what the first window
// shows). CPartDocuments creates and closes parts; the views edit the text.
//
// The file is the editor text byte for byte. Bytes that are valid UTF-8 are read as UTF-8,
// anything else as Latin-1 (which maps each byte to one character); a byte-order mark is kept
// and written back in both cases, and the text is written back the same way, so a file that
// is opened and saved unchanged stays identical. Characters the text editor would take for
// line or paragraph breaks (U+2028, U+2029) or drop (U+FDD0, U+FDD1) stand in the editor as
// stand-ins of their own and are written, and loaded to the card, as they were read. The editor
// keeps lines without their ends; each line of the file remembers its own end (CR LF, LF or CR) and
// gets it back while its text is unchanged; an edited or new line gets the file's most common line
// end (LF for a new file). A Latin-1 file that has been given characters Latin-1 cannot hold is
// written as UTF-8 only when the operator agrees (NeedsEncodingChange, then SaveTo with the change
// allowed).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QTextDocument;

namespace morvik {

class CPart : public QObject {
    Q_OBJECT

public:
    // The editor's limit, 1024 * 1024 - 1 characters; a longer file does not open.
    static constexpr int kMaxCharacters = 1024 * 1024 - 1;
    static constexpr const char* kDocumentName = "Part"; // new documents: Part1, Part2, ...
    static constexpr const char* kExtension = ".prt";
    static constexpr const char* kFailedToOpen = "Failed to open document.";
    static constexpr const char* kFailedToSave = "Failed to save document.";
    static constexpr const char* kReadOnly =
        "Unable to write to %1, it is read-only or opened by someone else.";

    explicit CPart(const QString& title, QObject* parent = nullptr);
    ~CPart() override;

    // The text all of this document's views show and edit (undo included).
    QTextDocument& Text() const { return *text_; }

    // The file's path; empty while the document is untitled.
    const QString& Path() const { return path_; }
    // "Part1" while untitled, else the file's name with its extension.
    const QString& Title() const { return title_; }
    bool IsModified() const;
    void SetModified(bool modified);

    // Reads the whole file into the text (unmodified afterwards) and takes its path and title.
    // False with *error set to the operator's message when it cannot be read, is longer than
    // the editor holds, or is no regular file (a folder, FIFO or device is never read: the
    // message names the path); the document is then unchanged.
    bool Open(const QString& path, QString* error);
    // Writes the whole text to path through a file beside it that replaces the old file only
    // once it is complete, so a failed save leaves the file on disk as it was. On success the
    // path and title become path's and the document is unmodified; else *error is set.
    bool SaveTo(const QString& path, QString* error);
    // The bytes SaveTo writes (UTF-8 when a Latin-1 file can no longer hold its text).
    QByteArray FileBytes() const;
    // How a recovery copy's bytes are to be read (RecoveryText::encoding): UTF-8; Latin-1;
    // UTF-8 standing for a Latin-1 file that can no longer hold its text (the question of
    // NeedsEncodingChange still to be asked). Empty: as Open reads a file.
    static constexpr const char* kUtf8 = "utf-8";
    static constexpr const char* kLatin1 = "latin-1";
    static constexpr const char* kLatin1AsUtf8 = "latin-1, held as utf-8";
    struct RecoveryText {
        QByteArray bytes;
        QString encoding;
    };
    // What a recovery copy keeps: the bytes a save would write, and how to read them back so
    // that the restored document is in the same encoding with the same question pending.
    RecoveryText Recovery() const;
    // A recovery copy's bytes read back (encoding as Recovery gave it, or empty to read them
    // as Open reads a file), with the recorded path (empty for an untitled part, which keeps
    // title) and the document modified: nothing is on disk yet.
    bool Restore(const QByteArray& bytes, const QString& path, const QString& title,
                 const QString& encoding = QString());

    // The text can no longer be written in the file's encoding (Latin-1) without loss; the
    // caller asks before SaveTo writes it as UTF-8 (and refuses to save otherwise).
    bool NeedsEncodingChange() const;
    // The operator agreed: from now on the file is UTF-8.
    void ChangeEncodingToUtf8() { latin1_ = false; }

    // The whole text as the editor keeps it (every line end LF).
    QString PlainText() const;
    // The whole text with each line's end as the file will hold it.
    QString FileText() const;
    // One line of the text as bytes, encoded as the file is; File > Load sends these.
    std::string EncodedLine(const QString& line) const;

    // A typed name without an extension gets ".prt"; a name with any extension stays as it
    // is. Only the file name is looked at, never the folders above it.
    static QString WithDefaultExtension(const QString& path);
    // The title a path gives: the file name with its extension.
    static QString TitleOf(const QString& path);

signals:
    void TitleChanged();
    void ModifiedChanged(bool modified);

private:
    QByteArray Encode(const QString& text) const;
    // Decodes the bytes into the editor (encoding: as for Restore); false, changing nothing,
    // when they do not fit it.
    bool Load(const QByteArray& bytes, const QString& encoding = QString());
    // Remembers each line's text and end and tags the editor's blocks with their line numbers.
    void TagLines(const QStringList& lines, const QStringList& ends);

    struct FileLine {
        QString text;
        QString end; // "\r\n", "\n", "\r", or empty for the last line
    };

    std::unique_ptr<QTextDocument> text_;
    QString path_;
    QString title_;
    bool latin1_ = false; // the file was not UTF-8: each byte is one character
    bool byteOrderMark_ = false;
    std::vector<FileLine> fileLines_; // the lines as read; an editor block's state indexes it
    QString defaultEnd_ = QStringLiteral("\n"); // for edited and new lines
};

} // namespace morvik
