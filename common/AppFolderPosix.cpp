#include "common/AppFolderPosix.h"
#include "common/AppFolder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder() {
    if (std::string home = variable("HOME"); !home.empty())
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

fs::path installedShareFolder(const std::string& executableFolder) {
    return fs::path(executableFolder).parent_path() / "share" / "quedrix";
}

AppFolderFacts currentFacts() {
    AppFolderFacts facts;
    facts.quedrixHome = variable("QUEDRIX_HOME");
    if (!facts.quedrixHome.empty())
        return facts;
    facts.xdgDataHome = variable("XDG_DATA_HOME");
    facts.home = homeFolder();
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return facts;
    facts.executableFolder = withoutTrailingSlash(exe.parent_path().string());
    facts.executableFolderWritable = ::access(facts.executableFolder.c_str(), W_OK) == 0;
    facts.installedCopy = fs::is_directory(installedShareFolder(facts.executableFolder), error);
    return facts;
}

// The user's data folder for Quedrix; "" when neither an absolute $XDG_DATA_HOME nor a home is known.
std::string userDataFolder(const AppFolderFacts& facts) {
    // Relative values of the XDG variables are invalid and ignored.
    if (!facts.xdgDataHome.empty() && facts.xdgDataHome.front() == '/')
        return withoutTrailingSlash(facts.xdgDataHome) + "/quedrix";
    if (!facts.home.empty() && facts.home.front() == '/')
        return withoutTrailingSlash(facts.home) + "/.local/share/quedrix";
    return {};
}

bool isUserDataFolder(const AppFolderFacts& facts, const std::string& folder) {
    return facts.quedrixHome.empty() && folder == userDataFolder(facts);
}

// mkdir -p with mode 0700 for the folders it makes, as the XDG rules ask for data folders.
bool makeFolders(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error))
        return true;
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return fs::is_directory(folder, error);
}

// Copies through a temporary name, so a second copy starting at the same time never reads half a file.
void copyMissing(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (fs::exists(to, error) || error)
        return;
    const fs::path partial = to.string() + ".part-" + std::to_string(::getpid());
    if (fs::copy_file(from, partial, fs::copy_options::overwrite_existing, error))
        fs::rename(partial, to, error);
    if (error)
        fs::remove(partial, error);
}

} // namespace

std::string ChooseAppFolder(const AppFolderFacts& facts) {
    if (!facts.quedrixHome.empty())
        return withoutTrailingSlash(facts.quedrixHome);
    if (facts.executableFolder.empty())
        return ".";
    if (facts.executableFolderWritable && !facts.installedCopy)
        return facts.executableFolder;
    const std::string data = userDataFolder(facts);
    return data.empty() ? facts.executableFolder : data;
}

std::string ShippedFilesFolder(const AppFolderFacts& facts) {
    if (facts.installedCopy)
        return installedShareFolder(facts.executableFolder).lexically_normal().string();
    return facts.executableFolder;
}

bool PrepareDataFolder(const std::string& folder, const std::string& shipped) {
    if (!makeFolders(folder))
        return false;
    std::error_code error;
    for (fs::directory_iterator entry(shipped, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().extension() == ".lng" && entry->is_regular_file(error))
            copyMissing(entry->path(), fs::path(folder) / entry->path().filename());
    }
    return true;
}

std::string AppFolder() {
    const AppFolderFacts facts = currentFacts();
    const std::string folder = ChooseAppFolder(facts);
    if (isUserDataFolder(facts, folder))
        PrepareDataFolder(folder, ShippedFilesFolder(facts));
    return folder;
}

std::string AppFilePath(const std::string& fileName) {
    const std::string folder = AppFolder();
    return folder == "/" ? "/" + fileName : folder + "/" + fileName;
}
