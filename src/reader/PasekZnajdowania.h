#pragma once
// The find bar: a strip under a document view that finds the typed text in
// it as the user types. Every place found is highlighted, the current one
// is selected and brought into the window; Enter and Shift+Enter (or F3 and
// Shift+F3) go to the next and the previous place, Escape closes the bar
// and leaves the current place selected. Letter case never counts; Polish
// diacritics count only when "Uwzględniaj polskie znaki" is ticked.
//
// The same bar serves the main window's documents (the view changes with
// the tab) and a footnote window's text.
#include "search/Znajdowanie.h"
#include "view/DocView.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

class TPasekZnajdowania : public QWidget {
    Q_OBJECT
public:
    explicit TPasekZnajdowania(QWidget* rodzic = nullptr);

    // The view searched. Its highlights are this bar's while the bar is
    // open; switching views moves them.
    void UstawWidok(TDocView* widok);
    TDocView* Widok() const { return FWidok.data(); }
    // The document in the view changed (rebuilt, laid out anew for a font):
    // the places are found again.
    void Odswiez();

    // Shows the bar with the cursor in its text (all of it selected).
    void Otworz();
    // Next and previous place; the bar opens when it is closed.
    void Nastepny();
    void Poprzedni();
    // Hides the bar and its highlights; the current place stays selected
    // and the view gets the keyboard.
    void Zamknij();

    QLineEdit* Tekst() const { return eTekst; }
    QCheckBox* PolskieZnaki() const { return cbPolskieZnaki; }
    // "3 z 41", "Nie znaleziono" or nothing.
    QString Licznik() const;
    int LiczbaMiejsc() const { return int(FMiejsca.size()); }
    int Biezace() const { return FBiezace; }

protected:
    bool eventFilter(QObject* obiekt, QEvent* e) override;

private:
    void Szukaj();
    void PokazBiezace();
    void UstawLicznik();
    // The place to start from: the first at or after the top of the window.
    int MiejscePrzyOknie() const;

    QLineEdit* eTekst = nullptr;
    QLabel* lLicznik = nullptr;
    QCheckBox* cbPolskieZnaki = nullptr;
    QToolButton* bPoprzedni = nullptr;
    QToolButton* bNastepny = nullptr;
    QToolButton* bZamknij = nullptr;

    QPointer<TDocView> FWidok;
    // The view's text items, folded once per document.
    szukanie::TZnajdowanie FZnajdowanie;
    std::vector<int> FElementy;   // text of FZnajdowanie -> item of the view
    bool FNieaktualne = true;
    std::vector<szukanie::TMiejsce> FMiejsca;
    int FBiezace = -1;
};
