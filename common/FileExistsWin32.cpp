#include "common/Common.h"

#include "common/Win32Text.h"

#include <windows.h>

namespace {

constexpr DWORD kNotAnOrdinaryFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool isBlank(const char* name) {
    for (; *name != '\0'; ++name)
        if (*name != ' ' && *name != '\t')
            return false;
    return true;
}

} // namespace

// The directory search of the system itself, wildcards and all; folders, hidden and system files
// do not count.
bool FileExists(const std::string& path) {
    if (path.empty())
        return false;
    WIN32_FIND_DATAA entry{};
    HANDLE search = ::FindFirstFileA(AnsiFromUtf8(path).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        found = (entry.dwFileAttributes & kNotAnOrdinaryFile) == 0 && !isBlank(entry.cFileName);
    } while (!found && ::FindNextFileA(search, &entry));
    ::FindClose(search);
    return found;
}
