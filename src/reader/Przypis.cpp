#include "reader/Przypis.h"

#include "platform/Canvas.h"
#include "platform/Cursors.h"
#include "links/Podglad.h"
#include "reader/Okienko.h"
#include "reader/PasekZnajdowania.h"
#include "reader/Wyglad.h"
#include "view/DVStyle.h"
#include "view/DocView.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int SzerokoscPrzypisu = 309;
constexpr int WysokoscPrzypisu = 100;
constexpr int StylTekstu = 0;
constexpr int StylOdnosnikaPrzypisu = 4;

// Nothing is there: only Journal citations are links.
class TBrakBiblioteki : public TBibliotekaOdnosnikow {
public:
    bool JestKodeks(int) const override { return false; }
    bool JestAkt(const TAkt&, const std::string&) const override { return false; }
};

} // namespace

std::vector<TKawalekPrzypisu> PodzielLinie(const std::string& linia,
                                           const std::vector<std::pair<std::size_t, std::size_t>>& odcinki)
{
    std::vector<TKawalekPrzypisu> wynik;
    if (odcinki.empty()) {
        wynik.push_back({linia, StylTekstu});
        return wynik;
    }
    const std::size_t n = linia.size();
    const auto fragment = [&](std::size_t od, std::size_t do_) {
        od = std::min(od, n);
        do_ = std::min(std::max(do_, od), n);
        return linia.substr(od, do_ - od);
    };
    std::size_t zrobione = 0;
    for (std::size_t i = 0; i < odcinki.size(); ++i) {
        const std::size_t od = std::max(odcinki[i].first, zrobione);
        const std::size_t do_ = std::max(od, odcinki[i].first + odcinki[i].second);
        if (i > 0 || od > 0)
            wynik.push_back({fragment(zrobione, od), StylTekstu});
        wynik.push_back({fragment(od, do_), StylOdnosnikaPrzypisu});
        zrobione = do_;
    }
    wynik.push_back({fragment(zrobione, n), StylTekstu});
    return wynik;
}

