// The main window's commands, events, timers and messages: the menus, the
// tool bar and the lists act here, and so do the posted messages of its
// footnote windows and its print dialog.
#include "reader/Okienko.h"

#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "reader/Adresy.h"
#include "reader/NazwyDokumentow.h"
#include "reader/OLumesta.h"
#include "reader/Obrazki.h"
#include "reader/PasekZnajdowania.h"
#include "print/Drukowanie.h"
#include "print/PrintFrm.h"
#include "print/ZapisPdf.h"
#include "view/DVStyle.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

constexpr int WysokoscPrzyciskuZTekstem = 52;

// The window's own Polish messages are plain UI text; the names of codes and
// documents are Windows-1250 data and go through toQString.
const QString KomunikatBrakDokumentu = QStringLiteral("Najpierw otwórz jakiś kodeks z listy kodeksów.");

} // namespace

// ---------------------------------------------------------------------------
// Rules of the commands.

int PrzeskalujRozmiar(int rozmiar, int bazowy, int nowy)
{
    if (bazowy <= 0)
        return std::max(1, nowy);
    // Rounding to nearest with halves to even is the default rounding mode.
    const double wynik = std::nearbyint(double(nowy) / double(bazowy) * double(rozmiar));
    if (!(wynik >= 1.0))
        return 1;
    if (wynik > 4096.0)
        return 4096;
    return int(wynik);
}

QString PlikZapisu(const QString& nazwa, int filtr)
{
    QString rozszerzenie;
    switch (filtr) {
    case fzHtml:
    case fzHtmlUtf8:
        rozszerzenie = QStringLiteral(".html");
        break;
    case fzHtm:
        rozszerzenie = QStringLiteral(".htm");
        break;
    case fzTekst:
    case fzTekstUtf8:
        rozszerzenie = QStringLiteral(".txt");
        break;
    case fzPdf:
        rozszerzenie = QStringLiteral(".pdf");
        break;
    default:
        return {};
    }
    // A name the user typed with its extension keeps it once, not twice.
    if (nazwa.endsWith(rozszerzenie, Qt::CaseInsensitive) && nazwa.size() > rozszerzenie.size())
        return nazwa;
    return nazwa + rozszerzenie;
}

// ---------------------------------------------------------------------------
// Events, timers and messages.

bool TfLumesta::event(QEvent* e)
{
    switch (int(e->type())) {
    case WM_STRONA_WYDRUKU:
        StronaWydruku();
        return true;
    case WM_ZAMKNIJ_PRZYPIS:
        ZamknijPrzypis();
        return true;
    case WM_DZIENNIK_PRZYPISU:
        DziennikPrzypisu();
        return true;
    default:
        return QMainWindow::event(e);
    }
}

bool TfLumesta::eventFilter(QObject* obj, QEvent* e)
{
    if (ObsluzWidok(obj, e))
        return true;
    if (e->type() == QEvent::Show && !FPrzywracanie) {
        // A tab reopened from the last session is built when first shown.
        if (auto* v = qobject_cast<TDocView*>(obj); v && FOdlozone.count(v))
            ZbudujOdlozona(v);
    }
    const bool pokazanie = e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent;
    if (obj == pPole && e->type() == QEvent::Resize) {
        WysrodkujPanelLumesta();
    } else if (obj == pPostep && e->type() == QEvent::Resize) {
        // The gauge keeps 4 pixels from the right edge, its label just
        // before it.
        gWczytywanie->move(pPostep->width() - 4 - gWczytywanie->width(), gWczytywanie->y());
        lWczytywanie->move(gWczytywanie->x() - 2 - lWczytywanie->width(), lWczytywanie->y());
    } else if (pokazanie && pecTablica && obj == pecTablica) {
        pLumesta->setHidden(!pecTablica->isHidden());
    } else if (pokazanie && (obj == clbSpisKodeksow || obj == lbSpisTresci)) {
        // With both lists hidden their pane goes too, and the splitter gives
        // its room to the documents; either list shown brings it back.
        Panel1->setHidden(clbSpisKodeksow->isHidden() && lbSpisTresci->isHidden());
    } else if (obj == clbSpisKodeksow && e->type() == QEvent::KeyRelease) {
        OdswiezListy(false);
    }
    return QMainWindow::eventFilter(obj, e);
}

