#pragma once
// The footnote window: a small tool window over the main window showing one
// footnote's text, usually the amending acts with their Journal of Laws
// citations. Each citation is a link, and so is a reference to a code's
// article or to an act the footnote cites; a click on one, and the closing of
// the window, are only flagged here and announced to the main window with a
// posted message, which then serves or frees this window.
#include "links/Odnosniki.h"
#include "store/Typy.h"

#include <QPointer>
#include <QWidget>

#include <string>

class QAction;
class QLabel;
class QMenu;
class TDocView;
class TDVStyle;
class TPasekZnajdowania;

// One piece of a footnote line as the window shows it: text in style 0 or a
// citation in style 4.
struct TKawalekPrzypisu {
    std::string Tekst; // Windows-1250
    int Styl = 0;
    friend bool operator==(const TKawalekPrzypisu&, const TKawalekPrzypisu&) = default;
};

// Cuts line `linia` at the links' spans `odcinki` (offset from 0 and length,
// in order): text before the first, each link, the text between two, the
// text after the last. An empty leading piece is left out; between and
// after, the pieces are kept even when empty, as the window adds them.
// Spans that do not fit the line are cut to it, never read outside it.
std::vector<TKawalekPrzypisu> PodzielLinie(const std::string& linia,
                                           const std::vector<std::pair<std::size_t, std::size_t>>& odcinki);

class TfPrzypis : public QWidget {
    Q_OBJECT
public:
    // Client area 309 x 100, centred over `wlasciciel` (the main window),
    // which also owns the window.
    explicit TfPrzypis(QWidget* wlasciciel = nullptr);
    ~TfPrzypis() override;

    // Builds the footnote document from its lines and lays it out.
    void WypelnijPrzypis(const TListaNapisow& linie);
    // Jump `id` (a part of a link) was clicked.
    void dvPrzypisJump(int id);

    void KopiujClick();
    void ZaznaczWszystkoClick();
    // F3 / Shift+F3 while this window is active: its own find bar.
    void ZnajdzClick(bool wstecz);

    // What the links are looked up in; set by the main window before the
    // footnote is filled. Without it only Journal citations are links.
    const TBibliotekaOdnosnikow* biblioteka = nullptr;
    // The links the footnote offers, in text order.
    TOdnosniki odnosniki;
    // For each jump, the index of its link in `odnosniki` (a link that runs
    // over a line end is two jumps).
    std::vector<int> skoki;
    // A link was clicked and waits for the main window.
    bool zadanieDziennika = false;
    // The window was closed and waits to be freed.
    bool zadanieZamkniecia = false;
    // The requested target, and its name: the act's ("Dz.U.2001.5.7") or a
    // description of the unit.
    TCel cel;
    std::string odnosnik;
    // The main window, receiver of the two messages.
    QPointer<QObject> uchwytGlownego;

    QLabel* lKodeks = nullptr;
    TDocView* dvPrzypis = nullptr;
    TDVStyle* dvsPrzypis = nullptr;
    QMenu* pmPodreczne = nullptr;
    QAction* Kopiuj1 = nullptr;
    QAction* Zaznaczwszystko1 = nullptr;
    QAction* Znajdz1 = nullptr;
    QAction* ZnajdzPoprzedni1 = nullptr;
    TPasekZnajdowania* pZnajdz = nullptr;

protected:
    // The window only hides; the main window frees it on the message.
    void closeEvent(QCloseEvent* e) override;
    // Copy, select all and close are this window's own while it is active:
    // the main window's menu shortcuts (the same keys) must not take them.
    bool event(QEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void FormCreate();
    void Wyslij(int typ);
    // A copy, select-all, close or find (F3) key: overridden as a shortcut, carried
    // out on the key press. True when `e` was one of them.
    bool WlasnyKlawisz(QEvent* e);
};
