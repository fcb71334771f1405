// What the main window remembers between runs: its look, its geometry and
// the tabs that were open, each at the place it was read. The session is
// reopened lazily: only the current tab is built at start, every other one
// when it is first shown.
#include "reader/Okienko.h"

#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "reader/NazwyDokumentow.h"
#include "view/DVStyle.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <new>
#include <set>

// ---------------------------------------------------------------------------
// Settings.

void TfLumesta::UzyjUstawien(const QString& plik)
{
    FPlikUstawien = plik;
    ZastosujUstawienia(WczytajUstawienia(plik));
}

void TfLumesta::ZastosujUstawienia(const TUstawienia& u)
{
    TFontInfos& style = DVSStyl->TextStyles();
    // Sizes saved for another set of styles fit none of these: the window's
    // own fonts stay.
    if (u.Czcionki && int(u.Czcionki->Rozmiary.size()) == style.Count()) {
        for (int i = 0; i < style.Count(); ++i) {
            TFontInfo& f = style.Items(i);
            f.FontName = u.Czcionki->Nazwa;
            f.Size = u.Czcionki->Rozmiary[std::size_t(i)];
            f.Color = u.Czcionki->Kolor;
            f.CharSet = u.Czcionki->ZestawZnakow;
        }
        FCzcionkiWybrane = true;
    }
    if (u.KolorTla)
        DVSStyl->SetColor(*u.KolorTla);
    UstawPowiekszenie(u.Powiekszenie);

    // Geometry that does not restore (another program's, damaged) leaves the
    // window where the constructor put it.
    if (!u.GeometriaOkna.isEmpty())
        restoreGeometry(u.GeometriaOkna);
    if (!u.StanOkna.isEmpty())
        restoreState(u.StanOkna);
    // The lists are hidden first: a splitter keeps the size it is given for
    // a hidden pane and hands it back when the pane is shown.
    clbSpisKodeksow->setVisible(u.PokazSpisKodeksow);
    lbSpisTresci->setVisible(u.PokazSpisTresci);
    FPodzialPoziomy = u.PodzialPoziomy;
    FPodzialPionowy = u.PodzialPionowy;
    if (u.PodzialPoziomy.size() == 2)
        sPodzialka->setSizes({u.PodzialPoziomy[0], u.PodzialPoziomy[1]});
    if (u.PodzialPionowy.size() == 2)
        sPodzialPion->setSizes({u.PodzialPionowy[0], u.PodzialPionowy[1]});

    switch (u.StylPrzyciskow) {
    case TStylPrzyciskow::Ikony:
        Ikony1Click();
        break;
    case TStylPrzyciskow::IkonyITeksty:
        Ikonyiteksty1Click();
        break;
    case TStylPrzyciskow::Teksty:
        eksty1Click();
        break;
    }
    UstawMaleWylaczniki(u.MaleWylaczniki);

    FOtwierajOstatnie = u.OtwierajOstatnie;
    OtwierajOstatnie1->setChecked(u.OtwierajOstatnie);
    FSesja = u.Zakladki;
    FBiezacaSesji = u.BiezacaZakladka;
}

