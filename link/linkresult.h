#pragma once

// Result codes of an exchange; windows show the bare number.
enum LinkResult : int {
    LinkOk = 0,
    LinkBadPageCount = -2,     // page count outside 1..4
    LinkNotSent = -3,          // the socket did not take the whole frame
    LinkNoReply = -4,          // nothing arrived within the reply time
    LinkBadReply = -5,         // truncated, oversized, checksum or layout wrong
    LinkBadHeader = -6,        // page-0 magic or descriptor ids wrong
    LinkUnknownOp = -7,
    LinkOutOfRange = -8,       // range or data does not fit its area, or cannot travel
    LinkWriteRejected = -9,    // write reply is no acknowledgement
    LinkReadMismatch = -10,    // read reply does not confirm the pages asked for
    LinkStopped = -13,
    LinkSocketError = -14,
    LinkSerialMismatch = -15,
};
