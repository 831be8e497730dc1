#include "AppFolder.h"

#include "Win32Text.h"

#include <cstdlib>
#include <windows.h>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// "C:\" keeps its backslash: without it the name means the drive's working folder.
std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && isSeparator(folder.back()) && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

std::string executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "." : Utf8FromWide(path.substr(0, slash == 2 ? 3 : slash));
}

} // namespace

std::string AppFolder() {
    if (const char* home = std::getenv("QUEDRIX_HOME"); home && *home)
        return withoutTrailingSeparator(home);
    return withoutTrailingSeparator(executableFolder());
}

// Names use "/" between folders ("Related Documents/Forms.lng"); the path carries "\" throughout.
std::string AppFilePath(const std::string& fileName) {
    std::string path = AppFolder();
    if (!isSeparator(path.back()))
        path += '\\';
    for (char c : fileName)
        path += c == '/' ? '\\' : c;
    return path;
}
