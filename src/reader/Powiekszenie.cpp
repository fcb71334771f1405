#include "reader/Powiekszenie.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array Stopnie = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};
static_assert(Stopnie.front() == NajmniejszePowiekszenie && Stopnie.back() == NajwiekszePowiekszenie);

} // namespace

int NastepnePowiekszenie(int obecne, int kroki)
{
    obecne = std::clamp(obecne, NajmniejszePowiekszenie, NajwiekszePowiekszenie);
    for (; kroki > 0; --kroki) {
        const auto it = std::upper_bound(Stopnie.begin(), Stopnie.end(), obecne);
        if (it == Stopnie.end())
            break;
        obecne = *it;
    }
    for (; kroki < 0; ++kroki) {
        const auto it = std::lower_bound(Stopnie.begin(), Stopnie.end(), obecne);
        if (it == Stopnie.begin())
            break;
        obecne = *(it - 1);
    }
    return obecne;
}
