#pragma once

// Check-digit tests shared by the editor tabs and the goods validation. Both
// take 8-bit text (callers pass the UTF-8 form of what the user sees), so a
// non-ASCII character counts as several bytes and never passes as a digit.
// A null text counts as empty.

// Russian taxpayer number (INN): 10 digits for an organisation, 12 for a
// person, each with its check digits. The empty text passes only when
// `allowEmpty` is set.
bool isValidInn(const char *text, bool allowEmpty);

// GS1 check digit of an EAN-8, 12-digit UPC-A or EAN-13 code. The empty text
// passes only when `allowEmpty` is set.
bool isValidBarcode(const char *text, bool allowEmpty);
