// Fuzz target: the log's date-time pattern. A moment written with a pattern of two-digit fields reads
// back as the same moment, for patterns built piece by piece and for patterns converted from a locale's
// strftime date format; any text and any pattern are read without harm.
#include "common/RegionalSettings.h"
#include "errlog/DateTimePattern.h"
#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace {

const char* const kFields[] = {"dd", "MM", "yyyy", "yy", "hh", "nn", "ss"};

struct Pattern {
    std::string text;
    bool day = false, month = false, year = false, shortYear = false, hour = false, minute = false,
         second = false;
    bool complete() const { return day && month && (year || shortYear) && hour && minute && second; }
};

std::string quoted(const std::string& literal) {
    std::string text = "'";
    for (char c : literal)
        text += c == '\'' ? std::string("''") : std::string(1, c);
    return text + "'";
}

void noteField(Pattern& pattern, std::string_view field) {
    pattern.day |= field == "dd";
    pattern.month |= field == "MM";
    pattern.year |= field == "yyyy";
    pattern.shortYear |= field == "yy";
    pattern.hour |= field == "hh";
    pattern.minute |= field == "nn";
    pattern.second |= field == "ss";
}

// Two-digit fields, separators and literal text in any order.
Pattern builtPattern(FuzzedDataProvider& input) {
    Pattern pattern;
    const int pieces = input.ConsumeIntegralInRange(0, 16);
    for (int i = 0; i < pieces; ++i) {
        switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0: {
            const char* field = kFields[input.ConsumeIntegralInRange<size_t>(0, std::size(kFields) - 1)];
            pattern.text += field;
            noteField(pattern, field);
            break;
        }
        case 1:
            pattern.text += '/';
            break;
        case 2:
            pattern.text += ':';
            break;
        case 3:
            pattern.text += quoted(input.ConsumeRandomLengthString(8));
            break;
        default: {
            // A character that is no pattern letter and no quote stands for itself.
            const char c = input.ConsumeIntegral<char>();
            if (std::string_view("dMyhns'").find(c) == std::string_view::npos)
                pattern.text += c;
        }
        }
    }
    return pattern;
}

// A locale's strftime date format as the program converts it, followed by the log's time of day.
// Only conversions that become two-digit fields (or nothing) keep the round trip's promise.
Pattern convertedPattern(FuzzedDataProvider& input) {
    const std::string format = input.ConsumeRandomLengthString(32);
    Pattern pattern;
    pattern.text = WindowsDatePattern(format) + " hh:nn:ss";
    pattern.hour = pattern.minute = pattern.second = true;
    bool twoDigitsOnly = true;
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        const char conversion = format[++i];
        twoDigitsOnly &= std::string_view("dmYGyFDbBhaAt%").find(conversion) != std::string_view::npos;
        pattern.day |= std::string_view("dDF").find(conversion) != std::string_view::npos;
        pattern.month |= std::string_view("mbBhDF").find(conversion) != std::string_view::npos;
        pattern.year |= std::string_view("YGF").find(conversion) != std::string_view::npos;
        pattern.shortYear |= std::string_view("yD").find(conversion) != std::string_view::npos;
    }
    if (!format.empty() && format.back() == '%' && (format.size() < 2 || format[format.size() - 2] != '%'))
        twoDigitsOnly = false;
    if (!twoDigitsOnly)
        pattern.day = false; // not a promise this pattern can keep
    return pattern;
}

std::tm momentFrom(FuzzedDataProvider& input, bool shortYear) {
    std::tm moment{};
    // A two-digit year stands for 1930 to 2029.
    moment.tm_year =
        shortYear ? input.ConsumeIntegralInRange(30, 129) : input.ConsumeIntegralInRange(-299, 8099);
    moment.tm_mon = input.ConsumeIntegralInRange(0, 11);
    const int year = moment.tm_year + 1900;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    moment.tm_mday = input.ConsumeIntegralInRange(1, kDays[moment.tm_mon] + (moment.tm_mon == 1 && leap));
    moment.tm_hour = input.ConsumeIntegralInRange(0, 23);
    moment.tm_min = input.ConsumeIntegralInRange(0, 59);
    moment.tm_sec = input.ConsumeIntegralInRange(0, 59);
    return moment;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const Pattern pattern = input.ConsumeBool() ? convertedPattern(input) : builtPattern(input);
    DateTimeSeparators separators;
    separators.date = input.ConsumeRandomLengthString(3);
    separators.time = input.ConsumeRandomLengthString(3);
    const std::tm moment = momentFrom(input, pattern.shortYear);

    const std::string text = FormatDateTime(moment, pattern.text, separators);
    const auto read = ParseDateTime(text, pattern.text, separators);
    if (pattern.complete()) {
        fuzzCheck(read.has_value(), "a moment written with the pattern reads back");
        fuzzCheck(read->tm_year == moment.tm_year && read->tm_mon == moment.tm_mon &&
                      read->tm_mday == moment.tm_mday && read->tm_hour == moment.tm_hour &&
                      read->tm_min == moment.tm_min && read->tm_sec == moment.tm_sec,
                  "a moment written with the pattern reads back as the same moment");
    }
    // Any other text is read without harm, and what reads is a real moment.
    const auto other = ParseDateTime(input.ConsumeRemainingBytesAsString(), pattern.text, separators);
    fuzzCheck(!other ||
                  (other->tm_mon >= 0 && other->tm_mon <= 11 && other->tm_mday >= 1 && other->tm_hour <= 23),
              "what reads is a real moment");
    return 0;
}
