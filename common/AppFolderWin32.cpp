#include "common/AppFolderWin32.h"
#include "common/AppFolder.h"

#include "common/Win32Text.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace fs = std::filesystem;

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

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = Utf8FromWide(path);
    ::CoTaskMemFree(path);
    return folder;
}

// Access rights are only known by trying: a file made there, and gone again when closed.
bool folderWritable(const std::string& folder) {
    const std::wstring probe =
        WideFromUtf8(folder) + L"\\.quedrix-write-test-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

// Under Program Files even where it can be written (an elevated start): the settings are the user's.
bool underProgramFiles(const std::string& folder) {
    for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86}) {
        const std::string programFiles = knownFolder(id);
        if (!programFiles.empty() && IsInsideFolder(folder, programFiles))
            return true;
    }
    return false;
}

AppFolderFacts currentFacts() {
    AppFolderFacts facts;
    if (const char* home = std::getenv("QUEDRIX_HOME"); home && *home) {
        facts.quedrixHome = home;
        return facts;
    }
    facts.localAppData = knownFolder(FOLDERID_LocalAppData);
    facts.executableFolder = executableFolder();
    facts.executableFolderWritable = folderWritable(facts.executableFolder);
    facts.installedCopy = underProgramFiles(facts.executableFolder);
    return facts;
}

fs::path pathOf(const std::string& utf8) {
    return fs::path(WideFromUtf8(utf8));
}

// Copies through a temporary name, so a second copy starting at the same time never reads half a file.
void copyMissing(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (fs::exists(to, error) || error)
        return;
    const fs::path partial = to.wstring() + L".part-" + std::to_wstring(::GetCurrentProcessId());
    if (!::CopyFileW(from.c_str(), partial.c_str(), FALSE) ||
        !::MoveFileExW(partial.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        ::DeleteFileW(partial.c_str());
}

} // namespace

std::string ChooseAppFolder(const AppFolderFacts& facts) {
    if (!facts.quedrixHome.empty())
        return withoutTrailingSeparator(facts.quedrixHome);
    if ((facts.executableFolderWritable && !facts.installedCopy) || facts.localAppData.empty())
        return withoutTrailingSeparator(facts.executableFolder);
    return withoutTrailingSeparator(facts.localAppData) + "\\Zentrovik\\Quedrix";
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    const std::wstring inner = WideFromUtf8(withoutTrailingSeparator(path));
    const std::wstring outer = WideFromUtf8(withoutTrailingSeparator(folder));
    if (outer.empty() || inner.size() < outer.size())
        return false;
    const bool sameStart =
        ::CompareStringOrdinal(inner.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                               static_cast<int>(outer.size()), TRUE) == CSTR_EQUAL;
    return sameStart && (inner.size() == outer.size() || inner[outer.size()] == L'\\' ||
                         inner[outer.size()] == L'/' || outer.back() == L'\\');
}

bool PrepareDataFolder(const std::string& folder, const std::string& shipped) {
    std::error_code error;
    fs::create_directories(pathOf(folder), error);
    if (!fs::is_directory(pathOf(folder), error))
        return false;
    for (fs::directory_iterator entry(pathOf(shipped), error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() == L".lng" && entry->is_regular_file(error))
            copyMissing(entry->path(), pathOf(folder) / entry->path().filename());
    }
    return true;
}

std::string AppFolder() {
    const AppFolderFacts facts = currentFacts();
    const std::string folder = ChooseAppFolder(facts);
    if (facts.quedrixHome.empty() && folder != withoutTrailingSeparator(facts.executableFolder))
        PrepareDataFolder(folder, facts.executableFolder);
    return folder;
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