TUstawienia TfLumesta::ZbierzUstawienia() const
{
    TUstawienia u;
    const TFontInfos& style = DVSStyl->TextStyles();
    if (FCzcionkiWybrane && style.Count() > 0) {
        TCzcionkiDokumentow c;
        c.Nazwa = style.Items(0).FontName;
        c.Kolor = style.Items(0).Color;
        c.ZestawZnakow = style.Items(0).CharSet;
        for (int i = 0; i < style.Count(); ++i)
            c.Rozmiary.push_back(style.Items(i).Size);
        u.Czcionki = std::move(c);
    }
    u.KolorTla = DVSStyl->Color();
    u.Powiekszenie = FPowiekszenie;

    u.GeometriaOkna = saveGeometry();
    u.StanOkna = saveState();
    // A pane that is hidden has no size of its own to keep: its splitter
    // keeps what it had when last seen whole.
    const auto podzial = [](const QSplitter* s, const std::vector<int>& poprzedni) {
        const QList<int> r = s->sizes();
        if (r.size() != 2 || r[0] <= 0 || r[1] <= 0)
            return poprzedni;
        return std::vector<int>{r[0], r[1]};
    };
    u.PodzialPoziomy = podzial(sPodzialka, FPodzialPoziomy);
    u.PodzialPionowy = podzial(sPodzialPion, FPodzialPionowy);
    u.PokazSpisKodeksow = !clbSpisKodeksow->isHidden();
    u.PokazSpisTresci = !lbSpisTresci->isHidden();
    const Qt::ToolButtonStyle styl = tbZapisz->toolButtonStyle();
    u.StylPrzyciskow = styl == Qt::ToolButtonIconOnly   ? TStylPrzyciskow::Ikony
                       : styl == Qt::ToolButtonTextOnly ? TStylPrzyciskow::Teksty
                                                        : TStylPrzyciskow::IkonyITeksty;
    u.MaleWylaczniki = pecTablica ? pecTablica->SmallCloseBtn() : FMaleWylaczniki;

    u.OtwierajOstatnie = FOtwierajOstatnie;
    if (!FOtwierajOstatnie)
        return u; // a session the user does not want reopened is not kept either
    const int ile = std::min<int>(LiczbaZakladek(), int(nazwyZakladek.size()));
    for (int i = 0; i < ile; ++i) {
        TZakladkaSesji z;
        const std::string& nazwa = nazwyZakladek[std::size_t(i)];
        // A Journal act is remembered by its name, not by where its presence
        // file happened to lie.
        const std::string akt = NazwaDziennika(nazwa);
        z.Nazwa = akt.empty() ? nazwa : akt;
        TDocView* v = Widok(i);
        const auto odlozona = FOdlozone.find(v);
        const TDVAnchor miejsce = odlozona != FOdlozone.end() ? odlozona->second.Miejsce
                                  : v                        ? v->TopAnchor()
                                                             : TDVAnchor{};
        z.Element = miejsce.Item;
        z.Pozycja = miejsce.Pos;
        u.Zakladki.push_back(std::move(z));
        if (i == BiezacaZakladka())
            u.BiezacaZakladka = int(u.Zakladki.size()) - 1;
    }
    return u;
}

void TfLumesta::ZapamietajPodzialy()
{
    const auto zapamietaj = [](const QSplitter* s, std::vector<int>& gdzie) {
        const QList<int> r = s->sizes();
        if (r.size() == 2 && r[0] > 0 && r[1] > 0)
            gdzie = {r[0], r[1]};
    };
    zapamietaj(sPodzialka, FPodzialPoziomy);
    zapamietaj(sPodzialPion, FPodzialPionowy);
}

bool TfLumesta::ZapiszUstawieniaOkna() const
{
    return !FPlikUstawien.isEmpty() && ZapiszUstawienia(FPlikUstawien, ZbierzUstawienia());
}

void TfLumesta::closeEvent(QCloseEvent* e)
{
    // Written when the window closes, not when the program ends: what is
    // saved is what the user last saw. A file that cannot be written costs
    // only the remembered state; closing goes on.
    ZapiszUstawieniaOkna();
    QMainWindow::closeEvent(e);
}

void TfLumesta::UstawMaleWylaczniki(bool male)
{
    FMaleWylaczniki = male;
    const QString napis = male ? QStringLiteral("&Duże wyłączniki") : QStringLiteral("&Małe wyłączniki");
    Duzewylczniki1->setText(napis);
    Duewyczniki1->setText(napis);
    if (pecTablica && pecTablica->SmallCloseBtn() != male) {
        pecTablica->SetSmallCloseBtn(male);
        // A font change makes the strip measure its tabs again.
        const QFont stara = pecTablica->font();
        QFont f = stara;
        if (f.pointSize() > 0)
            f.setPointSize(f.pointSize() + 1);
        else
            f.setPixelSize(f.pixelSize() + 1);
        pecTablica->setFont(f);
        pecTablica->setFont(stara);
        tOdswiezTablica->start();
    }
}

