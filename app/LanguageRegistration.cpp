#include "app/LanguageRegistration.h"

#include "common/AppFolder.h"
#include "common/Common.h"
#include "common/Configuration.h"
#include "lang/ResManagerClass.h"
#include "lang/TextValue.h"

namespace {

constexpr int16_t kValueBufferSize = 255;

} // namespace

void ApplyStartUpLanguage() {
    ResManagerClass& res = ResManagerClass::shared();
    CurrentLanguageCode = res.SetStartUpLanguage();
    RegisterDefaultLanguages();
    res.CurrentLanguage(CurrentLanguageCode);
}

void RegisterDefaultLanguages() {
    AppConfig.CfgFile = AppFilePath("Quedrix.cfg");
    int16_t slot = 0;
    for (const char* code : {"BG", "EN", "RU"}) {
        ++slot;
        try {
            RegisterLanguage(code, slot);
        } catch (...) {
            // A failure abandons this language only; the next one still follows.
        }
    }
    const std::string stored = ReadIniValue("Language", "Value", AppConfig.CfgFile, kValueBufferSize);
    if (!stored.empty())
        CurrentLanguageCode = stored;
    WriteIniValue("Language", "Value", CurrentLanguageCode, AppConfig.CfgFile);
}

void RegisterLanguage(const std::string& code, int16_t slot) {
    const std::string number = std::to_string(slot);
    const std::string& file = AppConfig.CfgFile;
    if (FirstCharacters(ReadIniValue("Languages", "lng" + number, file, kValueBufferSize), 2) == code)
        return;
    ResManagerClass& res = ResManagerClass::shared();
    std::string language = code;
    WriteIniValue("Languages", "lng" + number, code, file);
    WriteIniValue("Languages", "cap" + number, res.ResStringComm("strLanguage", language), file);
    WriteIniValue("Languages", "charset_" + code, res.GetCharsetDefault(code), file);
    WriteIniValue("Languages", "Counter", slot, file);
}