void TfLumesta::WysrodkujPanelLumesta()
{
    // Integer division truncates toward zero; a negative place is allowed.
    const int lewo = (pPole->width() - pLumesta->width()) / 2;
    const int gora = (pPole->height() - pLumesta->height()) / 2;
    pLumesta->move(lewo, gora);
}

void TfLumesta::tZegarTimer()
{
    UkryjPostep();
    tZegar->stop();
}

void TfLumesta::PokazPostep(const QString& napis, int maksimum)
{
    lWczytywanie->setText(napis);
    gWczytywanie->SetProgress(0);
    gWczytywanie->SetMaxValue(maksimum);
    lWczytywanie->show();
    gWczytywanie->show();
    pPostep->repaint();
}

void TfLumesta::UkryjPostep()
{
    lWczytywanie->hide();
    gWczytywanie->hide();
}

void TfLumesta::tOtwarcieTimer()
{
    tOtwarcie->stop();
    OdswiezListy(true);
    if (pecTablica && pecTablica->TabTexts().Count() == 0) {
        pecTablica->hide();
        // The caption names no document that is gone.
        setWindowTitle(QStringLiteral("Lumesta"));
    }
}

void TfLumesta::tOdswiezTablicaTimer()
{
    if (pecTablica)
        pecTablica->update();
    // The strip chose the new current tab after the close event; the
    // caption follows it.
    OdswiezTytul();
    UstawPrzypisyZakladki();
    tOdswiezTablica->stop();
}

void TfLumesta::StronaWydruku()
{
    // Only the dialog asks for pages, and only while a print command runs;
    // a stray request has no paginated document to draw from.
    if (FDrukowanie && frmPrint && frmPrint->isVisible())
        FDrukowanie->StronaWydruku();
}

void TfLumesta::ZamknijPrzypis()
{
    // Frees the first footnote window that asked to be closed; its slot
    // stays, empty.
    for (TOknoPrzypisu& slot : oknaPrzypisow) {
        if (slot.Okno && slot.Okno->zadanieZamkniecia) {
            delete slot.Okno.data();
            slot.Okno = nullptr;
            return;
        }
    }
}

void TfLumesta::DziennikPrzypisu()
{
    if (FOtwieranie > 0) {
        // The request stays flagged on its window and is served after the
        // document being opened is built.
        ++FDziennikiCzekaja;
        return;
    }
    TfPrzypis* okno = nullptr;
    for (TOknoPrzypisu& slot : oknaPrzypisow) {
        if (slot.Okno && slot.Okno->zadanieDziennika && !slot.Okno->odnosnik.empty()) {
            okno = slot.Okno.data();
            break;
        }
    }
    if (!okno)
        return;
    // The request is served once, whatever happens below (a failing open
    // must not leave it pending for the next message).
    const TCel cel = okno->cel;
    okno->zadanieDziennika = false;
    OtworzCel(cel, BiezacaZakladka());
}

bool TfLumesta::Zapytaj(const QString& tytul, const QString& tekst)
{
    // Footnote windows are tool windows of this one rather than topmost
    // windows of the desktop: they stay above the main window only, so a
    // question modal to it is never hidden behind them and nothing has to be
    // lowered while it is asked.
    return pytanie ? pytanie(tytul, tekst) : false;
}

void TfLumesta::dvTekstJump(TDocView* widok, int id)
{
    TDocView* v = BiezacyWidok();
    if (!v || (widok && widok != v))
        return;
    const int biezaca = BiezacaZakladka();
    const TDokumentZakladki* dokument = DokumentZakladki(biezaca);
    const int j = id - v->FirstJumpNo();
    if (!dokument || j < 0 || std::size_t(j) >= dokument->Skoki.size())
        return;
    const TSkok skok = dokument->Skoki[std::size_t(j)];
    if (skok.Odnosnik >= 0) {
        const TOdnosnik& o = dokument->Odnosniki[std::size_t(skok.Odnosnik)];
        OtworzCel(o.Cel, biezaca, o.Akapit);
        return;
    }
    const int k = skok.Przypis;
    if (k <= 0)
        return;
    const int grupa = spisyZakladek[std::size_t(biezaca)].NumerKodeksu;

    // A footnote shown already comes forward instead of opening again.
    for (const TOknoPrzypisu& slot : oknaPrzypisow) {
        if (slot.Okno && slot.NumerKodeksu == grupa && slot.NumerPrzypisu == k && !slot.Okno->zadanieZamkniecia) {
            slot.Okno->show();
            slot.Okno->raise();
            slot.Okno->activateWindow();
            return;
        }
    }

    auto* okno = new TfPrzypis(this);
    okno->biblioteka = &BibliotekaOdnosnikow();
    oknaPrzypisow.push_back({okno, grupa, k});
    PodlaczWidok(okno->dvPrzypis, false);
    TListaNapisow linie;
    TekstPrzypisu(biezaca, k - 1, linie);
    okno->WypelnijPrzypis(linie);
    if (TTabExtSheet* arkusz = pecTablica->SheetOfTab(biezaca))
        okno->lKodeks->setText(toQString(arkusz->Caption()));
    okno->setWindowTitle(QStringLiteral("Zmiana: %1").arg(k));
    okno->show();
    okno->uchwytGlownego = this;
}

