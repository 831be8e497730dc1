// Switches the process locale for one test; ok() is false when the machine lacks the locale.
#pragma once

#include <clocale>
#include <string>

// The C runtime's name for a locale given by its POSIX name ("bg_BG.UTF-8"; platform files beside this one).
std::string PlatformLocaleName(const std::string& posixName);

class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_old(std::setlocale(LC_ALL, nullptr)) {
        m_ok = std::setlocale(LC_ALL, PlatformLocaleName(name).c_str()) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

// Skips the test with a clear message when the locale is not installed (scripts/setup-deps.sh makes it).
#define USE_LOCALE_OR_SKIP(var, name)                                                                        \
    ScopedLocale var(name);                                                                                  \
    if (!var.ok())                                                                                           \
    GTEST_SKIP() << "locale " << name << " is not installed; scripts/setup-deps.sh generates it"
