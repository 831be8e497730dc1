#include "ConfigCli.h"

#include <iostream>

#include "AppFolder.h"
#include "Common.h"
#include "IniFile.h"

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kBadUsage = 2;
constexpr int16_t kValueBufferSize = 255;

int usage(std::ostream& err) {
    err << "usage: quedrix-ctl config get [--file PATH] SECTION KEY\n"
           "       quedrix-ctl config set [--file PATH] SECTION KEY VALUE\n";
    return kBadUsage;
}

} // namespace

int RunConfigCommand(const std::vector<std::string>& args) {
    return RunConfigCommand(args, std::cout, std::cerr);
}

int RunConfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || (args[0] != "get" && args[0] != "set"))
        return usage(err);
    const bool isSet = args[0] == "set";
    std::vector<std::string> rest(args.begin() + 1, args.end());
    std::string file = AppFilePath("Quedrix.cfg");
    if (!rest.empty() && rest[0] == "--file") {
        if (rest.size() < 2 || rest[1].empty())
            return usage(err);
        file = rest[1];
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    if (rest.size() != (isSet ? 3u : 2u))
        return usage(err);

    if (!isSet) {
        out << ReadIniValue(rest[0], rest[1], file, kValueBufferSize) << '\n';
        return kDone;
    }
    const IniWriteResult result = IniFile(file).write(rest[0], rest[1], rest[2]);
    if (result.ok())
        return kDone;
    err << "quedrix-ctl: " << file << ": not written: " << result.reason << '\n';
    return kRefused;
}
