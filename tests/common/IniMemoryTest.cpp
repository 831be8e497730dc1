// Large settings files: memory in proportion to their size, and a want of memory fails one call only.
#include "common/Common.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceCanBeLimited = false; // the sanitizer reserves terabytes of address space
#else
constexpr bool kAddressSpaceCanBeLimited = true;
#endif

constexpr std::size_t kFileBytes = 2u << 20;
constexpr std::string_view kTail = "[Tariff]\r\nPeak=0,50\r\n";

class IniMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kAddressSpaceCanBeLimited)
            GTEST_SKIP() << "an address-space limit cannot work under the address sanitizer";
        std::string blankLines(kFileBytes - kTail.size(), '\n');
        for (std::size_t i = 0; i + 1 < blankLines.size(); i += 2)
            blankLines[i] = '\r';
        m_dir.write("Quedrix.cfg", blankLines.append(kTail));
    }

    // One read (no value) or write in a fresh process that may take `extra` more bytes of memory;
    // "" when the process did not end normally (an abort).
    std::string limitedCall(std::size_t extra, std::vector<std::string> keyAndValue) const {
        std::vector<std::string> argv = {QUEDRIX_INI_LIMITED_CALL, std::to_string(extra), m_cfg, "Tariff"};
        argv.insert(argv.end(), keyAndValue.begin(), keyAndValue.end());
        const ChildProcess::Result result = ChildProcess::run(argv);
        return result.status == 0 ? result.out : "";
    }

    bool onlyTheFileIsThere() const {
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
            if (entry.path().filename() != "Quedrix.cfg" && entry.path().filename() != "Quedrix.cfg.lock")
                return false;
        return true;
    }

    TempFolder m_dir;
    std::string m_cfg = m_dir.file("Quedrix.cfg");
};

TEST_F(IniMemoryTest, ReadAndWriteFitInThreeTimesTheFileSize) {
    EXPECT_EQ(limitedCall(3 * kFileBytes, {"Peak"}), "0,50\n");
    EXPECT_EQ(limitedCall(3 * kFileBytes, {"Peak", "0,60"}), "written\n");
    EXPECT_EQ(limitedCall(3 * kFileBytes, {"OffPeak", "0,30"}), "written\n");
    EXPECT_EQ(ReadIniValue("Tariff", "Peak", m_cfg, 255), "0,60");
    EXPECT_EQ(ReadIniValue("Tariff", "OffPeak", m_cfg, 255), "0,30");
}

TEST_F(IniMemoryTest, WantOfMemoryFailsTheCallAndLeavesTheFile) {
    const std::string before = m_dir.read("Quedrix.cfg");
    EXPECT_EQ(limitedCall(kFileBytes / 2, {"Peak"}), "\n");
    EXPECT_EQ(limitedCall(kFileBytes / 2, {"Peak", "0,60"}).substr(0, 7), "failed:");
    EXPECT_TRUE(m_dir.read("Quedrix.cfg") == before) << "the file changed";
    EXPECT_TRUE(onlyTheFileIsThere());
}

} // namespace
