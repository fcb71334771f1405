#include "reader/NazwyDokumentow.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Przedrostek = "Dz.U.";
constexpr std::string_view RozszerzenieObecnosci = ".txt";

bool cyfry(std::string_view s)
{
    return !s.empty() && s.size() <= 9 &&
           std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// "Dz.U.<year>.<number>.<position>" cut into its three numbers; false for
// anything else.
bool czesci(std::string_view nazwa, std::string_view& rok, std::string_view& numer, std::string_view& pozycja)
{
    if (nazwa.substr(0, Przedrostek.size()) != Przedrostek)
        return false;
    nazwa.remove_prefix(Przedrostek.size());
    std::vector<std::string_view> pola;
    for (std::size_t od = 0;;) {
        const std::size_t kropka = nazwa.find('.', od);
        pola.push_back(nazwa.substr(od, kropka == std::string_view::npos ? std::string_view::npos : kropka - od));
        if (kropka == std::string_view::npos)
            break;
        od = kropka + 1;
    }
    if (pola.size() != 3 || !cyfry(pola[0]) || !cyfry(pola[1]) || !cyfry(pola[2]))
        return false;
    rok = pola[0];
    numer = pola[1];
    pozycja = pola[2];
    return true;
}

std::string_view bezZer(std::string_view s)
{
    while (s.size() > 1 && s.front() == '0')
        s.remove_prefix(1);
    return s;
}

} // namespace

std::string NazwaDziennika(const std::string& nazwa)
{
    std::string_view n = nazwa;
    const std::size_t ukosnik = n.find_last_of("/\\");
    if (ukosnik != std::string_view::npos) {
        // A path names an act only through its presence file.
        n.remove_prefix(ukosnik + 1);
        if (n.size() <= RozszerzenieObecnosci.size() ||
            n.substr(n.size() - RozszerzenieObecnosci.size()) != RozszerzenieObecnosci)
            return {};
        n.remove_suffix(RozszerzenieObecnosci.size());
    }
    std::string_view rok, numer, pozycja;
    if (!czesci(n, rok, numer, pozycja))
        return {};
    return std::string(n);
}

std::string OpisDokumentu(const std::string& nazwa)
{
    const std::string akt = NazwaDziennika(nazwa);
    std::string_view rok, numer, pozycja;
    if (akt.empty() || !czesci(akt, rok, numer, pozycja))
        return nazwa;
    std::string opis = "Dz.U. " + std::string(bezZer(rok));
    if (bezZer(numer) != "0")
        opis += " nr " + std::string(bezZer(numer));
    return opis + " poz. " + std::string(bezZer(pozycja));
}