// ---------------------------------------------------------------------------
// The session.

bool TfLumesta::Odlozona(int zakladka) const
{
    const TDocView* v = Widok(zakladka);
    return v && FOdlozone.count(v) > 0;
}

void TfLumesta::PrzywrocSesje(const std::vector<TZakladkaSesji>& zakladki, int biezaca)
{
    struct TDoOtwarcia {
        std::string Nazwa;
        bool ZListy;
        TDVAnchor Miejsce;
    };
    std::vector<TDoOtwarcia> otwierane;
    std::vector<std::string> brakujace;
    std::set<std::string> nazwy(nazwyZakladek.begin(), nazwyZakladek.end());
    int nowaBiezaca = -1;
    for (int i = 0; i < int(zakladki.size()); ++i) {
        const TZakladkaSesji& z = zakladki[std::size_t(i)];
        std::string nazwa;
        bool zListy = true;
        if (std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), z.Nazwa) != nazwyKodeksow.end()) {
            nazwa = z.Nazwa;
        } else if (const std::string akt = NazwaDziennika(z.Nazwa); !akt.empty()) {
            // An act is open under its presence file, as a citation opens it,
            // in the first library that has one; without one it is gone.
            const int gdzie = biblioteka->GdzieDziennik(akt);
            if (gdzie >= 0) {
                const std::filesystem::path plik =
                    biblioteka->Folder(std::size_t(gdzie)) / "Dzienniki Ustaw" / (cp1250::toUtf8(akt) + ".txt");
                nazwa = cp1250::fromUtf8(plik.string());
                zListy = false;
            }
        }
        if (nazwa.empty()) {
            brakujace.push_back(OpisDokumentu(z.Nazwa));
            continue;
        }
        if (!nazwy.insert(nazwa).second)
            continue; // open already
        if (i <= biezaca)
            nowaBiezaca = int(otwierane.size());
        otwierane.push_back({nazwa, zListy, TDVAnchor{z.Element, z.Pozycja}});
    }

    if (!otwierane.empty()) {
        const int pierwsza = LiczbaZakladek();
        {
            FPrzywracanie = true;
            struct TKoniec {
                bool& flaga;
                ~TKoniec() { flaga = false; }
            } koniec{FPrzywracanie};
            for (const TDoOtwarcia& d : otwierane)
                OtworzOdlozona(d.Nazwa, d.ZListy, d.Miejsce);
            pecTablica->SetTabIndex(pierwsza + std::max(0, nowaBiezaca));
        }
        if (TDocView* v = BiezacyWidok(); v && FOdlozone.count(v))
            ZbudujOdlozona(v);
        pecTablica->show();
        OdswiezTytul();
        OdswiezListy(true);
    }

    if (!brakujace.empty()) {
        std::string tekst = cp1250::fromUtf8("Tych dokumentów z poprzedniej sesji nie ma już w bibliotece:");
        for (const std::string& b : brakujace)
            tekst += "\r\n" + b;
        komunikaty->Komunikat(tekst);
    }
}

