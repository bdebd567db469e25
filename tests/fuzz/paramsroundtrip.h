#pragma once

#include "tests/fuzz/fuzzcheck.h"

#include <QString>

// Loads a parameter set from an arbitrary params image and system block and
// saves it back: nothing may crash, a save only ever overwrites or extends the
// blocks, and what one save wrote loads and saves again to the same bytes.
template<typename Params>
int paramsRoundTrip(const uint8_t *data, size_t size, const QString &serial)
{
    QByteArray params, system;
    fuzzSplit(fuzzBytes(data, size), &params, &system);
    params.detach();
    system.detach();

    Params first;
    first.load(serial, params, system);
    QByteArray savedParams = params, savedSystem = system;
    first.save(savedParams, savedSystem);
    FUZZ_CHECK(savedParams.size() >= params.size());
    FUZZ_CHECK(savedSystem.size() >= system.size());

    Params second;
    second.load(serial, savedParams, savedSystem);
    QByteArray againParams = savedParams, againSystem = savedSystem;
    second.save(againParams, againSystem);
    FUZZ_CHECK(againParams == savedParams);
    FUZZ_CHECK(againSystem == savedSystem);
    return 0;
}
