// Two threads writing one INI file at once, each through its own lock handle, as two programs would.
#include "common/Common.h"

#include <gtest/gtest.h>
#include <thread>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr int kKeysPerWriter = 100;

TEST(IniThreadsTest, TwoWritersBothLand) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", "1251");
    TempFolder dir;
    const std::string cfg = dir.file("Quedrix.cfg");
    auto writer = [&](const std::string& name) {
        for (int i = 0; i < kKeysPerWriter; ++i)
            WriteIniValue(i % 2 ? "Shared" : name, name + "_" + std::to_string(i), i, cfg);
    };
    std::thread first(writer, "first");
    std::thread second(writer, "second");
    first.join();
    second.join();
    for (const std::string name : {"first", "second"})
        for (int i = 0; i < kKeysPerWriter; ++i)
            ASSERT_EQ(ReadIniValue(i % 2 ? "Shared" : name, name + "_" + std::to_string(i), cfg, 255),
                      std::to_string(i))
                << name << " " << i;
}

} // namespace
