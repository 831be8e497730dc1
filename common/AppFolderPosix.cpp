#include "AppFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

std::string AppFolder() {
    if (const char* home = std::getenv("QUEDRIX_HOME"); home && *home)
        return withoutTrailingSlash(home);
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return ".";
    return withoutTrailingSlash(exe.parent_path().string());
}

std::string AppFilePath(const std::string& fileName) {
    const std::string folder = AppFolder();
    return folder == "/" ? "/" + fileName : folder + "/" + fileName;
}