// ---------------------------------------------------------------------------
// Commands.

void TfLumesta::KopiujClick()
{
    TDocView* v = BiezacyWidok();
    if (!v) {
        BrakDokumentu();
        return;
    }
    v->CopySelection();
}

void TfLumesta::ZaznaczWszystkoClick()
{
    TDocView* v = BiezacyWidok();
    if (!v) {
        BrakDokumentu();
        return;
    }
    v->SelectAll();
    v->viewport()->update();
}

void TfLumesta::Zapisz1Click()
{
    TDocView* v = BiezacyWidok();
    if (!v) {
        BrakDokumentu();
        return;
    }
    const int biezaca = BiezacaZakladka();
    const std::string nazwa =
        std::size_t(biezaca) < nazwyZakladek.size() ? nazwyZakladek[std::size_t(biezaca)] : std::string();
    // The file is proposed under the name the user sees (a Journal act's
    // reference, never its presence file) in the user's documents, or
    // where the last save went.
    QString katalog = FKatalogZapisu;
    if (katalog.isEmpty())
        katalog = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (katalog.isEmpty() || !QFileInfo(katalog).isDir())
        katalog = QDir::homePath();
    QString opis = toQString(OpisDokumentu(nazwa)).trimmed();
    opis.replace(QLatin1Char('/'), QLatin1Char('-'));
    QString plik = QDir(katalog).filePath(opis);
    int filtr = fzHtml;
    if (!dialogZapisu || !dialogZapisu(plik, filtr))
        return;
    const QString cel = PlikZapisu(plik, filtr);
    if (cel.isEmpty())
        return;
    // The libraries' data must not be overwritten by an export (a presence
    // file of a Journal act would become a page of text).
    const QString folderCelu = QFileInfo(QFileInfo(cel).absolutePath()).canonicalFilePath();
    for (std::size_t i = 0; i < biblioteka->Liczba() && !folderCelu.isEmpty(); ++i) {
        const QString dane = QFileInfo(QString::fromStdString(biblioteka->Folder(i).string())).canonicalFilePath();
        if (!dane.isEmpty() && (folderCelu == dane || folderCelu.startsWith(dane + QLatin1Char('/')))) {
            komunikaty->Komunikat(cp1250::fromUtf8("Nie można zapisać pliku w katalogu danych programu:\r\n") +
                                  fromQString(cel));
            return;
        }
    }
    // Other pages' links find this one's units by their anchors.
    if (filtr == fzHtml || filtr == fzHtm || filtr == fzHtmlUtf8)
        UstawKotwice(BiezacaZakladka());
    bool zapisany = false;
    switch (filtr) {
    case fzTekst:
        zapisany = v->SaveText(cel, 65);
        break;
    case fzTekstUtf8:
        zapisany = v->SaveText(cel, 65, dvteUtf8);
        break;
    case fzHtmlUtf8:
        zapisany = v->SaveHTML(cel, "Lumesta", "dvimg", true, dvteUtf8);
        break;
    case fzPdf:
        zapisany = ZapiszPdf(v, cel, OpisDokumentu(nazwa));
        break;
    default:
        zapisany = v->SaveHTML(cel, "Lumesta", "dvimg", true);
        break;
    }
    if (zapisany)
        FKatalogZapisu = QFileInfo(cel).absolutePath();
    // A write that fails leaves the target as it was; the user must know
    // the document was not saved.
    if (!zapisany)
        komunikaty->Komunikat(cp1250::fromUtf8("Nie udało się zapisać pliku:\r\n") + fromQString(cel));
}

