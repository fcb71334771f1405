// The main window's links: following a citation or a reference to its act
// or unit, the preview of a reference's target, and the addresses links get
// in an HTML export.
#include "reader/Okienko.h"

#include "links/Podglad.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "reader/Adresy.h"
#include "reader/OLumesta.h"
#include "reader/OknoPodgladu.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <QCursor>
#include <QListWidget>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>

namespace {

// The store's messages while a document is decoded for a preview: a hover
// must never raise a message box.
class TCicho : public TKomunikaty {
public:
    void Komunikat(const std::string&) override {}
};

std::string numerKotwicy(const std::string& numer)
{
    std::string w;
    for (char c : numer) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))
            w += c;
        else if (c == '^')
            w += '.';
        else
            return {};
    }
    return w;
}

} // namespace

std::string KotwicaJednostki(const TAdres& a)
{
    std::string w;
    const auto dodaj = [&w](const char* przedrostek, const std::string& numer) {
        const std::string n = numerKotwicy(numer);
        if (n.empty())
            return false;
        w += przedrostek + n;
        return true;
    };
    if (!a.Artykul.empty()) {
        if (!dodaj("art", a.Artykul))
            return {};
        if (!a.Ustep.empty() && !dodaj(a.Paragraf ? "-par" : "-ust", a.Ustep))
            return {};
    } else if (!a.Ustep.empty()) {
        if (!dodaj("par", a.Ustep))
            return {};
    } else {
        return {};
    }
    if (!a.Punkt.empty() && !dodaj("-pkt", a.Punkt))
        return {};
    if (!a.Litera.empty() && !dodaj("-lit", a.Litera))
        return {};
    return w;
}

// ---------------------------------------------------------------------------
// The documents of the tabs.

int TfLumesta::ZakladkaWidoku(const TDocView* widok) const
{
    for (int i = 0; i < LiczbaZakladek(); ++i)
        if (Widok(i) == widok)
            return i;
    return -1;
}

TDokumentZakladki* TfLumesta::DokumentZakladki(int zakladka) const
{
    if (zakladka < 0 || std::size_t(zakladka) >= spisyZakladek.size())
        return nullptr;
    return spisyZakladek[std::size_t(zakladka)].Dokument.get();
}

const TIndeksJednostek* TfLumesta::JednostkiZakladki(int zakladka) const
{
    TDokumentZakladki* d = DokumentZakladki(zakladka);
    if (!d)
        return nullptr;
    if (!d->Jednostki)
        d->Jednostki = std::make_unique<TIndeksJednostek>(d->Tekst);
    return d->Jednostki.get();
}

const TIndeksJednostek* TfLumesta::TBibliotekaOkna::JednostkiKodeksu(int indeks) const
{
    for (int i = 0; i < int(FOkno.spisyZakladek.size()); ++i)
        if (const TDokumentZakladki* d = FOkno.DokumentZakladki(i); d && d->Kodeks == indeks)
            return FOkno.JednostkiZakladki(i);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Following a link.

void TfLumesta::OtworzCel(const TCel& cel, int zakladka, std::optional<std::size_t> akapit)
{
    // A build in progress (its store messages run the event loop) must not
    // be interrupted by another tab.
    if (FOtwieranie > 0)
        return;
    UkryjPodglad();
    switch (cel.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        OtworzAkt(cel.Akt, cel.DawnaNazwa, std::nullopt);
        break;
    case TRodzajOdnosnika::ArtykulAktu:
        OtworzAkt(cel.Akt, {}, cel.Adres);
        break;
    case TRodzajOdnosnika::Artykul: {
        if (!akapit)
            if (const TIndeksJednostek* j = JednostkiZakladki(zakladka))
                akapit = ZnajdzJednostke(*j, cel.Adres);
        if (akapit) {
            ZapiszMiejsce();
            Q_EMIT OdnosnikOpuszczaMiejsce();
            PokazAkapit(zakladka, *akapit);
        }
        break;
    }
    case TRodzajOdnosnika::ArtykulKodeksu: {
        // A code that cannot be opened leaves the way back alone.
        const auto skad = BiezaceMiejsce();
        if (JestNaLiscie(cel.Kodeks))
            Q_EMIT OdnosnikOpuszczaMiejsce();
        if (!OtworzKodeks(cel.Kodeks))
            break;
        ZapiszMiejsce(skad);
        const int biezaca = BiezacaZakladka();
        if (const TIndeksJednostek* j = JednostkiZakladki(biezaca)) {
            if (const auto p = ZnajdzJednostke(*j, cel.Adres))
                PokazAkapit(biezaca, *p);
            else
                sbStatus->showMessage(QStringLiteral("Nie ma tu: ") + toQString(OpisAdresu(cel.Adres)));
        }
        break;
    }
    }
}

bool TfLumesta::JestNaLiscie(int kodeks) const
{
    const std::string& tytul = TytulKodeksu(kodeks);
    return !tytul.empty() && std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), tytul) != nazwyKodeksow.end();
}

