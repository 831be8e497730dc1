// The localisation object: language list, language files, default texts and window captioning.
#pragma once

#include "lang/LangControl.h"
#include "lang/LangWindow.h"

#include <cstdint>
#include <string>
#include <vector>

// One language of the list kept in the configuration file.
struct LanguageInfo {
    std::string Abbreviation; // two letters, upper case
    std::string Caption;      // display name
    int32_t Charset = 0;      // font character-set number
};

// One row of a default text table.
struct ResEntry {
    std::string Key;
    std::string Text; // Bulgarian
};

class ResManagerClass {
public:
    // Fills the common table, then the window table, and starts in "EN".
    ResManagerClass();

    // The one localisation object of the process, created on first use.
    static ResManagerClass& shared();

    const std::string& CurrentLanguage() const { return mCurrentLanguage; }
    // Keeps the first two characters, also in the caller's variable; no change of case.
    void CurrentLanguage(std::string& Value);

    // "EN" when the configuration file exists, else the installer's language from the registry.
    std::string SetStartUpLanguage() const;

    void GetLanguages(const std::string& cfgFile);
    void SaveLanguages(const std::string& cfgFile) const;
    // Writes <application folder>/<window name>.lng with the window's English texts.
    void GenerateLanguageFile(LangWindow& frm) const;
    // The code at Index, or "EN" outside the list.
    std::string GetLanguageAbbreviation(int16_t Index) const;
    void FillLanguageCombo(LangControl& targetCombo) const;

    // Puts the texts of newLng (CurrentLanguageCode when empty) from Forms.lng on the window.
    void SetLanguage(LangWindow& frm, const std::string& newLng) const;
    // The character set of CurrentLanguageCode from the configuration file, else its default.
    int32_t GetCharset() const;
    int32_t GetCharsetDefault(const std::string& lng) const;

    // Appends the window default texts (construction calls it once).
    void DefaultFormRes();

    // Common text in mCurrentLanguage, Bulgarian default behind it, "|vbNewLine|" expanded.
    std::string GetResString(const std::string& key) const;
    // Common text in lng ("EN" when empty, also in the caller's variable); the Bulgarian default
    // only for "BG"; the text as stored.
    std::string ResStringComm(const std::string& key, std::string& lng) const;
    // The same for window texts; key is "<window>|<control key>".
    std::string ResStringForm(const std::string& key, std::string& lng) const;

    int16_t CountFormRes() const { return static_cast<int16_t>(mFormRes.size()); }
    int16_t CountCommonRes() const { return static_cast<int16_t>(mCommonRes.size()); }
    std::string GetFormKey(int16_t Index) const;
    std::string GetCommonKey(int16_t Index) const;

private:
    void DefaultCommonRes();
    void AddCommonRes(const std::string& key, const std::string& text);
    void AddFormRes(const std::string& windowName, const std::string& controlKey, const std::string& text);
    std::string ReadLangEntry(const std::string& file, const std::string& section,
                              const std::string& key) const;
    std::string FindCommonDefault(const std::string& key) const;
    std::string FindFormDefault(const std::string& key) const;

    void applyToControl(LangControl& control, const std::string& windowName, const std::string& language,
                        const std::string& formsPath) const;

    std::string mCurrentLanguage;
    std::vector<ResEntry> mCommonRes;
    std::vector<ResEntry> mFormRes;
    std::vector<LanguageInfo> mLanguages;
};
