#pragma once
// Internal to the store: the bounds-checked reader every file of the store
// is parsed with.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace odczyt {

// Bounds-checked little-endian reader over a byte range. A read that does not
// fit yields nothing: the target keeps its value and the reader moves to the
// end, so every later read yields nothing as well.
class Czytnik {
public:
    explicit Czytnik(std::string_view dane, std::size_t poz = 0) : d(dane), p(poz) {}

    template <typename T>
    bool czytaj(T& v)
    {
        if (d.size() - p < sizeof(T)) {
            p = d.size();
            return false;
        }
        std::make_unsigned_t<T> w = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            w |= std::make_unsigned_t<T>(static_cast<unsigned char>(d[p + i])) << (8 * i);
        v = static_cast<T>(w);
        p += sizeof(T);
        return true;
    }
    bool pomin(std::size_t n)
    {
        if (d.size() - p < n) {
            p = d.size();
            return false;
        }
        p += n;
        return true;
    }
    std::size_t zostalo() const { return d.size() - p; }
    std::size_t pozycja() const { return p; }
    std::string_view dane() const { return d; }

private:
    std::string_view d;
    std::size_t p;
};

// Number of elements of an array announced by a highest index (or count),
// limited to the elements whose bytes are actually present.
inline std::size_t ileDostepnych(std::int64_t ile, std::size_t rozmiar, const Czytnik& c)
{
    if (ile <= 0)
        return 0;
    return static_cast<std::size_t>(std::min<std::int64_t>(ile, std::int64_t(c.zostalo() / rozmiar)));
}

} // namespace odczyt
