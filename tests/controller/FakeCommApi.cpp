#include "tests/controller/FakeCommApi.h"

#include <algorithm>
#include <cstring>

void FakeCommApi::feedLater(std::chrono::milliseconds after, const std::string& bytes,
                            std::size_t perMillisecond) {
    const std::size_t step = perMillisecond == 0 ? bytes.size() : perMillisecond;
    Clock::time_point at = m_now + after;
    for (std::size_t start = 0; start < bytes.size(); start += step, at += std::chrono::milliseconds(1))
        m_arrivals.emplace(at, bytes.substr(start, step));
}

void FakeCommApi::advance(std::chrono::milliseconds by) {
    m_now += by;
    deliverDue();
}

void FakeCommApi::deliverDue() {
    while (!m_arrivals.empty() && m_arrivals.begin()->first <= m_now) {
        m_received += m_arrivals.begin()->second;
        m_arrivals.erase(m_arrivals.begin());
    }
}

void FakeCommApi::injectFailure(const std::string& call, uint32_t code, int times) {
    for (int i = 0; i < times; ++i)
        m_failures[call].push_back(code);
}

std::vector<std::string> FakeCommApi::callNames() const {
    std::vector<std::string> names;
    for (const auto& call : m_calls)
        names.push_back(call.substr(0, call.find(' ')));
    return names;
}

int FakeCommApi::count(const std::string& call) const {
    const auto names = callNames();
    return static_cast<int>(std::count(names.begin(), names.end(), call));
}

bool FakeCommApi::enter(const std::string& name, const std::string& argument) {
    m_calls.push_back(argument.empty() ? name : name + " " + argument);
    m_injected = 0;
    auto found = m_failures.find(name);
    if (found == m_failures.end() || found->second.empty())
        return true;
    m_injected = found->second.front();
    found->second.erase(found->second.begin());
    lastError = m_injected;
    return false;
}

bool FakeCommApi::enterOnPort(const std::string& name, CommHandle port, const std::string& argument) {
    if (!enter(name, argument))
        return false;
    if (m_open && port == PortValue)
        return true;
    lastError = InvalidHandleCode;
    return false;
}

CommHandle FakeCommApi::CreateFile(const std::string& name) {
    if (!enter("CreateFile", name))
        return InvalidCommHandle;
    m_open = true;
    return PortValue;
}

bool FakeCommApi::SetupComm(CommHandle port, uint32_t inQueue, uint32_t outQueue) {
    return enterOnPort("SetupComm", port, std::to_string(inQueue) + "," + std::to_string(outQueue));
}

bool FakeCommApi::PurgeComm(CommHandle port, uint32_t flags) {
    if (!enterOnPort("PurgeComm", port, std::to_string(flags)))
        return false;
    if (flags & CommPurgeRxClear)
        m_received.clear();
    return true;
}

bool FakeCommApi::SetCommTimeouts(CommHandle port, const CommTimeouts& value) {
    if (!enterOnPort("SetCommTimeouts", port))
        return false;
    timeouts = value;
    return true;
}

bool FakeCommApi::GetCommState(CommHandle port, CommState& state) {
    if (!enterOnPort("GetCommState", port))
        return false;
    state = portState;
    return true;
}

bool FakeCommApi::BuildCommDCB(const std::string& definition, CommState& state) {
    if (!enter("BuildCommDCB", definition))
        return false;
    state.baudRate = static_cast<uint32_t>(std::stoul(definition.substr(definition.find('=') + 1)));
    return true;
}

bool FakeCommApi::SetCommState(CommHandle port, const CommState& state) {
    if (!enterOnPort("SetCommState", port))
        return false;
    portState = state;
    return true;
}

bool FakeCommApi::ClearCommError(CommHandle port, uint32_t& errors, CommStatus& status) {
    if (!enterOnPort("ClearCommError", port))
        return false;
    deliverDue();
    errors = lineErrors;
    status.inQueue = static_cast<uint32_t>(m_received.size());
    status.outQueue = 0;
    return true;
}

bool FakeCommApi::ReadFile(CommHandle port, char* buffer, uint32_t toRead, uint32_t& read, CommOverlapped&) {
    read = 0;
    const bool ok = enterOnPort("ReadFile", port, std::to_string(toRead));
    // An injected "pending" still delivers the data, as an asynchronous read would, later.
    if (!ok && m_injected != CommIoPending)
        return false;
    const uint32_t count = std::min<uint32_t>(toRead, static_cast<uint32_t>(m_received.size()));
    std::memcpy(buffer, m_received.data(), count);
    m_received.erase(0, count);
    if (!ok) {
        m_pendingCount = count;
        return false;
    }
    read = count;
    return true;
}

bool FakeCommApi::WriteFile(CommHandle port, const char* data, uint32_t toWrite, uint32_t& written,
                            CommOverlapped&) {
    written = 0;
    const bool ok = enterOnPort("WriteFile", port, std::string(data, toWrite));
    if (!ok && m_injected != CommIoPending)
        return false;
    m_written.append(data, toWrite);
    if (!ok) {
        m_pendingCount = toWrite;
        return false;
    }
    written = toWrite;
    return true;
}

bool FakeCommApi::GetOverlappedResult(CommHandle port, CommOverlapped&, uint32_t& transferred, bool wait) {
    if (!enterOnPort("GetOverlappedResult", port, wait ? "wait" : "nowait"))
        return false;
    transferred = m_pendingCount;
    return true;
}

bool FakeCommApi::EscapeCommFunction(CommHandle port, uint32_t function) {
    if (!enterOnPort("EscapeCommFunction", port, std::to_string(function)))
        return false;
    if (function == 0) {
        lastError = 87; // the invalid-parameter code
        return false;
    }
    return true;
}

bool FakeCommApi::GetCommModemStatus(CommHandle port, uint32_t& status) {
    if (!enterOnPort("GetCommModemStatus", port))
        return false;
    status = modemStatus;
    return true;
}

bool FakeCommApi::CloseHandle(CommHandle port) {
    if (!enterOnPort("CloseHandle", port))
        return false;
    m_open = false;
    return true;
}

bool FakeCommApi::WaitForInput(CommHandle port, uint32_t milliseconds) {
    if (!enterOnPort("WaitForInput", port, std::to_string(milliseconds)))
        return false;
    if (!m_received.empty())
        return true;
    const Clock::time_point timeOut = m_now + std::chrono::milliseconds(milliseconds);
    const bool arrives = !m_arrivals.empty() && m_arrivals.begin()->first <= timeOut;
    m_now = arrives ? std::max(m_now, m_arrivals.begin()->first) : timeOut;
    deliverDue();
    return true;
}

uint32_t FakeCommApi::GetLastError() {
    return lastError;
}

uint32_t FakeCommApi::FormatMessage(uint32_t code, char* buffer, uint32_t size) {
    const std::string text = messageText.empty() ? "message " + std::to_string(code) : messageText;
    const uint32_t length = std::min<uint32_t>(static_cast<uint32_t>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}
