#include "lang/TextValue.h"

#include <cmath>
#include <limits>

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

std::optional<int32_t> NumericValue(const std::string& text) {
    size_t pos = text.find_first_not_of(' ');
    if (pos == std::string::npos)
        return 0;
    double sign = 1;
    if (text[pos] == '-' || text[pos] == '+') {
        sign = text[pos] == '-' ? -1 : 1;
        ++pos;
    }
    auto isDigit = [&](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    double value = 0;
    for (; isDigit(pos); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > 1e12)
            return std::nullopt;
    }
    if (pos < text.size() && text[pos] == '.') {
        double scale = 0.1;
        for (++pos; isDigit(pos); ++pos, scale /= 10)
            value += (text[pos] - '0') * scale;
    }
    const double rounded = std::nearbyint(sign * value);
    if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

std::string FirstCharacters(const std::string& text, size_t count) {
    size_t end = 0;
    for (size_t taken = 0; end < text.size() && taken < count; ++taken) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return text.substr(0, end);
}
