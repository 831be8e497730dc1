#include "tests/support/Environment.h"

#include <cstdlib>

// _putenv_s changes the C runtime's copy, which getenv reads, and the process environment with it.
void SetEnvironmentVariableTo(const std::string& name, const std::string& value) {
    ::_putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable.
void RemoveEnvironmentVariable(const std::string& name) {
    ::_putenv_s(name.c_str(), "");
}
