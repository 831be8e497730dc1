#include "ConfigCli.h"

#include <iostream>

#include "AppFolder.h"
#include "Common.h"
#include "ConfigCheck.h"
#include "IniFile.h"

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kProblems = 1;
constexpr int kBadUsage = 2;
constexpr int16_t kValueBufferSize = 255;

int usage(std::ostream& err) {
    err << "usage: quedrix-ctl config get [--file PATH] SECTION KEY\n"
           "       quedrix-ctl config set [--file PATH] SECTION KEY VALUE\n"
           "       quedrix-ctl config check [--file PATH]\n";
    return kBadUsage;
}

// One "PATH: problem" line each; a last line saying there are none when the file is sound.
int check(const std::string& file, std::ostream& out) {
    const std::vector<std::string> problems = ConfigProblems(file);
    for (const std::string& problem : problems)
        out << file << ": " << problem << '\n';
    if (!problems.empty())
        return kProblems;
    out << file << ": no problems found\n";
    return kDone;
}

} // namespace

int RunConfigCommand(const std::vector<std::string>& args) {
    return RunConfigCommand(args, std::cout, std::cerr);
}

int RunConfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || (args[0] != "get" && args[0] != "set" && args[0] != "check"))
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
    if (args[0] == "check")
        return rest.empty() ? check(file, out) : usage(err);
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
