#pragma once
// The way back and forth through the places a reader jumped from: every
// jump (a contents entry, going to an article, a search result, a link)
// records the place it left; "Wstecz" returns there, "Dalej" goes where
// "Wstecz" came from. Places name documents, so the way runs across tabs.
// Needs no display.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

struct TMiejsce {
    std::string Dokument;     // the name the document was opened under (Windows-1250)
    bool ZListy = true;       // opened from the codes list, or a Journal act by its file
    std::size_t Akapit = 0;   // the paragraph at the top of the view
    friend bool operator==(const TMiejsce&, const TMiejsce&) = default;
};

class THistoria {
public:
    explicit THistoria(std::size_t najwiecej = 100) : FNajwiecej(najwiecej) {}

    // A jump leaves `opuszczone`: it becomes the way back, and the way
    // forward is forgotten. A place equal to the last one left is kept once.
    void Zapisz(const TMiejsce& opuszczone);
    // Going back from `biezace`: the place to go to, and `biezace` becomes
    // the way forward; nothing when there is no way back.
    std::optional<TMiejsce> Wstecz(const TMiejsce& biezace);
    // The reverse of Wstecz.
    std::optional<TMiejsce> Dalej(const TMiejsce& biezace);

    bool MoznaWstecz() const { return !FWstecz.empty(); }
    bool MoznaDalej() const { return !FDalej.empty(); }

private:
    std::size_t FNajwiecej;
    std::deque<TMiejsce> FWstecz;   // the latest at the back
    std::deque<TMiejsce> FDalej;
};
