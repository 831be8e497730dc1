// An application folder of its own for the localisation tests, with the configuration file in it.
#pragma once

#include "common/CodePage.h"
#include "common/Configuration.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <initializer_list>
#include <string>

class LangFolder {
public:
    LangFolder() : m_home("QUEDRIX_HOME", m_folder.path().c_str()) {
        m_saved = AppConfig;
        AppConfig.CfgFile = m_folder.file("Quedrix.cfg");
    }
    ~LangFolder() { AppConfig = m_saved; }

    // A file of these lines (CR LF) in the code page.
    void write(const std::string& name, std::initializer_list<std::string> lines) const {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        m_folder.write(name, CodePage::active().toEightBit(text));
    }

    TempFolder m_folder;

private:
    ScopedEnv m_home;
    AppConfigRecord m_saved;
};
