// The main window's documents: the codes list read from the data folder,
// opening a document in a tab of its own, building its view and contents,
// indexing its footnotes, and keeping the codes list, the contents list and
// the per-tab lists in step with the tabs as they are chosen and closed.
#include "reader/Okienko.h"

#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "links/Podglad.h"
#include "reader/NazwyDokumentow.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <QCoreApplication>
#include <QLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

namespace {

constexpr int PierwszyNumerSkoku = 1000;

const QString KomunikatBrakZakladki = QStringLiteral("Nie ma żadnego otwartego dokumentu.");

// Texts of the data in Windows-1250, as the store delivers them.
const std::string NazwaListyKodeksow = cp1250::fromUtf8("Kodeks cywilny");

} // namespace

std::string KomunikatBrakDanych(const std::vector<std::filesystem::path>& foldery, const std::filesystem::path& program)
{
    std::string s = cp1250::fromUtf8("Nie znaleziono danych programu (kodeksów).\r\nSzukano pliku Lumesta.rdu w folderach:\r\n");
    for (const std::filesystem::path& f : foldery)
        s += cp1250::fromUtf8(f.string()) + "\r\n";
    return s + cp1250::fromUtf8("Aby czytać obowiązujące prawo, pobierz tekst jednolity aktu (PDF) i dodaj go "
                                "poleceniem „Dodaj akt…” z menu „Pliki” (Ctrl+O).\r\n"
                                "Dane przygotowuje się też z tekstów źródłowych (opis formatu: docs/source-format.md) "
                                "poleceniem:\r\nlumesta-tool pack FOLDER_Z_TEKSTAMI ") +
           cp1250::fromUtf8(program.string()) + "\r\n" +
           cp1250::fromUtf8("Potem uruchom program ponownie.");
}

std::string KomunikatBrakSlownika(const std::filesystem::path& program)
{
    return cp1250::fromUtf8("Brak słownika ") + cp1250::fromUtf8((program / "Morvitane.sko").string()) +
           cp1250::fromUtf8(".\r\nBez niego teksty kodeksów nie dadzą się odczytać; spakuj dane ponownie "
                            "poleceniem lumesta-tool pack.");
}

std::string KomunikatBrakTekstu(const std::string& nazwa, const std::filesystem::path& kontener)
{
    return cp1250::fromUtf8("Brak tekstu: ") + nazwa + cp1250::fromUtf8("\r\nNie ma pliku ") +
           cp1250::fromUtf8(kontener.string()) + cp1250::fromUtf8(", który powinien go zawierać.");
}

std::string KomunikatZaDuzy(const std::string& nazwa)
{
    return cp1250::fromUtf8("Za mało pamięci, by pokazać: ") + nazwa;
}

std::filesystem::path KatalogInstalacji(const std::filesystem::path& program,
                                        const std::filesystem::path& systemowy)
{
    std::error_code blad;
    if (!program.empty()) {
        const std::filesystem::path obok = (program / ".." / "share" / "lumesta").lexically_normal();
        if (std::filesystem::is_directory(obok, blad))
            return obok;
    }
    if (!systemowy.empty() && std::filesystem::is_directory(systemowy, blad))
        return systemowy;
    return {};
}

std::filesystem::path KatalogLicencji(const std::filesystem::path& program, const std::filesystem::path& instalacja)
{
    std::error_code blad;
    if (!std::filesystem::is_regular_file(program / "Licencja.rtf", blad) && !instalacja.empty() &&
        std::filesystem::is_regular_file(instalacja / "Licencja.rtf", blad))
        return instalacja;
    return program;
}

std::string KatalogNadrzedny(const std::string& sciezka)
{
    std::string s = sciezka;
    if (!s.empty() && s.back() == '/')
        s.pop_back();
    const auto poz = s.rfind('/');
    if (poz == std::string::npos)
        return {};
    return s.substr(0, poz + 1);
}

std::filesystem::path TfLumesta::KatalogNadrzednyProgramu() const
{
    std::string program = sKatalogProgramu.string();
    if (program.empty() || program.back() != '/')
        program += '/';
    return std::filesystem::path(KatalogNadrzedny(program));
}

