// Unsaved documents kept aside when the station is told to end without asking (SIGTERM,
// SIGINT, SIGHUP, a logout that may not ask), and offered back at the next start.
//
// Each copy is one file in the recovery folder ($XDG_STATE_HOME/Kelv/Morvik/recovery, by
// default ~/.local/state/...), written atomically: a first line naming the format, one with
// the kind of document, a line with the document's path and one with its title (both
// escaped, so that a line break in a file name cannot end them), one with how the bytes are
// to be read (a part program's encoding), then the bytes a save would have written. Copies of
// the first format, without the encoding line, are still read.
//
// The copies hold the operator's unsaved work: each is readable by its owner only (0600), in
// a folder only the owner can enter (0700).
#pragma once

#include <string>
#include <vector>

namespace morvik {

struct RecoveryCopy {
    enum class Kind { PartProgram, Machine };

    Kind kind = Kind::PartProgram;
    std::string path;     // the document's file; empty for an untitled document
    std::string title;    // the document's title ("Part3", "mill.mch")
    std::string bytes;    // what saving the document would have written
    std::string file;     // where the copy lies (set by Write and Pending)
    std::string encoding; // how a part program's bytes are read back; empty: as from a file

    // What the operator is asked about: the path, or the title of an untitled document.
    const std::string& Name() const { return path.empty() ? title : path; }
};

class RecoveryStore {
public:
    // The folder the copies go to; created (0700), with every missing parent, when one is
    // written.
    explicit RecoveryStore(std::string folder);
    // $XDG_STATE_HOME/Kelv/Morvik/recovery, or ~/.local/state/Kelv/Morvik/recovery when
    // XDG_STATE_HOME is not set to an absolute folder.
    static std::string DefaultFolder();

    const std::string& Folder() const { return folder_; }
    // Writes the copy (atomically, under a name of its own) and records where in copy.file;
    // false when it could not be written.
    bool Write(RecoveryCopy& copy);
    // Every complete copy in the folder, oldest name first; files that are not copies are
    // left alone, and anything that is not a regular file is never read.
    std::vector<RecoveryCopy> Pending() const;
    void Remove(const RecoveryCopy& copy) const;

private:
    std::string folder_;
};

} // namespace morvik
