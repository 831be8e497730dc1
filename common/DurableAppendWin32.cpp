#include "common/DurableAppend.h"

#include "common/Win32Text.h"

#include <windows.h>

#include <utility>

namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

AppendResult failure(const std::string& what, const std::string& path) {
    return {false, Win32Failure(what, path)};
}

OVERLAPPED at(long long offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

} // namespace

AppendResult AppendLineDurably(const std::string& path, const std::string& line, const std::string& header) {
    // Directory entries are journalled by NTFS with the file; there is no folder to flush here.
    const Handle file(::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return failure("cannot open", path);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size))
        return failure("cannot examine", path);
    char last = '\n';
    if (size.QuadPart > 0) {
        OVERLAPPED position = at(size.QuadPart - 1);
        DWORD read = 0;
        if (!::ReadFile(file.get(), &last, 1, &read, &position) || read != 1)
            return failure("cannot read", path);
    }
    const std::string bytes = AppendPrefix(size.QuadPart, last, header) + line;
    OVERLAPPED end = at(size.QuadPart);
    DWORD written = 0;
    const bool wrote =
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, &end);
    if (!wrote || written != bytes.size()) {
        const DWORD reason = wrote ? ERROR_DISK_FULL : ::GetLastError();
        // A part written is cut off again, so the file keeps only whole lines.
        LARGE_INTEGER old = size;
        if (::SetFilePointerEx(file.get(), old, nullptr, FILE_BEGIN))
            ::SetEndOfFile(file.get());
        ::SetLastError(reason);
        return failure("cannot write", path);
    }
    if (!::FlushFileBuffers(file.get()))
        return failure("cannot flush", path);
    return {true, ""};
}
