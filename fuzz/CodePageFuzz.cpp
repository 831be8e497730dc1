// Fuzz target: conversion between UTF-8 and the ANSI code pages the program's files may be in.
#include "common/CodePage.h"
#include "fuzz/FuzzCheck.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <string>

namespace {

// The first input byte picks one; "UTF-8" is the one that is not a single byte per character.
const char* const kPages[] = {"1251", "1252", "866", "KOI8-R", "UTF-8"};

bool isUtf8(const std::string& text) {
    iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::string out(text.size() * 4 + 4, '\0');
    char* to = out.data();
    std::size_t outLeft = out.size();
    const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    iconv_close(cd);
    return ok;
}

void checkSingleBytePage(const CodePage& page, const std::string& bytes) {
    std::string byteByByte;
    std::string expectedBack;
    for (char b : bytes) {
        const std::string one = page.toUtf8(std::string(1, b));
        byteByByte += one;
        expectedBack += one == "?" ? '?' : b;
    }
    const std::string utf8 = page.toUtf8(bytes);
    fuzzCheck(utf8 == byteByByte, "a single-byte page converts each byte on its own");
    fuzzCheck(page.toEightBit(utf8) == expectedBack, "8-bit text goes to UTF-8 and back unchanged");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string name = kPages[data[0] % std::size(kPages)];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto page = CodePage::open(name);
    fuzzCheck(page.has_value(), "the code pages the program offers open");

    const std::string utf8 = page->toUtf8(bytes);
    fuzzCheck(isUtf8(utf8), "text read from a file is valid UTF-8");
    if (name == "UTF-8")
        fuzzCheck(page->toUtf8(utf8) == utf8 && page->toEightBit(utf8) == utf8,
                  "valid UTF-8 passes unchanged");
    else
        checkSingleBytePage(*page, bytes);

    // The same bytes taken as UTF-8 text to be written into a file.
    const std::string eightBit = page->toEightBit(bytes);
    fuzzCheck(eightBit.size() <= bytes.size(), "one 8-bit character at most per character");
    fuzzCheck(page->toEightBit(page->toUtf8(eightBit)) == eightBit, "text once written reads back the same");
    return 0;
}
