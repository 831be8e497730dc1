#include "app/SingleInstanceSystem.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <windows.h>

// %LOCALAPPDATA%\Quedrix: the user's own, which the system keeps from other users.
std::string UserRuntimeFolder() {
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (!local || !*local)
        return {};
    const std::filesystem::path folder = std::filesystem::path(local) / L"Quedrix";
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (!std::filesystem::is_directory(folder, error) || std::filesystem::is_symlink(folder, error))
        return {};
    const std::u8string utf8 = folder.u8string();
    return std::string(utf8.begin(), utf8.end());
}

// The running copy keeps its lock file open without sharing it for writing.
bool FileLockedByAProcess(const std::string& path) {
    const std::filesystem::path native(std::u8string(path.begin(), path.end()));
    HANDLE file =
        ::CreateFileW(native.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true; // held, or it cannot be told
    ::CloseHandle(file);
    return false;
}

namespace {

HANDLE heldFile = INVALID_HANDLE_VALUE;
std::filesystem::path heldPath;

} // namespace

LockOutcome TakeLockFile(const std::string& path) {
    const std::filesystem::path native(std::u8string(path.begin(), path.end()));
    // Nobody else may write to it while this process has it open; the system closes it at the end.
    HANDLE file = ::CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_SHARING_VIOLATION ? LockOutcome::HeldElsewhere
                                                           : LockOutcome::CannotBeMade;
    const std::string owner = std::to_string(::GetCurrentProcessId()) + "\r\nquedrix\r\n";
    DWORD written = 0;
    if (!::SetEndOfFile(file) ||
        !::WriteFile(file, owner.data(), static_cast<DWORD>(owner.size()), &written, nullptr) ||
        written != owner.size()) {
        ::CloseHandle(file);
        return LockOutcome::CannotBeMade;
    }
    heldFile = file;
    heldPath = native;
    return LockOutcome::Taken;
}

void ReleaseLockFile() {
    if (heldFile == INVALID_HANDLE_VALUE)
        return;
    ::CloseHandle(heldFile);
    ::DeleteFileW(heldPath.c_str());
    heldFile = INVALID_HANDLE_VALUE;
}
