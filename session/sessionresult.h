#pragma once

// Results of a register session beyond the link's own (link/linkresult.h):
// the safeguards the session keeps around every exchange.
enum SessionResult : int {
    SessionUnsupportedVersion = -16,  // the register reports firmware the utility does not support
    SessionWrongFamily = -17,         // the parameters are of another family, or the family takes none
    SessionBackupFailed = -18,        // the copy before a write could not be stored; nothing was written
    SessionVerifyFailed = -19,        // read back after a write, the register holds other bytes
    SessionTooManyGoods = -20,        // more goods than the register's capacity allows
    SessionUnreachable = -21,         // the register did not answer the probe
};
