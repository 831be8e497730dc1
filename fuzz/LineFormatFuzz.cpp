// Fuzz target: the line-format text ("baud=9600 parity=N data=8 stop=1") that CommPosix::BuildCommDCB
// applies to a device-control record.
#include "controller/CommPosix.h"
#include "controller/TermiosState.h"
#include "fuzz/FuzzCheck.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string>

namespace {

// A record that differs from every default, flow control included, so untouched fields show.
constexpr CommState kStart{2400, 7, CommParity::Even, CommStopBits::Two, true, true, true, true};

std::string withCase(std::string text, int (*change)(int)) {
    for (char& c : text)
        c = static_cast<char>(change(static_cast<unsigned char>(c)));
    return text;
}

// The record written back as a line-format text.
std::string lineFormatOf(const CommState& state) {
    static const char parities[] = {'N', 'O', 'E', 'M', 'S'};
    static const char* const stops[] = {"1", "1.5", "2"};
    return "baud=" + std::to_string(state.baudRate) + " parity=" + parities[static_cast<int>(state.parity)] +
           " data=" + std::to_string(state.byteSize) + " stop=" + stops[static_cast<int>(state.stopBits)];
}

struct Outcome {
    bool accepted;
    CommState state;
    bool operator==(const Outcome&) const = default;
};

Outcome build(CommPosix& api, const std::string& definition, CommState state = kStart) {
    const bool accepted = api.BuildCommDCB(definition, state);
    return {accepted, state};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CommPosix api;
    const std::string definition(reinterpret_cast<const char*>(data), size);
    const Outcome outcome = build(api, definition);

    if (!outcome.accepted) {
        fuzzCheck(api.GetLastError() == EINVAL, "a refused line format reports EINVAL");
        fuzzCheck(outcome.state == kStart, "a refused line format leaves the record as it was");
    } else {
        const CommState& s = outcome.state;
        fuzzCheck(!s.outxCtsFlow && !s.outxDsrFlow && !s.outX && !s.inX,
                  "a line format turns flow control off");
        fuzzCheck(isTermiosBaud(s.baudRate), "an accepted speed is one the terminal can set");
        fuzzCheck(s.byteSize >= 5 && s.byteSize <= 8, "an accepted size is 5 to 8 bits");
        fuzzCheck(static_cast<int>(s.parity) <= 4 && static_cast<int>(s.stopBits) <= 2,
                  "known parity and stop bits");
        fuzzCheck(build(api, definition, s) == outcome, "applying the same text twice changes nothing more");
        fuzzCheck(build(api, lineFormatOf(s), CommState{}).state == s,
                  "the record written back as text reads as the same record");
    }
    fuzzCheck(build(api, withCase(definition, ::toupper)) == outcome, "upper-case names read the same");
    fuzzCheck(build(api, withCase(definition, ::tolower)) == outcome, "lower-case names read the same");
    return 0;
}
