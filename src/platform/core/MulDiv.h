#pragma once
#include <cstdint>

// a * b / c with a 64-bit product and the quotient rounded half away from
// zero; -1 when c is 0. Used for every conversion between screen pixels,
// printer pixels, points and millimetres so that they agree everywhere.
constexpr int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    std::int64_t p = std::int64_t(a) * b;
    std::int64_t q = p / c;
    std::int64_t r = p % c;
    // Compare 2|r| with |c| to round half away from zero.
    std::int64_t ar = r < 0 ? -r : r;
    std::int64_t ac = c < 0 ? -std::int64_t(c) : std::int64_t(c);
    if (2 * ar >= ac)
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return int(q);
}
