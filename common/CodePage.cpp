#include "common/CodePage.h"

#include "common/CodePagePlatform.h"

#include <cstdlib>
#include <iostream>
#include <mutex>

std::optional<CodePage> CodePage::open(const std::string& name) {
    if (name.empty())
        return std::nullopt; // the platform would take the locale's own code set
    const std::optional<std::string> identifier = CodePagePlatform::identifierFor(name);
    if (!identifier)
        return std::nullopt;
    // The INI syntax and the '?' stand-in are ASCII; a code page that moves them would break both.
    const std::string ascii = " \t\r\n[]=;?\"'0123456789AZaz";
    const CodePage page(*identifier);
    if (page.toEightBit(ascii) != ascii || page.toUtf8(ascii) != ascii)
        return std::nullopt;
    return page;
}

CodePage CodePage::active() {
    static std::mutex mutex;
    static std::string lastSetting;
    static CodePage lastPage(CodePagePlatform::defaultIdentifier());
    const std::lock_guard lock(mutex);
    const char* env = std::getenv("QUEDRIX_CODEPAGE");
    const std::string setting = env ? env : "";
    if (setting != lastSetting) {
        lastSetting = setting;
        lastPage = CodePage(CodePagePlatform::defaultIdentifier());
        if (!setting.empty()) {
            if (auto page = open(setting))
                lastPage = *page;
            else
                std::cerr << "quedrix: QUEDRIX_CODEPAGE \"" << setting
                          << "\" is not a usable code page; using " << CodePagePlatform::defaultDescription()
                          << "\n";
        }
    }
    return lastPage;
}

std::string CodePage::toEightBit(std::string_view utf8) const {
    return CodePagePlatform::toEightBit(m_identifier, utf8);
}

std::string CodePage::toUtf8(std::string_view eightBit) const {
    return CodePagePlatform::toUtf8(m_identifier, eightBit);
}
