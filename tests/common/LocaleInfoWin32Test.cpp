// The regional settings of Windows, fed through the seam that stands for GetLocaleInfoA.
#include "common/LocaleInfoWin32.h"

#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Answers as GetLocaleInfoA does for one item, with stored as the buffer it hands out (NULs and all).
LocaleInfoQuery answering(uint32_t item, std::string stored, std::vector<int>* sizesAsked = nullptr) {
    return [=](uint32_t asked, char* buffer, int size) {
        if (sizesAsked)
            sizesAsked->push_back(size);
        if (asked != item)
            return 0;
        const int needed = static_cast<int>(stored.size()) + 1;
        if (size == 0)
            return needed;
        if (size < needed)
            return 0;
        std::memcpy(buffer, stored.c_str(), stored.size() + 1);
        return needed;
    };
}

TEST(LocaleInfoWin32Test, AsksForTheLengthThenForTheText) {
    std::vector<int> sizes;
    EXPECT_EQ(LocaleText(answering(LOCALE_SDECIMAL, ",", &sizes), LOCALE_SDECIMAL), ",");
    EXPECT_EQ(sizes, (std::vector<int>{0, 2}));
}

TEST(LocaleInfoWin32Test, SeparatorOfSeveralCharactersComesBackWhole) {
    EXPECT_EQ(LocaleText(answering(LOCALE_SDECIMAL, " ,."), LOCALE_SDECIMAL), " ,.");
}

TEST(LocaleInfoWin32Test, TextEndsAtTheFirstNul) {
    EXPECT_EQ(
        LocaleText(answering(LOCALE_SSHORTDATE, std::string("dd.MM.yyyy\0junk", 15)), LOCALE_SSHORTDATE),
        "dd.MM.yyyy");
}

TEST(LocaleInfoWin32Test, ShortDatePatternIsKeptAsItStandsInUtf8) {
    // The A call answers in the ANSI code page; é is in every Western one.
    char ansi[8] = {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, ansi, sizeof ansi, nullptr, nullptr);
    const std::string stored = "d.M.yyyy '" + std::string(ansi, static_cast<std::size_t>(length)) + "'";
    EXPECT_EQ(LocaleText(answering(LOCALE_SSHORTDATE, stored), LOCALE_SSHORTDATE), "d.M.yyyy 'é'");
}

TEST(LocaleInfoWin32Test, UnreadableItemIsEmpty) {
    EXPECT_EQ(LocaleText(answering(LOCALE_SDECIMAL, ","), LOCALE_STIME), "");
    const LocaleInfoQuery lengthButNoText = [](uint32_t, char*, int size) { return size == 0 ? 4 : 0; };
    EXPECT_EQ(LocaleText(lengthButNoText, LOCALE_SDECIMAL), "");
}

TEST(LocaleInfoWin32Test, SystemAnswersForTheUserLocale) {
    // The prefix runs an English (United States) Windows: "." and ":".
    EXPECT_EQ(LocaleText(SystemLocaleInfo(), LOCALE_SDECIMAL), ".");
    EXPECT_EQ(LocaleText(SystemLocaleInfo(), LOCALE_STIME), ":");
}

} // namespace
