#pragma once
// The main window of the reader: the codes list, the table of contents, the
// tab strip with the open documents, the menus, the tool bar and the
// progress of building a document. Every user command arrives here.
//
// Strings of the legal texts (code names, headings, footnotes) are
// Windows-1250 bytes; they are converted only where they meet Qt.
#include "links/Biblioteka.h"
#include "links/Odnosniki.h"
#include "platform/ImageList.h"
#include "platform/core/Colors.h"
#include "reader/BudowaDokumentu.h"
#include "reader/Historia.h"
#include "reader/MiejscaDokumentu.h"
#include "reader/PanelWynikow.h"
#include "reader/Przypis.h"
#include "settings/Ustawienia.h"
#include "store/Biblioteka.h"
#include "store/Pliki.h"
#include "store/Typy.h"
#include "view/DocView.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QDockWidget;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMenuBar;
class QSplitter;
class QThread;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class TDocView;
class TDVPrint;
class TDVStyle;
class TDrukowanie;
class TFontInfo;
class TLaczaFirm;
class TfrmPrint;
class TOknoPodgladu;
class TPageExtControl;
class TPasekPrzejscia;
class TPasekZnajdowania;
class TProgressGauge;
class TTabExtSheet;

// Messages posted to the main window by its own windows; they carry no
// parameters: the sender sets a flag on itself first.
constexpr int WM_STRONA_WYDRUKU = 1111;   // print dialog: preview page changed
constexpr int WM_ZAMKNIJ_PRZYPIS = 1112;  // a footnote window closed
constexpr int WM_DZIENNIK_PRZYPISU = 1113; // a citation in a footnote was clicked

// What the links of a tab need of its document.
struct TDokumentZakladki {
    int Kodeks = -1;             // the code the tab shows, or -1
    std::optional<TAkt> Akt;     // the Journal act it shows
    TPlik Tekst;                 // its text, for previews of its units
    // Its units; made with the links, or when first asked for.
    std::unique_ptr<TIndeksJednostek> Jednostki;
    TOdnosniki Odnosniki;        // the links drawn in its text
    std::vector<TSkok> Skoki;    // what each jump of its view is
    std::vector<std::int32_t> Elementy;  // the first item of each paragraph
};

// Table of contents of one tab, and its document's links.
struct TSpisZakladki {
    TListaNapisow Spis;      // entries: indent spaces + heading text
    int NumerKodeksu = -1;   // codes-list row, or a Journal document number
    // The entries as the contents list shows them, converted once.
    QStringList Ekran;
    std::shared_ptr<TDokumentZakladki> Dokument;
};

// A footnote window, the tab group (NumerKodeksu) it was opened from and
// the number of the footnote it shows.
struct TOknoPrzypisu {
    QPointer<TfPrzypis> Okno;
    int NumerKodeksu = -1;
    int NumerPrzypisu = 0;
};

// Journal of Laws documents get numbers from here on, so that they never
// coincide with a row of the codes list (which holds at most a few dozen).
constexpr int PierwszyNumerDziennika = 1000;

// The parent of a folder: one trailing separator dropped, then everything
// after the last remaining separator; the result keeps that separator.
// "/a/b/" and "/a/b" both give "/a/". Without any separator: empty.
std::string KatalogNadrzedny(const std::string& sciezka);

// Messages of the main window about its data (Windows-1250): no data found
// (the folders the program looked in, how to add an act or make data), no dictionary, a document
// whose container is missing, a document too large for the memory.
std::string KomunikatBrakDanych(const std::vector<std::filesystem::path>& foldery,
                                const std::filesystem::path& program);
std::string KomunikatBrakSlownika(const std::filesystem::path& program);
std::string KomunikatBrakTekstu(const std::string& nazwa, const std::filesystem::path& kontener);
std::string KomunikatZaDuzy(const std::string& nazwa);
// A switch of the library cut short that the program could not finish.
std::string KomunikatPrzerwanaWymiana(const std::filesystem::path& folder, const std::string& powod);

