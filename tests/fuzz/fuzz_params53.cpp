// The 2.53 parameter set's load and save against arbitrary blocks.
#include "params/deviceparams53.h"
#include "tests/fuzz/paramsroundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return paramsRoundTrip<DeviceParams53>(data, size, QStringLiteral("2530000001"));
}
