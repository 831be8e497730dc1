#include "common/FileStore.h"

#include "common/Win32Text.h"

#include <windows.h>

#include <atomic>
#include <charconv>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace {

// Closes the handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool close() { return !valid() || ::CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)); }

private:
    HANDLE m_handle;
};

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool readAll(HANDLE file, std::string& out) {
    char buffer[8192];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr))
            return false;
        if (n == 0)
            return true;
        out.append(buffer, n);
    }
}

bool writeAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!::WriteFile(file, bytes.data() + done, chunk, &n, nullptr))
            return false;
        done += n;
    }
    return true;
}

// A symbolic link is followed, so the file it names is replaced and the link stays a link.
std::string resolvedPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path native(WideFromUtf8(path));
    if (!std::filesystem::is_symlink(native, error))
        return path;
    const std::filesystem::path target = std::filesystem::canonical(native, error);
    return error ? path : Utf8FromWide(target.wstring());
}

// A replacement is named path + ".tmp." + the writer's process id + "." + a count of the writer's own.
std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp." + std::to_string(::GetCurrentProcessId()) + "." + std::to_string(counter++);
}

// The writer's process id in a name "<id>.<count>"; nullopt for any other name.
std::optional<DWORD> writerOf(std::string_view suffix) {
    DWORD id = 0;
    unsigned count = 0;
    const char* end = suffix.data() + suffix.size();
    const auto [afterId, idError] = std::from_chars(suffix.data(), end, id);
    if (idError != std::errc() || id == 0 || afterId == end || *afterId != '.')
        return std::nullopt;
    const auto [afterCount, countError] = std::from_chars(afterId + 1, end, count);
    if (countError != std::errc() || afterCount != end)
        return std::nullopt;
    return id;
}

bool isAnotherLiveProcess(DWORD id) {
    if (id == ::GetCurrentProcessId())
        return false;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED; // it runs, as another user
    DWORD status = 0;
    const bool running = ::GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

// Removes the replacements of path that writers killed mid-write left behind. Runs with the lock
// held, so no writer of ours is between naming its temporary file and renaming it; a file is kept
// only while its process id belongs to another running process.
void removeLeftovers(const std::string& path) {
    const std::filesystem::path native(WideFromUtf8(path));
    const std::wstring prefix = native.filename().wstring() + L".tmp.";
    std::error_code error;
    for (std::filesystem::directory_iterator entry(native.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::wstring name = entry->path().filename().wstring();
        if (!name.starts_with(prefix))
            continue;
        const auto writer = writerOf(Utf8FromWide(name.substr(prefix.size())));
        if (writer && !isAnotherLiveProcess(*writer))
            ::DeleteFileW(entry->path().c_str());
    }
}

// Writes bytes to a new file beside path, flushed to disk; returns its name or "" with error set.
std::string writeTemporary(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string tmp = temporaryNameFor(path);
    const std::wstring wideTmp = WideFromUtf8(tmp);
    Handle file(::CreateFileW(wideTmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!file.valid()) {
        error = Win32Failure("cannot create", tmp);
        return "";
    }
    if (!writeAll(file.get(), bytes) || !::FlushFileBuffers(file.get()) || !file.close()) {
        error = Win32Failure("cannot write", tmp);
        file.close();
        ::DeleteFileW(wideTmp.c_str());
        return "";
    }
    return tmp;
}

// Puts tmp in place of path: ReplaceFileW keeps the old file's security; a file that did not exist
// yet, or one ReplaceFileW cannot handle, is renamed into place. The old attributes are put back
// either way (Wine's ReplaceFileW drops them).
bool moveIntoPlace(const std::string& tmp, const std::string& path, DWORD oldAttributes) {
    const std::wstring from = WideFromUtf8(tmp);
    const std::wstring to = WideFromUtf8(path);
    const bool existed = oldAttributes != INVALID_FILE_ATTRIBUTES;
    if (!(existed && ::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                    nullptr, nullptr)) &&
        !::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    if (existed && ::GetFileAttributesW(to.c_str()) != oldAttributes)
        ::SetFileAttributesW(to.c_str(), oldAttributes);
    return true;
}

} // namespace

FileStore::ReadResult FileStore::read(const std::string& path) {
    ReadResult result;
    const std::wstring widePath = WideFromUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && isMissing(::GetLastError())) {
        result.ok = true;
        return result;
    }
    result.exists = true;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result.error = path + " is not an ordinary file";
        return result;
    }
    Handle file(::CreateFileW(widePath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        result.error = Win32Failure("cannot open", path);
        return result;
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.error = path + " is not an ordinary file";
        return result;
    }
    if (!readAll(file.get(), result.bytes)) {
        result.error = Win32Failure("cannot read", path);
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

FileStore::ReplaceResult FileStore::replace(const std::string& linkOrPath, const Edit& edit) {
    const std::string path = resolvedPath(linkOrPath);
    // A read-only file refuses the write, as the system's own profile calls do.
    const DWORD oldAttributes = ::GetFileAttributesW(WideFromUtf8(path).c_str());
    if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY) &&
        !(oldAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {ReplaceStatus::Failed, "the file is read-only (its read-only attribute is set)"};

    const std::string lockPath = path + ".lock";
    Handle lock(::CreateFileW(WideFromUtf8(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!lock.valid())
        return {ReplaceStatus::Failed, Win32Failure("cannot create the lock file", lockPath)};
    OVERLAPPED whole{};
    if (!::LockFileEx(lock.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        return {ReplaceStatus::Failed, Win32Failure("cannot lock", lockPath)};
    removeLeftovers(path);

    ReadResult file = read(path);
    if (!file.ok)
        return {ReplaceStatus::Failed, file.error};
    const DWORD attributes = ::GetFileAttributesW(WideFromUtf8(path).c_str());
    if (!edit(file.bytes))
        return {ReplaceStatus::Unchanged, ""};

    std::string error;
    const std::string tmp = writeTemporary(path, file.bytes, error);
    if (tmp.empty())
        return {ReplaceStatus::Failed, error};
    if (!moveIntoPlace(tmp, path, file.exists ? attributes : INVALID_FILE_ATTRIBUTES)) {
        error = Win32Failure("cannot replace", path);
        ::DeleteFileW(WideFromUtf8(tmp).c_str());
        return {ReplaceStatus::Failed, error};
    }
    return {ReplaceStatus::Replaced, ""};
}
