// The bytes of an INI-style file: key look-up and single-key edits that keep every other byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
public:
    explicit IniDocument(std::string_view bytes);

    // The key's value, trimmed and unquoted; nullopt when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Why a write of these names and value would be unsafe (it would forge or hide lines); nullopt when fine.
    static std::optional<std::string> refusal(std::string_view section, std::string_view key,
                                              std::string_view value);

    // Sets the key (names as refusal() accepts them). Returns false when the file already says so.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;

private:
    struct Line {
        std::string text;
        std::string end; // the line break that ended it: "\r\n", "\n", "\r" or "" at the end of the file
    };

    std::optional<std::size_t> findSection(std::string_view name) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    void appendSection(std::string_view section, std::string_view key, std::string_view value);
    void insertKey(std::size_t header, std::string_view key, std::string_view value);

    std::vector<Line> m_lines;
};
