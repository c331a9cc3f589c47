#include "controller/ApiLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace morvik {

namespace {

// dlsym gives a data pointer; the platform guarantees it converts to the function's type.
template <typename Fn> bool Resolve(const SharedLibrary& library, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(library.Symbol(name));
    return slot != nullptr;
}

// Fills every slot; returns the name of the first function the library lacks, or null.
const char* ResolveApi(const SharedLibrary& library, KelvApiTable& table) {
#define MORVIK_RESOLVE(name)                                                                       \
    if (!Resolve(library, #name, table.name))                                                      \
        return #name;
    MORVIK_KELVAPI_FUNCTIONS(MORVIK_RESOLVE)
#undef MORVIK_RESOLVE
    return nullptr;
}

const char* ResolveDialog(const SharedLibrary& library, KelvDlgTable& table) {
    if (!Resolve(library, "KELVDLG_AboutBox", table.KELVDLG_AboutBox))
        return "KELVDLG_AboutBox";
    Resolve(library, "KELVDLG_AboutText", table.KELVDLG_AboutText); // optional
    return nullptr;
}

std::string LastDlError() {
    const char* text = dlerror();
    return text ? std::string(text) : std::string();
}

} // namespace

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool SharedLibrary::Open(const std::string& folder, const std::string& fileName) {
    Close();
    error_.clear();
    if (!folder.empty()) {
        std::string path = folder;
        if (path.back() != '/')
            path += '/';
        handle_ = dlopen((path + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_)
            return true;
        error_ = LastDlError();
    }
    handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_)
        return true;
    std::string second = LastDlError();
    error_ = error_.empty() ? second : error_ + "; " + second;
    return false;
}

void* SharedLibrary::Symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

void SharedLibrary::Close() {
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
}

int ApiLoader::Open(SharedLibrary& library, const std::string& folder,
                    const std::string& fileName) {
    missing_.clear();
    loadError_.clear();
    if (library.Open(folder, fileName))
        return kLoadOk;
    loadError_ = library.Error();
    return kLoadCannotOpen;
}

int ApiLoader::LoadController(const std::string& folder, const std::string& fileName) {
    api_ = KelvApiTable{};
    if (int result = Open(controller_, folder, fileName); result != kLoadOk)
        return result;
    if (const char* missing = ResolveApi(controller_, api_)) {
        missing_ = missing;
        api_ = KelvApiTable{};
        controller_.Close();
        return kLoadMissingFunction;
    }
    return kLoadOk;
}

int ApiLoader::LoadDialog(const std::string& folder, const std::string& fileName) {
    dlg_ = KelvDlgTable{};
    if (int result = Open(dialog_, folder, fileName); result != kLoadOk)
        return result;
    if (const char* missing = ResolveDialog(dialog_, dlg_)) {
        missing_ = missing;
        dlg_ = KelvDlgTable{};
        dialog_.Close();
        return kLoadMissingFunction;
    }
    return kLoadOk;
}

void ApiLoader::Unload() {
    api_ = KelvApiTable{};
    dlg_ = KelvDlgTable{};
    controller_.Close();
    dialog_.Close();
}

std::string ApiLoader::ExecutableFolder() {
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return std::string();
    std::string path(buffer.data(), static_cast<size_t>(length));
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

} // namespace morvik