void TfLumesta::UstawOknoWydruku(TfrmPrint* okno)
{
    frmPrint = okno;
    FDrukowanie.reset();
    if (!okno)
        return;
    okno->SetPreviewReceiver(this);
    FDrukowanie = std::make_unique<TDrukowanie>(*DVPDrukuj, *okno);
}

void TfLumesta::Drukuj1Click()
{
    TDocView* v = BiezacyWidok();
    if (!v) {
        BrakDokumentu();
        return;
    }
    if (!FDrukowanie || !frmPrint)
        return;
    const int biezaca = BiezacaZakladka();
    const std::string nazwa =
        std::size_t(biezaca) < nazwyZakladek.size() ? nazwyZakladek[std::size_t(biezaca)] : std::string();
    FDrukowanie->Drukuj(v, nazwa);
}

void TfLumesta::Czcionka1Click()
{
    TFontInfos& style = DVSStyl->TextStyles();
    if (style.Count() > 0 && dialogCzcionki) {
        TFontInfo wybor = style.Items(0);
        const int bazowy = style.Items(0).Size;
        if (dialogCzcionki(wybor)) {
            if (wybor.Style != 0)
                komunikaty->Komunikat(
                    cp1250::fromUtf8("Zostały wybrane opcje stylu czcionki, które nie zostaną uwzględnione"));
            for (int i = 0; i < style.Count(); ++i) {
                TFontInfo& f = style.Items(i);
                f.FontName = wybor.FontName;
                f.Size = PrzeskalujRozmiar(f.Size, bazowy, wybor.Size);
                f.Color = wybor.Color;
                f.CharSet = wybor.CharSet;
            }
            FCzcionkiWybrane = true;
        }
    }
    PrzeformatujWszystkie();
}

void TfLumesta::PrzeformatujWszystkie()
{
    const int ile = LiczbaZakladek();
    if (ile == 0)
        return;
    PokazPostep(QStringLiteral("Czcionki:"), ile);
    for (int b = 0; b < ile; ++b) {
        if (TDocView* v = Widok(b)) {
            v->Format();
            v->viewport()->update();
        }
        gWczytywanie->SetProgress(b + 1);
    }
    UkryjPostep();
}

void TfLumesta::Kolorta1Click()
{
    TColor kolor = DVSStyl->Color();
    if (dialogKoloru && dialogKoloru(kolor)) {
        DVSStyl->SetColor(kolor);
        if (TDocView* v = BiezacyWidok())
            v->viewport()->update();
    }
    clbSpisKodeksow->update();
    lbSpisTresci->update();
}

void TfLumesta::Duzewylczniki1Click()
{
    // Before the first document there is no strip to change.
    if (!pecTablica)
        return;
    UstawMaleWylaczniki(!pecTablica->SmallCloseBtn());
}

void TfLumesta::UstawStylPrzyciskow(Qt::ToolButtonStyle styl, int wysokosc)
{
    tbNarzedzia->setToolButtonStyle(styl);
    for (QToolButton* b : {tbZapisz, tbDrukuj, tbLumesta, tbSpisTresci, tbZamknijOtwarty, tbWstecz, tbDalej}) {
        b->setToolButtonStyle(styl);
        b->setFixedHeight(wysokosc);
        b->update();
    }
    // The bar is as high as its buttons plus the tool bar's own frame and
    // margins, so that no button (and no icon in it) is cut at the bottom.
    if (QLayout* l = tbNarzedzia->layout())
        l->invalidate();
    tbNarzedzia->updateGeometry();
    const int wysokoscPaska = std::max(wysokosc, tbNarzedzia->sizeHint().height());
    pNarzedzia->setFixedHeight(wysokoscPaska);
    // The progress label and gauge stay in the middle of the bar.
    const int srodek = wysokoscPaska / 2;
    lWczytywanie->move(lWczytywanie->x(), srodek - lWczytywanie->height() / 2);
    gWczytywanie->move(gWczytywanie->x(), srodek - gWczytywanie->height() / 2);
}

void TfLumesta::Ikony1Click()
{
    UstawStylPrzyciskow(Qt::ToolButtonIconOnly, obrazki::RozmiarNarzedzia.height() + 5);
}

void TfLumesta::Ikonyiteksty1Click()
{
    UstawStylPrzyciskow(Qt::ToolButtonTextUnderIcon, WysokoscPrzyciskuZTekstem);
}