// The library installed with the program: "share/lumesta" beside the
// program's folder (the program in /usr/bin, its library in
// /usr/share/lumesta, whatever the prefix), else `systemowy` when that
// folder exists. Empty when neither exists.
std::filesystem::path KatalogInstalacji(const std::filesystem::path& program,
                                        const std::filesystem::path& systemowy);
// The system-wide folder of the installed program's files.
inline constexpr const char* KatalogSystemowy = "/usr/share/lumesta";

// The folder to read the licence from: the program's folder when the
// licence lies there, else the installed library's when it lies there;
// the program's folder when neither has it.
std::filesystem::path KatalogLicencji(const std::filesystem::path& program, const std::filesystem::path& instalacja);

// The text styles' sizes after the font dialog chose `nowy` points while
// style 0 had `bazowy`: each size scaled by nowy / bazowy and rounded to the
// nearest whole point, halves to even. A size never drops below 1 point.
int PrzeskalujRozmiar(int rozmiar, int bazowy, int nowy);

// The HTML anchor of a unit ("art415", "art5.1-par2", "art10-ust2-pkt3-lita",
// "par5"), the same in every exported document, so that a page can link to
// another's unit; empty for an address that cannot be one (a range).
std::string KotwicaJednostki(const TAdres& adres);

// The save dialog's filter entries, numbered from 1 in this order.
enum TFiltrZapisu {
    fzHtml = 1,     // HTML in Windows-1250
    fzHtm = 2,      // the same, named .htm
    fzTekst = 3,    // plain text in Windows-1250, CR LF
    fzTekstUtf8 = 4, // plain text in UTF-8, LF
    fzHtmlUtf8 = 5, // HTML in UTF-8
    fzPdf = 6,      // the document as printed
};

// The file the save command writes for the dialog's answer: the name as
// returned plus the extension of the chosen filter entry (".html", ".htm",
// ".txt", ".txt", ".html", ".pdf"; not added again when the name already
// ends with it); an empty string for any other entry.
QString PlikZapisu(const QString& nazwa, int filtr);

// The tool-bar pictures of "Wstecz" and "Dalej": an arrow to the left or
// to the right.
QImage ObrazekStrzalki(bool wstecz, QSize rozmiar, qreal skala = 1.0);

class TfLumesta : public QMainWindow {
    Q_OBJECT
public:
    // The program folder is where the dictionary and the data folder are
    // looked for; empty means the folder of the running executable.
    // Information messages go to `komunikaty` when given (not owned), else
    // to message boxes.
    explicit TfLumesta(const QString& katalogProgramu = QString(), TKomunikaty* komunikaty = nullptr,
                       QWidget* parent = nullptr);
    ~TfLumesta() override;

    // ---- operations shared by the commands ----------------------------
    void BrakDokumentu();
    void WczytajSpisKodeksow();
    // Opens the named document in a tab of its own, or shows its tab if it
    // is open already (true in both cases). A document that cannot be read
    // whole gets no tab: the user is told why and the result is false.
    bool OtworzWZakladce(const std::string& nazwa, bool zListy);
    bool PokazOtwarty(const std::string& nazwa);
    // Builds the view of the document loaded last (WczytajDokument).
    void ZbudujDokument(const std::string& nazwa, TDocView* widok, bool zListy);
    // The two halves of building: the store loads the named document into
    // `wiersze` and `przypisyTekst` (false, with the user told why, when it
    // cannot be read whole, and then both stay empty); then its lines
    // become items of the view, advancing the gauge, and the tab's table of
    // contents is returned. Neither lays out or repaints.
    bool WczytajDokument(const std::string& nazwa, bool zListy);
    TSpisZakladki DodajElementy(TDocView* widok);
    void IndeksujPrzypisy();
    void TekstPrzypisu(int zakladka, int blok, TListaNapisow& wiersze) const;
    void OdswiezTytul();

    // Keeping the lists in step with the tab strip.
    void OdswiezListy(bool znaczniki);
    void OdznaczWszystkie();
    void UstawPrzypisyZakladki();
    void ZamknijZakladke(int indeks, bool zTablicy);
    void ZamknijBiezacy();

