// Fuzz target: the INI engine on any file bytes (byte-order marks included) under random reads and
// writes. A read after a write returns the value written; a write changes at most the one line of its
// key (or adds lines in one place), keeps the file's encoding, and changes no other key; a refused or
// failed write leaves the file byte for byte.
#include "common/IniEncoding.h"
#include "common/IniFile.h"
#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const char* const kNames[] = {"Tariff", "tariff ", "Peak", "OffPeak", "Languages", "lng1", "a",
                              " A",     "x y",     "[z",   "Б",       "б",         "k;",   "="};
const char* const kValues[] = {"0,50", "",  "  spaced\t ", "\"quoted\"", "'q'", "a=b", ";c",
                               "Б",    "x", "\"",          "' '",        "[S]", "k=v"};
const char* const kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE"};
constexpr std::size_t kNoLimit = 1 << 20;

struct TemporaryFile {
    TemporaryFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quedrix-fuzz-ini-XXXXXX").string();
        fuzzCheck(::mkdtemp(pattern.data()) != nullptr, "a temporary folder can be made");
        folder = pattern;
        path = folder + "/Quedrix.cfg";
    }
    ~TemporaryFile() { std::filesystem::remove_all(folder); }
    std::string folder;
    std::string path;
};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Printable ASCII and a Cyrillic letter: text every encoding holds, so names and values read back whole.
std::string text(FuzzedDataProvider& input, std::size_t length) {
    std::string out;
    for (char c : input.ConsumeRandomLengthString(length))
        out += (c >= ' ' && c <= '~') ? std::string(1, c) : std::string("Б");
    return out;
}

std::string name(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        return kNames[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
    return text(input, 6);
}

std::string value(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        return kValues[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kValues) - 1)];
    return text(input, 12);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(std::string text) {
    while (!text.empty() && isBlank(text.front()))
        text.erase(0, 1);
    while (!text.empty() && isBlank(text.back()))
        text.pop_back();
    return text;
}

// What reading gives for a value written: blanks trimmed, one pair of surrounding quotes removed.
std::string asRead(std::string text) {
    text = trimmed(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return text;
}

// Names match trimmed and without regard to ASCII case.
std::string folded(std::string text) {
    text = trimmed(text);
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool sameKey(const std::pair<std::string, std::string>& a, const std::pair<std::string, std::string>& b) {
    return folded(a.first) == folded(b.first) && folded(a.second) == folded(b.second);
}

// The part of before that after does not share as a common beginning and end.
std::string changedPart(const std::string& before, const std::string& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.substr(head, before.size() - head - tail);
}

void checkWrite(const IniFile& file, const std::string& path, FuzzedDataProvider& input) {
    const std::pair<std::string, std::string> key{name(input), name(input)};
    const std::string written = value(input);
    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> others;
    for (int i = 0; i < 3; ++i) {
        std::pair<std::string, std::string> other{name(input), name(input)};
        if (!other.first.empty() && !other.second.empty() && !sameKey(other, key))
            others.push_back({other, file.read(other.first, other.second, kNoLimit)});
    }
    const std::string before = fileBytes(path);
    const IniWriteResult result = file.write(key.first, key.second, written);
    const std::string after = fileBytes(path);

    if (!result.ok()) {
        fuzzCheck(after == before, "a refused or failed write leaves the file byte for byte");
        return;
    }
    fuzzCheck((result.status == IniWriteResult::Status::Unchanged) == (after == before),
              "a write reports a change exactly when the file changed");
    fuzzCheck(file.read(key.first, key.second, kNoLimit) == asRead(written),
              "a read after a write returns the value written");
    for (const auto& [other, was] : others)
        fuzzCheck(file.read(other.first, other.second, kNoLimit) == was, "a write changes no other key");
    if (!before.empty()) {
        const IniEncoding encoding = IniEncoding::of(before);
        fuzzCheck(IniEncoding::of(after).kind() == encoding.kind(), "a write keeps the file's encoding");
        const std::string changed = changedPart(encoding.documentText(before), encoding.documentText(after));
        fuzzCheck(changed.find_first_of("\r\n") == std::string::npos,
                  "lines the write did not touch keep their bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TemporaryFile temporary;
    FuzzedDataProvider input(data, size);
    ::setenv("QUEDRIX_CODEPAGE", input.ConsumeBool() ? "UTF-8" : "1251", 1);
    const std::string start =
        kMarks[input.ConsumeIntegralInRange(0, 2)] + input.ConsumeRandomLengthString(4096);
    std::ofstream(temporary.path, std::ios::binary | std::ios::trunc) << start;

    const IniEncoding encoding = IniEncoding::of(start);
    fuzzCheck(encoding.fileBytes(encoding.documentText(start)) == start,
              "a file's text converts back to its bytes");

    const IniFile file(temporary.path);
    const int operations = input.ConsumeIntegralInRange(1, 10);
    for (int i = 0; i < operations && input.remaining_bytes() > 0; ++i) {
        if (input.ConsumeIntegralInRange(0, 3) == 0)
            (void)file.read(name(input), name(input), input.ConsumeIntegralInRange<std::size_t>(0, 300));
        else
            checkWrite(file, temporary.path, input);
    }
    return 0;
}
