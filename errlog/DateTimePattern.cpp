#include "errlog/DateTimePattern.h"

#include "common/Common.h"

#include <array>
#include <string_view>
#include <vector>

namespace {

enum class Field { Day, Month, Year2, Year4, Hour, Minute, Second, DateSeparator, TimeSeparator, Literal };

struct Token {
    Field field;
    int width;           // 1 or 2 digits for numbers, 4 for yyyy
    std::string literal; // only for Field::Literal
};

struct Letters {
    std::string_view text;
    Field field;
    int width;
};

// Longest spellings first so that "yyyy" is not read as "yy" "yy".
constexpr std::array<Letters, 9> kLetters{{
    {"yyyy", Field::Year4, 4},
    {"yy", Field::Year2, 2},
    {"dd", Field::Day, 2},
    {"d", Field::Day, 1},
    {"MM", Field::Month, 2},
    {"M", Field::Month, 1},
    {"hh", Field::Hour, 2},
    {"nn", Field::Minute, 2},
    {"ss", Field::Second, 2},
}};

// Text in single quotes stands as it is ("''" inside it is one quote); removes it from the pattern.
std::string quotedLiteral(std::string_view& pattern) {
    std::string literal;
    pattern.remove_prefix(1);
    while (!pattern.empty()) {
        if (pattern.starts_with("''")) {
            literal.push_back('\'');
            pattern.remove_prefix(2);
        } else if (pattern.front() == '\'') {
            pattern.remove_prefix(1);
            break;
        } else {
            literal.push_back(pattern.front());
            pattern.remove_prefix(1);
        }
    }
    return literal;
}

std::vector<Token> tokenize(std::string_view pattern) {
    std::vector<Token> tokens;
    while (!pattern.empty()) {
        bool matched = false;
        for (const Letters& letters : kLetters) {
            if (pattern.starts_with(letters.text)) {
                tokens.push_back({letters.field, letters.width, {}});
                pattern.remove_prefix(letters.text.size());
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        if (pattern.starts_with("''")) { // "''" outside a quoted run is one quote
            tokens.push_back({Field::Literal, 0, std::string(1, '\'')});
            pattern.remove_prefix(2);
            continue;
        }
        if (pattern.front() == '\'') {
            tokens.push_back({Field::Literal, 0, quotedLiteral(pattern)});
            continue;
        }
        if (pattern.front() == '/')
            tokens.push_back({Field::DateSeparator, 0, {}});
        else if (pattern.front() == ':')
            tokens.push_back({Field::TimeSeparator, 0, {}});
        else
            tokens.push_back({Field::Literal, 0, std::string(1, pattern.front())});
        pattern.remove_prefix(1);
    }
    return tokens;
}

std::string digits(int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

int* fieldOf(std::tm& moment, Field field) {
    switch (field) {
    case Field::Day:
        return &moment.tm_mday;
    case Field::Month:
        return &moment.tm_mon;
    case Field::Year2:
    case Field::Year4:
        return &moment.tm_year;
    case Field::Hour:
        return &moment.tm_hour;
    case Field::Minute:
        return &moment.tm_min;
    case Field::Second:
        return &moment.tm_sec;
    default:
        return nullptr;
    }
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<size_t>(month - 1)];
}

bool isRealMoment(const std::tm& moment) {
    const int year = moment.tm_year + 1900;
    const int month = moment.tm_mon + 1;
    return month >= 1 && month <= 12 && moment.tm_mday >= 1 && moment.tm_mday <= daysInMonth(year, month) &&
           moment.tm_hour <= 23 && moment.tm_min <= 59 && moment.tm_sec <= 59;
}

} // namespace

std::string DateTimePattern() {
    return ShortDateFormat + " hh:nn:ss";
}

std::string FormatDateTime(const std::tm& moment, const std::string& pattern,
                           const DateTimeSeparators& separators) {
    std::string text;
    for (const Token& token : tokenize(pattern)) {
        switch (token.field) {
        case Field::Day:
            text += digits(moment.tm_mday, token.width);
            break;
        case Field::Month:
            text += digits(moment.tm_mon + 1, token.width);
            break;
        case Field::Year2:
            text += digits((moment.tm_year + 1900) % 100, 2);
            break;
        case Field::Year4:
            text += digits(moment.tm_year + 1900, 4);
            break;
        case Field::Hour:
            text += digits(moment.tm_hour, 2);
            break;
        case Field::Minute:
            text += digits(moment.tm_min, 2);
            break;
        case Field::Second:
            text += digits(moment.tm_sec, 2);
            break;
        case Field::DateSeparator:
            text += separators.date;
            break;
        case Field::TimeSeparator:
            text += separators.time;
            break;
        case Field::Literal:
            text += token.literal;
            break;
        }
    }
    return text;
}

std::optional<std::tm> ParseDateTime(const std::string& text, const std::string& pattern,
                                     const DateTimeSeparators& separators) {
    std::tm moment{};
    moment.tm_mday = 1;
    std::string_view rest = text;
    for (const Token& token : tokenize(pattern)) {
        if (int* target = fieldOf(moment, token.field)) {
            // One or two digits for d, M and the doubled letters, as many as the year has for yy and yyyy.
            const size_t maxDigits = token.width == 1 ? 2 : static_cast<size_t>(token.width);
            size_t count = 0;
            while (count < rest.size() && count < maxDigits && rest[count] >= '0' && rest[count] <= '9')
                ++count;
            if (count == 0)
                return std::nullopt;
            int value = std::stoi(std::string(rest.substr(0, count)));
            rest.remove_prefix(count);
            if (token.field == Field::Month)
                value -= 1;
            else if (token.field == Field::Year4)
                value -= 1900;
            else if (token.field == Field::Year2)
                value += value < 30 ? 100 : 0; // 00-29 are 2000-2029, 30-99 are 1930-1999
            *target = value;
            continue;
        }
        const std::string& expected = token.field == Field::DateSeparator   ? separators.date
                                      : token.field == Field::TimeSeparator ? separators.time
                                                                            : token.literal;
        if (!rest.starts_with(expected))
            return std::nullopt;
        rest.remove_prefix(expected.size());
    }
    if (!rest.empty() || !isRealMoment(moment))
        return std::nullopt;
    return moment;
}
