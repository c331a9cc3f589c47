// A part program document: one G-code text file, edited in one or more CPartView windows that
// all show this document's text (so Save and File > Load always take what the first window
// shows). CPartDocuments creates and closes parts; the views edit the text.
//
// The file is the editor text byte for byte. Bytes that are valid UTF-8 are read as UTF-8,
// anything else as Latin-1 (which maps each byte to one character), and the text is written
// back the same way, so a file that is opened and saved unchanged stays identical. The editor
// keeps lines without their ends; a file whose line ends are all CR LF is written back with
// CR LF, any other with LF.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

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
    // False with *error set to the operator's message when it cannot be read or is longer than
    // the editor holds; the document is then unchanged.
    bool Open(const QString& path, QString* error);
    // Writes the whole text to path through a file beside it that replaces the old file only
    // once it is complete, so a failed save leaves the file on disk as it was. On success the
    // path and title become path's and the document is unmodified; else *error is set.
    bool SaveTo(const QString& path, QString* error);

    // The whole text as the file holds it (line ends as the editor keeps them, LF).
    QString PlainText() const;
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

    std::unique_ptr<QTextDocument> text_;
    QString path_;
    QString title_;
    bool latin1_ = false; // the file was not UTF-8: each byte is one character
    bool crlf_ = false;   // every line end in the file was CR LF
};

} // namespace morvik
