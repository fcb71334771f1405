// The main window's finding: the find bar over the current document, the
// library search panel, going to a unit, the place shown in the status bar,
// and the way back and forth between the places jumped from.
#include "reader/Okienko.h"

#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "reader/PasekPrzejscia.h"
#include "reader/PasekZnajdowania.h"
#include "search/Rdzenie.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

// Colours of the highlights: the words of a search result, and a unit gone
// to (shown briefly).
constexpr TColor KolorSlow = 0x0066E0FF;
constexpr TColor KolorJednostki = 0x00FFE8C8;
constexpr int CzasPodswietleniaJednostki = 1500;   // ms

// The mouse's back and forward buttons pressed anywhere in the window (the
// views leave presses of those buttons alone).
class TPrzyciskiMyszy : public QObject {
public:
    TPrzyciskiMyszy(TfLumesta* okno) : QObject(okno), FOkno(okno) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* obiekt, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonPress || !obiekt->isWidgetType())
            return false;
        const auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() != Qt::BackButton && m->button() != Qt::ForwardButton)
            return false;
        if (static_cast<QWidget*>(obiekt)->window() != FOkno)
            return false;
        if (m->button() == Qt::BackButton)
            FOkno->WsteczClick();
        else
            FOkno->DalejClick();
        return true;
    }

private:
    TfLumesta* FOkno;
};

// The paragraph of the top line of a view: the first line with text of a
// paragraph whose upper half is not above the window (a sliver of a line
// the scroll unit leaves at the top does not count).
std::optional<std::size_t> akapitUGory(const TDocView& v, const TMiejscaDokumentu& m)
{
    const int y = v.VPos() * v.ScrollUnit();
    const auto& linie = v.DrawLines();
    for (int i = v.FindFirstVisibleLine(y); i < int(linie.size()); ++i) {
        const TDrawLineInfo& d = linie[std::size_t(i)].Info;
        if (d.Top + d.Height / 2 < y)
            continue;
        if (const auto a = m.Akapit(d.ItemNo))
            return a;
    }
    return std::nullopt;
}

} // namespace