    // The current tab (-1 when there is no strip or no tab) and its view.
    int BiezacaZakladka() const;
    int LiczbaZakladek() const;
    TDocView* Widok(int zakladka) const;
    TDocView* BiezacyWidok() const;

    // ---- what is remembered between runs ----------------------------------
    // Reads the settings file and applies it; the window writes it back
    // when it is closed. The last session's tabs are reopened when the
    // window is first shown (if the setting says so). Call before showing.
    void UzyjUstawien(const QString& plik);
    // Applies settings to the window (fonts, colours, zoom, geometry, splits,
    // lists, tool bar, close buttons); keeps the session for the first show.
    void ZastosujUstawienia(const TUstawienia& u);
    // The window's state as settings, the open tabs as the session.
    TUstawienia ZbierzUstawienia() const;
    // Writes the settings file given to UzyjUstawien (done when the window
    // closes; the program also calls it when the desktop session ends).
    // False without a file or when it could not be written.
    bool ZapiszUstawieniaOkna() const;
    // Reopens the tabs of a session in their order, each at its place, with
    // tab `biezaca` current. Only the current one is built now; the others
    // when first shown. Documents that no longer exist are left out, with
    // one message naming them.
    void PrzywrocSesje(const std::vector<TZakladkaSesji>& zakladki, int biezaca);
    // Whether tab `zakladka` waits to be built until it is first shown.
    bool Odlozona(int zakladka) const;

    // ---- zoom and keys ------------------------------------------------------
    int Powiekszenie() const { return FPowiekszenie; }
    // Sets the zoom of every document view and footnote window (clamped to
    // the allowed range) and shows it in the status bar.
    void UstawPowiekszenie(int procent);
    void PowiekszClick();
    void PomniejszClick();
    void RozmiarOryginalnyClick();
    // Page Down / Page Up in a document: a window's height less one line.
    void PrzewinStrone(TDocView* widok, int kierunek);

    // ---- handlers of the window's components and messages ----------------
    void tZegarTimer();
    void tOtwarcieTimer();
    void tOdswiezTablicaTimer();
    void tbLumestaClick();
    void tbSpisTresciClick();
    void Zamknij1Click();
    void Zamknij2Click();
    void tvSpisKodeksowClick();
    void clbSpisKodeksowClickCheck(QListWidgetItem* wiersz);
    void lbSpisTresciClick();
    void pcTablicaChange();
    void pecTablicaTabClose(int indeks, bool& mozna);
    void dvTekstDVMouseMove(TDocView* widok, int id);
    void dvTekstJump(TDocView* widok, int id);
    void KopiujClick();
    void ZaznaczWszystkoClick();
    void Zapisz1Click();
    void Drukuj1Click();
    void Czcionka1Click();
    void Kolorta1Click();
    void Duzewylczniki1Click();
    void Ikony1Click();
    void Ikonyiteksty1Click();
    void eksty1Click();
    // Lays every open document out again, showing the progress as "Czcionki:".
    void PrzeformatujWszystkie();
    void StronaWydruku();
    void ZamknijPrzypis();
    void DziennikPrzypisu();

    // ---- the libraries ----------------------------------------------------
    // The acts the user added ("Pliki" > "Dodaj akt..."): the user's own
    // library under the data home (~/.local/share/Lumesta/, with its
    // Morvitane.sko, Lumesta/ and the sources in zrodla/). It is read before
    // the library beside the program, so its codes replace the bundled ones
    // of the same name.
    std::filesystem::path sKatalogUzytkownika;
    // Points the user's library elsewhere and reads the libraries again.
    void UstawKatalogUzytkownika(const std::filesystem::path& katalog);
    // Reads the libraries again (after an import): their dictionaries, the
    // codes list; open tabs keep their text and their places in the list.
    void PrzeladujBiblioteki();

