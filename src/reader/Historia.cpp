#include "reader/Historia.h"

void THistoria::Zapisz(const TMiejsce& opuszczone)
{
    FDalej.clear();
    if (!FWstecz.empty() && FWstecz.back() == opuszczone)
        return;
    FWstecz.push_back(opuszczone);
    while (FWstecz.size() > FNajwiecej)
        FWstecz.pop_front();
}

std::optional<TMiejsce> THistoria::Wstecz(const TMiejsce& biezace)
{
    if (FWstecz.empty())
        return std::nullopt;
    TMiejsce cel = FWstecz.back();
    FWstecz.pop_back();
    FDalej.push_back(biezace);
    return cel;
}

std::optional<TMiejsce> THistoria::Dalej(const TMiejsce& biezace)
{
    if (FDalej.empty())
        return std::nullopt;
    TMiejsce cel = FDalej.back();
    FDalej.pop_back();
    FWstecz.push_back(biezace);
    return cel;
}
