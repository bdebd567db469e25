#pragma once

#include <QRegExpValidator>

// Dotted-decimal IPv4, each part 0..255 without leading zeros. Partial input
// stands while typing.
class IpAddressValidator : public QRegExpValidator
{
public:
    explicit IpAddressValidator(QObject *parent = nullptr);
};
