// Code pages through iconv; Windows-1251, the code page of the program's own Bulgarian texts, by default.
#include "common/CodePagePlatform.h"

#include <cerrno>
#include <iconv.h>

namespace {

constexpr const char* kUtf8 = "UTF-8";

bool isUtf8Name(const std::string& name) {
    std::string folded;
    for (char c : name)
        if (c != '-' && c != '_')
            folded += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return folded == "UTF8";
}

// Length of the malformed or unmappable sequence at the start of s, so one '?' stands for it.
std::size_t badSequenceLength(std::string_view s, bool utf8) {
    std::size_t n = 1;
    if (utf8)
        while (n < s.size() && n < 4 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
            ++n;
    return n;
}

// Converts with iconv; unconvertible input is replaced by '?', an incomplete sequence at the end is dropped.
std::string convert(const std::string& to, const std::string& from, std::string_view in) {
    // From UTF-8 to UTF-8 iconv copies anything shaped like UTF-8, code points beyond U+10FFFF and
    // five-byte forms included; decoding to UTF-32 checks every character, and the input bytes it
    // accepts are kept as they are.
    const bool checkOnly = isUtf8Name(to) && isUtf8Name(from);
    iconv_t cd = iconv_open(checkOnly ? "UTF-32LE" : to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(in);
    std::string out;
    char* inPtr = const_cast<char*>(in.data()); // iconv's signature; it does not write through it
    std::size_t inLeft = in.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        char* consumed = inPtr;
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (checkOnly)
            out.append(consumed, inPtr);
        else
            out.append(buffer, outPtr);
        if (rc != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (errno == EINVAL)
            break;
        const std::size_t skip = badSequenceLength(std::string_view(inPtr, inLeft), isUtf8Name(from));
        out += '?';
        inPtr += skip;
        inLeft -= skip;
    }
    iconv_close(cd);
    return out;
}

// "1252" means Windows-1252; other names go to iconv as they stand ("UTF-8", "KOI8-R").
std::string iconvNameFor(const std::string& name) {
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos)
        return "CP" + name;
    return name;
}

} // namespace

namespace CodePagePlatform {

std::optional<std::string> identifierFor(const std::string& name) {
    const std::string iconvName = iconvNameFor(name);
    for (const auto& [to, from] :
         {std::pair{iconvName, std::string(kUtf8)}, {std::string(kUtf8), iconvName}}) {
        iconv_t cd = iconv_open(to.c_str(), from.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1))
            return std::nullopt;
        iconv_close(cd);
    }
    return iconvName;
}

std::string defaultIdentifier() {
    return "WINDOWS-1251";
}

const char* defaultDescription() {
    return "Windows-1251";
}

std::string toEightBit(const std::string& identifier, std::string_view utf8) {
    return convert(identifier, kUtf8, utf8);
}

std::string toUtf8(const std::string& identifier, std::string_view eightBit) {
    return convert(kUtf8, identifier, eightBit);
}

} // namespace CodePagePlatform