void TfLumesta::OtworzOdlozona(const std::string& nazwa, bool zListy, const TDVAnchor& miejsce)
{
    if (!pecTablica)
        UtworzTablice();
    pecTablica->show();
    nazwyZakladek.push_back(nazwa);

    ++licznikZakladek;
    auto* arkusz = new TTabExtSheet(pecTablica);
    arkusz->setObjectName(QStringLiteral("ts_plik%1").arg(licznikZakladek));
    arkusz->Colors().SetActiveFill1(clGreen);
    arkusz->SetCaption(OpisDokumentu(nazwa));

    auto* widok = new TDocView;
    widok->setObjectName(QStringLiteral("se_plik%1").arg(licznikZakladek));
    widok->SetStyle(DVSStyl);
    widok->SetFirstJumpNo(1000);
    widok->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widok, &QWidget::customContextMenuRequested, this,
            [this, widok](const QPoint& p) { pmPodreczne->popup(widok->mapToGlobal(p)); });
    FOdlozone[widok] = TOdlozona{nazwa, zListy, miejsce};
    connect(widok, &QObject::destroyed, this, [this, widok] { FOdlozone.erase(widok); });
    PodlaczWidok(widok, true);
    arkusz->SetControl(widok);
    arkusz->SetHostStrip(pecTablica);

    // The tab's lists get their places now, filled when it is built.
    TSpisZakladki spis;
    if (zListy) {
        const auto it = std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), nazwa);
        spis.NumerKodeksu = it != nazwyKodeksow.end() ? int(it - nazwyKodeksow.begin()) : -1;
    } else {
        spis.NumerKodeksu = PierwszyNumerDziennika + licznikZakladek;
    }
    spisyZakladek.push_back(std::move(spis));
    indeksyPrzypisow.emplace_back();

    widok->OnDVMouseMove = [this](TDocView* v, int id) { dvTekstDVMouseMove(v, id); };
    widok->OnJump = [this](TDocView* v, int id) { dvTekstJump(v, id); };
    widok->OnURLNeeded = [this](TDocView* v, int id, std::string& adres) { adres = AdresSkoku(v, id); };
}

void TfLumesta::ZbudujOdlozona(TDocView* widok)
{
    const auto it = FOdlozone.find(widok);
    if (it == FOdlozone.end())
        return;
    const TOdlozona d = it->second;
    FOdlozone.erase(it);

    const TOtwieranie otwieranie(this);

    // The view is laid out once, for the size it is shown at.
    if (QWidget* arkusz = widok->parentWidget()) {
        if (pPole->layout())
            pPole->layout()->activate();
        arkusz->setGeometry(pecTablica->PageRect());
        widok->setGeometry(arkusz->rect());
    }
    QPointer<TDocView> pilnuj(widok);
    tekstDokumentu.clear();
    widok->Clear();
    // A document that has become unreadable since the last run (the user
    // has been told why) loses its tab, as one opened from the list would
    // never get one.
    if (!WczytajDokument(d.Nazwa, d.ZListy)) {
        if (pilnuj)
            ZamknijNieudana(widok);
        return;
    }
    if (!pilnuj)
        return; // the tab was closed while the store asked the user something
    AZapisPrzypisu przypisy = IndeksPrzypisow(przypisyTekst);
    TSpisZakladki spis;
    try {
        spis = WypelnijWidok(widok);
    } catch (const std::bad_alloc&) {
        wiersze.clear();
        widok->Clear();
        UkryjPostep();
        komunikaty->Komunikat(KomunikatZaDuzy(OpisDokumentu(d.Nazwa)));
        ZamknijNieudana(widok);
        return;
    }
    PodlaczMiejsca(widok, d.Nazwa, d.ZListy);
    ZachowajTekst(spis);
    widok->ScrollToAnchor(d.Miejsce);

    // The tab is found again: tabs may have been closed in the meantime.
    for (int i = 0; i < LiczbaZakladek(); ++i) {
        if (Widok(i) != widok || std::size_t(i) >= spisyZakladek.size())
            continue;
        spis.NumerKodeksu = spisyZakladek[std::size_t(i)].NumerKodeksu;
        spisyZakladek[std::size_t(i)] = std::move(spis);
        indeksyPrzypisow[std::size_t(i)] = std::move(przypisy);
        if (i == BiezacaZakladka())
            PokazSpis(spisyZakladek[std::size_t(i)]);
        break;
    }
    tZegar->start();
}

void TfLumesta::ZamknijNieudana(TDocView* widok)
{
    // Not at once: the view may be in the middle of its own show event.
    QTimer::singleShot(0, this, [this, pilnuj = QPointer<TDocView>(widok)] {
        if (!pilnuj)
            return;
        for (int i = 0; i < LiczbaZakladek(); ++i) {
            if (Widok(i) == pilnuj) {
                ZamknijZakladke(i, false);
                OdswiezListy(true);
                tOtwarcie->start();
                return;
            }
        }
    });
}
