#include "tests/support/ScopedLocale.h"

#include <map>

// The Windows C runtime names locales by language, country and ANSI code page.
std::string PlatformLocaleName(const std::string& posixName) {
    static const std::map<std::string, std::string> names = {
        {"bg_BG.UTF-8", "Bulgarian_Bulgaria.1251"},
        {"de_DE.UTF-8", "German_Germany.1252"},
        {"ps_AF.UTF-8", "Pashto_Afghanistan.1256"},
    };
    const auto found = names.find(posixName);
    return found == names.end() ? posixName : found->second;
}
