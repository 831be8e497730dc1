// quedrix-ctl: checks the controller's wiring and edits the configuration without the windows.
#include "ctl/ConfigCli.h"
#include "ctl/CtlCommand.h"
#include "ctl/LedgerCli.h"

#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // The user's regional settings, as the program has them: config check reads rates in their format.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(CtlUsage().c_str(), stdout);
        return 0;
    }
    if (!args.empty() && args[0] == "config")
        return RunConfigCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "ledger")
        return RunLedgerCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
    return RunControllerCommand(args, stdout, stderr);
}
