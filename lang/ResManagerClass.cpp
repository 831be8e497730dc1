#include "lang/ResManagerClass.h"

#include "lang/RegistryValue.h"
#include "lang/TextValue.h"

#include "common/AppFolder.h"
#include "common/Common.h"
#include "common/Configuration.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr int16_t kEntryBuffer = 255;
constexpr int16_t kCommonBuffer = 1024;
// Slot numbers are 16-bit; a larger counter in a damaged file must not keep the reader busy for hours.
constexpr int32_t kMaxLanguageSlots = 32767;

// A failing step is skipped and the next one runs.
template <typename Step> void guarded(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

std::string asciiUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string replacedAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

// The file in the application folder, else the same name in its "Related Documents" folder,
// whether or not it exists there.
std::string languageFilePath(const std::string& fileName) {
    const std::string inFolder = AppFilePath(fileName);
    return FileExists(inFolder) ? inFolder : AppFilePath("Related Documents/" + fileName);
}

std::string findDefault(const std::vector<ResEntry>& table, const std::string& key) {
    auto row =
        std::find_if(table.begin(), table.end(), [&](const ResEntry& entry) { return entry.Key == key; });
    return row != table.end() ? row->Text : std::string();
}

std::string keyAt(const std::vector<ResEntry>& table, int16_t index) {
    return index >= 0 && static_cast<size_t>(index) < table.size() ? table[static_cast<size_t>(index)].Key
                                                                   : std::string();
}

int32_t numberOrThrow(const std::string& text) {
    return NumericValue(text).value(); // a number beyond 32 bits fails the step
}

} // namespace

ResManagerClass::ResManagerClass() {
    DefaultCommonRes();
    DefaultFormRes();
    mCurrentLanguage = "EN";
}

ResManagerClass& ResManagerClass::shared() {
    static ResManagerClass instance;
    return instance;
}

void ResManagerClass::CurrentLanguage(std::string& Value) {
    Value = FirstCharacters(Value, 2);
    mCurrentLanguage = Value;
}

std::string ResManagerClass::SetStartUpLanguage() const {
    if (FileExists(AppFilePath("Quedrix.cfg")))
        return "EN";
    const auto value = ReadMachineRegistryValue("SOFTWARE\\Zentrovik\\Quedrix", "Installer Language");
    if (!value || value->type != RegistryValue::Type::String)
        return "EN";
    const auto languageId = NumericValue(value->text.substr(0, value->text.find('\0')));
    if (languageId == 1026)
        return "BG";
    if (languageId == 1049)
        return "RU";
    return "EN";
}

void ResManagerClass::GetLanguages(const std::string& cfgFile) {
    mLanguages.clear();
    int32_t counter = 0;
    const bool fileExists = FileExists(cfgFile);
    if (fileExists)
        guarded(
            [&] { counter = numberOrThrow(ReadIniValue("Languages", "Counter", cfgFile, kEntryBuffer)); });
    if (!fileExists || counter == 0) {
        mLanguages.push_back({"EN", "English", 204});
        return;
    }
    for (int32_t n = 1; n <= std::min(counter, kMaxLanguageSlots); ++n) {
        const std::string slot = std::to_string(n);
        std::string code;
        guarded([&] {
            code = FirstCharacters(ReadIniValue("Languages", "lng" + slot, cfgFile, kEntryBuffer), 2);
        });
        if (IsBlank(code))
            continue;
        LanguageInfo& entry = mLanguages.emplace_back();
        entry.Abbreviation = asciiUpper(code);
        entry.Caption = entry.Abbreviation;
        guarded([&] {
            const std::string caption = ReadIniValue("Languages", "cap" + slot, cfgFile, kEntryBuffer);
            if (!IsBlank(caption))
                entry.Caption = caption;
        });
        guarded([&] {
            std::string charset =
                ReadIniValue("Languages", "charset_" + entry.Abbreviation, cfgFile, kEntryBuffer);
            entry.Charset = numberOrThrow(IsBlank(charset) ? "1" : charset);
        });
    }
}