TfPrzypis::TfPrzypis(QWidget* wlasciciel)
    : QWidget(wlasciciel, Qt::Tool)
{
    setObjectName(QStringLiteral("fPrzypis"));
    setWindowTitle(QStringLiteral("Przypis"));
    setFont(czcionkaFormularza());
    resize(SzerokoscPrzypisu, WysokoscPrzypisu);

    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->setSpacing(0);
    lKodeks = new QLabel(this);
    lKodeks->setObjectName(QStringLiteral("lKodeks"));
    uklad->addWidget(lKodeks);

    // The footnote's own six styles, all Times New Roman 10 points.
    dvsPrzypis = new TDVStyle(this);
    dvsPrzypis->setObjectName(QStringLiteral("dvsPrzypis"));
    {
        TFontInfos style;
        const auto dodaj = [&style](TColor kolor, int styl) {
            TFontInfo& fi = style.Add();
            fi.FontName = "Times New Roman";
            fi.Size = 10;
            fi.Color = kolor;
            fi.Style = styl;
        };
        dodaj(clWindowText, 0);
        dodaj(clBlue, fsBold);
        dodaj(clNavy, fsBold);
        dodaj(clMaroon, fsItalic);
        dodaj(clGreen, fsUnderline);
        dodaj(clGreen, fsUnderline);
        dvsPrzypis->SetTextStyles(style);
    }
    dvsPrzypis->SetJumpCursor(crJump);

    dvPrzypis = new TDocView(this);
    dvPrzypis->setObjectName(QStringLiteral("dvPrzypis"));
    dvPrzypis->SetStyle(dvsPrzypis);
    dvPrzypis->SetLeftMargin(5);
    dvPrzypis->SetRightMargin(5);
    dvPrzypis->SetDelimiters(" .;,:(){}\"");
    dvPrzypis->SetAllowSelection(true);
    dvPrzypis->SetFirstJumpNo(0);
    dvPrzypis->OnJump = [this](TDocView*, int id) { dvPrzypisJump(id); };
    dvPrzypis->installEventFilter(this);
    uklad->addWidget(dvPrzypis, 1);

    pmPodreczne = new QMenu(this);
    pmPodreczne->setObjectName(QStringLiteral("pmPodreczne"));
    Kopiuj1 = new QAction(QStringLiteral("&Kopiuj"), this);
    Kopiuj1->setObjectName(QStringLiteral("Kopiuj1"));
    Kopiuj1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Zaznaczwszystko1 = new QAction(QStringLiteral("&Zaznacz wszystko"), this);
    Zaznaczwszystko1->setObjectName(QStringLiteral("Zaznaczwszystko1"));
    Zaznaczwszystko1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    pmPodreczne->addAction(Kopiuj1);
    pmPodreczne->addAction(Zaznaczwszystko1);
    pmPodreczne->addSeparator();
    // The menu shows the keys; the keys themselves are taken in
    // WlasnyKlawisz, so that they never compete with the main window's.
    Kopiuj1->setShortcutContext(Qt::WidgetShortcut);
    Zaznaczwszystko1->setShortcutContext(Qt::WidgetShortcut);
    connect(Kopiuj1, &QAction::triggered, this, &TfPrzypis::KopiujClick);
    connect(Zaznaczwszystko1, &QAction::triggered, this, &TfPrzypis::ZaznaczWszystkoClick);
    // Finding in the footnote's text, with a bar of the window's own.
    pZnajdz = new TPasekZnajdowania(this);
    pZnajdz->UstawWidok(dvPrzypis);
    uklad->addWidget(pZnajdz);
    Znajdz1 = new QAction(QStringLiteral("Zna&jdź…"), this);
    Znajdz1->setObjectName(QStringLiteral("Znajdz1"));
    Znajdz1->setShortcut(QKeySequence(Qt::Key_F3));
    ZnajdzPoprzedni1 = new QAction(QStringLiteral("Znajdź poprzednie"), this);
    ZnajdzPoprzedni1->setObjectName(QStringLiteral("ZnajdzPoprzedni1"));
    ZnajdzPoprzedni1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    Znajdz1->setShortcutContext(Qt::WidgetShortcut);
    ZnajdzPoprzedni1->setShortcutContext(Qt::WidgetShortcut);
    pmPodreczne->addAction(Znajdz1);
    connect(Znajdz1, &QAction::triggered, this, [this] { ZnajdzClick(false); });
    connect(ZnajdzPoprzedni1, &QAction::triggered, this, [this] { ZnajdzClick(true); });
    dvPrzypis->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dvPrzypis, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { pmPodreczne->popup(dvPrzypis->mapToGlobal(p)); });

    // The view gets its final width now, so that the footnote is laid out
    // once, for the width it is shown at.
    uklad->activate();

    // Centred over the main window.
    if (wlasciciel) {
        const QRect g = wlasciciel->geometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
    FormCreate();
}

TfPrzypis::~TfPrzypis()
{
    // The view goes before the style table it refers to.
    delete dvPrzypis;
    dvPrzypis = nullptr;
}

void TfPrzypis::FormCreate()
{
    zadanieDziennika = false;
    zadanieZamkniecia = false;
    odnosnik.clear();
    for (int i = 0; i < dvsPrzypis->TextStyles().Count(); ++i)
        dvsPrzypis->TextStyles().Items(i).CharSet = EASTEUROPE_CHARSET;
}