void TfLumesta::WczytajSpisKodeksow()
{
    clbSpisKodeksow->clear();
    nazwyKodeksow.clear();
    bool jestKontener = false;
    const auto wypelnij = [this, &jestKontener] {
        clbSpisKodeksow->clear();
        nazwyKodeksow.clear();
        TPlik nieuzywany;
        TListaNapisow tekst;
        TListaNapisow przypisy;
        TWynikOtwarcia wynik = TWynikOtwarcia::BladKontenera;
        try {
            wynik = biblioteka->OtworzDokument(NazwaListyKodeksow, tekst, przypisy, nieuzywany, false, spisKodeksow);
        } catch (const std::exception& e) {
            komunikaty->Komunikat(e.what());
        }
        jestKontener = jestKontener || wynik != TWynikOtwarcia::BrakKontenera;
        if (wynik != TWynikOtwarcia::Otwarty)
            return;
        // Only the codes whose text can be reached are listed (the library
        // list leaves out entries of a damaged directory, which the store
        // has reported): no blank rows and no rows that would open nothing.
        FUstawiaZnaczniki = true;
        for (const std::string& nazwa : spisKodeksow) {
            if (nazwa.empty() || std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), nazwa) != nazwyKodeksow.end())
                continue;
            auto* w = new QListWidgetItem(toQString(nazwa), clbSpisKodeksow);
            w->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            w->setCheckState(Qt::Unchecked);
            nazwyKodeksow.push_back(nazwa);
        }
        FUstawiaZnaczniki = false;
    };

    // The library beside the program is in the program's folder, or in its
    // parent when the first holds no codes (whatever the user's library holds).
    sKatalogDanych = sKatalogProgramu / "Lumesta" / "";
    biblioteka->UstawFolder(BibliotekaProgramu, sKatalogDanych);
    wypelnij();
    if (biblioteka->Tytuly(NazwaListyKodeksow, int(BibliotekaProgramu)).empty()) {
        const std::filesystem::path nadrzedny = KatalogNadrzednyProgramu();
        if (!nadrzedny.empty()) {
            sKatalogDanych = nadrzedny / "Lumesta" / "";
            biblioteka->UstawFolder(BibliotekaProgramu, sKatalogDanych);
            wypelnij();
        }
    }
    // Links are looked up in the libraries as now read. The units of other
    // codes are not decoded for it: a reference to a code counts as there
    // when the code is, and finds its unit when followed.
    if (!FBibliotekaDanych)
        FBibliotekaDanych = std::make_unique<TBibliotekaDanych>(*biblioteka, false);
    FBibliotekaDanych->Odswiez();
    FPodglad.reset();

    // A first start without data, or with data but no dictionary: the user
    // learns where the program looked and how data are made.
    std::error_code blad;
    if (!jestKontener) {
        // Every place a library may be: the user's own, beside the program
        // or above it, and any further ones in the list.
        std::vector<std::filesystem::path> foldery;
        const auto dodaj = [&foldery](std::filesystem::path f) {
            f = f.lexically_normal();
            if (!f.empty() && !f.has_filename())
                f = f.parent_path();
            if (!f.empty() && std::find(foldery.begin(), foldery.end(), f) == foldery.end())
                foldery.push_back(f);
        };
        if (biblioteka->Liczba() > BibliotekaUzytkownika)
            dodaj(biblioteka->Folder(BibliotekaUzytkownika));
        dodaj(sKatalogProgramu / "Lumesta");
        if (!KatalogNadrzednyProgramu().empty())
            dodaj(KatalogNadrzednyProgramu() / "Lumesta");
        for (std::size_t i = BibliotekaProgramu + 1; i < biblioteka->Liczba(); ++i)
            dodaj(biblioteka->Folder(i));
        komunikaty->Komunikat(KomunikatBrakDanych(foldery, sKatalogProgramu));
    }
    else if (!biblioteka->Tytuly(NazwaListyKodeksow, int(BibliotekaProgramu)).empty() &&
             !std::filesystem::is_regular_file(sKatalogProgramu / "Morvitane.sko", blad))
        komunikaty->Komunikat(KomunikatBrakSlownika(sKatalogProgramu));
}

