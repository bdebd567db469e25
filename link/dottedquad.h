#pragma once

#include <QString>
#include <QtGlobal>

// The one reading of a register's address: four decimal numbers 0-255
// separated by dots, without leading zeros, signs or spaces. The short forms
// some platforms accept ("10.1", "1.2.3") and octal or hex parts are not
// addresses here, on any platform.
class DottedQuad
{
public:
    // True for such a text; *address (when given) is then the address in
    // host byte order.
    static bool parse(const QString &text, quint32 *address = nullptr);
};