void TfLumesta::OtworzAkt(const TAkt& akt, const std::string& dawnaNazwa, const std::optional<TAdres>& adres)
{
    const auto plik = FBibliotekaDanych ? FBibliotekaDanych->PlikAktu(akt, dawnaNazwa) : std::nullopt;
    if (plik) {
        const auto skad = BiezaceMiejsce();
        Q_EMIT OdnosnikOpuszczaMiejsce();
        // Presence files are named in the system's encoding; the tab keeps
        // the name in Windows-1250 like every other document name.
        if (!OtworzWZakladce(cp1250::fromUtf8(plik->string()), false))
            return;
        // Only an act that opened is a place of the way back.
        ZapiszMiejsce(skad);
        UstawPrzypisyZakladki();
        if (pecTablica)
            pecTablica->show();
        if (adres) {
            const int biezaca = BiezacaZakladka();
            if (const TIndeksJednostek* j = JednostkiZakladki(biezaca))
                if (const auto p = ZnajdzJednostke(*j, *adres))
                    PokazAkapit(biezaca, *p);
        }
        return;
    }
    const QString nazwa = toQString(NazwaAktu(akt));
    const QString tekst = QStringLiteral("Nie ma dziennika: \n") + nazwa + QStringLiteral("\n") +
                          QStringLiteral("- w bibliotece Dzienników Ustaw.") + QStringLiteral("\n") +
                          QStringLiteral("Czy chcesz sprawdzić na naszej stronie,") + QStringLiteral("\n") +
                          QStringLiteral("czy jest już dostępny?");
    if (Zapytaj(QStringLiteral("Wadomość o: ") + nazwa, tekst))
        pomoc::OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaFirmy) + QStringLiteral("/lumesta.html")));
}

bool TfLumesta::OtworzKodeks(int kodeks)
{
    const std::string& tytul = TytulKodeksu(kodeks);
    const auto it = std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), tytul);
    if (tytul.empty() || it == nazwyKodeksow.end()) {
        komunikaty->Komunikat(cp1250::fromUtf8("Nie ma w bibliotece: ") + tytul);
        return false;
    }
    // As a click on the code's row does.
    const int wiersz = int(it - nazwyKodeksow.begin());
    clbSpisKodeksow->setCurrentRow(wiersz);
    OdswiezListy(false);
    if (!OtworzWZakladce(tytul, true))
        return false;
    UstawPrzypisyZakladki();
    UstawZnacznik(wiersz, true);
    if (pecTablica)
        pecTablica->show();
    return true;
}

void TfLumesta::PokazAkapit(int zakladka, std::size_t akapit)
{
    TDocView* v = Widok(zakladka);
    const TDokumentZakladki* d = DokumentZakladki(zakladka);
    if (!v || !d || akapit >= d->Elementy.size())
        return;
    const int element = d->Elementy[akapit];
    const auto& linie = v->DrawLines();
    // Drawn lines follow the items; the first one of the paragraph's items.
    const auto it = std::lower_bound(linie.begin(), linie.end(), element,
                                     [](const TDrawLine& l, int e) { return l.Info.ItemNo < e; });
    if (it != linie.end())
        v->ScrollTo(it->Info.Top);
}

// ---------------------------------------------------------------------------
// The preview.

bool TfLumesta::DokumentPodgladu(const TCel& cel, const TPlik*& tekst, const TIndeksJednostek*& jednostki)
{
    // An open tab has the document at hand.
    for (int i = 0; i < int(spisyZakladek.size()); ++i) {
        const TDokumentZakladki* d = DokumentZakladki(i);
        if (!d)
            continue;
        const bool ten = cel.Rodzaj == TRodzajOdnosnika::ArtykulKodeksu ? d->Kodeks == cel.Kodeks
                                                                       : d->Akt && *d->Akt == cel.Akt;
        if (ten) {
            tekst = &d->Tekst;
            jednostki = JednostkiZakladki(i);
            return true;
        }
    }
    std::string nazwa;
    if (cel.Rodzaj == TRodzajOdnosnika::ArtykulKodeksu) {
        if (!BibliotekaOdnosnikow().JestKodeks(cel.Kodeks))
            return false;
        nazwa = TytulKodeksu(cel.Kodeks);
    } else {
        nazwa = NazwaAktu(cel.Akt);
    }
    if (!FPodglad || FPodglad->Nazwa != nazwa) {
        auto nowy = std::make_unique<TDokumentPodgladu>();
        nowy->Nazwa = nazwa;
        TCicho cisza;
        biblioteka->UstawKomunikaty(&cisza);
        TListaNapisow t, p, tytuly;
        try {
            biblioteka->OtworzDokument(nazwa, t, p, nowy->Tekst, true, tytuly);
        } catch (const std::exception&) {
        }
        biblioteka->UstawKomunikaty(komunikaty);
        nowy->Jednostki = TIndeksJednostek(nowy->Tekst);
        FPodglad = std::move(nowy);
    }
    tekst = &FPodglad->Tekst;
    jednostki = &FPodglad->Jednostki;
    return !tekst->empty();
}

