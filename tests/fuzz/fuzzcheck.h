#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken invariant must stop the fuzzer like a crash does, so that it keeps
// the input that shows it.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// The fuzzer's bytes without a copy; they stay valid for one run.
inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
}

// Splits one input into two blocks: its first two bytes say how many of the
// remaining bytes go to the first block.
inline void fuzzSplit(const QByteArray &input, QByteArray *first, QByteArray *second)
{
    if (input.size() < 2) {
        *first = input;
        second->clear();
        return;
    }
    const int wanted = quint8(input.at(0)) | (quint8(input.at(1)) << 8);
    const QByteArray rest = input.mid(2);
    *first = rest.left(wanted);
    *second = rest.mid(first->size());
}
