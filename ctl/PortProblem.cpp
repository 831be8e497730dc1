#include "PortProblem.h"

std::string DescribePortProblem(const PortAttempt& attempt) {
    if (attempt.opened)
        return attempt.version == -1 ? "opened, but no controller answered"
                                     : "opened, but it answered version " + std::to_string(attempt.version) +
                                           ", which is no controller's";
    if (attempt.errorSource == "CommOpen (CreateFile)")
        return DescribeOpenFailure(attempt);
    return "opened, but it does not work as a serial line: " + attempt.errorSource + " - " +
           attempt.errorText;
}