    // "Pliki" > "Dodaj akt...": an official consolidated text (PDF or its
    // text export) chosen by the user is imported and packed into the
    // user's library on a worker thread; the gauge shows the pages read.
    void DodajAktClick();
    // Starts the import of a file (what the command does after its dialog).
    // False when an import is running already.
    bool ImportujAkt(const QString& plik);
    bool ImportTrwa() const;
    // Waits for a running import and handles its end (tests, closing).
    void CzekajNaImport();

    // ---- links ------------------------------------------------------------
    // Follows a link: a Journal act opens in its tab (or its web page is
    // offered), a unit is shown in its document's tab, which is opened
    // first when needed. `zakladka`: the tab the link is in (for a unit of
    // the document itself); `akapit`: the unit's paragraph when known.
    void OtworzCel(const TCel& cel, int zakladka, std::optional<std::size_t> akapit = std::nullopt);
    // The act's tab, scrolled to `adres` when given; without the act in the
    // library the company's page is offered.
    void OtworzAkt(const TAkt& akt, const std::string& dawnaNazwa, const std::optional<TAdres>& adres);
    // The code's tab, opened from the codes list when not open yet; false
    // (and a message) when the library has no such code.
    bool OtworzKodeks(int kodeks);
    // Whether the codes list offers code `kodeks`.
    bool JestNaLiscie(int kodeks) const;
    // Scrolls tab `zakladka` so that paragraph `akapit` is at the top.
    void PokazAkapit(int zakladka, std::size_t akapit);
    // The document of a tab and its units (made now if needed); null when
    // the tab has none.
    TDokumentZakladki* DokumentZakladki(int zakladka) const;
    const TIndeksJednostek* JednostkiZakladki(int zakladka) const;
    // The tab whose view this is, or -1.
    int ZakladkaWidoku(const TDocView* widok) const;
    // What links are looked up in: the libraries, and the units of the codes
    // open in tabs.
    const TBibliotekaOdnosnikow& BibliotekaOdnosnikow() const { return FBibliotekaOkna; }
    // The HTML address of a jump of a view, when it is a link.
    std::string AdresSkoku(const TDocView* widok, int id) const;
    // Puts an anchor before every unit of the tab's view, for HTML export.
    void UstawKotwice(int zakladka);

    // Whether documents opened from now on get their links (the benchmark
    // compares opening with and without).
    bool rozpoznawanieOdnosnikow = true;

Q_SIGNALS:
    // A link of the text or of a footnote window is about to take the
    // reader elsewhere (its target is there to be shown): the tab and place
    // shown now are the ones it leaves, which the way back returns to. Sent
    // once per link followed, before anything moves; not for a link whose
    // act is missing (only its web page is offered) or whose unit is not
    // found.
    void OdnosnikOpuszczaMiejsce();

public:
    // The preview of a reference's target (made when first shown).
    TOknoPodgladu* podglad = nullptr;
    // ---- finding, going to a unit, the way back (OkienkoSzukanie.cpp) ----
    void ZnajdzClick();            // F3: the find bar, or the next place found
    void ZnajdzPoprzedniClick();   // Shift+F3
    void SzukajWszedzieClick();    // Ctrl+Shift+F: the library search panel
    void PrzejdzDoClick();         // Ctrl+G: the go-to bar
    void WsteczClick();            // Alt+Left, the mouse's back button
    void DalejClick();             // Alt+Right, the mouse's forward button
    // The place at the top of the current document; nothing without one.
    std::optional<TMiejsce> BiezaceMiejsce() const;
    // A jump is about to leave the current place: the way back returns here.
    // Every jump calls it (contents, go to, search results, links).
    void ZapiszMiejsce();
    // A jump that may open another document: `skad` (the place before the
    // jump) becomes the way back once the document is open.
    void ZapiszMiejsce(const std::optional<TMiejsce>& skad);
    // Opens a document a jump leads to, or makes its tab current, and brings
    // the lists in line with it (its row current and ticked, its contents).
    // False when it cannot be opened (the user has been told why).
    bool OtworzDoSkoku(const std::string& nazwa, bool zListy);
    // Opens the place's document (or makes its tab current) and brings the
    // place to the top of the view.
    void PokazMiejsce(const TMiejsce& miejsce);
    // Takes the current document to a unit ("art. 148 § 2"); an empty text
    // when it went there, else what to say in the go-to bar.
    QString PrzejdzDo(const std::string& adres);
    // Shows a library search result: its document, the place, the words.
    void PokazWynik(const TPanelWynikow::TWybor& wybor);
    // The status bar's place: "Dział II › Rozdział 3 › Art. 148 § 2".
    void OdswiezMiejsce();
    // Places of the document shown by a view (null for other views).
    const TMiejscaDokumentu* MiejscaWidoku(const TDocView* widok) const;

