#include "reader/Przypis.h"

#include "platform/Canvas.h"
#include "platform/Cursors.h"
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
constexpr int StylOdnosnika = 4;

} // namespace

std::vector<TKawalekPrzypisu> PodzielLinie(const std::string& linia, const TDziennikiUstaw& refs)
{
    std::vector<TKawalekPrzypisu> wynik;
    if (refs.empty()) {
        wynik.push_back({linia, StylTekstu});
        return wynik;
    }
    // Characters a..b of the line, counted from 1.
    const auto fragment = [&linia](std::int64_t a, std::int64_t b) { return Wycinek(linia, a - 1, b); };
    if (refs.front().Od > 1)
        wynik.push_back({fragment(1, refs.front().Od - 1), StylTekstu});
    for (std::size_t i = 0; i < refs.size(); ++i) {
        wynik.push_back({fragment(refs[i].Od, std::int64_t(refs[i].Do) - 2), StylOdnosnika});
        if (i + 1 < refs.size())
            wynik.push_back({fragment(std::int64_t(refs[i].Do) - 1, std::int64_t(refs[i + 1].Od) - 1), StylTekstu});
    }
    wynik.push_back({fragment(std::int64_t(refs.back().Do) - 1, std::int64_t(linia.size())), StylTekstu});
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
    for (const std::string& linia : linie) {
        TDziennikiUstaw refs;
        SzukajDziennikow(linia, refs);
        odnosniki.insert(odnosniki.end(), refs.begin(), refs.end());
        for (const TKawalekPrzypisu& k : PodzielLinie(linia, refs))
            dvPrzypis->AddText(k.Tekst, k.Styl);
    }
    dvPrzypis->Format();
    dvPrzypis->viewport()->update();
}

void TfPrzypis::dvPrzypisJump(int id)
{
    // A jump the footnote has no citation for asks for nothing.
    if (id < 0 || std::size_t(id) >= odnosniki.size())
        return;
    odnosnik = "Dz.U." + odnosniki[std::size_t(id)].Tekst;
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
