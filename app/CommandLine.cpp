#include "app/CommandLine.h"

#include <algorithm>

namespace {

std::string argumentText(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (&argument != &arguments.front())
            text += ' ';
        text += argument;
    }
    return text;
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

MonitorMode ModeFromArguments(const std::vector<std::string>& arguments) {
    std::string text = argumentText(arguments);
    std::ranges::transform(text, text.begin(), asciiUpper);
    return text == "ALT" ? MonitorMode::Alternative : MonitorMode::Standard;
}