QImage ObrazekStrzalki(bool wstecz, QSize rozmiar, qreal skala)
{
    if (!(skala > 0))
        skala = 1.0;
    QImage obraz(int(std::ceil(rozmiar.width() * skala - 0.001)), int(std::ceil(rozmiar.height() * skala - 0.001)),
                 QImage::Format_ARGB32_Premultiplied);
    obraz.setDevicePixelRatio(skala);
    obraz.fill(Qt::transparent);
    QPainter p(&obraz);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = rozmiar.width(), h = rozmiar.height();
    QPainterPath s;
    // An arrow pointing right; mirrored for "Wstecz".
    s.moveTo(w * 0.12, h * 0.38);
    s.lineTo(w * 0.52, h * 0.38);
    s.lineTo(w * 0.52, h * 0.18);
    s.lineTo(w * 0.90, h * 0.50);
    s.lineTo(w * 0.52, h * 0.82);
    s.lineTo(w * 0.52, h * 0.62);
    s.lineTo(w * 0.12, h * 0.62);
    s.closeSubpath();
    if (wstecz) {
        p.translate(w, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(QColor(0x00, 0x50, 0x00), 1.5));
    p.setBrush(QColor(0x20, 0xA0, 0x30));
    p.drawPath(s);
    return obraz;
}

void TfLumesta::UtworzSzukanie()
{
    const auto akcja = [this](const char* nazwa, const QString& tekst, const QKeySequence& skrot) {
        auto* a = new QAction(tekst, this);
        a->setObjectName(QString::fromLatin1(nazwa));
        a->setShortcut(skrot);
        return a;
    };
    Znajdz1 = akcja("Znajdz1", QStringLiteral("Zna&jdź…"), QKeySequence(Qt::Key_F3));
    ZnajdzPoprzedni1 = akcja("ZnajdzPoprzedni1", QStringLiteral("Znajdź poprzednie"),
                             QKeySequence(Qt::SHIFT | Qt::Key_F3));
    SzukajWszedzie1 = akcja("SzukajWszedzie1", QStringLiteral("&Szukaj we wszystkich…"),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    Przejdzdo1 = akcja("Przejdzdo1", QStringLiteral("&Przejdź do…"), QKeySequence(Qt::CTRL | Qt::Key_G));
    Wstecz1 = akcja("Wstecz1", QStringLiteral("Wstecz"), QKeySequence(Qt::ALT | Qt::Key_Left));
    Dalej1 = akcja("Dalej1", QStringLiteral("Dalej"), QKeySequence(Qt::ALT | Qt::Key_Right));
    Edycja1->addSeparator();
    Edycja1->addAction(Znajdz1);
    Edycja1->addAction(SzukajWszedzie1);
    Edycja1->addAction(Przejdzdo1);
    // Without a menu item of their own, these work through the window.
    addAction(ZnajdzPoprzedni1);
    addAction(Wstecz1);
    addAction(Dalej1);
    connect(Znajdz1, &QAction::triggered, this, &TfLumesta::ZnajdzClick);
    connect(ZnajdzPoprzedni1, &QAction::triggered, this, &TfLumesta::ZnajdzPoprzedniClick);
    connect(SzukajWszedzie1, &QAction::triggered, this, &TfLumesta::SzukajWszedzieClick);
    connect(Przejdzdo1, &QAction::triggered, this, &TfLumesta::PrzejdzDoClick);
    connect(Wstecz1, &QAction::triggered, this, &TfLumesta::WsteczClick);
    connect(Dalej1, &QAction::triggered, this, &TfLumesta::DalejClick);

    // The bars lie under the tab strip, in the document area.
    pZnajdz = new TPasekZnajdowania(pPole);
    pPrzejdz = new TPasekPrzejscia(pPole);
    pPole->layout()->addWidget(pZnajdz);
    pPole->layout()->addWidget(pPrzejdz);
    pPrzejdz->OnPrzejdz = [this](const std::string& adres) { return PrzejdzDo(adres); };
    pPrzejdz->OnZamknij = [this] {
        if (TDocView* v = BiezacyWidok())
            v->setFocus(Qt::ShortcutFocusReason);
    };

    pWyniki = new TPanelWynikow;
    pWyniki->OnWybor = [this](const TPanelWynikow::TWybor& w) { PokazWynik(w); };
    pWyniki->OnBiblioteki = [this] { return BibliotekiSzukania(); };
    dWyniki = new QDockWidget(QStringLiteral("Wyniki wyszukiwania"), this);
    dWyniki->setObjectName(QStringLiteral("dWyniki"));
    dWyniki->setWidget(pWyniki);
    dWyniki->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::BottomDockWidgetArea, dWyniki);
    dWyniki->hide();

    sbMiejsce = new QLabel(sbStatus);
    sbMiejsce->setObjectName(QStringLiteral("sbMiejsce"));
    sbStatus->addWidget(sbMiejsce, 1);

    new TPrzyciskiMyszy(this);
    OdswiezHistorie();
}

// ---------------------------------------------------------------------------
// The documents' places.

void TfLumesta::PodlaczMiejsca(TDocView* widok, const std::string& nazwa, bool zListy)
{
    ZapiszDokument(widok, nazwa, zListy);
    widok->OnVScrolled = [this, widok](TDVScroller*) {
        if (widok == BiezacyWidok())
            OdswiezMiejsce();
    };
    if (pZnajdz && widok == BiezacyWidok())
        pZnajdz->UstawWidok(widok);
    OdswiezMiejsce();
}

void TfLumesta::ZapiszDokument(TDocView* widok, const std::string& nazwa, bool zListy)
{
    const bool nowy = !FDokumenty.count(widok);
    FDokumenty[widok] = {nazwa, zListy, std::make_shared<TMiejscaDokumentu>(wiersze, std::move(FOdcinki))};
    FOdcinki.clear();
    if (nowy)
        connect(widok, &QObject::destroyed, this, [this, widok] { FDokumenty.erase(widok); });
}

const TMiejscaDokumentu* TfLumesta::MiejscaWidoku(const TDocView* widok) const
{
    const auto it = FDokumenty.find(widok);
    return it == FDokumenty.end() ? nullptr : it->second.Miejsca.get();
}

std::optional<TMiejsce> TfLumesta::BiezaceMiejsce() const
{
    const TDocView* v = BiezacyWidok();
    const auto it = FDokumenty.find(v);
    if (!v || it == FDokumenty.end())
        return std::nullopt;
    TMiejsce m{it->second.Nazwa, it->second.ZListy, 0};
    if (const auto akapit = akapitUGory(*v, *it->second.Miejsca))
        m.Akapit = *akapit;
    return m;
}

void TfLumesta::OdswiezMiejsce()
{
    if (!sbMiejsce)
        return;
    const TDocView* v = BiezacyWidok();
    const TMiejscaDokumentu* m = MiejscaWidoku(v);
    QString tekst;
    if (v && m)
        if (const auto akapit = akapitUGory(*v, *m))
            tekst = toQString(m->Jednostki().OpisMiejsca(*akapit));
    if (sbMiejsce->text() != tekst)
        sbMiejsce->setText(tekst);
}

// ---------------------------------------------------------------------------
// The way back.

void TfLumesta::ZapiszMiejsce() { ZapiszMiejsce(BiezaceMiejsce()); }

void TfLumesta::ZapiszMiejsce(const std::optional<TMiejsce>& skad)
{
    if (skad)
        historia.Zapisz(*skad);
    OdswiezHistorie();
}

bool TfLumesta::OtworzDoSkoku(const std::string& nazwa, bool zListy)
{
    if (!OtworzWZakladce(nazwa, zListy))
        return false;
    UstawPrzypisyZakladki();
    OdswiezListy(true);
    if (pecTablica)
        pecTablica->show();
    return true;
}

void TfLumesta::OdswiezHistorie()
{
    Wstecz1->setEnabled(historia.MoznaWstecz());
    Dalej1->setEnabled(historia.MoznaDalej());
    if (tbWstecz)
        tbWstecz->setEnabled(historia.MoznaWstecz());
    if (tbDalej)
        tbDalej->setEnabled(historia.MoznaDalej());
}

void TfLumesta::PokazMiejsce(const TMiejsce& miejsce)
{
    if (miejsce.Dokument.empty())
        return;
    if (!OtworzDoSkoku(miejsce.Dokument, miejsce.ZListy))
        return;
    TDocView* v = BiezacyWidok();
    const TMiejscaDokumentu* m = MiejscaWidoku(v);
    if (!v || !m)
        return;
    if (const auto e = m->PierwszyElement(miejsce.Akapit))
        v->ShowItem(*e, 0, true);
    OdswiezMiejsce();
}

void TfLumesta::WsteczClick()
{
    if (const auto cel = historia.Wstecz(BiezaceMiejsce().value_or(TMiejsce{})))
        PokazMiejsce(*cel);
    OdswiezHistorie();
}

void TfLumesta::DalejClick()
{
    if (const auto cel = historia.Dalej(BiezaceMiejsce().value_or(TMiejsce{})))
        PokazMiejsce(*cel);
    OdswiezHistorie();
}

// ---------------------------------------------------------------------------
// Find, go to, search.

void TfLumesta::ZnajdzClick()
{
    if (!BiezacyWidok()) {
        BrakDokumentu();
        return;
    }
    pPrzejdz->hide();
    pZnajdz->UstawWidok(BiezacyWidok());
    pZnajdz->Nastepny();
}

void TfLumesta::ZnajdzPoprzedniClick()
{
    if (!BiezacyWidok()) {
        BrakDokumentu();
        return;
    }
    pPrzejdz->hide();
    pZnajdz->UstawWidok(BiezacyWidok());
    pZnajdz->Poprzedni();
}

void TfLumesta::PrzejdzDoClick()
{
    if (!BiezacyWidok()) {
        BrakDokumentu();
        return;
    }
    if (pZnajdz->isVisible())
        pZnajdz->Zamknij();
    pPrzejdz->Otworz();
}

QString TfLumesta::PrzejdzDo(const std::string& adres)
{
    TDocView* v = BiezacyWidok();
    const TMiejscaDokumentu* m = MiejscaWidoku(v);
    if (!v || !m)
        return QStringLiteral("Nie ma otwartego dokumentu.");
    const auto a = RozbierzAdres(adres);
    if (!a)
        return QStringLiteral("Nie rozumiem „%1”; wpisz np. 148 albo art. 148 § 2.").arg(toQString(adres));
    const auto zakres = m->Jednostki().Zakres(*a);
    if (!zakres)
        return QStringLiteral("W tym dokumencie nie ma: %1.").arg(toQString(OpisAdresu(*a)));
    const auto element = m->PierwszyElement(zakres->first);
    if (!element)
        return QStringLiteral("W tym dokumencie nie ma: %1.").arg(toQString(OpisAdresu(*a)));
    ZapiszMiejsce();
    v->ShowItem(*element, 0, true);
    // The unit lights up for a moment.
    std::vector<TDVHighlight> jednostka;
    for (std::size_t p = zakres->first; p < zakres->second; ++p)
        for (const TZakresElementu& z : m->Zakresy(p, 0, std::size_t(-1) / 2))
            jednostka.push_back({z.Element, z.Od, z.Dlugosc, KolorJednostki});
    v->SetHighlights(jednostka);
    QPointer<TDocView> widok(v);
    QTimer::singleShot(CzasPodswietleniaJednostki, this, [widok, jednostka] {
        if (widok && widok->Highlights() == jednostka)
            widok->ClearHighlights();
    });
    OdswiezMiejsce();
    return {};
}

const std::vector<std::shared_ptr<szukanie::TBiblioteka>>& TfLumesta::BibliotekiSzukania()
{
    if (biblioteki.empty() && biblioteka) {
        for (std::size_t i = 0; i < biblioteka->Liczba(); ++i) {
            if (biblioteka->Slownik(i).empty())
                continue;
            auto b = std::make_shared<szukanie::TBiblioteka>(biblioteka->Slownik(i), biblioteka->Folder(i));
            b->UstawZapisRdzeni(i == BibliotekaUzytkownika);
            biblioteki.push_back(std::move(b));
        }
    }
    return biblioteki;
}

void TfLumesta::SzukajWszedzieClick()
{
    dWyniki->show();
    dWyniki->raise();
    pWyniki->Zapytanie()->setFocus(Qt::ShortcutFocusReason);
    // A selection in the document is what the user most likely looks for.
    if (TDocView* v = BiezacyWidok())
        if (v->SelectionExists() && pWyniki->Zapytanie()->text().isEmpty()) {
            const std::string zaznaczone = v->GetSelectedText();
            if (zaznaczone.size() < 80 && zaznaczone.find('\n') == std::string::npos)
                pWyniki->Zapytanie()->setText(toQString(zaznaczone));
        }
    // Selected, so that typing replaces it.
    pWyniki->Zapytanie()->selectAll();
}

void TfLumesta::PokazWynik(const TPanelWynikow::TWybor& wybor)
{
    // The results come from the libraries the window reads, and each
    // document from the library the window reads it from.
    std::string nazwa = wybor.Dokument.Nazwa;
    const bool zListy = wybor.Dokument.Kontener.filename() == "Lumesta.rdu";
    if (!zListy) {
        // A Journal act opens by its presence file, as from a footnote.
        const int gdzie = biblioteka->GdzieDziennik(nazwa);
        const std::filesystem::path folder =
            gdzie >= 0 ? biblioteka->Folder(std::size_t(gdzie)) : wybor.Dokument.Kontener.parent_path();
        nazwa = cp1250::fromUtf8((folder / "Dzienniki Ustaw" / (cp1250::toUtf8(nazwa) + ".txt")).string());
    }
    // A document that cannot be opened leaves the current one as it was.
    const auto skad = BiezaceMiejsce();
    if (!OtworzDoSkoku(nazwa, zListy))
        return;
    ZapiszMiejsce(skad);
    TDocView* v = BiezacyWidok();
    const TMiejscaDokumentu* m = MiejscaWidoku(v);
    if (!v || !m)
        return;
    if (!wybor.Przypis) {
        std::vector<TDVHighlight> slowa;
        for (const auto& z : wybor.Zakresy)
            for (const TZakresElementu& e : m->Zakresy(wybor.Linia, z.Od, z.Dlugosc))
                slowa.push_back({e.Element, e.Od, e.Dlugosc, KolorSlow});
        if (pZnajdz->isVisible())
            pZnajdz->Zamknij();
        v->SetHighlights(slowa);
        if (!slowa.empty()) {
            v->SelectItemRange(slowa.front().Item, slowa.front().Start, slowa.front().Start);
            v->ShowItem(slowa.front().Item, slowa.front().Start, false);
        }
    } else {
        // The footnote opens in its window, with the words highlighted there.
        const int id = v->FirstJumpNo() + int(wybor.NumerPrzypisu) - 1;
        for (const TJumpInfo& j : v->Jumps())
            if (j.Id == int(wybor.NumerPrzypisu) - 1) {
                v->ScrollTo(std::max(0, j.Top - v->ClientHeight() / 3));
                break;
            }
        const std::size_t przed = oknaPrzypisow.size();
        dvTekstJump(v, id);
        if (oknaPrzypisow.size() > przed && oknaPrzypisow.back().Okno) {
            TfPrzypis* okno = oknaPrzypisow.back().Okno;
            std::vector<TDVHighlight> slowa;
            const TItemList& elementy = okno->dvPrzypis->Items();
            for (const std::string& s : wybor.Slowa)
                for (std::size_t e = 0; e < elementy.size(); ++e)
                    for (std::size_t p = elementy[e].Text.find(s); p != std::string::npos;
                         p = elementy[e].Text.find(s, p + s.size()))
                        slowa.push_back({int(e), int(p), int(s.size()), KolorSlow});
            okno->dvPrzypis->SetHighlights(slowa);
        }
    }
    OdswiezMiejsce();
}
