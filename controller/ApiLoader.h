// Loads the controller library and the dialog library at run time and fills their function
// tables by name. Called once at start-up by the application, which passes the folder of its
// own executable; a non-zero result there ends the process with the library version message.
//
// Each library is looked for in the given folder first and then by bare name on the system's
// library path. A library that cannot be loaded gives kLoadCannotOpen (29); one that lacks a
// function the station calls gives kLoadMissingFunction (7), is unloaded again and leaves its
// table empty. Both libraries are unloaded when the loader is destroyed, so the loader must
// outlive every user of the tables.
#pragma once

#include "controller/KelvApiTable.h"

#include <string>

namespace morvik {

constexpr int kLoadOk = 0;
constexpr int kLoadMissingFunction = 7;
constexpr int kLoadCannotOpen = 29;

inline constexpr const char* kControllerLibraryName = "libkelvapi32.so";
inline constexpr const char* kDialogLibraryName = "libkelvdlg32.so";

// One dlopen handle, closed on destruction. Not copyable; movable.
class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { Close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // folder/fileName first (when folder is not empty), then fileName on the library path.
    bool Open(const std::string& folder, const std::string& fileName);
    void* Symbol(const char* name) const;
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    // What the dynamic loader said about the last failed Open.
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

class ApiLoader {
public:
    int LoadController(const std::string& folder,
                       const std::string& fileName = kControllerLibraryName);
    int LoadDialog(const std::string& folder, const std::string& fileName = kDialogLibraryName);
    void Unload();

    // Empty (all null) unless the matching Load returned kLoadOk.
    const KelvApiTable& Api() const { return api_; }
    const KelvDlgTable& Dialog() const { return dlg_; }
    bool ControllerLoaded() const { return controller_.IsOpen(); }
    bool DialogLoaded() const { return dialog_.IsOpen(); }

    // For the start-up failure message: the first function found missing, or the loader's error.
    const std::string& MissingFunction() const { return missing_; }
    const std::string& LoadError() const { return loadError_; }

    // The folder of the running executable (no trailing slash); empty if it cannot be found.
    static std::string ExecutableFolder();

private:
    int Open(SharedLibrary& library, const std::string& folder, const std::string& fileName);

    SharedLibrary controller_;
    SharedLibrary dialog_;
    KelvApiTable api_;
    KelvDlgTable dlg_;
    std::string missing_;
    std::string loadError_;
};

} // namespace morvik
