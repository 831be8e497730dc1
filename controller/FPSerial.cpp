#include "controller/FPSerial.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>
#include <thread>
#include <utility>

namespace {

constexpr uint32_t PurgeAll = CommPurgeTxAbort | CommPurgeRxAbort | CommPurgeTxClear | CommPurgeRxClear;

// Reads return at once with what is waiting; a write gives up after one second per byte.
constexpr CommTimeouts PortTimeouts{CommMaxTimeout, 0, 1000, 1000, 0};

// The most characters FlushComm hands out and drops after the purge.
constexpr int FlushDrainLimit = 512;

std::string trimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

FPSerial::FPSerial(CommApi* api, std::function<void()> pumpEvents)
    : m_api(api ? api : &defaultCommApi()), m_pumpEvents(std::move(pumpEvents)) {}

void FPSerial::setPumpEvents(std::function<void()> pumpEvents) {
    m_pumpEvents = std::move(pumpEvents);
}

int32_t FPSerial::CommErrorCode() const {
    return m_CommErrorCode;
}
const std::string& FPSerial::CommErrorSource() const {
    return m_CommErrorSource;
}
const std::string& FPSerial::CommErrorText() const {
    return m_CommErrorText;
}
bool FPSerial::PortOpen() const {
    return m_PortOpen;
}

int32_t FPSerial::OpenComm(int16_t ComPort, int32_t Speed, const std::string& Parity) {
    return openDevice("COM", ComPort, Speed, Parity);
}

int32_t FPSerial::OpenCommParallel(int16_t ComPort, int32_t Speed, const std::string& Parity) {
    return openDevice("LPT", ComPort, Speed, Parity);
}

int32_t FPSerial::openDevice(const std::string& prefix, int16_t number, int32_t speed,
                             const std::string& parity) {
    const std::string lineFormat = "baud=" + std::to_string(speed) + " parity=" + parity + " data=8 stop=1";
    return CommOpen(prefix + std::to_string(number), lineFormat);
}

void FPSerial::CloseComm() {
    CommClose();
}

void FPSerial::FlushComm() {
    CommFlush();
    std::string discarded;
    for (int counter = 0; counter <= FlushDrainLimit; ++counter) {
        ReadComm(discarded);
        if (discarded.empty())
            break;
    }
}

int32_t FPSerial::ReadComm(std::string& MyChar) {
    std::string received;
    const int32_t count = CommRead(received, 1);
    m_PendingInput += received;
    if (m_PendingInput.empty()) {
        MyChar.clear();
    } else {
        MyChar = m_PendingInput.substr(0, 1);
        m_PendingInput.erase(0, 1);
    }
    return count;
}

void FPSerial::WriteComm(const std::string& s) {
    CommWrite(s);
}

void FPSerial::WaitForInput(int32_t milliseconds) {
    if (!m_PendingInput.empty() || milliseconds <= 0 || m_lineGone)
        return;
    if (m_api->WaitForInput(m_PortHandle, static_cast<uint32_t>(milliseconds)))
        return;
    if (m_PortOpen && m_api->IsLineGone(m_api->GetLastError())) {
        m_lineGone = true;
        return;
    }
    // Not a failure of the line: nothing is recorded, the pause just lasts its whole time.
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void FPSerial::SETDTR(bool Flag) {
    CommSetLine(2, Flag);
}

void FPSerial::SETRTS(bool Flag) {
    CommSetLine(3, Flag);
}

int32_t FPSerial::FormatCommError(std::string& text) const {
    text = "Error (" + std::to_string(m_CommErrorCode) + "): " + m_CommErrorSource + " - " + m_CommErrorText;
    return m_CommErrorCode;
}

int32_t FPSerial::CommOpen(const std::string& device, const std::string& lineFormat) {
    if (m_PortOpen) {
        m_CommErrorCode = -1;
        m_CommErrorSource = "CommOpen";
        m_CommErrorText = "Port in use.";
        return -1;
    }
    try {
        m_lineGone = false;
        m_PortHandle = m_api->CreateFile("\\\\.\\" + device);
        if (m_PortHandle == InvalidCommHandle)
            return RecordCommError("CommOpen (CreateFile)", m_api->GetLastError());
        m_PortOpen = true;
        m_api->SetupComm(m_PortHandle, QueueSize, QueueSize);
        if (!m_api->PurgeComm(m_PortHandle, PurgeAll))
            return RecordCommError("CommOpen (PurgeComm)", m_api->GetLastError());
        if (!m_api->SetCommTimeouts(m_PortHandle, PortTimeouts))
            return RecordCommError("CommOpen (SetCommTimeouts)", m_api->GetLastError());
        if (!m_api->GetCommState(m_PortHandle, m_PortSettings))
            return RecordCommError("CommOpen (GetCommState)", m_api->GetLastError());
        if (!m_api->BuildCommDCB(lineFormat, m_PortSettings))
            return RecordCommError("CommOpen (BuildCommDCB)", m_api->GetLastError());
        if (!m_api->SetCommState(m_PortHandle, m_PortSettings))
            return RecordCommError("CommOpen (SetCommState)", m_api->GetLastError());
        return 0;
    } catch (const std::exception& failure) {
        return recordUnexpected("CommOpen", failure);
    }
}

int32_t FPSerial::CommSet(const std::string& lineFormat) {
    try {
        if (!m_api->GetCommState(m_PortHandle, m_PortSettings))
            return RecordCommError("CommSet (GetCommState)", m_api->GetLastError());
        if (!m_api->BuildCommDCB(lineFormat, m_PortSettings))
            return RecordCommError("CommSet (BuildCommDCB)", m_api->GetLastError());
        if (!m_api->SetCommState(m_PortHandle, m_PortSettings))
            return RecordCommError("CommSet (SetCommState)", m_api->GetLastError());
        return 0;
    } catch (const std::exception& failure) {
        return recordUnexpected("CommSet", failure);
    }
}

int32_t FPSerial::CommClose() {
    if (!m_PortOpen)
        return 0;
    try {
        if (!m_api->CloseHandle(m_PortHandle))
            return RecordCommError("CommClose (CloseHandle)", m_api->GetLastError());
        m_PortOpen = false;
        return 0;
    } catch (const std::exception& failure) {
        return recordUnexpected("CommClose", failure);
    }
}

int32_t FPSerial::CommFlush() {
    try {
        if (!m_api->PurgeComm(m_PortHandle, PurgeAll))
            return RecordCommError("CommFlush (PurgeComm)", m_api->GetLastError());
        return 0;
    } catch (const std::exception& failure) {
        return recordUnexpected("CommFlush", failure);
    }
}

int32_t FPSerial::CommRead(std::string& text, int32_t requested) {
    text.clear();
    try {
        pump();
        uint32_t errors = 0;
        CommStatus status;
        if (!m_api->ClearCommError(m_PortHandle, errors, status)) {
            RecordCommError("CommRead (ClearCommError)", m_api->GetLastError());
            return -1;
        }
        // Only what is already waiting is read, so a read never waits for data to arrive.
        if (status.inQueue == 0)
            return 0;
        const uint32_t wanted = std::max(static_cast<uint32_t>(std::max(requested, 0)), status.inQueue);
        const uint32_t toRead = std::min(wanted, ReadBufferSize);
        char buffer[ReadBufferSize];
        uint32_t count = 0;
        if (!m_api->ReadFile(m_PortHandle, buffer, toRead, count, m_IoOverlap)) {
            uint32_t code = m_api->GetLastError();
            if (code != CommIoPending) {
                RecordCommErrorWithFlags("CommRead (ReadFile)", code);
                return -1;
            }
            if (!waitPending(count, code)) {
                RecordCommErrorWithFlags("CommRead (GetOverlappedResult)", code);
                return -1;
            }
        }
        text.assign(buffer, count);
        return static_cast<int32_t>(count);
    } catch (const std::exception& failure) {
        text.clear();
        recordUnexpected("CommRead", failure);
        return -1;
    }
}

int32_t FPSerial::CommWrite(const std::string& text) {
    uint32_t written = 0;
    try {
        const bool ok = m_api->WriteFile(m_PortHandle, text.data(), static_cast<uint32_t>(text.size()),
                                         written, m_IoOverlap);
        // Keep the failure's code before window events run: they may make failing calls of their own.
        uint32_t code = ok ? 0 : m_api->GetLastError();
        pump();
        if (!ok) {
            if (code != CommIoPending) {
                RecordCommErrorWithFlags("CommWrite (WriteFile)", code);
                return -1;
            }
            if (!waitPending(written, code)) {
                RecordCommErrorWithFlags("CommWrite (GetOverlappedResult)", code);
                return -1;
            }
        }
        pump(10);
        return static_cast<int32_t>(written);
    } catch (const std::exception& failure) {
        recordUnexpected("CommWrite", failure);
        return static_cast<int32_t>(written);
    }
}

int32_t FPSerial::CommReadCD(uint16_t lineMask, bool& lineOn) {
    try {
        uint32_t status = 0;
        if (!m_api->GetCommModemStatus(m_PortHandle, status))
            return RecordCommError("CommReadCD (GetCommModemStatus)", m_api->GetLastError());
        lineOn = (lineMask & status) != 0;
        return 0;
    } catch (const std::exception& failure) {
        return recordUnexpected("CommReadCD", failure);
    }
}

int32_t FPSerial::CommSetLine(uint16_t line, bool state) {
    uint32_t function = 0; // an unknown line passes 0, which the system rejects
    switch (line) {
    case 1:
        function = state ? CommSetBreak : CommClrBreak;
        break;
    case 2:
        function = state ? CommSetDtr : CommClrDtr;
        break;
    case 3:
        function = state ? CommSetRts : CommClrRts;
        break;
    }
    try {
        if (!m_api->EscapeCommFunction(m_PortHandle, function))
            return RecordCommError("CommSetLine (EscapeCommFunction)", m_api->GetLastError());
        return 0;
    } catch (const std::exception& failure) {
        return recordUnexpected("CommSetLine", failure);
    }
}

int32_t FPSerial::RecordCommError(const std::string& step, uint32_t code) {
    if (m_PortOpen && m_api->IsLineGone(code))
        m_lineGone = true;
    m_CommErrorCode = static_cast<int32_t>(code);
    m_CommErrorSource = step;
    m_CommErrorText = SystemErrorText(code);
    return m_CommErrorCode;
}

int32_t FPSerial::RecordCommErrorWithFlags(const std::string& step, uint32_t code) {
    RecordCommError(step, code);
    uint32_t errors = 0;
    CommStatus status;
    m_api->ClearCommError(m_PortHandle, errors, status);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(errors));
    m_CommErrorText += "  COMM Error Flags = ";
    m_CommErrorText += hex;
    return m_CommErrorCode;
}

std::string FPSerial::SystemErrorText(uint32_t code) {
    char buffer[255] = {};
    const uint32_t length =
        std::min<uint32_t>(m_api->FormatMessage(code, buffer, sizeof buffer), sizeof buffer);
    const std::string text(buffer, length);
    return trimBlanks(text.substr(0, text.find('\0')));
}

bool FPSerial::waitPending(uint32_t& transferred, uint32_t& failure) {
    while (!m_api->GetOverlappedResult(m_PortHandle, m_IoOverlap, transferred, true)) {
        failure = m_api->GetLastError();
        if (failure != CommIoIncomplete)
            return false;
    }
    return true;
}

int32_t FPSerial::recordUnexpected(const std::string& routine, const std::exception& failure) {
    int32_t code = -1;
    if (const auto* systemError = dynamic_cast<const std::system_error*>(&failure);
        systemError && systemError->code().value() != 0)
        code = systemError->code().value();
    m_CommErrorCode = code;
    m_CommErrorSource = routine;
    m_CommErrorText = failure.what();
    return code;
}

void FPSerial::pump(int times) {
    if (!m_pumpEvents)
        return;
    for (int i = 0; i < times; ++i)
        m_pumpEvents();
}
