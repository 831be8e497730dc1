// ScopedEnv: sets or removes an environment variable for one test and restores it afterwards.
#pragma once

#include "tests/support/Environment.h"

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnv {
public:
    // value nullopt removes the variable.
    ScopedEnv(std::string name, const std::optional<std::string>& value) : m_name(std::move(name)) {
        if (const char* old = std::getenv(m_name.c_str()))
            m_old = old;
        if (value)
            SetEnvironmentVariableTo(m_name, *value);
        else
            RemoveEnvironmentVariable(m_name);
    }
    // value nullptr removes the variable.
    ScopedEnv(std::string name, const char* value)
        : ScopedEnv(std::move(name), value ? std::optional<std::string>(value) : std::nullopt) {}
    ~ScopedEnv() {
        if (m_old)
            SetEnvironmentVariableTo(m_name, *m_old);
        else
            RemoveEnvironmentVariable(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
