#include "ctl/ConfigCli.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <optional>

#include "common/AppFolder.h"
#include "common/Common.h"
#include "common/IniFile.h"
#include "ctl/ConfigCheck.h"

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kProblems = 1;
constexpr int kBadUsage = 2;
constexpr int16_t kValueBufferSize = 255;

int usage(std::ostream& err) {
    err << "usage: quedrix-ctl config get [--file PATH] SECTION KEY\n"
           "       quedrix-ctl config set [--file PATH] SECTION KEY VALUE\n"
           "       quedrix-ctl config check [--file PATH] [--mode STD|ALT]\n";
    return kBadUsage;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// The mode the checked file is used in: the tariff matters only to the alternative one.
enum class CheckMode { Both, Standard, Alternative };

std::optional<CheckMode> checkModeOf(const std::vector<std::string>& rest) {
    if (rest.empty())
        return CheckMode::Both;
    if (rest.size() != 2 || rest[0] != "--mode")
        return std::nullopt;
    const std::string mode = upper(rest[1]);
    if (mode == "STD")
        return CheckMode::Standard;
    if (mode == "ALT")
        return CheckMode::Alternative;
    return std::nullopt;
}

// One "PATH: problem" line each, the tariff's as notes unless the mode is the alternative one; a
// last line saying there are none when nothing is wrong for the mode.
int check(const std::string& file, CheckMode mode, std::ostream& out) {
    bool faults = false;
    bool notes = false;
    for (const ConfigProblem& problem : ConfigProblems(file)) {
        if (!problem.alternativeModeOnly || mode == CheckMode::Alternative) {
            out << file << ": " << problem.text << '\n';
            faults = true;
        } else if (mode == CheckMode::Both) {
            out << file << ": note, alternative mode only: " << problem.text << '\n';
            notes = true;
        }
    }
    if (faults)
        return kProblems;
    out << file
        << (notes ? ": no problems found for the standard mode; the notes matter only to the "
                    "alternative mode (quedrix ALT): check it with --mode ALT\n"
                  : ": no problems found\n");
    return kDone;
}

// A [Ports] entry is written as given, a device not plugged in yet included; a warning says what
// stands there now.
void warnAboutPort(const std::string& section, const std::string& key, const std::string& device,
                   std::ostream& err) {
    if (upper(section) != "PORTS" || device.empty())
        return;
    const std::string problem = SerialDeviceProblem(device);
    if (!problem.empty())
        err << "quedrix-ctl: warning: [Ports] " << key << "=" << device << " " << problem
            << " (written all the same)\n";
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
    if (args[0] == "check") {
        const auto mode = checkModeOf(rest);
        return mode ? check(file, *mode, out) : usage(err);
    }
    if (rest.size() != (isSet ? 3u : 2u))
        return usage(err);

    if (!isSet) {
        out << ReadIniValue(rest[0], rest[1], file, kValueBufferSize) << '\n';
        return kDone;
    }
    const IniWriteResult result = IniFile(file).write(rest[0], rest[1], rest[2]);
    if (result.ok()) {
        warnAboutPort(rest[0], rest[1], rest[2], err);
        return kDone;
    }
    err << "quedrix-ctl: " << file << ": not written: " << result.reason << '\n';
    return kRefused;
}
