// Fuzz target: looking a value up in the bytes of a registry export file (lang/RegistryExport.cpp).
#include "common/CodePage.h"
#include "fuzz/FuzzCheck.h"
#include "lang/RegistryValue.h"

#include <cstdint>
#include <iconv.h>
#include <optional>
#include <string>

namespace {

const std::string kKey = "SOFTWARE\\Zentrovik\\Quedrix";
const std::string kName = "Installer Language";
const std::string kUtf8Mark = "\xEF\xBB\xBF";

bool same(const std::optional<RegistryValue>& a, const std::optional<RegistryValue>& b) {
    if (!a || !b)
        return a.has_value() == b.has_value();
    return a->type == b->type && a->text == b->text && a->number == b->number;
}

std::optional<RegistryValue> find(const std::string& bytes) {
    return FindInRegistryExport(bytes, kKey, kName);
}

std::string utf16LeWithMark(const std::string& utf8) {
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    std::string out(utf8.size() * 4 + 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* to = out.data() + 2;
    std::size_t outLeft = out.size() - 2;
    iconv(cd, &in, &inLeft, &to, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    out[0] = '\xFF';
    out[1] = '\xFE';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto found = find(bytes);

    fuzzCheck(same(FindInRegistryExport(bytes, "software\\zentrovik\\QUEDRIX", "installer LANGUAGE"), found),
              "key and value names match without regard to case");

    // The same text saved in the other encodings an export may have reads the same.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with(kUtf8Mark))
        return 0;
    const std::string text = CodePage::active().toUtf8(bytes);
    fuzzCheck(same(find(kUtf8Mark + text), found), "a UTF-8 export reads as the 8-bit one");
    fuzzCheck(same(find(utf16LeWithMark(text)), found), "a UTF-16 export reads as the 8-bit one");

    // An import applies lines in order: an assignment at the end wins whenever the file is an export.
    const auto last = find(kUtf8Mark + text + "\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kKey + "]\r\n\"" + kName +
                           "\"=\"say \\\"\\\\1026\\\"\"\r\n");
    fuzzCheck(!last || (last->type == RegistryValue::Type::String && last->text == "say \"\\1026\""),
              "an assignment at the end gives its own value, escapes read");
    fuzzCheck(!found || last, "an assignment at the end of an export is read");
    return 0;
}
