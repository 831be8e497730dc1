#include "common/Configuration.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "common/AppFolder.h"
#include "common/CodePage.h"
#include "common/Common.h"
#include "common/RegionalSettings.h"

AppConfigRecord AppConfig;
std::string& CurrentLanguageCode = AppConfig.Language;

namespace {

constexpr int16_t kValueBufferSize = 255;

std::array<char, kTrayTipFieldSize> trayTipField = [] {
    std::array<char, kTrayTipFieldSize> field{};
    field.fill(' ');
    field[0] = '\0';
    return field;
}();

std::string trimmedSpaces(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The text with every `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A number in the user's regional format, the whole text used; hexadecimal, infinities and NaN refused.
// strtod reads the C runtime's decimal point, which on Windows is not the regional one (that comes
// from the system's regional settings): the regional separator stands in its place for strtod.
std::optional<double> regionalNumber(const std::string& text) {
    const std::string regional = UserDecimalSeparator();
    const std::string point = std::localeconv()->decimal_point;
    const std::string t = regional.empty() || regional == point ? text : replaced(text, regional, point);
    if (t.empty() || t.find_first_of("xXiInN") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string readConfig(const char* section, const char* key) {
    return ReadIniValue(section, key, AppConfig.CfgFile, kValueBufferSize);
}

void readRate(const char* key, double& field) {
    if (const auto rate = RateFromText(readConfig("Tariff", key)))
        field = *rate;
}

} // namespace

std::optional<double> RateFromText(const std::string& text) {
    const std::string number = trimmedSpaces(text);
    if (const auto value = regionalNumber(number))
        return value;
    // Written with the other decimal separator: that one as the decimal point, and no grouping.
    const std::string regional = UserDecimalSeparator();
    for (const std::string other : {".", ","}) {
        if (other == regional || number.find(other) == std::string::npos)
            continue;
        if (const auto value = regionalNumber(replaced(number, other, regional)))
            return value;
    }
    return std::nullopt;
}

bool LoadConfiguration() {
    AppConfig.Language = "BG";
    AppConfig.CfgFile = AppFilePath("Quedrix.cfg");
    if (!FileExists(AppConfig.CfgFile))
        return true;
    AppConfig.Language = trimmedSpaces(readConfig("Language", "Value"));
    readRate("Peak", AppConfig.Peak);
    readRate("OffPeak", AppConfig.OffPeak);
    AppConfig.StartTime = readConfig("Tariff", "StartTime");
    AppConfig.EndTime = readConfig("Tariff", "EndTime");
    return true;
}

void SetTrayTip(const std::string& caption) {
    std::string text = CodePage::active().toEightBit(caption);
    text += '\0';
    trayTipField.fill(' ');
    std::memcpy(trayTipField.data(), text.data(), std::min(text.size(), trayTipField.size()));
}

const std::array<char, kTrayTipFieldSize>& TrayTipField() {
    return trayTipField;
}

std::string TrayTip() {
    const std::string_view field(trayTipField.data(), trayTipField.size() - 1);
    return CodePage::active().toUtf8(field.substr(0, field.find('\0')));
}
