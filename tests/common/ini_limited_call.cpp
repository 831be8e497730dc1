// Test helper: one read or write of a key by a fresh process allowed only so much more address space.
// ini_limited_call EXTRA_BYTES FILE SECTION KEY [VALUE] reads the key (no VALUE) and prints its value,
// or writes it and prints "written" or "failed: <reason>".
#include "common/Common.h"
#include "common/IniFile.h"

#include <fstream>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6)
        return 2;
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + std::stoull(argv[1]);
    const struct rlimit rl { limit, limit };
    if (::setrlimit(RLIMIT_AS, &rl) != 0)
        return 2;
    if (argc == 5) {
        std::cout << ReadIniValue(argv[3], argv[4], argv[2], 255) << '\n';
        return 0;
    }
    const IniWriteResult result = IniFile(argv[2]).write(argv[3], argv[4], argv[5]);
    std::cout << (result.ok() ? "written" : "failed: " + result.reason) << '\n';
    return 0;
}
