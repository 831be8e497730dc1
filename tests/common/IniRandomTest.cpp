// Random writes and reads against a small model of what the file must say, on a real file.
#include "common/CodePage.h"
#include "common/Common.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

struct Line {
    std::string text;
    std::string end;
    bool operator==(const Line&) const = default;
};

std::vector<Line> splitLines(const std::string& bytes) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t brk = bytes.find_first_of("\r\n", pos);
        if (brk == std::string::npos) {
            lines.push_back({bytes.substr(pos), ""});
            break;
        }
        const std::size_t len = bytes.compare(brk, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({bytes.substr(pos, brk - pos), bytes.substr(brk, len)});
        pos = brk + len;
    }
    return lines;
}

std::string trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string fold(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

std::optional<std::string> headerName(const std::string& text) {
    const std::string t = trim(text);
    const std::size_t close = t.rfind(']');
    if (t.empty() || t.front() != '[' || close == 0 || close == std::string::npos)
        return std::nullopt;
    return trim(t.substr(1, close - 1));
}

bool isKeyLine(const std::string& text) {
    const std::string t = trim(text);
    return !t.empty() && t.front() != ';' && !headerName(t) && t.find('=') != std::string::npos;
}

// What the file must say: for each section (folded name) its keys (folded) and their stored text.
using Model = std::map<std::string, std::map<std::string, std::string>>;

class RandomIni {
public:
    explicit RandomIni(unsigned seed) : m_rng(seed) {}

    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng); }
    bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }

    std::string section() { return randomCase(kSections[pick(std::size(kSections))]); }
    std::string key() { return randomCase(kKeys[pick(std::size(kKeys))]); }
    std::string value() {
        static const char* const alphabet[] = {"a", "b", "Z",  "0", "9", " ", ",", ".", "=",
                                               ";", "'", "\"", "[", "]", "Ж", "ё", ":"};
        std::string v;
        for (std::size_t n = pick(12); n > 0; --n)
            v += alphabet[pick(std::size(alphabet))];
        return v;
    }
    std::string pad() { return chance(30) ? std::string(1 + pick(2), chance(50) ? ' ' : '\t') : ""; }
    std::string end() { return chance(70) ? "\r\n" : "\n"; }

    // A seed file with comments, blank lines, stray lines, repeated sections and keys; fills model.
    std::string seedFile(Model& model) {
        std::string file = "; settings\r\nstray=1\r\n\r\n";
        for (std::size_t s = 3 + pick(4); s > 0; --s) {
            const std::string name = section();
            const bool first = !model.contains(fold(name));
            file += pad() + "[" + pad() + name + pad() + "]" + pad() + end();
            auto& keys = model[fold(name)];
            for (std::size_t k = pick(6); k > 0; --k) {
                if (chance(15))
                    file += (chance(50) ? "; note=" + value() : "") + end();
                if (chance(10))
                    file += "no equals sign here" + end();
                const std::string k2 = key();
                const std::string v = value();
                file += pad() + k2 + pad() + "=" + pad() + v + end();
                if (first && !keys.contains(fold(k2)))
                    keys[fold(k2)] = trim(v);
            }
            if (chance(40))
                file += end();
        }
        return file;
    }

private:
    static constexpr const char* kSections[] = {"Tariff", "Languages", "Language", "Ports", "Extra", "Цени"};
    static constexpr const char* kKeys[] = {"Peak",  "OffPeak", "lng1", "cap1", "Counter",
                                            "Value", "COM1",    "x",    "Цена"};

    std::string randomCase(std::string s) {
        for (char& c : s)
            if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && chance(30))
                c = static_cast<char>(c ^ 0x20);
        return s;
    }

    std::mt19937 m_rng;
};