// ---------------------------------------------------------------------------
// Tabs.

int TfLumesta::LiczbaZakladek() const
{
    return pecTablica ? pecTablica->TabTexts().Count() : 0;
}

int TfLumesta::BiezacaZakladka() const
{
    return pecTablica ? pecTablica->TabIndex() : -1;
}

TDocView* TfLumesta::Widok(int zakladka) const
{
    if (!pecTablica)
        return nullptr;
    TTabExtSheet* arkusz = pecTablica->SheetOfTab(zakladka);
    return arkusz ? qobject_cast<TDocView*>(arkusz->Control()) : nullptr;
}

TDocView* TfLumesta::BiezacyWidok() const
{
    return Widok(BiezacaZakladka());
}

bool TfLumesta::PokazOtwarty(const std::string& nazwa)
{
    for (std::size_t i = 0; i < nazwyZakladek.size(); ++i) {
        if (nazwyZakladek[i] == nazwa) {
            if (pecTablica)
                pecTablica->SetTabIndex(int(i));
            OdswiezTytul();
            // Selecting a tab by program raises no change event, so the
            // contents list is brought to the tab here.
            OdswiezListy(false);
            return false;
        }
    }
    return true;
}

TfLumesta::TOtwieranie::TOtwieranie(TfLumesta* okno) : FOkno(okno)
{
    ++FOkno->FOtwieranie;
}

TfLumesta::TOtwieranie::~TOtwieranie()
{
    if (--FOkno->FOtwieranie > 0)
        return;
    for (; FOkno->FDziennikiCzekaja > 0; --FOkno->FDziennikiCzekaja)
        QCoreApplication::postEvent(FOkno, new QEvent(QEvent::Type(WM_DZIENNIK_PRZYPISU)));
}

bool TfLumesta::OtworzWZakladce(const std::string& nazwa, bool zListy)
{
    if (!PokazOtwarty(nazwa))
        return true;

    const TOtwieranie otwieranie(this);

    // The document is read before a tab is made for it: one that cannot be
    // read (the user has been told why) gets no tab at all.
    tekstDokumentu.clear();
    if (!WczytajDokument(nazwa, zListy))
        return false;

    // The strip is shown before the document is built, so that the view
    // is laid out once, for the width it is shown at.
    if (!pecTablica)
        UtworzTablice();
    pecTablica->show();
    nazwyZakladek.push_back(nazwa);
    IndeksujPrzypisy();

    ++licznikZakladek;
    auto* arkusz = new TTabExtSheet(pecTablica);
    arkusz->setObjectName(QStringLiteral("ts_plik%1").arg(licznikZakladek));
    arkusz->Colors().SetActiveFill1(clGreen);
    arkusz->SetCaption(OpisDokumentu(nazwa));
    arkusz->SetHostStrip(pecTablica);
    pecTablica->SetActivePage(arkusz);
    OdswiezTytul();

    auto* widok = new TDocView;
    widok->setObjectName(QStringLiteral("se_plik%1").arg(licznikZakladek));
    widok->hide();
    widok->SetStyle(DVSStyl);
    widok->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widok, &QWidget::customContextMenuRequested, this,
            [this, widok](const QPoint& p) { pmPodreczne->popup(widok->mapToGlobal(p)); });
    PodlaczWidok(widok, true);
    arkusz->SetControl(widok);
    widok->show();
    // Make the sizes of the strip, the sheet and the view final now.
    if (pPole->layout())
        pPole->layout()->activate();
    arkusz->setGeometry(pecTablica->PageRect());
    widok->setGeometry(arkusz->rect());

    try {
        ZbudujDokument(nazwa, widok, zListy);
    } catch (const std::bad_alloc&) {
        // A document too large for the memory: its half-built tab goes and
        // the program carries on with the others.
        wiersze.clear();
        nazwyZakladek.pop_back();
        indeksyPrzypisow.pop_back();
        delete arkusz;
        gWczytywanie->hide();
        lWczytywanie->hide();
        komunikaty->Komunikat(KomunikatZaDuzy(nazwa));
        OdswiezTytul();
        tOtwarcie->start();
        return false;
    }

    widok->OnDVMouseMove = [this](TDocView* v, int id) { dvTekstDVMouseMove(v, id); };
    widok->OnJump = [this](TDocView* v, int id) { dvTekstJump(v, id); };
    widok->OnURLNeeded = [this](TDocView* v, int id, std::string& adres) { adres = AdresSkoku(v, id); };
    return true;
}

