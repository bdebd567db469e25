#include "params/checkdigits.h"

#include <cstring>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(const char *text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (!isDigit(text[i]))
            return false;
    }
    return true;
}

// The weighted sum mod 11, where a remainder of 10 stands for 0.
int innCheckDigit(const char *text, const int *weights, int count)
{
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += weights[i] * (text[i] - '0');
    const int r = sum % 11;
    return r == 10 ? 0 : r;
}

}

bool isValidInn(const char *text, bool allowEmpty)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0)
        return allowEmpty;
    // A letter would otherwise weigh in with its code and could pass the
    // check digits, which no tax office would accept.
    if (!allDigits(text, length))
        return false;

    if (length == 10) {
        static const int w[9] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
        return text[9] - '0' == innCheckDigit(text, w, 9);
    }
    if (length == 12) {
        static const int w1[10] = {7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
        static const int w2[11] = {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
        return text[10] - '0' == innCheckDigit(text, w1, 10)
            && text[11] - '0' == innCheckDigit(text, w2, 11);
    }
    return false;
}

bool isValidBarcode(const char *text, bool allowEmpty)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0)
        return allowEmpty;
    if (length != 8 && length != 12 && length != 13)
        return false;
    if (!allDigits(text, length))
        return false;

    // Weights alternate 3 and 1 counted from the check digit backwards, so
    // the first digit weighs 1 in an odd-length code and 3 in an even one.
    int weight = (length % 2 == 1) ? 1 : 3;
    int sum = 0;
    for (size_t i = 0; i + 1 < length; ++i) {
        sum += weight * (text[i] - '0');
        weight = 4 - weight;
    }
    int r = sum % 10;
    if (r != 0)
        r = 10 - r;
    return text[length - 1] - '0' == r;
}
