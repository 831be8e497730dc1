// The serial-port calls passed straight to Win32; the port name is the device ("\\.\COM3").
#include <windows.h>

// The interface names the calls without the A/W suffix; this file calls the ANSI ones explicitly.
// (<winbase.h> also defines SETDTR and SETRTS, which FPSerial.h names as methods: no file that
// includes both may let the macros stand.)
#undef CreateFile
#undef BuildCommDCB
#undef FormatMessage

#include "controller/CommApi.h"

namespace {

static_assert(sizeof(OVERLAPPED) <= sizeof(CommOverlapped::storage));

HANDLE handleOf(CommHandle port) {
    return reinterpret_cast<HANDLE>(port);
}

OVERLAPPED* overlappedOf(CommOverlapped& overlapped) {
    return reinterpret_cast<OVERLAPPED*>(overlapped.storage);
}

void copyToDcb(const CommState& state, DCB& dcb) {
    dcb.BaudRate = state.baudRate;
    dcb.ByteSize = state.byteSize;
    dcb.Parity = static_cast<BYTE>(state.parity);
    dcb.StopBits = static_cast<BYTE>(state.stopBits);
    dcb.fOutxCtsFlow = state.outxCtsFlow;
    dcb.fOutxDsrFlow = state.outxDsrFlow;
    dcb.fOutX = state.outX;
    dcb.fInX = state.inX;
}

CommState stateOf(const DCB& dcb) {
    CommState state;
    state.baudRate = dcb.BaudRate;
    state.byteSize = dcb.ByteSize;
    state.parity = static_cast<CommParity>(dcb.Parity);
    state.stopBits = static_cast<CommStopBits>(dcb.StopBits);
    state.outxCtsFlow = dcb.fOutxCtsFlow;
    state.outxDsrFlow = dcb.fOutxDsrFlow;
    state.outX = dcb.fOutX;
    state.inX = dcb.fInX;
    return state;
}

class CommWin32 : public CommApi {
public:
    CommHandle CreateFile(const std::string& name) override {
        HANDLE port = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        return reinterpret_cast<CommHandle>(port);
    }
    bool SetupComm(CommHandle port, uint32_t inQueue, uint32_t outQueue) override {
        return ::SetupComm(handleOf(port), inQueue, outQueue);
    }
    bool PurgeComm(CommHandle port, uint32_t flags) override { return ::PurgeComm(handleOf(port), flags); }
    bool SetCommTimeouts(CommHandle port, const CommTimeouts& timeouts) override {
        COMMTIMEOUTS native{timeouts.readIntervalTimeout, timeouts.readTotalTimeoutMultiplier,
                            timeouts.readTotalTimeoutConstant, timeouts.writeTotalTimeoutMultiplier,
                            timeouts.writeTotalTimeoutConstant};
        return ::SetCommTimeouts(handleOf(port), &native);
    }
    bool GetCommState(CommHandle port, CommState& state) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(handleOf(port), &dcb))
            return false;
        state = stateOf(dcb);
        return true;
    }
    bool BuildCommDCB(const std::string& definition, CommState& state) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        copyToDcb(state, dcb);
        if (!::BuildCommDCBA(definition.c_str(), &dcb))
            return false;
        // Windows turns flow control off unless the text asks for it; Wine leaves what the tty had,
        // and an XOFF from the line would then stall every write.
        dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = FALSE;
        state = stateOf(dcb);
        return true;
    }
    bool SetCommState(CommHandle port, const CommState& state) override {
        // Start from the port's own record so the fields this program does not manage keep their values.
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(handleOf(port), &dcb))
            return false;
        copyToDcb(state, dcb);
        return ::SetCommState(handleOf(port), &dcb);
    }
    bool ClearCommError(CommHandle port, uint32_t& errors, CommStatus& status) override {
        DWORD flags = 0;
        COMSTAT native{};
        if (!::ClearCommError(handleOf(port), &flags, &native))
            return false;
        errors = flags;
        status.inQueue = native.cbInQue;
        status.outQueue = native.cbOutQue;
        return true;
    }
    bool ReadFile(CommHandle port, char* buffer, uint32_t toRead, uint32_t& read,
                  CommOverlapped& overlapped) override {
        DWORD count = 0;
        const BOOL ok = ::ReadFile(handleOf(port), buffer, toRead, &count, overlappedOf(overlapped));
        read = count;
        return ok;
    }
    bool WriteFile(CommHandle port, const char* data, uint32_t toWrite, uint32_t& written,
                   CommOverlapped& overlapped) override {
        DWORD count = 0;
        const BOOL ok = ::WriteFile(handleOf(port), data, toWrite, &count, overlappedOf(overlapped));
        written = count;
        return ok;
    }
    bool GetOverlappedResult(CommHandle port, CommOverlapped& overlapped, uint32_t& transferred,
                             bool wait) override {
        DWORD count = 0;
        const BOOL ok = ::GetOverlappedResult(handleOf(port), overlappedOf(overlapped), &count, wait);
        transferred = count;
        return ok;
    }
    bool EscapeCommFunction(CommHandle port, uint32_t function) override {
        return ::EscapeCommFunction(handleOf(port), function);
    }
    bool GetCommModemStatus(CommHandle port, uint32_t& status) override {
        DWORD lines = 0;
        const BOOL ok = ::GetCommModemStatus(handleOf(port), &lines);
        status = lines;
        return ok;
    }
    bool CloseHandle(CommHandle port) override { return ::CloseHandle(handleOf(port)); }
    // The port is opened for ordinary I/O, where WaitCommEvent cannot time out; look at the input
    // queue every millisecond instead, until bytes wait or the deadline has passed. The errors
    // ClearCommError leaves (a removed device, a closed handle) stay for GetLastError.
    bool WaitForInput(CommHandle port, uint32_t milliseconds) override {
        const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
        for (;;) {
            DWORD flags = 0;
            COMSTAT native{};
            if (!::ClearCommError(handleOf(port), &flags, &native))
                return false;
            if (native.cbInQue > 0 || ::GetTickCount64() >= deadline)
                return true;
            ::Sleep(1);
        }
    }
    // What the serial drivers report on an open handle once the adapter has been unplugged.
    bool IsLineGone(uint32_t code) override {
        switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
            return true;
        default:
            return false;
        }
    }
    uint32_t GetLastError() override { return ::GetLastError(); }
    uint32_t FormatMessage(uint32_t code, char* buffer, uint32_t size) override {
        return ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                buffer, size, nullptr);
    }
};

} // namespace

CommApi& defaultCommApi() {
    static CommWin32 api;
    return api;
}
