#include "app/RecoveryStore.h"

#include "settings/AtomicFile.h"
#include "settings/RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <unistd.h>

namespace morvik {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFormat = "MORVIK RECOVERY 2";
constexpr const char* kFirstFormat = "MORVIK RECOVERY 1"; // no encoding line
// Longer than any copy: a part program fits the editor, a machine file far less.
constexpr std::size_t kMaxCopyBytes = 64 * 1024 * 1024;
constexpr fs::perms kPrivateFolder = fs::perms::owner_all;
constexpr const char* kExtension = ".recovery";
constexpr const char* kKindNames[] = {"part", "machine"};

std::string Escape(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '%')
            escaped += "%25";
        else if (c == '\n')
            escaped += "%0A";
        else if (c == '\r')
            escaped += "%0D";
        else
            escaped += c;
    }
    return escaped;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
        if (text[i] == '%' && low >= 0) {
            plain += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// The next line of text from pos, without its end; false when there is no complete line.
bool NextLine(const std::string& text, std::size_t& pos, std::string& line) {
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos)
        return false;
    line = text.substr(pos, end - pos);
    pos = end + 1;
    return true;
}

bool Parse(const std::string& text, RecoveryCopy& copy) {
    std::size_t pos = 0;
    std::string format, kind, path, title, encoding;
    if (!NextLine(text, pos, format) || (format != kFormat && format != kFirstFormat) ||
        !NextLine(text, pos, kind) || !NextLine(text, pos, path) || !NextLine(text, pos, title))
        return false;
    if (format == kFormat && !NextLine(text, pos, encoding))
        return false;
    copy.encoding = Unescape(encoding);
    if (kind == kKindNames[0])
        copy.kind = RecoveryCopy::Kind::PartProgram;
    else if (kind == kKindNames[1])
        copy.kind = RecoveryCopy::Kind::Machine;
    else
        return false;
    copy.path = Unescape(path);
    copy.title = Unescape(title);
    copy.bytes = text.substr(pos);
    return true;
}

std::string ReadAll(const fs::path& path) {
    std::string bytes;
    ReadRegularFile(path.string(), kMaxCopyBytes, &bytes);
    return bytes;
}

// Each missing folder down to folder is made for the owner alone; folders that exist are
// left as they are.
void CreateMissingFolders(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::exists(folder, ec))
        return;
    if (folder.has_parent_path() && folder.parent_path() != folder)
        CreateMissingFolders(folder.parent_path());
    if (fs::create_directory(folder, ec))
        fs::permissions(folder, kPrivateFolder, fs::perm_options::replace, ec);
}

} // namespace

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)) {}

std::string RecoveryStore::DefaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base;
    if (state != nullptr && fs::path(state).is_absolute()) {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr ? home : ".") / ".local" / "state";
    }
    return (base / "Kelv" / "Morvik" / "recovery").string();
}

bool RecoveryStore::Write(RecoveryCopy& copy) {
    CreateMissingFolders(folder_);
    // The recovery folder is the station's own: kept for the owner alone, also when an older
    // version made it otherwise.
    std::error_code ec;
    fs::permissions(folder_, kPrivateFolder, fs::perm_options::replace, ec);
    if (ec)
        return false;
    static unsigned counter = 0;
    // Time, process and a counter: copies of one run and of later runs never share a name,
    // and the names sort in the order the copies were made.
    char name[64];
    std::snprintf(name, sizeof name, "%012lld-%010d-%06u%s",
                  static_cast<long long>(std::time(nullptr)), static_cast<int>(::getpid()),
                  ++counter, kExtension);
    copy.file = (fs::path(folder_) / name).string();
    const std::string text = std::string(kFormat) + "\n" + kKindNames[static_cast<int>(copy.kind)] +
                             "\n" + Escape(copy.path) + "\n" + Escape(copy.title) + "\n" +
                             Escape(copy.encoding) + "\n" + copy.bytes;
    return WriteFileAtomically(copy.file, text, kPrivateFileMode);
}

std::vector<RecoveryCopy> RecoveryStore::Pending() const {
    std::vector<RecoveryCopy> copies;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_, ec)) {
        if (!entry.is_regular_file(ec) || entry.path().extension() != kExtension)
            continue;
        RecoveryCopy copy;
        if (Parse(ReadAll(entry.path()), copy)) {
            copy.file = entry.path().string();
            copies.push_back(std::move(copy));
        }
    }
    std::sort(copies.begin(), copies.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.file < b.file; });
    return copies;
}

void RecoveryStore::Remove(const RecoveryCopy& copy) const {
    std::error_code ec;
    fs::remove(copy.file, ec);
}

} // namespace morvik
