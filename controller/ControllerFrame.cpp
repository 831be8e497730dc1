#include "controller/ControllerFrame.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isDigit);
}

int32_t digitsValue(std::string_view digits) {
    int32_t v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

} // namespace

std::string ControllerFrame::text() const {
    const int32_t t = std::clamp<int32_t>(table, 0, 99);
    const int32_t v = std::clamp<int32_t>(value, 0, 99999);
    char fields[16];
    std::snprintf(fields, sizeof fields, "%02d;%05d;", static_cast<int>(t), static_cast<int>(v));
    return std::string(1, STX) + command + fields + ETX;
}

std::optional<ControllerFrame> ControllerFrame::parse(std::string_view text) {
    if (text.size() != Length || text[0] != STX || text[11] != ETX || text[4] != ';' || text[10] != ';')
        return std::nullopt;
    const char letter = text[1];
    if (letter < 'A' || letter > 'Z')
        return std::nullopt;
    const std::string_view table = text.substr(2, 2);
    const std::string_view value = text.substr(ValueOffset, 5);
    if (!allDigits(table) || !allDigits(value))
        return std::nullopt;
    return ControllerFrame{std::string(1, letter), digitsValue(table), digitsValue(value)};
}

int32_t ReadFrameValue(std::string_view reply) {
    if (reply.size() <= ControllerFrame::ValueOffset)
        return 0;
    std::string_view rest = reply.substr(ControllerFrame::ValueOffset);
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-'))
        negative = rest[i++] == '-';
    // Accumulate towards the sign so that the negative limit is reachable too.
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < rest.size() && isDigit(rest[i]); ++i)
        magnitude = std::min(magnitude * 10 + (rest[i] - '0'), limit);
    const int64_t signedValue = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(signedValue, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