    THistoria historia;
    // The libraries the library search goes through: those the window reads
    // (`biblioteka`), in the same order; made when first searched, and
    // dropped when the libraries are read again.
    std::vector<std::shared_ptr<szukanie::TBiblioteka>> biblioteki;
    const std::vector<std::shared_ptr<szukanie::TBiblioteka>>& BibliotekiSzukania();

    // ---- run-time state -------------------------------------------------
    std::filesystem::path sKatalogProgramu;
    // The library installed with the program (KatalogInstalacji), read after
    // the user's and the program's own; empty when there is none. The
    // system-wide folder counts only for the running executable, not for a
    // program folder given by the caller.
    std::filesystem::path sKatalogInstalacji;
    std::filesystem::path sKatalogDanych;
    // The user's library first, then the one beside the program.
    std::unique_ptr<TBiblioteka> biblioteka;
    TPlik wiersze;
    TListaNapisow przypisyTekst;
    TListaNapisow tekstDokumentu;
    TListaNapisow spisKodeksow;
    TListaNapisow nazwyKodeksow;
    TPageExtControl* pecTablica = nullptr;
    int licznikZakladek = 0;
    std::vector<TSpisZakladki> spisyZakladek;
    std::vector<AZapisPrzypisu> indeksyPrzypisow;
    TListaNapisow nazwyZakladek;
    std::vector<std::int32_t> numeryPrzypisow;
    std::vector<TOknoPrzypisu> oknaPrzypisow;

    // Where the window's and the store's information messages go (an
    // information box; tests collect them instead). Not owned.
    TKomunikaty* komunikaty = nullptr;
    // An OK/Cancel question with a caption; true for OK. Footnote windows
    // step back from the top while it is asked.
    std::function<bool(const QString& tytul, const QString& tekst)> pytanie;
    // The common dialogs, replaceable by tests. Each returns false when the
    // user cancels.
    // Save: `plik` comes preset and returns the chosen name; `filtr` gets
    // the chosen filter entry (1 html, 2 htm, 3 txt).
    std::function<bool(QString& plik, int& filtr)> dialogZapisu;
    // Font: comes preset from text style 0, returns the choice.
    std::function<bool(TFontInfo& czcionka)> dialogCzcionki;
    // Colour: comes preset with the documents' background.
    std::function<bool(TColor& kolor)> dialogKoloru;
    // Open (for "Dodaj akt..."): returns the chosen file.
    std::function<bool(QString& plik)> dialogOtwarcia;
    // The report at the end of an import: a caption, the summary and the
    // warnings, one per line, in a list the user can copy.
    std::function<void(const QString& tytul, const QString& podsumowanie, const QStringList& ostrzezenia)>
        raportImportu;

    // The print component and the print dialog (created beside this window
    // by the program; without one the print command does nothing).
    TDVPrint* DVPDrukuj = nullptr;
    QPointer<TfrmPrint> frmPrint;
    void UstawOknoWydruku(TfrmPrint* okno);
    TDrukowanie* Drukowanie() const { return FDrukowanie.get(); }