void TfLumesta::PokazPodglad(int zakladka, const TOdnosnik& odnosnik)
{
    const TCel& cel = odnosnik.Cel;
    QString opis = toQString(OpisCelu(cel));
    if (cel.Rodzaj == TRodzajOdnosnika::Dziennik && !odnosnik.Istnieje)
        opis += QStringLiteral(" – nie ma go w bibliotece");
    sbStatus->showMessage(opis);
    if (cel.Rodzaj == TRodzajOdnosnika::Dziennik) {
        UkryjPodglad();
        return;
    }
    const TPlik* tekst = nullptr;
    const TIndeksJednostek* jednostki = nullptr;
    std::optional<std::size_t> akapit = odnosnik.Akapit;
    if (cel.Rodzaj == TRodzajOdnosnika::Artykul) {
        const TDokumentZakladki* d = DokumentZakladki(zakladka);
        jednostki = JednostkiZakladki(zakladka);
        if (d)
            tekst = &d->Tekst;
    } else if (!DokumentPodgladu(cel, tekst, jednostki)) {
        tekst = nullptr;
    }
    if (tekst && jednostki && !akapit)
        akapit = ZnajdzJednostke(*jednostki, cel.Adres);
    if (!tekst || !jednostki || !akapit) {
        UkryjPodglad();
        return;
    }
    const TPodgladJednostki p = PodgladJednostki(*tekst, *jednostki, cel.Adres, *akapit);
    QStringList linie;
    for (const std::string& l : p.Linie)
        linie.append(toQString(l));
    if (!podglad)
        podglad = new TOknoPodgladu(this);
    podglad->Pokaz(opis, linie, QCursor::pos());
}

void TfLumesta::UkryjPodglad()
{
    if (podglad)
        podglad->Ukryj();
}

// ---------------------------------------------------------------------------
// HTML export.

std::string TfLumesta::AdresSkoku(const TDocView* widok, int id) const
{
    const int zakladka = ZakladkaWidoku(widok);
    const TDokumentZakladki* d = DokumentZakladki(zakladka);
    const int j = id - widok->FirstJumpNo();
    if (!d || j < 0 || std::size_t(j) >= d->Skoki.size() || d->Skoki[std::size_t(j)].Odnosnik < 0)
        return {};
    const TOdnosnik& o = d->Odnosniki[std::size_t(d->Skoki[std::size_t(j)].Odnosnik)];
    const TCel& c = o.Cel;
    // Another document is addressed by the name its export gets by default.
    const auto plik = [](const std::string& nazwa) {
        return std::string(QUrl::toPercentEncoding(toQString(nazwa) + QStringLiteral(".html")).constData());
    };
    switch (c.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        return plik(NazwaAktu(c.Akt));
    case TRodzajOdnosnika::ArtykulAktu: {
        const std::string k = KotwicaJednostki(c.Adres);
        return plik(NazwaAktu(c.Akt)) + (k.empty() ? "" : "#" + k);
    }
    case TRodzajOdnosnika::ArtykulKodeksu: {
        const std::string k = KotwicaJednostki(c.Adres);
        return plik(TytulKodeksu(c.Kodeks)) + (k.empty() ? "" : "#" + k);
    }
    case TRodzajOdnosnika::Artykul: {
        // The unit this document has (the cited one or its enclosing one).
        const TIndeksJednostek* j2 = JednostkiZakladki(zakladka);
        const auto a = j2 ? ZnajdzAdres(*j2, c.Adres) : std::nullopt;
        const std::string k = a ? KotwicaJednostki(*a) : std::string();
        return k.empty() ? std::string() : "#" + k;
    }
    }
    return {};
}

void TfLumesta::UstawKotwice(int zakladka)
{
    TDocView* v = Widok(zakladka);
    const TDokumentZakladki* d = DokumentZakladki(zakladka);
    const TIndeksJednostek* j = JednostkiZakladki(zakladka);
    if (!v || !d || !j)
        return;
    std::vector<std::pair<int, std::string>> kotwice;
    for (const TJednostka& u : j->Jednostki()) {
        if (u.Pierwszy >= d->Elementy.size())
            continue;
        // A unit starts the units that enclose it too ("Art. 5. § 1." is
        // where article 5 begins).
        TAdres a = u.Adres;
        for (;;) {
            std::string k = KotwicaJednostki(a);
            if (!k.empty())
                kotwice.push_back({d->Elementy[u.Pierwszy], std::move(k)});
            if (!a.Litera.empty())
                a.Litera.clear();
            else if (!a.Punkt.empty())
                a.Punkt.clear();
            else if (!a.Ustep.empty() && !a.Artykul.empty())
                a.Ustep.clear();
            else
                break;
        }
    }
    // An article given twice keeps the first anchor only, as it is found.
    std::stable_sort(kotwice.begin(), kotwice.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    kotwice.erase(std::unique(kotwice.begin(), kotwice.end(),
                              [](const auto& a, const auto& b) { return a.second == b.second; }),
                  kotwice.end());
    v->SetAnchors(std::move(kotwice));
}