void TfLumesta::ZbudujDokument(const std::string& nazwa, TDocView* widok, bool zListy)
{
    widok->Clear();
    widok->SetFirstJumpNo(PierwszyNumerSkoku);
    TSpisZakladki spis = WypelnijWidok(widok);
    PodlaczMiejsca(widok, nazwa, zListy);
    ZachowajTekst(spis);

    if (zListy) {
        int wiersz = clbSpisKodeksow->currentRow();
        if (wiersz < 0 || std::size_t(wiersz) >= nazwyKodeksow.size() || nazwyKodeksow[std::size_t(wiersz)] != nazwa) {
            const auto it = std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), nazwa);
            if (it != nazwyKodeksow.end())
                wiersz = int(it - nazwyKodeksow.begin());
        }
        spis.NumerKodeksu = wiersz;
    } else {
        spis.NumerKodeksu = PierwszyNumerDziennika + licznikZakladek;
    }
    PokazSpis(spis);
    spisyZakladek.push_back(std::move(spis));
    tZegar->start();
}

TSpisZakladki TfLumesta::WypelnijWidok(TDocView* widok)
{
    PokazPostep(QStringLiteral("Wczytywanie"), int(std::min<std::size_t>(wiersze.size(), 0x7FFFFFFF)));

    lbSpisTresci->clear();
    TSpisZakladki spis = DodajElementy(widok);

    widok->Format();
    widok->viewport()->update();

    spis.Ekran.reserve(qsizetype(spis.Spis.size()));
    for (const std::string& wpis : spis.Spis)
        spis.Ekran.append(toQString(wpis));
    return spis;
}

void TfLumesta::ZachowajTekst(TSpisZakladki& spis)
{
    // The tab keeps its text for previews of its units.
    if (spis.Dokument)
        spis.Dokument->Tekst = std::move(wiersze);
    wiersze.clear();
}

bool TfLumesta::WczytajDokument(const std::string& nazwa, bool zListy)
{
    // Nothing of the document loaded before survives a failed load.
    wiersze.clear();
    przypisyTekst.clear();

    std::string wpis = nazwa;
    const auto ukosnik = wpis.find_last_of("/\\:");
    if (ukosnik != std::string::npos)
        wpis.erase(0, ukosnik + 1);
    if (!zListy && wpis.size() >= 4 && wpis.compare(wpis.size() - 4, 4, ".txt") == 0)
        wpis.resize(wpis.size() - 4);
    // What the document is decides which of its references are links.
    FWczytanyKodeks = -1;
    FWczytanyAkt.reset();
    if (const auto klucz = SprobujRozbierzNazwe(wpis)) {
        if (klucz->Rok == kNazwaKodeksow && klucz->Numer < kLiczbaKodeksow)
            FWczytanyKodeks = klucz->Numer;
        else if (klucz->Rok != kNazwaKodeksow)
            FWczytanyAkt = RozbierzNazweAktu("Dz.U." + klucz->Rok + "." + std::to_string(klucz->Numer) + "." +
                                             std::to_string(klucz->Pozycja));
    }

    TWynikOtwarcia wynik = TWynikOtwarcia::BladKontenera;
    try {
        wynik = biblioteka->OtworzDokument(wpis, tekstDokumentu, przypisyTekst, wiersze, true, spisKodeksow);
    } catch (const std::exception& e) {
        komunikaty->Komunikat(e.what());
    }
    if (wynik == TWynikOtwarcia::Otwarty)
        return true;
    // The store has said what went wrong, except that the container is not
    // there at all (an act whose presence file outlived its yearbook).
    if (wynik == TWynikOtwarcia::BrakKontenera) {
        // The yearbook belongs beside the presence file that marks the act.
        const int gdzie = biblioteka->GdzieDziennik(wpis);
        const std::filesystem::path folder = gdzie >= 0 ? biblioteka->Folder(std::size_t(gdzie)) : sKatalogDanych;
        if (const auto klucz = SprobujRozbierzNazwe(wpis))
            komunikaty->Komunikat(KomunikatBrakTekstu(wpis, SciezkaKontenera(folder, *klucz)));
    }
    // Text decoded with holes (a damaged dictionary) is not shown as if it
    // were the document.
    wiersze.clear();
    przypisyTekst.clear();
    return false;
}

