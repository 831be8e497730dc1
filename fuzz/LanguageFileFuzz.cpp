// Fuzz target: the localisation's look-ups in language files and in the language list of Quedrix.cfg,
// under the Windows-1251 and the UTF-8 code page.
#include "fuzz/FuzzCheck.h"
#include "lang/ResManagerClass.h"
#include "lang/TextValue.h"

#include "common/AppFolder.h"
#include "common/CodePage.h"
#include "common/Configuration.h"

#include "tests/lang/FakeWindow.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char* const kKeys[] = {"strExit",
                             "strAttention",
                             "strLanguage",
                             "BilliardStd|ME",
                             "BilliardStd|lblInfo",
                             "BilliardStd|btnReset|1",
                             "BilliardStd|cboLang|1"};

// One application folder for the whole run, with every language file the look-ups read.
struct TemporaryHome {
    TemporaryHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quedrix-fuzz-XXXXXX").string();
        fuzzCheck(::mkdtemp(pattern.data()) != nullptr, "a temporary folder can be made");
        path = pattern;
        ::setenv("QUEDRIX_HOME", path.c_str(), 1);
    }
    ~TemporaryHome() { std::filesystem::remove_all(path); }
    std::string path;
};

const std::string& appFolder() {
    static const TemporaryHome home;
    return home.path;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(appFolder() + "/" + name, std::ios::binary) << bytes;
}

std::string expandedNewLines(std::string text) {
    const std::string marker = "|vbNewLine|";
    for (std::size_t at; (at = text.find(marker)) != std::string::npos;)
        text.replace(at, marker.size(), "\r\n");
    return text;
}

// The 8-bit characters the text takes in the file.
std::size_t fileLength(const std::string& utf8) {
    return CodePage::active().toEightBit(utf8).size();
}

void checkLookups(const ResManagerClass& res, const std::string& language,
                  const std::vector<std::string>& defaults) {
    ResManagerClass current;
    std::string code = language;
    current.CurrentLanguage(code);
    for (std::size_t k = 0; k < std::size(kKeys); ++k) {
        std::string lng = language;
        const std::string common = res.ResStringComm(kKeys[k], lng);
        fuzzCheck(fileLength(common) <= 1023, "a Common.lng text holds at most 1023 characters");
        lng = language;
        fuzzCheck(fileLength(res.ResStringForm(kKeys[k], lng)) <= 254,
                  "a window text holds at most 254 characters");
        const std::string expected = expandedNewLines(IsBlank(common) ? defaults[k] : common);
        fuzzCheck(current.GetResString(kKeys[k]) == expected,
                  "GetResString is the language's text, else the default, with new lines expanded");
    }
}

void checkWindow(const ResManagerClass& res, const std::string& language) {
    FakeWindow window("BilliardStd", "caption");
    window.add(ControlType::Label, "lblInfo").m_caption = "info";
    window.add(ControlType::MyButton, "btnReset", 1).m_caption = "reset";
    window.add(ControlType::ComboBox, "cboLang").m_items = {"zero", "one"};
    res.SetLanguage(window, language);
    const auto expect = [&](const std::string& key, const std::string& before, const std::string& after) {
        std::string lng = language;
        const std::string text = res.ResStringForm(key, lng);
        fuzzCheck(after == (IsBlank(text) ? before : text),
                  "a window shows its language's text, else keeps its own");
    };
    expect("BilliardStd|ME", "caption", window.m_caption);
    expect("BilliardStd|lblInfo", "info", window.m_controls[0]->m_caption);
    expect("BilliardStd|btnReset|1", "reset", window.m_controls[1]->m_caption);
    expect("BilliardStd|cboLang|1", "one", window.m_controls[2]->m_items[1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    appFolder();
    ::setenv("QUEDRIX_CODEPAGE", data[0] % 2 ? "UTF-8" : "1251", 1);
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    // The default texts, as they read before any language file is there.
    static const std::vector<std::string> defaults = [] {
        std::vector<std::string> texts;
        for (const char* key : kKeys)
            texts.push_back(ResManagerClass().GetResString(key));
        return texts;
    }();
    for (const char* name : {"Common.lng", "Forms.lng", "Quedrix.cfg"})
        writeFile(name, bytes);
    AppConfig.CfgFile = AppFilePath("Quedrix.cfg");

    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    FakeControl combo(ControlType::ComboBox, "cboLang");
    res.FillLanguageCombo(combo);
    const auto count = static_cast<int16_t>(combo.itemCount());
    fuzzCheck(res.GetLanguageAbbreviation(count) == "EN", "beyond the list the language is EN");
    std::vector<std::string> languages{"EN", "BG"};
    for (int16_t i = 0; i < count; ++i) {
        const std::string code = res.GetLanguageAbbreviation(i);
        fuzzCheck(!IsBlank(code) && FirstCharacters(code, 2) == code,
                  "a language code is one or two characters");
        fuzzCheck(code.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos,
                  "a language code is upper case");
        fuzzCheck(!IsBlank(combo.item(i)), "a language has a caption");
        if (languages.size() < 8) // every look-up reads the files again; a few languages suffice
            languages.push_back(code);
    }
    for (const std::string& language : languages) {
        checkLookups(res, language, defaults);
        checkWindow(res, language);
    }
    return 0;
}
