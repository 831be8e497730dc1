// The "ledger" command of the technician's tool quedrix-ctl: one day's sessions from Ledger.csv.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after "ledger": [--day YYYY-MM-DD] [--file PATH], by default today (local
// time) and Ledger.csv of the application folder. The report goes to out, messages to err, numbers
// in the user's regional format. Returns the exit status: 0 reported, 1 the file cannot be read,
// 2 bad usage.
int RunLedgerCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