void ResManagerClass::SaveLanguages(const std::string& cfgFile) const {
    if (mLanguages.empty())
        return;
    for (size_t i = 0; i < mLanguages.size(); ++i) {
        const LanguageInfo& entry = mLanguages[i];
        if (entry.Abbreviation.empty())
            break;
        const std::string slot = std::to_string(i + 1);
        guarded([&] { WriteIniValue("Languages", "lng" + slot, entry.Abbreviation, cfgFile); });
        guarded([&] { WriteIniValue("Languages", "cap" + slot, entry.Caption, cfgFile); });
        guarded([&] { WriteIniValue("Languages", "charset_" + entry.Abbreviation, entry.Charset, cfgFile); });
    }
    // The number of entries, also when an entry without a code ended the loop early.
    guarded(
        [&] { WriteIniValue("Languages", "Counter", static_cast<long long>(mLanguages.size()), cfgFile); });
}

void ResManagerClass::GenerateLanguageFile(LangWindow& frm) const {
    const std::string path = AppFilePath(frm.name() + ".lng");
    guarded([&] { WriteIniValue("ME", "EN", frm.caption(), path); });
    for (int i = 0; i < frm.controlCount(); ++i) {
        guarded([&] {
            LangControl& control = frm.control(i);
            switch (control.type()) {
            case ControlType::CommandButton:
            case ControlType::CheckBox:
            case ControlType::Label:
                WriteIniValue(control.name(), "EN", control.caption(), path);
                break;
            case ControlType::TextBox:
                WriteIniValue(control.name(), "EN", control.text(), path);
                break;
            case ControlType::ComboBox:
                for (int j = 0; j < control.itemCount(); ++j)
                    guarded([&] {
                        WriteIniValue(control.name(), "EN" + std::to_string(j), control.item(j), path);
                    });
                break;
            default:
                break;
            }
        });
    }
}

std::string ResManagerClass::GetLanguageAbbreviation(int16_t Index) const {
    if (Index < 0 || static_cast<size_t>(Index) >= mLanguages.size())
        return "EN";
    return mLanguages[static_cast<size_t>(Index)].Abbreviation;
}

void ResManagerClass::FillLanguageCombo(LangControl& targetCombo) const {
    targetCombo.clearItems();
    int selected = 0;
    for (size_t i = 0; i < mLanguages.size(); ++i) {
        targetCombo.addItem(mLanguages[i].Caption);
        if (mLanguages[i].Abbreviation == mCurrentLanguage)
            selected = static_cast<int>(i);
    }
    if (!mLanguages.empty())
        targetCombo.setCurrentIndex(selected);
}

void ResManagerClass::SetLanguage(LangWindow& frm, const std::string& newLng) const {
    const std::string formsPath = languageFilePath("Forms.lng");
    if (!FileExists(formsPath))
        return;
    const std::string language = newLng.empty() ? CurrentLanguageCode : newLng;
    std::string windowName;
    guarded([&] { windowName = frm.name(); });
    guarded([&] {
        const std::string caption = ReadLangEntry(formsPath, windowName + "|ME", language);
        if (!IsBlank(caption))
            frm.setCaption(caption);
    });
    for (int i = 0; i < frm.controlCount(); ++i)
        guarded([&] { applyToControl(frm.control(i), windowName, language, formsPath); });
}

void ResManagerClass::applyToControl(LangControl& control, const std::string& windowName,
                                     const std::string& language, const std::string& formsPath) const {
    const std::string section = windowName + "|" + control.name();
    // Texts are used as read; an empty or blank one leaves the property as it is.
    auto withText = [&](const std::string& textSection, auto&& apply) {
        guarded([&] {
            const std::string text = ReadLangEntry(formsPath, textSection, language);
            if (!IsBlank(text))
                apply(text);
        });
    };
    auto setCaption = [&](const std::string& text) { control.setCaption(text); };

    switch (control.type()) {
    case ControlType::TextBox:
        withText(section, [&](const std::string& text) { control.setText(text); });
        break;
    case ControlType::CommandButton:
    case ControlType::CheckBox:
    case ControlType::Frame:
        withText(section, setCaption);
        break;
    case ControlType::MyButton: {
        const auto index = control.arrayIndex();
        withText(index ? section + "|" + std::to_string(*index) : section, setCaption);
        break;
    }
    case ControlType::Label:
        guarded([&] { control.setCharset(GetCharset()); });
        withText(section, setCaption);
        break;
    case ControlType::ComboBox:
        guarded([&] { control.setCharset(GetCharset()); });
        for (int j = 0; j < control.itemCount(); ++j)
            withText(section + "|" + std::to_string(j),
                     [&](const std::string& text) { control.setItem(j, text); });
        break;
    case ControlType::Other:
        break;
    }
}