void TfPrzypis::WypelnijPrzypis(const TListaNapisow& linie)
{
    static const TBrakBiblioteki brak;
    const std::size_t pierwszy = odnosniki.size();
    for (TOdnosnik& o : OdnosnikiPrzypisu(linie, {}, biblioteka ? *biblioteka : brak))
        if (OdnosnikCzynny(o))
            odnosniki.push_back(std::move(o));
    // The parts of each line, in order, with the link each belongs to.
    std::vector<std::vector<std::pair<std::size_t, std::size_t>>> odcinki(linie.size());
    std::vector<std::vector<int>> czyje(linie.size());
    for (std::size_t i = pierwszy; i < odnosniki.size(); ++i) {
        for (const TMiejsceOdnosnika& m : odnosniki[i].Miejsca) {
            odcinki[m.Linia].push_back({m.Od, m.Dlugosc});
            czyje[m.Linia].push_back(int(i));
        }
    }
    for (std::size_t n = 0; n < linie.size(); ++n) {
        std::size_t czesc = 0;
        for (const TKawalekPrzypisu& k : PodzielLinie(linie[n], odcinki[n])) {
            dvPrzypis->AddText(k.Tekst, k.Styl);
            if (k.Styl == StylOdnosnikaPrzypisu)
                skoki.push_back(czyje[n][czesc++]);
        }
    }
    dvPrzypis->Format();
    dvPrzypis->viewport()->update();
}

void TfPrzypis::dvPrzypisJump(int id)
{
    // A jump the footnote has no link for asks for nothing.
    if (id < 0 || std::size_t(id) >= skoki.size())
        return;
    cel = odnosniki[std::size_t(skoki[std::size_t(id)])].Cel;
    odnosnik = cel.Rodzaj == TRodzajOdnosnika::Dziennik ? NazwaAktu(cel.Akt) : OpisCelu(cel);
    zadanieDziennika = true;
    Wyslij(WM_DZIENNIK_PRZYPISU);
}

void TfPrzypis::KopiujClick()
{
    dvPrzypis->CopySelection();
}

void TfPrzypis::ZaznaczWszystkoClick()
{
    dvPrzypis->SelectAll();
    dvPrzypis->viewport()->update();
}

void TfPrzypis::ZnajdzClick(bool wstecz)
{
    if (!pZnajdz->isVisible()) {
        // The bar needs more room than a footnote window usually has.
        const QSize pasek = pZnajdz->sizeHint();
        resize(std::max(width(), pasek.width()), height() + pasek.height());
        pZnajdz->Otworz();
        return;
    }
    if (wstecz)
        pZnajdz->Poprzedni();
    else
        pZnajdz->Nastepny();
}

void TfPrzypis::closeEvent(QCloseEvent* e)
{
    zadanieZamkniecia = true;
    Wyslij(WM_ZAMKNIJ_PRZYPIS);
    e->accept();
}

bool TfPrzypis::WlasnyKlawisz(QEvent* e)
{
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const bool kopiuj = k->matches(QKeySequence::Copy);
    const bool wszystko = k->matches(QKeySequence::SelectAll);
    const bool zamknij = k->matches(QKeySequence::Close);
    // F3 and Shift+F3: finding in this window's text (the main window's F3
    // finds in the main document).
    const bool znajdz =
        k->key() == Qt::Key_F3 && (k->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    if (!kopiuj && !wszystko && !zamknij && !znajdz)
        return false;
    // Accepting the override turns the key into a plain key press here
    // instead of a shortcut of some other window.
    e->accept();
    if (e->type() == QEvent::KeyPress) {
        if (znajdz)
            ZnajdzClick(k->modifiers() & Qt::ShiftModifier);
        else if (kopiuj)
            KopiujClick();
        else if (wszystko)
            ZaznaczWszystkoClick();
        else
            close();
    }
    return true;
}

bool TfPrzypis::event(QEvent* e)
{
    if (WlasnyKlawisz(e))
        return true;
    return QWidget::event(e);
}

bool TfPrzypis::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == dvPrzypis && WlasnyKlawisz(e))
        return true;
    return QWidget::eventFilter(obj, e);
}

void TfPrzypis::Wyslij(int typ)
{
    if (uchwytGlownego)
        QCoreApplication::postEvent(uchwytGlownego.data(), new QEvent(QEvent::Type(typ)));
}
