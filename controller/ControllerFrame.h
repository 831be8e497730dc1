// The 12-character request and reply frame of the table controller: building and reading it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ControllerFrame {
    static constexpr char STX = '\x02';
    static constexpr char ETX = '\x03';
    static constexpr std::size_t Length = 12;
    static constexpr std::size_t ValueOffset = 5;

    std::string command; // one letter for the controller's commands: "V", "R", "C" or "G"
    int32_t table = 0;
    int32_t value = 0;

    // STX, command, table "00", ";", value "00000", ";", ETX. Table is clamped to 0..99 and
    // value to 0..99999 so the fields keep their width.
    std::string text() const;

    // A well-formed frame: exactly 12 characters, STX, an upper-case letter, two digits, ";",
    // five digits, ";", ETX. Anything else gives nothing.
    static std::optional<ControllerFrame> parse(std::string_view text);
};

// The number carried by a reply: the text from offset 5 read as a decimal number. Leading
// blanks are skipped, an optional sign is taken, then digits up to the first other character;
// no digits read as 0. Out-of-range numbers saturate at the 32-bit limits.
int32_t ReadFrameValue(std::string_view reply);
