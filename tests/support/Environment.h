// Setting and removing environment variables of the test process (platform files beside this one).
#pragma once

#include <string>

void SetEnvironmentVariableTo(const std::string& name, const std::string& value);
void RemoveEnvironmentVariable(const std::string& name);