void TfLumesta::eksty1Click()
{
    UstawStylPrzyciskow(Qt::ToolButtonTextOnly, tbZapisz->fontMetrics().height() + 10);
}

void TfLumesta::tbLumestaClick()
{
    ZapamietajPodzialy();
    // Hidden or not by the user's choice, whether or not the window itself
    // is on the screen yet.
    clbSpisKodeksow->setHidden(!clbSpisKodeksow->isHidden());
}

void TfLumesta::tbSpisTresciClick()
{
    ZapamietajPodzialy();
    lbSpisTresci->setHidden(!lbSpisTresci->isHidden());
}

void TfLumesta::Zamknij1Click()
{
    ZamknijBiezacy();
}

void TfLumesta::Zamknij2Click()
{
    close();
}

void TfLumesta::BrakDokumentu()
{
    komunikaty->Komunikat(fromQString(KomunikatBrakDokumentu));
}

void TfLumesta::pcTablicaChange()
{
    OdswiezTytul();
    OdswiezListy(false);
    UstawPrzypisyZakladki();
    if (pecTablica)
        pecTablica->update();
    if (pZnajdz)
        pZnajdz->UstawWidok(BiezacyWidok());
    OdswiezMiejsce();
}

void TfLumesta::pecTablicaTabClose(int indeks, bool& mozna)
{
    ZamknijZakladke(indeks, true);
    tOtwarcie->start();
    mozna = true;
}

void TfLumesta::tvSpisKodeksowClick()
{
    const int wiersz = clbSpisKodeksow->currentRow();
    if (wiersz < 0 || std::size_t(wiersz) >= nazwyKodeksow.size())
        return;
    OdswiezListy(false);
    if (!OtworzWZakladce(nazwyKodeksow[std::size_t(wiersz)], true))
        return;
    UstawPrzypisyZakladki();
    UstawZnacznik(wiersz, true);
    if (pecTablica)
        pecTablica->show();
}

void TfLumesta::clbSpisKodeksowClickCheck(QListWidgetItem* pozycja)
{
    const int n = clbSpisKodeksow->row(pozycja);
    if (n < 0 || std::size_t(n) >= nazwyKodeksow.size())
        return;
    const std::string& nazwa = nazwyKodeksow[std::size_t(n)];
    clbSpisKodeksow->setCurrentRow(n);
    if (pozycja->checkState() == Qt::Checked) {
        // A code that cannot be opened does not stay ticked.
        if (!OtworzWZakladce(nazwa, true))
            UstawZnacznik(n, false);
        return;
    }
    const QString tekst = QStringLiteral("Czy na pewno zamknąć: \n") + toQString(nazwa) + QStringLiteral("?");
    if (!pytanie(QStringLiteral("Próba zamknięcia"), tekst))
        return;
    // The tab of the unticked code is the one to close, whichever is current.
    const auto it = std::find(nazwyZakladek.begin(), nazwyZakladek.end(), nazwa);
    if (it == nazwyZakladek.end())
        return;
    pecTablica->SetTabIndex(int(it - nazwyZakladek.begin()));
    ZamknijBiezacy();
}

void TfLumesta::lbSpisTresciClick()
{
    TDocView* v = BiezacyWidok();
    const int n = lbSpisTresci->currentRow();
    if (!v || n < 0 || std::size_t(n) >= v->Checkpoints().size())
        return;
    ZapiszMiejsce();
    v->ScrollTo(v->GetCheckpointY(n));
}

void TfLumesta::dvTekstDVMouseMove(TDocView* widok, int id)
{
    if (id == -1) {
        sbStatus->clearMessage();
        UkryjPodglad();
        return;
    }
    const int zakladka = ZakladkaWidoku(widok);
    const TDokumentZakladki* dokument = DokumentZakladki(zakladka);
    const int j = id - widok->FirstJumpNo();
    if (!dokument || j < 0 || std::size_t(j) >= dokument->Skoki.size())
        return;
    const TSkok skok = dokument->Skoki[std::size_t(j)];
    if (skok.Odnosnik >= 0)
        PokazPodglad(zakladka, dokument->Odnosniki[std::size_t(skok.Odnosnik)]);
    else if (skok.Przypis > 0)
        sbStatus->showMessage(
            QStringLiteral("Odwołanie do %1 przypisu z datą i opisem zmiany.").arg(skok.Przypis));
}
