#include "common/IniDocument.h"

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

IniDocument::Line IniDocument::lineAt(std::size_t begin) const {
    const std::size_t brk = m_bytes.find_first_of(kCrLf, begin);
    if (brk == std::string::npos)
        return {begin, std::string_view(m_bytes).substr(begin), m_bytes.size()};
    const bool crLf = m_bytes.compare(brk, kCrLf.size(), kCrLf) == 0;
    return {begin, std::string_view(m_bytes).substr(begin, brk - begin), brk + (crLf ? 2 : 1)};
}

std::optional<IniDocument::Line> IniDocument::findSection(std::string_view name) const {
    for (std::size_t pos = 0; pos < m_bytes.size();) {
        const Line line = lineAt(pos);
        const auto header = headerName(line.text);
        if (header && sameName(*header, name))
            return line;
        pos = line.next;
    }
    return std::nullopt;
}

IniDocument::SectionScan IniDocument::scanSection(const Line& header, std::string_view key) const {
    SectionScan scan{std::nullopt, header};
    for (std::size_t pos = header.next; pos < m_bytes.size();) {
        const Line line = lineAt(pos);
        if (headerName(line.text))
            break;
        if (const auto parts = keyParts(line.text)) {
            if (sameName(parts->name, key)) {
                scan.key = line;
                break;
            }
            scan.insertAfter = line;
        }
        pos = line.next;
    }
    return scan;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const auto header = findSection(trim(section));
    if (!header)
        return std::nullopt;
    const auto line = scanSection(*header, trim(key)).key;
    if (!line)
        return std::nullopt;
    return std::string(unquote(keyParts(line->text)->value));
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
    const SectionScan scan = scanSection(*header, key);
    if (!scan.key) {
        insertKey(scan.insertAfter, key, value);
        return true;
    }
    const Line& line = *scan.key;
    const KeyParts parts = *keyParts(line.text);
    if (parts.value == value)
        return false;
    // Keep the line's indentation and the key's spelling; only the part after it is rewritten.
    std::string text(line.text.substr(0, line.text.find_first_not_of(" \t")));
    text.append(parts.name).append("=").append(value);
    if (text == line.text)
        return false;
    splice(line.begin, line.text.size(), text);
    return true;
}

void IniDocument::appendSection(std::string_view section, std::string_view key, std::string_view value) {
    std::string added;
    if (!m_bytes.empty() && !m_bytes.ends_with('\r') && !m_bytes.ends_with('\n'))
        added.append(kCrLf);
    added.append("[").append(section).append("]").append(kCrLf);
    added.append(key).append("=").append(value).append(kCrLf);
    splice(m_bytes.size(), 0, added);
}

void IniDocument::insertKey(const Line& after, std::string_view key, std::string_view value) {
    std::string added;
    if (!after.hasBreak())
        added.append(kCrLf);
    added.append(key).append("=").append(value).append(kCrLf);
    splice(after.next, 0, added);
}

// The edited text is built in one allocation of its exact size (growing in place could take twice
// the old size on top of it), so an edit of a large file costs twice its size at most.
void IniDocument::splice(std::size_t at, std::size_t length, std::string_view replacement) {
    std::string edited;
    edited.reserve(m_bytes.size() - length + replacement.size());
    edited.append(m_bytes, 0, at).append(replacement).append(m_bytes, at + length);
    m_bytes = std::move(edited);
}