    // ---- components -----------------------------------------------------
    QMenuBar* mmMenu = nullptr;
    QMenu* Pliki1 = nullptr;
    QAction* Dodajakt1 = nullptr;
    QAction* Zapisz1 = nullptr;
    QAction* Drukuj1 = nullptr;
    QAction* Zamknij2 = nullptr;
    QMenu* Edycja1 = nullptr;
    QAction* Kopij1 = nullptr;
    QAction* Zaznaczwszystko1 = nullptr;
    QMenu* Widok1 = nullptr;
    QAction* Czcionka1 = nullptr;
    QAction* Kolorta1 = nullptr;
    QAction* Duewyczniki1 = nullptr;
    QAction* Zamknijotwarty1 = nullptr;
    QAction* Lumesta1 = nullptr;
    QAction* Spistreci1 = nullptr;
    QMenu* Stylprzyciskw1 = nullptr;
    QAction* Ikony1 = nullptr;
    QAction* Ikonyiteksty1 = nullptr;
    QAction* eksty1 = nullptr;
    QMenu* Powiekszenie1 = nullptr;
    QAction* Powieksz1 = nullptr;
    QAction* Pomniejsz1 = nullptr;
    QAction* RozmiarOryginalny1 = nullptr;
    QAction* OtwierajOstatnie1 = nullptr;
    QMenu* Pomoc1 = nullptr;
    QAction* Stronafirmowa1 = nullptr;
    QAction* List1 = nullptr;
    QAction* Licencja1 = nullptr;
    QAction* OLumesta1 = nullptr;

    QMenu* pmPodreczne = nullptr;
    QAction* Kopiuj = nullptr;
    QAction* ZaznaczWszystko = nullptr;
    QAction* Zapisz2 = nullptr;
    QAction* Drukuj2 = nullptr;
    QAction* Czcionka2 = nullptr;
    QAction* Kolorta2 = nullptr;
    QMenu* pmZakladki = nullptr;
    QAction* Zamknij1 = nullptr;
    QAction* Duzewylczniki1 = nullptr;

    QWidget* pNarzedzia = nullptr;
    QToolBar* tbNarzedzia = nullptr;
    QToolButton* tbZapisz = nullptr;
    QToolButton* tbDrukuj = nullptr;
    QToolButton* tbLumesta = nullptr;
    QToolButton* tbSpisTresci = nullptr;
    QToolButton* tbZamknijOtwarty = nullptr;
    QWidget* pPostep = nullptr;
    QLabel* lWczytywanie = nullptr;
    TProgressGauge* gWczytywanie = nullptr;

    QSplitter* sPodzialka = nullptr;
    QWidget* Panel1 = nullptr;
    QSplitter* sPodzialPion = nullptr;
    QListWidget* clbSpisKodeksow = nullptr;
    QListWidget* lbSpisTresci = nullptr;

    QWidget* pPole = nullptr;
    QWidget* pLumesta = nullptr;
    QLabel* lLumesta = nullptr;
    QLabel* Label2 = nullptr;
    TLaczaFirm* laczaFirm = nullptr;

    QStatusBar* sbStatus = nullptr;
    QLabel* sbPanel0 = nullptr;
    QLabel* sbMiejsce = nullptr;

    QAction* Znajdz1 = nullptr;
    QAction* ZnajdzPoprzedni1 = nullptr;
    QAction* SzukajWszedzie1 = nullptr;
    QAction* Przejdzdo1 = nullptr;
    QAction* Wstecz1 = nullptr;
    QAction* Dalej1 = nullptr;
    QToolButton* tbWstecz = nullptr;
    QToolButton* tbDalej = nullptr;
    TPasekZnajdowania* pZnajdz = nullptr;
    TPasekPrzejscia* pPrzejdz = nullptr;
    QDockWidget* dWyniki = nullptr;
    TPanelWynikow* pWyniki = nullptr;
    QLabel* sbPowiekszenie = nullptr;

    TDVStyle* DVSStyl = nullptr;
    std::unique_ptr<TImageList> ilObrazki;
    std::unique_ptr<TImageList> ilNarzedzia;

    QTimer* tZegar = nullptr;
    QTimer* tOtwarcie = nullptr;
    QTimer* tOdswiezTablica = nullptr;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Run once: by the constructor, and when the window is first shown.
    void FormCreate();
    void FormShow();
    // The folder above the program's, where the data folder may be too.
    std::filesystem::path KatalogNadrzednyProgramu() const;
    // Finishes a switch of the library that a killed pack left halfway, and
    // removes what dead packs left behind, in the folders the data come from.
    void UporzadkujDane();

