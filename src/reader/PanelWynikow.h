#pragma once
// The library search panel: a query, and the places found in every code
// and every present Journal of Laws act, grouped by document, each with
// where it is ("Kodeks cywilny › Art. 415") and a line of its text with
// the words found in bold. The search runs on a thread of its own and the
// results come in as each document is done, so the window never waits.
// Choosing a result hands it to the owner (OnWybor), which shows it.
#include "search/Biblioteka.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TPanelWynikow : public QWidget {
    Q_OBJECT
public:
    explicit TPanelWynikow(QWidget* rodzic = nullptr);
    ~TPanelWynikow() override;

    // The libraries searched, in this order (the user's own first, then the
    // program's). A document a library holds is searched in the first
    // library that holds it only, as the reader reads it from there. A
    // library is made ready on the search thread when it is first searched.
    void UstawBiblioteki(std::vector<std::shared_ptr<szukanie::TBiblioteka>> biblioteki);
    // When set, asked for the libraries at the start of every search (they
    // change when the user adds an act).
    std::function<std::vector<std::shared_ptr<szukanie::TBiblioteka>>()> OnBiblioteki;
    const std::vector<std::shared_ptr<szukanie::TBiblioteka>>& Biblioteki() const { return FBiblioteki; }

    // Starts a search for the query typed (stopping the one under way).
    void Szukaj();
    void Przerwij();
    bool Trwa() const { return FTrwa; }

    // One result as chosen by the user.
    struct TWybor {
        std::size_t Biblioteka = 0;
        szukanie::TDokumentBiblioteki Dokument;
        bool Przypis = false;
        std::size_t NumerPrzypisu = 0;
        std::size_t Linia = 0;   // paragraph, or line of the footnote list
        std::vector<szukanie::TLiniaWyniku::TZakres> Zakresy;
        std::vector<std::string> Slowa;   // the text of each range
    };
    std::function<void(const TWybor&)> OnWybor;

    QLineEdit* Zapytanie() const { return eZapytanie; }
    QCheckBox* Dokladnie() const { return cbDokladnie; }
    QTreeWidget* Lista() const { return tvWyniki; }
    QLabel* Stan() const { return lStan; }
    // Results shown so far (rows of places).
    int LiczbaWynikow() const { return FWierszy; }
    // Chooses result `n` (counted over all documents), as a click does.
    bool Wybierz(int n);

    // Most places shown for one query.
    static constexpr int NajwiecejWierszy = 5000;

private:
    void Dodaj(std::size_t biblioteka, szukanie::TWynikDokumentu&& d);
    void Koniec(bool przerwane);
    void Zatrzymaj();
    void Wybrano(QTreeWidgetItem* w);

    QLineEdit* eZapytanie = nullptr;
    QCheckBox* cbDokladnie = nullptr;
    QPushButton* bSzukaj = nullptr;
    QLabel* lStan = nullptr;
    QTreeWidget* tvWyniki = nullptr;

    std::vector<std::shared_ptr<szukanie::TBiblioteka>> FBiblioteki;
    std::vector<TWybor> FWybory;   // row data, by index kept in the row
    std::thread FWatek;
    std::shared_ptr<std::atomic<bool>> FPrzerwij;
    unsigned FNumer = 0;           // of the search under way; late results of older ones are dropped
    bool FTrwa = false;
    int FWierszy = 0;
    int FDokumentow = 0;
    qint64 FStart = 0;
};
