// The bytes of an INI-style file: key look-up and single-key edits that keep every other byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class IniDocument {
public:
    // Takes the file's text as it is; nothing is kept per line, so memory stays that of the text.
    explicit IniDocument(std::string bytes) : m_bytes(std::move(bytes)) {}

    // The key's value, trimmed and unquoted; nullopt when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Why a write of these names and value would be unsafe (it would forge or hide lines); nullopt when fine.
    static std::optional<std::string> refusal(std::string_view section, std::string_view key,
                                              std::string_view value);

    // Sets the key (names as refusal() accepts them). Returns false when the file already says so.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    const std::string& bytes() const& { return m_bytes; }
    std::string bytes() && { return std::move(m_bytes); }

private:
    // One line of m_bytes: its text, and where the next line starts (after the line break).
    struct Line {
        std::size_t begin = 0;
        std::string_view text;
        std::size_t next = 0;

        bool hasBreak() const { return next > begin + text.size(); }
    };
    // The lines of one section after its header, up to the next header: the key asked for, if any,
    // and the line a new key goes after (the last key line, else the header).
    struct SectionScan {
        std::optional<Line> key;
        Line insertAfter;
    };

    Line lineAt(std::size_t begin) const;
    std::optional<Line> findSection(std::string_view name) const;
    SectionScan scanSection(const Line& header, std::string_view key) const;
    void appendSection(std::string_view section, std::string_view key, std::string_view value);
    void insertKey(const Line& after, std::string_view key, std::string_view value);
    void splice(std::size_t at, std::size_t length, std::string_view replacement);

    std::string m_bytes;
};
