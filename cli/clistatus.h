#pragma once

// Exit statuses of korvane-cli; scripts rely on them, so they never change meaning.
enum CliStatus : int {
    StatusOk = 0,
    StatusIssues = 1,          // a check found problems (nothing was written)
    StatusUsage = 2,           // unknown command, option or argument
    StatusBadInput = 3,        // a file, a serial number or goods that are refused
    StatusUnreachable = 4,     // the register did not answer the probe
    StatusExchangeFailed = 5,  // the exchange ended with a result code
    StatusSomeFailed = 6,      // a fleet command: at least one register did not succeed
};
