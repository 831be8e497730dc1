// Reads values out of the text of a Windows registry export file.
#include "lang/RegistryValue.h"

#include "common/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace {

std::string asciiUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void appendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Version 5 exports are UTF-16LE; a lone surrogate becomes U+FFFD.
std::string utf16LeToUtf8(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const uint32_t low =
                static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3]) << 8;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                unit = 0xFFFD;
            }
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        appendUtf8(out, unit);
    }
    return out;
}

std::string decodedText(const std::string& bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return utf16LeToUtf8(bytes.substr(2));
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return bytes.substr(3);
    return CodePage::active().toUtf8(bytes);
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Physical lines joined where a line ends with a backslash (continued hex data).
std::vector<std::string> logicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    std::istringstream stream(text);
    std::string line;
    bool continued = false;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = trimmed(line);
        current += line;
        continued = !line.empty() && line.back() == '\\';
        if (continued) {
            current.pop_back();
            continue;
        }
        lines.push_back(current);
        current.clear();
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// Reads a quoted text with \\ and \" escapes starting at text[pos] == '"'; pos ends after the
// closing quote. Nothing when the quote is not closed.
std::optional<std::string> quoted(const std::string& text, size_t& pos) {
    std::string value;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return value;
        }
        if (c == '\\' && pos + 1 < text.size())
            ++pos;
        value += text[pos];
    }
    return std::nullopt;
}

std::optional<RegistryValue> parsedData(const std::string& data) {
    if (data.starts_with('"')) {
        size_t pos = 0;
        auto text = quoted(data, pos);
        if (!text || pos != data.size())
            return std::nullopt;
        return RegistryValue{RegistryValue::Type::String, *text, 0};
    }
    const std::string dwordPrefix = "dword:";
    if (asciiUpper(data.substr(0, dwordPrefix.size())) != "DWORD:")
        return std::nullopt;
    const std::string digits = data.substr(dwordPrefix.size());
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return std::nullopt;
    return RegistryValue{
        RegistryValue::Type::Dword, {}, static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16))};
}

} // namespace

std::string RegistryExportPath() {
    const char* path = std::getenv("QUEDRIX_REGISTRY");
    return path != nullptr && *path != '\0' ? path : "/etc/quedrix/quedrix.reg";
}

std::optional<RegistryValue> FindInRegistryExport(const std::string& fileBytes, const std::string& keyPath,
                                                  const std::string& valueName) {
    const std::vector<std::string> lines = logicalLines(decodedText(fileBytes));
    auto firstLine =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return !l.empty(); });
    if (firstLine == lines.end() ||
        (*firstLine != "REGEDIT4" && *firstLine != "Windows Registry Editor Version 5.00"))
        return std::nullopt;

    const std::string wantedSection = asciiUpper("[HKEY_LOCAL_MACHINE\\" + keyPath + "]");
    const std::string wantedName = asciiUpper(valueName);
    bool inSection = false;
    std::optional<RegistryValue> found;
    // An import applies the lines in order, so a later assignment of the same value wins.
    for (auto line = std::next(firstLine); line != lines.end(); ++line) {
        if (line->starts_with('[')) {
            inSection = asciiUpper(*line) == wantedSection;
            continue;
        }
        if (!inSection || !line->starts_with('"'))
            continue;
        size_t pos = 0;
        const auto name = quoted(*line, pos);
        if (!name || asciiUpper(*name) != wantedName)
            continue;
        const std::string rest = trimmed(line->substr(pos));
        found = rest.starts_with('=') ? parsedData(trimmed(rest.substr(1))) : std::nullopt;
    }
    return found;
}