// Checks that one write changed exactly the lines it had to and nothing else.
void expectOnlyTheWrittenLineChanged(const std::vector<Line>& before, const std::vector<Line>& after,
                                     const Model& model, const std::string& section, const std::string& key,
                                     const std::string& value) {
    const auto sectionIt = model.find(fold(section));
    if (sectionIt == model.end()) {
        ASSERT_EQ(after.size(), before.size() + 2);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
        EXPECT_EQ(after[after.size() - 2], (Line{"[" + section + "]", "\r\n"}));
        EXPECT_EQ(after.back(), (Line{key + "=" + value, "\r\n"}));
        return;
    }
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix + prefix < before.size() && suffix + prefix < after.size() &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const auto keyIt = sectionIt->second.find(fold(key));
    if (keyIt != sectionIt->second.end() && keyIt->second == value) {
        EXPECT_EQ(before, after);
        return;
    }
    if (keyIt != sectionIt->second.end()) {
        ASSERT_EQ(before.size(), after.size());
        ASSERT_EQ(prefix + suffix + 1, after.size()) << "more than one line changed";
        const std::string t = trim(after[prefix].text);
        EXPECT_TRUE(t.ends_with("=" + value)) << t;
        EXPECT_EQ(fold(trim(t.substr(0, t.size() - value.size() - 1))), fold(key));
        EXPECT_TRUE(fold(trim(before[prefix].text)).starts_with(fold(key))) << "the key moved";
        EXPECT_EQ(after[prefix].end, before[prefix].end);
        return;
    }
    ASSERT_EQ(after.size(), before.size() + 1);
    const std::size_t inserted = std::min(prefix, before.size());
    EXPECT_EQ(after[inserted], (Line{key + "=" + value, "\r\n"}));
    // It sits in its section, after the section's last key line.
    std::size_t header = inserted;
    while (header > 0 && !headerName(after[header - 1].text))
        --header;
    ASSERT_GT(header, 0u);
    EXPECT_EQ(fold(*headerName(after[header - 1].text)), fold(section));
    for (std::size_t i = inserted + 1; i < after.size() && !headerName(after[i].text); ++i)
        EXPECT_FALSE(isKeyLine(after[i].text)) << "key line after the inserted one: " << after[i].text;
}

TEST(IniRandomTest, WritesAndReadsFollowTheModel) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", "1251");
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomIni random(seed);
        TempFolder dir;
        const std::string cfg = dir.file("Quedrix.cfg");
        Model model;
        dir.write("Quedrix.cfg", CodePage::open("1251")->toEightBit(random.seedFile(model)));
        for (int op = 0; op < 1000 && !::testing::Test::HasFatalFailure(); ++op) {
            const std::string section = random.section();
            const std::string key = random.key();
            if (random.chance(50)) {
                const auto s = model.find(fold(section));
                const bool present = s != model.end() && s->second.contains(fold(key));
                EXPECT_EQ(ReadIniValue(section, key, cfg, 255),
                          present ? unquote(s->second.at(fold(key))) : "")
                    << section << "/" << key;
                continue;
            }
            // Values as the file will store them: surrounding blanks are not kept.
            const std::string value = trim(random.value());
            const std::vector<Line> before = splitLines(dir.read("Quedrix.cfg"));
            WriteIniValue(section, key, value, cfg);
            // Names compare in the file's 8-bit text; spelling checks run on ASCII names only.
            const bool ascii = std::all_of(section.begin(), section.end(), [](char c) { return c > 0; }) &&
                               std::all_of(key.begin(), key.end(), [](char c) { return c > 0; }) &&
                               std::all_of(value.begin(), value.end(), [](char c) { return c > 0; });
            if (ascii)
                expectOnlyTheWrittenLineChanged(before, splitLines(dir.read("Quedrix.cfg")), model, section,
                                                key, value);
            model[fold(section)][fold(key)] = value;
        }
        for (const auto& [section, keys] : model)
            for (const auto& [key, value] : keys)
                EXPECT_EQ(ReadIniValue(section, key, cfg, 255), unquote(value)) << section << "/" << key;
    }
}

} // namespace