    // Building the window.
    void UtworzMenu();
    void UtworzNarzedzia();
    void UtworzPanele();
    void UtworzPanelLumesta();
    void UtworzPasekStanu();
    void UtworzTablice();
    void UtworzSzukanie();
    void OdswiezHistorie();
    // A new view's document: its name and places.
    void ZapiszDokument(TDocView* widok, const std::string& nazwa, bool zListy);
    // The same, once the view holds its document (built at once or when a
    // restored tab is first shown), and the status bar following it.
    void PodlaczMiejsca(TDocView* widok, const std::string& nazwa, bool zListy);
    void UtworzMenuPowiekszenia();

    void WysrodkujPanelLumesta();
    void UstawZnacznik(int wiersz, bool zaznaczony);
    // Shows a tab's table of contents in the contents list.
    void PokazSpis(const TSpisZakladki& spis);
    // Turns the loaded document into the items of `widok` with the progress
    // shown, lays it out and returns its contents (NumerKodeksu not set).
    TSpisZakladki WypelnijWidok(TDocView* widok);
    // The loaded document's text handed to its tab once the view's places
    // have been read from it.
    void ZachowajTekst(TSpisZakladki& spis);
    // A new tab whose document is built when the tab is first shown.
    void OtworzOdlozona(const std::string& nazwa, bool zListy, const TDVAnchor& miejsce);
    void ZbudujOdlozona(TDocView* widok);
    // Closes, once the events of the moment are over, the tab of a document
    // that turned out unreadable when it was built.
    void ZamknijNieudana(TDocView* widok);
    // Document views and footnote views take the zoom, the wheel with Ctrl
    // and (document views) the page keys through this window.
    void PodlaczWidok(TDocView* widok, bool dokument);
    // Whether `e` on `obj` was a zoom or page key handled here.
    bool ObsluzWidok(QObject* obj, QEvent* e);
    void OdswiezPowiekszenie();
    void UstawMaleWylaczniki(bool male);
    // Notes the splitters' sizes while both panes of each are shown, for a
    // pane hidden later.
    void ZapamietajPodzialy();

    // The progress label (with `napis`) and the gauge, empty, counting to
    // `maksimum`; painted at once, as the work that follows blocks the loop.
    void PokazPostep(const QString& napis, int maksimum);
    void UkryjPostep();

    bool Zapytaj(const QString& tytul, const QString& tekst);
    // Over a link: its target's description in the status bar and, for a
    // unit, the preview; over nothing the preview goes.
    void PokazPodglad(int zakladka, const TOdnosnik& odnosnik);
    void UkryjPodglad();
    // The text and units of a document for a preview: an open tab's, or
    // decoded for the purpose (the last one is kept).
    bool DokumentPodgladu(const TCel& cel, const TPlik*& tekst, const TIndeksJednostek*& jednostki);
    void UstawStylPrzyciskow(Qt::ToolButtonStyle styl, int wysokosc);

    // The user's library, the bundled one (its folder as chosen by
    // WczytajSpisKodeksow) and the installed one, in that order.
    void UtworzBiblioteki();
    static constexpr std::size_t BibliotekaUzytkownika = 0;
    static constexpr std::size_t BibliotekaProgramu = 1;
    static constexpr std::size_t BibliotekaInstalacji = 2;

    struct TImport;
    void ImportZakonczony(std::shared_ptr<TImport> wynik);
    QThread* FWatekImportu = nullptr;
    std::shared_ptr<TImport> FImport;
    std::atomic<bool> FPrzerwijImport{false};

