#include "lang/RegistryValue.h"

#include <gtest/gtest.h>

namespace {

const std::string kKey = "SOFTWARE\\Zentrovik\\Quedrix";
const std::string kValue = "Installer Language";

std::optional<RegistryValue> find(const std::string& text) {
    return FindInRegistryExport(text, kKey, kValue);
}

std::string regedit4(const std::string& body) {
    return "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix]\r\n" + body + "\r\n";
}

std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(RegistryExport, ReadsAString) {
    const auto value = find(regedit4("\"Installer Language\"=\"1026\""));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, RegistryValue::Type::String);
    EXPECT_EQ(value->text, "1026");
}

TEST(RegistryExport, ReadsADword) {
    const auto value = find(regedit4("\"Installer Language\"=dword:00000402"));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, RegistryValue::Type::Dword);
    EXPECT_EQ(value->number, 0x402u);
}

TEST(RegistryExport, ReadsAVersion5ExportInUtf16) {
    const auto value = find(utf16le("Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix]\r\n"
                                    "\"Installer Language\"=\"1049\"\r\n"));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "1049");
}

TEST(RegistryExport, DecodesUtf16BeyondAscii) {
    std::string bytes = utf16le("Windows Registry Editor Version 5.00\r\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix]\r\n"
                                "\"Installer Language\"=\"");
    bytes += std::string("\x11\x04", 2);         // U+0411 Б
    bytes += std::string("\x3D\xD8\x00\xDE", 4); // U+1F600 as a surrogate pair
    bytes += utf16le("\"\r\n").substr(2);
    const auto value = find(bytes);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "Б\xF0\x9F\x98\x80");
}

TEST(RegistryExport, ReadsUtf8WithByteOrderMark) {
    const auto value = find("\xEF\xBB\xBF" + regedit4("\"Installer Language\"=\"1033\""));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "1033");
}

TEST(RegistryExport, UnescapesQuotesAndBackslashes) {
    const auto value = find(regedit4("\"Installer Language\"=\"a\\\\b \\\"c\\\"\""));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "a\\b \"c\"");
}

TEST(RegistryExport, NamesMatchWithoutRegardToCase) {
    const auto value = FindInRegistryExport("REGEDIT4\n[hkey_local_machine\\software\\ZENTROVIK\\quedrix]\n"
                                            "\"INSTALLER language\"=\"1026\"\n",
                                            kKey, kValue);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "1026");
}

TEST(RegistryExport, LaterAssignmentWinsAndDeletionRemoves) {
    EXPECT_EQ(find(regedit4("\"Installer Language\"=\"1026\"\r\n\"Installer Language\"=\"1049\""))->text,
              "1049");
    EXPECT_FALSE(find(regedit4("\"Installer Language\"=\"1026\"\r\n\"Installer Language\"=-")).has_value());
}

TEST(RegistryExport, SkipsContinuedHexValuesOfOtherNames) {
    const auto value = find(regedit4("\"Other\"=hex:01,02,\\\r\n  03,04\r\n\"Installer Language\"=\"1026\""));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "1026");
}

class RegistryExportMissing : public ::testing::TestWithParam<std::string> {};

TEST_P(RegistryExportMissing, CountsAsNoValue) {
    EXPECT_FALSE(find(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegistryExportMissing,
    ::testing::Values(
        "", "garbage", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix]\n\"Installer Language\"=\"1026\"",
        regedit4("\"Other\"=\"1026\""),
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik]\n\"Installer Language\"=\"1026\"",
        "REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Zentrovik\\Quedrix]\n\"Installer Language\"=\"1026\"",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix\\Sub]\n\"Installer Language\"=\"1\"",
        "REGEDIT4\n\"Installer Language\"=\"1026\"", // before any key
        regedit4("\"Installer Language\"=hex(2):31,00,30,00"),
        regedit4("\"Installer Language\"=dword:123456789"), regedit4("\"Installer Language\"=dword:"),
        regedit4("\"Installer Language\"=dword:xyz"), regedit4("\"Installer Language\"=\"1026"),
        regedit4("\"Installer Language\"=\"1026\" trailing"), regedit4("\"Installer Language\"")));

} // namespace