TSpisZakladki TfLumesta::DodajElementy(TDocView* widok)
{
    auto dokument = std::make_shared<TDokumentZakladki>();
    dokument->Kodeks = FWczytanyKodeks;
    dokument->Akt = FWczytanyAkt;
    if (rozpoznawanieOdnosnikow) {
        // Whether a reference's unit is there is told by its article, read
        // in the same pass; the unit index, which finds the paragraph, is
        // made when a link is first followed.
        TZrodloOdnosnikow zrodlo;
        zrodlo.Kodeks = FWczytanyKodeks;
        zrodlo.Akapity = false;
        zrodlo.ArtykulyZTekstu = true;
        dokument->Odnosniki = OdnosnikiTresci(wiersze, zrodlo, BibliotekaOdnosnikow());
        std::erase_if(dokument->Odnosniki, [](const TOdnosnik& o) { return !OdnosnikCzynny(o); });
    }
    TZbudowanyDokument zbudowany = ZbudujWidokDokumentu(
        wiersze, *widok, ilObrazki.get(),
        [this](std::size_t zrobione) { gWczytywanie->SetProgress(int(std::min<std::size_t>(zrobione, 0x7FFFFFFF))); },
        &dokument->Odnosniki);
    numeryPrzypisow.insert(numeryPrzypisow.end(), zbudowany.NumeryPrzypisow.begin(),
                           zbudowany.NumeryPrzypisow.end());
    dokument->Skoki = std::move(zbudowany.Skoki);
    dokument->Elementy = std::move(zbudowany.Elementy);
    FOdcinki = std::move(zbudowany.Odcinki);
    TSpisZakladki spis;
    spis.Spis = std::move(zbudowany.Spis);
    spis.Dokument = std::move(dokument);
    return spis;
}

void TfLumesta::IndeksujPrzypisy()
{
    indeksyPrzypisow.push_back(IndeksPrzypisow(przypisyTekst));
}

void TfLumesta::TekstPrzypisu(int zakladka, int blok, TListaNapisow& linie) const
{
    if (zakladka < 0 || std::size_t(zakladka) >= indeksyPrzypisow.size())
        return;
    TekstBloku(indeksyPrzypisow[std::size_t(zakladka)], blok, linie);
}

void TfLumesta::OdswiezTytul()
{
    const int biezaca = BiezacaZakladka();
    if (biezaca >= 0 && std::size_t(biezaca) < nazwyZakladek.size())
        setWindowTitle(QStringLiteral("Lumesta: ") + toQString(OpisDokumentu(nazwyZakladek[std::size_t(biezaca)])));
}

// ---------------------------------------------------------------------------
// Keeping the codes list, the contents list and the strip in step.

void TfLumesta::UstawZnacznik(int wiersz, bool zaznaczony)
{
    QListWidgetItem* w = clbSpisKodeksow->item(wiersz);
    if (!w)
        return;
    FUstawiaZnaczniki = true;
    w->setCheckState(zaznaczony ? Qt::Checked : Qt::Unchecked);
    FUstawiaZnaczniki = false;
}

void TfLumesta::PokazSpis(const TSpisZakladki& spis)
{
    // One batch insert: a long code has thousands of entries.
    lbSpisTresci->clear();
    if (spis.Ekran.size() == qsizetype(spis.Spis.size())) {
        lbSpisTresci->addItems(spis.Ekran);
        return;
    }
    QStringList wpisy;
    wpisy.reserve(qsizetype(spis.Spis.size()));
    for (const std::string& wpis : spis.Spis)
        wpisy.append(toQString(wpis));
    lbSpisTresci->addItems(wpisy);
}

