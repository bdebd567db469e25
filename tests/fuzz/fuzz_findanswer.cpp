// The LAN-search answer parser against arbitrary datagrams.
#include "link/devicefinder.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QHostAddress>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram = fuzzBytes(data, size);
    QString device, mac, ip;
    if (!DeviceFinder::parseAnswer(datagram, &device, &mac, &ip))
        return 0;

    FUZZ_CHECK(!device.isEmpty());
    for (const QChar c : device)
        FUZZ_CHECK(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    FUZZ_CHECK(mac.size() == 17);
    QHostAddress address;
    FUZZ_CHECK(address.setAddress(ip) && address.protocol() == QAbstractSocket::IPv4Protocol);
    FUZZ_CHECK(address.toString() == ip);  // no leading zeros, nothing trailing
    // The fields are the answer line the datagram starts with.
    const QByteArray line = (device + QLatin1Char(' ') + mac + QLatin1Char(' ') + ip + QLatin1Char('\n')).toLatin1();
    FUZZ_CHECK(datagram.startsWith(line));
    return 0;
}