int32_t ResManagerClass::GetCharset() const {
    const std::string charset =
        ReadIniValue("Languages", "charset_" + CurrentLanguageCode, AppConfig.CfgFile, kEntryBuffer);
    const auto number = IsBlank(charset) ? std::nullopt : NumericValue(charset);
    return number ? *number : GetCharsetDefault(CurrentLanguageCode);
}

int32_t ResManagerClass::GetCharsetDefault(const std::string& lng) const {
    if (lng == "BG" || lng == "RU")
        return 204;
    if (lng == "DE" || lng == "RO" || lng == "SR")
        return 238;
    if (lng == "GR")
        return 161;
    return 1;
}

std::string ResManagerClass::GetResString(const std::string& key) const {
    const std::string path = languageFilePath("Common.lng");
    std::string text;
    if (FileExists(path))
        text = ReadIniValue(key, mCurrentLanguage, path, kCommonBuffer);
    if (IsBlank(text))
        text = FindCommonDefault(key);
    return replacedAll(text, "|vbNewLine|", "\r\n");
}

std::string ResManagerClass::ResStringComm(const std::string& key, std::string& lng) const {
    if (lng.empty())
        lng = "EN";
    std::string text = ReadLangEntry(languageFilePath("Common.lng"), key, lng);
    if (lng == "BG" && IsBlank(text))
        text = FindCommonDefault(key);
    return text;
}

std::string ResManagerClass::ResStringForm(const std::string& key, std::string& lng) const {
    if (lng.empty())
        lng = "EN";
    std::string text = ReadLangEntry(languageFilePath("Forms.lng"), key, lng);
    if (lng == "BG" && IsBlank(text))
        text = FindFormDefault(key);
    return text;
}

std::string ResManagerClass::GetFormKey(int16_t Index) const {
    return keyAt(mFormRes, Index);
}

std::string ResManagerClass::GetCommonKey(int16_t Index) const {
    return keyAt(mCommonRes, Index);
}

void ResManagerClass::AddCommonRes(const std::string& key, const std::string& text) {
    mCommonRes.push_back({key, text});
}

void ResManagerClass::AddFormRes(const std::string& windowName, const std::string& controlKey,
                                 const std::string& text) {
    mFormRes.push_back({windowName + "|" + controlKey, text});
}

// Common.lng texts may be long (1023 characters); every other language file holds short ones (254).
std::string ResManagerClass::ReadLangEntry(const std::string& file, const std::string& section,
                                           const std::string& key) const {
    const bool common =
        file == AppFilePath("Common.lng") || file == AppFilePath("Related Documents/Common.lng");
    return ReadIniValue(section, key, file, common ? kCommonBuffer : kEntryBuffer);
}

std::string ResManagerClass::FindCommonDefault(const std::string& key) const {
    return findDefault(mCommonRes, key);
}

std::string ResManagerClass::FindFormDefault(const std::string& key) const {
    return findDefault(mFormRes, key);
}

// The default texts are Bulgarian. No row is carried for "strLanguage" or for this program's own
// windows: their texts come from the language files alone.
void ResManagerClass::DefaultCommonRes() {
    AddCommonRes("strAttention", "Внимание");
    AddCommonRes("strExit", "Желаете ли изход от програмата?");
    AddCommonRes("strUnload", "Изход от програмата");
    AddCommonRes("strDBConn", "Не може да бъде направена връзка с базата данни!");
    AddCommonRes("strNotEnoghQtty", "Няма достатъчно количество от стока '%1' за партида '%2'!");
    AddCommonRes("strChangeUser", "Смяна на активният потребител");
    AddCommonRes("strTradeObject", "Търговски обект");
    AddCommonRes("strActiveBase", "Активна база");
    AddCommonRes("strTradeObject", "Търговски обект");
    AddCommonRes("strActiveBase", "Активна база");
    AddCommonRes("strChangeUser", "Смяна на потребител");
}

void ResManagerClass::DefaultFormRes() {
    std::string window = "InvoiceParamForm";
    AddFormRes(window, "ME", "Издаване на фактура");
    AddFormRes(window, "cbCopies|0", "Оригинал + 2 копия");
    window = "FindOperationForm";
    AddFormRes(window, "dgDocuments|0", "Документ");
    window = "PaymentForm";
    AddFormRes(window, "ME", "Разплащане");
    AddFormRes(window, "btnOK", "OK");
}
