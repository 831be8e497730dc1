#include "common/Common.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Wildcards are '*' and '?' only; every other character, '[' and '\' included, stands for itself.
std::string fnmatchPattern(const std::string& name) {
    std::string pattern;
    for (char c : name) {
        if (c == '[' || c == ']' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// A match counts when it is a visible, readable, ordinary file whose name is not only blanks.
bool isListedFile(const std::string& folder, const std::string& name) {
    if (name.empty() || name.front() == '.' || name.find_first_not_of(" \t") == std::string::npos)
        return false;
    const std::string path = folder + "/" + name;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

} // namespace

bool FileExists(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (hasWildcard(folder))
        return false;
    if (!hasWildcard(name))
        return isListedFile(folder, name);

    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    const std::string pattern = fnmatchPattern(name);
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (::fnmatch(pattern.c_str(), entry->d_name, FNM_PERIOD) == 0 &&
            isListedFile(folder, entry->d_name)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}