    std::unique_ptr<TDrukowanie> FDrukowanie;
    class TKomunikatyOkna;
    std::unique_ptr<TKomunikatyOkna> FKomunikaty;
    bool FPokazany = false;
    // Set while the program itself changes check marks, so that only the
    // user's clicks on a check box count as the check event.
    bool FUstawiaZnaczniki = false;
    // A click on a check box also reports a click on its row; that one is
    // not a row click.
    bool FKlikZnacznika = false;
    // Depth of documents being opened. The store's messages are modal boxes
    // that run the event loop in the middle of a build; a citation request
    // served there would open a tab inside the build (the per-tab lists
    // would get their entries out of order, and the store would be asked
    // for a document while it is still decoding another). Such a request
    // waits until the build is done; each waiting message is posted again.
    int FOtwieranie = 0;
    int FDziennikiCzekaja = 0;
    // Held for as long as a document is being opened; the last one to end
    // posts the citation requests that waited.
    class TOtwieranie {
    public:
        explicit TOtwieranie(TfLumesta* okno);
        ~TOtwieranie();
        TOtwieranie(const TOtwieranie&) = delete;
        TOtwieranie& operator=(const TOtwieranie&) = delete;

    private:
        TfLumesta* FOkno;
    };

    // What the libraries hold, for the links (made with the codes list,
    // refreshed whenever the libraries are read again).
    std::unique_ptr<TBibliotekaDanych> FBibliotekaDanych;
    // The libraries as the window asks them: the units of another code are
    // known when it is open (decoding every code a text cites would slow
    // opening down); otherwise its references count as there.
    class TBibliotekaOkna : public TBibliotekaOdnosnikow {
    public:
        explicit TBibliotekaOkna(const TfLumesta& okno) : FOkno(okno) {}
        bool JestKodeks(int indeks) const override
        {
            return FOkno.FBibliotekaDanych && FOkno.FBibliotekaDanych->JestKodeks(indeks);
        }
        bool JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const override
        {
            return FOkno.FBibliotekaDanych && FOkno.FBibliotekaDanych->JestAkt(akt, dawnaNazwa);
        }
        const TIndeksJednostek* JednostkiKodeksu(int indeks) const override;

    private:
        const TfLumesta& FOkno;
    };
    TBibliotekaOkna FBibliotekaOkna{*this};
    // What the document loaded last is: a code, an act, or neither.
    int FWczytanyKodeks = -1;
    std::optional<TAkt> FWczytanyAkt;
    // A document decoded for previews only, by its name.
    struct TDokumentPodgladu {
        std::string Nazwa;
        TPlik Tekst;
        TIndeksJednostek Jednostki;
    };
    std::unique_ptr<TDokumentPodgladu> FPodglad;
    // What each open view shows.
    struct TDokumentWidoku {
        std::string Nazwa;
        bool ZListy = true;
        std::shared_ptr<TMiejscaDokumentu> Miejsca;
    };
    std::map<const TDocView*, TDokumentWidoku> FDokumenty;
    // The runs of the document built last, until its view is known.
    std::vector<TOdcinek> FOdcinki;
    // Tabs restored from the session whose documents are built when they
    // are first shown: the name, how it was opened and the place to return
    // to.
    struct TOdlozona {
        std::string Nazwa;
        bool ZListy = true;
        TDVAnchor Miejsce;
    };
    std::map<const TDocView*, TOdlozona> FOdlozone;
    // The views of the tabs (page keys are theirs; footnote views keep the
    // view's own).
    std::set<const QObject*> FWidokiDokumentow;
    // Set while a session is being reopened: tabs shown on the way are not
    // built yet.
    bool FPrzywracanie = false;
    QString FPlikUstawien;
    // The session read from the settings, reopened at the first show.
    std::vector<TZakladkaSesji> FSesja;
    int FBiezacaSesji = -1;
    bool FOtwierajOstatnie = true;
    // The fonts are remembered only once the user chose them (or they came
    // from the settings): the styles' own colours stay otherwise.
    bool FCzcionkiWybrane = false;
    // The splits as read or last seen whole: kept for a pane that is hidden
    // when they are saved.
    std::vector<int> FPodzialPoziomy;
    std::vector<int> FPodzialPionowy;
    int FPowiekszenie = 100;
    int FResztaKolka = 0; // part of a wheel notch not yet turned into a zoom step
    bool FMaleWylaczniki = true;
    QString FKatalogZapisu; // the folder the last save went to
};