void TfLumesta::OdznaczWszystkie()
{
    for (int i = 0; i < clbSpisKodeksow->count(); ++i)
        UstawZnacznik(i, false);
}

void TfLumesta::OdswiezListy(bool znaczniki)
{
    if (spisyZakladek.empty()) {
        OdznaczWszystkie();
        lbSpisTresci->clear();
        return;
    }
    const int biezaca = BiezacaZakladka();
    if (biezaca < 0 || std::size_t(biezaca) >= spisyZakladek.size())
        return;
    const TSpisZakladki& e = spisyZakladek[std::size_t(biezaca)];
    PokazSpis(e);
    if (!znaczniki)
        return;
    OdznaczWszystkie();
    for (const TSpisZakladki& s : spisyZakladek)
        if (s.NumerKodeksu >= 0 && s.NumerKodeksu < clbSpisKodeksow->count())
            UstawZnacznik(s.NumerKodeksu, true);
    if (e.NumerKodeksu >= 0 && e.NumerKodeksu < clbSpisKodeksow->count())
        clbSpisKodeksow->setCurrentRow(e.NumerKodeksu);
}

void TfLumesta::UstawPrzypisyZakladki()
{
    if (spisyZakladek.empty() || oknaPrzypisow.empty())
        return;
    const int biezaca = BiezacaZakladka();
    if (biezaca < 0 || std::size_t(biezaca) >= spisyZakladek.size())
        return;
    const TSpisZakladki& e = spisyZakladek[std::size_t(biezaca)];
    for (TOknoPrzypisu& slot : oknaPrzypisow)
        if (slot.Okno)
            slot.Okno->setVisible(slot.NumerKodeksu == e.NumerKodeksu);
    if (e.NumerKodeksu >= 0 && e.NumerKodeksu < clbSpisKodeksow->count())
        clbSpisKodeksow->setCurrentRow(e.NumerKodeksu);
    PokazSpis(e);
}

void TfLumesta::ZamknijZakladke(int indeks, bool zTablicy)
{
    if (!pecTablica || LiczbaZakladek() == 0) {
        komunikaty->Komunikat(fromQString(KomunikatBrakZakladki));
        return;
    }
    if (indeks < 0 || std::size_t(indeks) >= spisyZakladek.size() || std::size_t(indeks) >= nazwyZakladek.size() ||
        std::size_t(indeks) >= indeksyPrzypisow.size())
        return;
    const int numer = spisyZakladek[std::size_t(indeks)].NumerKodeksu;
    for (TOknoPrzypisu& slot : oknaPrzypisow) {
        if (slot.Okno && slot.NumerKodeksu == numer) {
            delete slot.Okno.data();
            slot.Okno = nullptr;
        }
    }
    if (std::none_of(oknaPrzypisow.begin(), oknaPrzypisow.end(), [](const TOknoPrzypisu& s) { return !s.Okno.isNull(); }))
        oknaPrzypisow.clear();

    nazwyZakladek.erase(nazwyZakladek.begin() + indeks);
    indeksyPrzypisow.erase(indeksyPrzypisow.begin() + indeks);
    spisyZakladek.erase(spisyZakladek.begin() + indeks);

    TTabExtSheet* arkusz = pecTablica->SheetOfTab(indeks);
    if (!zTablicy) {
        delete arkusz;
    } else if (arkusz) {
        // The strip only detaches the sheet after this event; its document
        // goes once the strip is done with it.
        arkusz->deleteLater();
    }
    OdswiezTytul();
    tOdswiezTablica->start();
}

void TfLumesta::ZamknijBiezacy()
{
    if (LiczbaZakladek() == 0) {
        BrakDokumentu();
        return;
    }
    ZamknijZakladke(BiezacaZakladka(), false);
    OdswiezListy(true);
    tOtwarcie->start();
}
