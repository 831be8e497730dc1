// A fresh application folder for one localisation test: QUEDRIX_HOME, the registry stand-in and
// AppConfig point into it, and everything is put back afterwards.
#pragma once

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include "common/CodePage.h"
#include "common/Configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class LangTest : public ::testing::Test {
protected:
    LangTest()
        : m_home("QUEDRIX_HOME", m_folder.path().c_str()),
          m_registry("QUEDRIX_REGISTRY", m_folder.file("installer.reg").c_str()),
          m_codePage("QUEDRIX_CODEPAGE", "1251") {
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
