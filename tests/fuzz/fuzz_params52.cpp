// The 2.52 parameter set's load and save against arbitrary blocks.
#include "params/deviceparams52.h"
#include "tests/fuzz/paramsroundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return paramsRoundTrip<DeviceParams52>(data, size, QStringLiteral("252000000001"));
}
