#include "ctl/PortProblem.h"

#include <algorithm>

namespace {

// The system's message on one line: Windows ends its messages with a line break.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

std::string DescribePortProblem(const PortAttempt& attempt) {
    if (attempt.opened)
        return attempt.version == -1 ? "opened, but no controller answered"
                                     : "opened, but it answered version " + std::to_string(attempt.version) +
                                           ", which is no controller's";
    PortAttempt failed = attempt;
    failed.errorText = oneLine(attempt.errorText);
    if (failed.errorSource == "CommOpen (CreateFile)")
        return DescribeOpenFailure(failed);
    return "opened, but it does not work as a serial line: " + failed.errorSource + " - " + failed.errorText;
}
