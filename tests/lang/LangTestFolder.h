// A fresh application folder for one localisation test: QUEDRIX_HOME, the registry stand-in and
// AppConfig point into it, and everything is put back afterwards.
#pragma once

#include "TempFolder.h"

#include "CodePage.h"
#include "Configuration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class LangTest : public ::testing::Test {
protected:
    LangTest()
        : m_home("QUEDRIX_HOME", m_folder.path()),
          m_registry("QUEDRIX_REGISTRY", m_folder.file("installer.reg")),
          m_codePage("QUEDRIX_CODEPAGE", std::nullopt) {
        m_savedConfig = AppConfig;
        AppConfig.CfgFile = m_folder.file("Quedrix.cfg");
        CurrentLanguageCode = "BG";
    }
    ~LangTest() override { AppConfig = m_savedConfig; }

    // Writes lines (UTF-8 here) as a code-page file with CR LF line ends.
    void writeFile(const std::string& name, std::initializer_list<std::string> lines) const {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        std::filesystem::create_directories(std::filesystem::path(m_folder.file(name)).parent_path());
        m_folder.write(name, CodePage::active().toEightBit(text));
    }

    TempFolder m_folder;
    ScopedEnv m_home;
    ScopedEnv m_registry;
    ScopedEnv m_codePage;
    AppConfigRecord m_savedConfig;
};
