#include "IniDocument.h"

#include <algorithm>

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// "[ name ]" -> "name"; nullopt for any other line. The name runs to the last ']' of the line.
std::optional<std::string_view> headerName(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const std::size_t close = t.rfind(']');
    if (close == 0 || close == std::string_view::npos)
        return std::nullopt;
    return trim(t.substr(1, close - 1));
}

struct KeyParts {
    std::string_view name;
    std::string_view value;
};

// "name = value" -> both trimmed; nullopt for headers, comments and lines without '='.
std::optional<KeyParts> keyParts(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || headerName(t))
        return std::nullopt;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyParts{trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool hasAny(std::string_view s, std::string_view chars) {
    return s.find_first_of(chars) != std::string_view::npos;
}

} // namespace

IniDocument::IniDocument(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t brk = bytes.find_first_of(kCrLf, pos);
        if (brk == std::string_view::npos) {
            m_lines.push_back({std::string(bytes.substr(pos)), ""});
            break;
        }
        const bool crLf = bytes[brk] == '\r' && brk + 1 < bytes.size() && bytes[brk + 1] == '\n';
        const std::size_t brkLen = crLf ? 2 : 1;
        m_lines.push_back(
            {std::string(bytes.substr(pos, brk - pos)), std::string(bytes.substr(brk, brkLen))});
        pos = brk + brkLen;
    }
}

std::string IniDocument::bytes() const {
    std::string out;
    for (const Line& line : m_lines)
        out += line.text + line.end;
    return out;
}

std::optional<std::size_t> IniDocument::findSection(std::string_view name) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto header = headerName(m_lines[i].text);
        if (header && sameName(*header, name))
            return i;
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && !headerName(m_lines[i].text))
        ++i;
    return i;
}

std::optional<std::size_t> IniDocument::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto parts = keyParts(m_lines[i].text);
        if (parts && sameName(parts->name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const auto header = findSection(trim(section));
    if (!header)
        return std::nullopt;
    const auto line = findKey(*header, trim(key));
    if (!line)
        return std::nullopt;
    return std::string(unquote(keyParts(m_lines[*line].text)->value));
}

std::optional<std::string> IniDocument::refusal(std::string_view section, std::string_view key,
                                                std::string_view value) {
    const std::string_view lineBreaksAndNul("\r\n\0", 3);
    if (hasAny(section, lineBreaksAndNul) || hasAny(key, lineBreaksAndNul) || hasAny(value, lineBreaksAndNul))
        return "a section, key or value may not contain a line break (CR, LF) or a NUL character";
    if (hasAny(section, "]"))
        return "a section name may not contain ']'";
    if (hasAny(key, "="))
        return "a key name may not contain '='";
    if (trim(section).empty())
        return "the section name is empty";
    const std::string_view k = trim(key);
    if (k.empty())
        return "the key name is empty";
    if (k.front() == ';')
        return "a key name may not start with ';' (the line would be a comment)";
    if (k.front() == '[')
        return "a key name may not start with '[' (the line could read as a section)";
    return std::nullopt;
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    const auto header = findSection(section);
    if (!header) {
        appendSection(section, key, value);
        return true;
    }
    const auto lineIndex = findKey(*header, key);
    if (!lineIndex) {
        insertKey(*header, key, value);
        return true;
    }
    Line& line = m_lines[*lineIndex];
    const KeyParts parts = *keyParts(line.text);
    if (parts.value == value)
        return false;
    // Keep the line's indentation and the key's spelling; only the part after it is rewritten.
    const std::size_t indent = line.text.find_first_not_of(" \t");
    std::string text = line.text.substr(0, indent) + std::string(parts.name) + "=" + std::string(value);
    if (text == line.text)
        return false;
    line.text = std::move(text);
    return true;
}

void IniDocument::appendSection(std::string_view section, std::string_view key, std::string_view value) {
    if (!m_lines.empty() && m_lines.back().end.empty())
        m_lines.back().end = kCrLf;
    m_lines.push_back({"[" + std::string(section) + "]", std::string(kCrLf)});
    m_lines.push_back({std::string(key) + "=" + std::string(value), std::string(kCrLf)});
}

void IniDocument::insertKey(std::size_t header, std::string_view key, std::string_view value) {
    std::size_t after = header;
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (keyParts(m_lines[i].text))
            after = i;
    if (m_lines[after].end.empty())
        m_lines[after].end = kCrLf;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                   Line{std::string(key) + "=" + std::string(value), std::string(kCrLf)});
}
