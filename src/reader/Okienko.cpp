// Building the main window: its menus, tool bar, panels, status bar and
// the tab strip, and the set-up run when it is created and first shown.
#include "reader/Okienko.h"
#include "reader/Wyglad.h"

#include "platform/Cursors.h"
#include "platform/DrawnPicture.h"
#include "platform/QtColors.h"
#include "platform/QtText.h"
#include "platform/ScreenFit.h"
#include "reader/LaczaFirm.h"
#include "reader/OLumesta.h"
#include "reader/Obrazki.h"
#include "reader/RaportImportu.h"
#include "print/Drukowanie.h"
#include "print/PtblDV.h"
#include "store/Podmiana.h"
#include "view/DVStyle.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QThread>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// Colour of the lists and of the documents' background (a very light green).
constexpr TColor KolorTla = 0xEBFFED;
constexpr int CharSetEuropySrodkowej = 238;

constexpr int SzerokoscOkna = 1040;
constexpr int WysokoscOkna = 598;
constexpr int SzerokoscPaneluLumesta = 553;
constexpr int WysokoscPaneluLumesta = 521;

// Windows line breaks of message texts become Qt's.
QString tekstKomunikatu(const std::string& cp1250Tekst)
{
    QString s = toQString(cp1250Tekst);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

void ustawTlo(QWidget* w, TColor kolor)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, toQColor(kolor));
    w->setPalette(pal);
}

// A flat tool-bar button with its picture over its caption. The caption is
// written whole, centred under the picture: the buttons are sized for their
// captions, and Qt's own drawing would elide the longest one.
class TPrzyciskNarzedzia : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter p(this);
        QStyleOptionToolButton opt;
        initStyleOption(&opt);
        const bool wcisniety = opt.state & (QStyle::State_Sunken | QStyle::State_On);
        if (isEnabled() && (wcisniety || (opt.state & QStyle::State_MouseOver)))
            p.drawPrimitive(QStyle::PE_PanelButtonTool, opt);
        const int przesuniecie = wcisniety ? 1 : 0;
        const QSize ikona = iconSize();
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        if (toolButtonStyle() == Qt::ToolButtonTextOnly) {
            p.drawText(rect().translated(przesuniecie, przesuniecie), Qt::AlignCenter | Qt::TextShowMnemonic, text());
            return;
        }
        // Made for this screen's pixel ratio, so it is sharp when scaled.
        const QPixmap obraz = icon().pixmap(ikona, devicePixelRatioF(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
        if (toolButtonStyle() == Qt::ToolButtonIconOnly) {
            p.drawPixmap((width() - ikona.width()) / 2 + przesuniecie, (height() - ikona.height()) / 2 + przesuniecie,
                         obraz);
            return;
        }
        const int y = 3 + przesuniecie;
        p.drawPixmap((width() - ikona.width()) / 2 + przesuniecie, y, obraz);
        p.drawText(QRect(przesuniecie, y + ikona.height() + 1, width(), height() - y - ikona.height() - 1),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic, text());
    }
};

QAction* nowaAkcja(QObject* rodzic, const char* nazwa, const QString& tekst, const QKeySequence& skrot = {})
{
    auto* a = new QAction(tekst, rodzic);
    a->setObjectName(QString::fromLatin1(nazwa));
    if (!skrot.isEmpty())
        a->setShortcut(skrot);
    return a;
}

} // namespace

// ---------------------------------------------------------------------------
// The store's messages, shown in an information box.

class TfLumesta::TKomunikatyOkna : public TKomunikaty {
public:
    explicit TKomunikatyOkna(TfLumesta* okno) : FOkno(okno) {}
    void Komunikat(const std::string& tekst) override
    {
        QWidget* rodzic = QApplication::activeWindow();
        QMessageBox::information(rodzic ? rodzic : FOkno, QStringLiteral("Lumesta"), tekstKomunikatu(tekst));
    }

private:
    TfLumesta* FOkno;
};

// ---------------------------------------------------------------------------
// Construction.

TfLumesta::TfLumesta(const QString& katalogProgramu, TKomunikaty* wlasneKomunikaty, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fLumesta"));
    // The window's fonts name Windows faces; these are the installed faces
    // with the same metrics, so captions fit the sizes the window gives them.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    setWindowTitle(QStringLiteral("Lumesta"));
    setFont(czcionkaFormularza());
    const QString katalog = katalogProgramu.isEmpty() ? QCoreApplication::applicationDirPath() : katalogProgramu;
    sKatalogProgramu = std::filesystem::path(katalog.toStdString());
    sKatalogInstalacji =
        KatalogInstalacji(sKatalogProgramu, katalogProgramu.isEmpty() ? std::filesystem::path(KatalogSystemowy)
                                                                       : std::filesystem::path());
    const QString dane = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dane.isEmpty())
        sKatalogUzytkownika = std::filesystem::path(dane.toStdString()) / "Lumesta";

    FKomunikaty = std::make_unique<TKomunikatyOkna>(this);
    komunikaty = wlasneKomunikaty ? wlasneKomunikaty : FKomunikaty.get();
    pytanie = [this](const QString& tytul, const QString& tekst) {
        return QMessageBox::question(this, tytul, tekst, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    };
    dialogZapisu = [this](QString& plik, int& filtr) {
        // In the order of TFiltrZapisu.
        const QStringList filtry = {QStringLiteral("Plik HTML (html) (*.html)"), QStringLiteral("Plik HTM (htm) (*.htm)"),
                                    QStringLiteral("Plik tekstowy (txt) (*.txt)"),
                                    QStringLiteral("Plik tekstowy UTF-8 (txt) (*.txt)"),
                                    QStringLiteral("Plik HTML UTF-8 (html) (*.html)"),
                                    QStringLiteral("Dokument PDF (pdf) (*.pdf)")};
        QFileDialog sd(this, QStringLiteral("Zapisz do pliku"), plik);
        sd.setObjectName(QStringLiteral("SD"));
        sd.setAcceptMode(QFileDialog::AcceptSave);
        sd.setFileMode(QFileDialog::AnyFile);
        sd.setNameFilters(filtry);
        sd.setOption(QFileDialog::DontConfirmOverwrite, false);
        sd.selectFile(plik);
        if (sd.exec() != QDialog::Accepted || sd.selectedFiles().isEmpty())
            return false;
        plik = sd.selectedFiles().front();
        filtr = int(filtry.indexOf(sd.selectedNameFilter())) + 1;
        return true;
    };
    dialogCzcionki = [this](TFontInfo& czcionka) {
        QFont f(toQString(czcionka.FontName));
        f.setPointSize(std::max(1, czcionka.Size));
        f.setBold(czcionka.Style & fsBold);
        f.setItalic(czcionka.Style & fsItalic);
        f.setUnderline(czcionka.Style & fsUnderline);
        f.setStrikeOut(czcionka.Style & fsStrikeOut);
        bool ok = false;
        const QFont wybor = QFontDialog::getFont(&ok, f, this);
        if (!ok)
            return false;
        czcionka.FontName = fromQString(wybor.family());
        czcionka.Size = wybor.pointSize() > 0 ? wybor.pointSize() : int(std::lround(wybor.pointSizeF()));
        czcionka.Style = (wybor.bold() ? fsBold : 0) | (wybor.italic() ? fsItalic : 0) |
                         (wybor.underline() ? fsUnderline : 0) | (wybor.strikeOut() ? fsStrikeOut : 0);
        // Qt's font dialog offers neither a colour nor a character set; the
        // preset ones stand.
        return true;
    };
    dialogOtwarcia = [this](QString& plik) {
        plik = QFileDialog::getOpenFileName(this, QStringLiteral("Dodaj akt"), QString(),
                                            QStringLiteral("Teksty jednolite (*.pdf *.txt);;Wszystkie pliki (*)"));
        return !plik.isEmpty();
    };
    raportImportu = [this](const QString& tytul, const QString& podsumowanie, const QStringList& ostrzezenia) {
        TfRaportImportu raport(this);
        raport.Pokaz(tytul, podsumowanie, ostrzezenia);
        raport.exec();
    };
    dialogKoloru = [this](TColor& kolor) {
        const QColor wybor = QColorDialog::getColor(toQColor(kolor), this);
        if (!wybor.isValid())
            return false;
        kolor = fromQColor(wybor);
        return true;
    };

    // The pictures are drawn for each screen's pixel ratio as they are shown.
    ilNarzedzia = std::make_unique<TImageList>(obrazki::RozmiarNarzedzia.width(), obrazki::RozmiarNarzedzia.height());
    for (int i = 0; i < obrazki::LiczbaNarzedzi; ++i)
        ilNarzedzia->Add([i](qreal skala) { return obrazki::narzedzie(i, skala).toImage(); });
    // "Wstecz" and "Dalej" follow the program's own pictures.
    for (const bool wstecz : {true, false})
        ilNarzedzia->Add([wstecz](qreal skala) { return ObrazekStrzalki(wstecz, obrazki::RozmiarNarzedzia, skala); });
    ilObrazki = std::make_unique<TImageList>(obrazki::RozmiarObrazka.width(), obrazki::RozmiarObrazka.height());
    for (int i = 0; i < obrazki::LiczbaMalychObrazkow; ++i)
        ilObrazki->Add([i](qreal skala) { return obrazki::malyObrazek(i, skala).toImage(); });

    // The shared style table as the window stores it: nine styles.
    DVSStyl = new TDVStyle(this);
    DVSStyl->setObjectName(QStringLiteral("DVSStyl"));
    {
        TFontInfos style;
        const auto dodaj = [&style](const char* nazwa, int rozmiar, TColor kolor, int styl, int charset) {
            TFontInfo& f = style.Add();
            f.FontName = nazwa;
            f.Size = rozmiar;
            f.Color = kolor;
            f.Style = styl;
            f.CharSet = charset;
        };
        dodaj("Kreska", 14, clWindowText, 0, EASTEUROPE_CHARSET);
        dodaj("Times New Roman", 16, clBlack, fsBold, DEFAULT_CHARSET);
        dodaj("Times New Roman", 16, clBlack, fsBold, DEFAULT_CHARSET);
        dodaj("Times New Roman", 10, clMaroon, fsItalic, DEFAULT_CHARSET);
        // Links in the text: the size of the text they stand in.
        dodaj("Times New Roman", 14, clGreen, fsUnderline, DEFAULT_CHARSET);
        dodaj("Times New Roman", 10, clGreen, fsUnderline, DEFAULT_CHARSET);
        dodaj("Times New Roman", 14, clTeal, fsBold, DEFAULT_CHARSET);
        dodaj("Times New Roman", 8, clWindowText, 0, DEFAULT_CHARSET);
        dodaj("Times New Roman", 10, clWindowText, 0, DEFAULT_CHARSET);
        DVSStyl->SetTextStyles(style);
    }
    DVSStyl->SetJumpCursor(crJump);
    DVSStyl->SetHoverColor(clNone);
    DVSStyl->SetSelColor(clHighlight);
    DVSStyl->SetSelTextColor(clHighlightText);
    InstallCursor(crJump, obrazki::kursorSkoku());

    tZegar = new QTimer(this);
    tZegar->setObjectName(QStringLiteral("tZegar"));
    tZegar->setInterval(100);
    connect(tZegar, &QTimer::timeout, this, &TfLumesta::tZegarTimer);
    tOtwarcie = new QTimer(this);
    tOtwarcie->setObjectName(QStringLiteral("tOtwarcie"));
    tOtwarcie->setInterval(10);
    connect(tOtwarcie, &QTimer::timeout, this, &TfLumesta::tOtwarcieTimer);
    tOdswiezTablica = new QTimer(this);
    tOdswiezTablica->setObjectName(QStringLiteral("tOdswiezTablica"));
    tOdswiezTablica->setInterval(10);
    connect(tOdswiezTablica, &QTimer::timeout, this, &TfLumesta::tOdswiezTablicaTimer);

    DVPDrukuj = new TDVPrint(this);
    DVPDrukuj->setObjectName(QStringLiteral("DVPDrukuj"));

    UtworzMenu();
    UtworzPanele();
    UtworzPasekStanu();
    UtworzSzukanie();

    // Client area 1040 x 598 below the menu bar, centred on the screen.
    resize(SzerokoscOkna, WysokoscOkna + mmMenu->sizeHint().height());
    wysrodkujNaEkranie(this, screen());

    FormCreate();
}

TfLumesta::~TfLumesta()
{
    // An import still running is told to stop; its end is not handled.
    FPrzerwijImport = true;
    if (FWatekImportu) {
        FWatekImportu->wait();
        delete FWatekImportu;
        FWatekImportu = nullptr;
    }
    // The strip and its views go before the style table they refer to.
    delete pecTablica;
    pecTablica = nullptr;
}

void TfLumesta::UtworzMenu()
{
    mmMenu = new QMenuBar(this);
    mmMenu->setObjectName(QStringLiteral("mmMenu"));
    setMenuBar(mmMenu);

    // Access keys: no two menus, and no two items of one menu, share a
    // letter ("Pliki" and "Pomoc" both begin with P).
    Pliki1 = mmMenu->addMenu(QStringLiteral("&Pliki"));
    Pliki1->setObjectName(QStringLiteral("Pliki1"));
    Dodajakt1 = nowaAkcja(this, "Dodajakt1", QStringLiteral("Dodaj &akt…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    Zapisz1 = nowaAkcja(this, "Zapisz1", QStringLiteral("&Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S));
    Drukuj1 = nowaAkcja(this, "Drukuj1", QStringLiteral("&Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P));
    OtwierajOstatnie1 = nowaAkcja(this, "OtwierajOstatnie1", QStringLiteral("&Otwieraj ostatnie dokumenty"));
    OtwierajOstatnie1->setCheckable(true);
    OtwierajOstatnie1->setChecked(true);
    Zamknij2 = nowaAkcja(this, "Zamknij2", QStringLiteral("Za&mknij"), QKeySequence::Quit);
    Pliki1->addAction(Dodajakt1);
    Pliki1->addSeparator();
    Pliki1->addAction(Zapisz1);
    Pliki1->addSeparator();
    Pliki1->addAction(Drukuj1);
    Pliki1->addSeparator();
    Pliki1->addAction(OtwierajOstatnie1);
    Pliki1->addSeparator();
    Pliki1->addAction(Zamknij2);
    connect(Dodajakt1, &QAction::triggered, this, &TfLumesta::DodajAktClick);
    connect(OtwierajOstatnie1, &QAction::toggled, this, [this](bool wl) { FOtwierajOstatnie = wl; });
    connect(Zamknij2, &QAction::triggered, this, &TfLumesta::Zamknij2Click);
    connect(Zapisz1, &QAction::triggered, this, &TfLumesta::Zapisz1Click);
    connect(Drukuj1, &QAction::triggered, this, &TfLumesta::Drukuj1Click);

    Edycja1 = mmMenu->addMenu(QStringLiteral("&Edycja"));
    Edycja1->setObjectName(QStringLiteral("Edycja1"));
    Kopij1 = nowaAkcja(this, "Kopij1", QStringLiteral("&Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Zaznaczwszystko1 = nowaAkcja(this, "Zaznaczwszystko1", QStringLiteral("&Zaznacz wszystko"),
                                 QKeySequence(Qt::CTRL | Qt::Key_A));
    Edycja1->addAction(Kopij1);
    Edycja1->addAction(Zaznaczwszystko1);
    connect(Kopij1, &QAction::triggered, this, &TfLumesta::KopiujClick);
    connect(Zaznaczwszystko1, &QAction::triggered, this, &TfLumesta::ZaznaczWszystkoClick);

    Widok1 = mmMenu->addMenu(QStringLiteral("&Widok"));
    Widok1->setObjectName(QStringLiteral("Widok1"));
    Czcionka1 = nowaAkcja(this, "Czcionka1", QStringLiteral("&Czcionka"), QKeySequence(Qt::CTRL | Qt::Key_F));
    Kolorta1 = nowaAkcja(this, "Kolorta1", QStringLiteral("&Kolor tła"), QKeySequence(Qt::CTRL | Qt::Key_K));
    Duewyczniki1 = nowaAkcja(this, "Duewyczniki1", QStringLiteral("&Duże wyłączniki"));
    Zamknijotwarty1 = nowaAkcja(this, "Zamknijotwarty1", QStringLiteral("&Zamknij otwarty"),
                                QKeySequence(Qt::CTRL | Qt::Key_W));
    Lumesta1 = nowaAkcja(this, "Lumesta1", QStringLiteral("&Lumesta"));
    Spistreci1 = nowaAkcja(this, "Spistreci1", QStringLiteral("&Spis treści"));
    Widok1->addAction(Czcionka1);
    Widok1->addAction(Kolorta1);
    Widok1->addAction(Duewyczniki1);
    Widok1->addSeparator();
    Widok1->addAction(Zamknijotwarty1);
    Widok1->addSeparator();
    Widok1->addAction(Lumesta1);
    Widok1->addAction(Spistreci1);
    Widok1->addSeparator();
    UtworzMenuPowiekszenia();
    Stylprzyciskw1 = Widok1->addMenu(QStringLiteral("St&yl przycisków"));
    Stylprzyciskw1->setObjectName(QStringLiteral("Stylprzyciskw1"));
    Ikony1 = nowaAkcja(this, "Ikony1", QStringLiteral("&Ikony"));
    Ikonyiteksty1 = nowaAkcja(this, "Ikonyiteksty1", QStringLiteral("Ikony i &teksty"));
    eksty1 = nowaAkcja(this, "eksty1", QStringLiteral("Te&ksty"));
    Stylprzyciskw1->addAction(Ikony1);
    Stylprzyciskw1->addAction(Ikonyiteksty1);
    Stylprzyciskw1->addAction(eksty1);
    connect(Zamknijotwarty1, &QAction::triggered, this, &TfLumesta::Zamknij1Click);
    connect(Czcionka1, &QAction::triggered, this, &TfLumesta::Czcionka1Click);
    connect(Kolorta1, &QAction::triggered, this, &TfLumesta::Kolorta1Click);
    connect(Duewyczniki1, &QAction::triggered, this, &TfLumesta::Duzewylczniki1Click);
    connect(Ikony1, &QAction::triggered, this, &TfLumesta::Ikony1Click);
    connect(Ikonyiteksty1, &QAction::triggered, this, &TfLumesta::Ikonyiteksty1Click);
    connect(eksty1, &QAction::triggered, this, &TfLumesta::eksty1Click);
    connect(Lumesta1, &QAction::triggered, this, &TfLumesta::tbLumestaClick);
    connect(Spistreci1, &QAction::triggered, this, &TfLumesta::tbSpisTresciClick);

    Pomoc1 = mmMenu->addMenu(QStringLiteral("Po&moc"));
    Pomoc1->setObjectName(QStringLiteral("Pomoc1"));
    Stronafirmowa1 = nowaAkcja(this, "Stronafirmowa1", QStringLiteral("&Strona firmowa"));
    List1 = nowaAkcja(this, "List1", QStringLiteral("&List"));
    Licencja1 = nowaAkcja(this, "Licencja1", QStringLiteral("L&icencja"));
    OLumesta1 = nowaAkcja(this, "OLumesta1", QStringLiteral("&O programie Lumesta"));
    Pomoc1->addAction(Stronafirmowa1);
    Pomoc1->addAction(List1);
    Pomoc1->addSeparator();
    Pomoc1->addAction(Licencja1);
    Pomoc1->addSeparator();
    Pomoc1->addAction(OLumesta1);
    connect(Stronafirmowa1, &QAction::triggered, this, [] { pomoc::Stronafirmowa1Click(); });
    connect(List1, &QAction::triggered, this, [] { pomoc::List1Click(); });
    connect(Licencja1, &QAction::triggered, this,
            [this] {
                pomoc::Licencja1Click(
                    this, QString::fromStdString(KatalogLicencji(sKatalogProgramu, sKatalogInstalacji).string()));
            });
    connect(OLumesta1, &QAction::triggered, this, [this] { pomoc::OLumesta1Click(this); });

    // Pop-up menu of the document views. Its items carry the same shortcuts
    // as the main menu for display; they act only while the menu is open.
    pmPodreczne = new QMenu(this);
    pmPodreczne->setObjectName(QStringLiteral("pmPodreczne"));
    Kopiuj = nowaAkcja(pmPodreczne, "Kopiuj", QStringLiteral("&Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C));
    ZaznaczWszystko = nowaAkcja(pmPodreczne, "ZaznaczWszystko", QStringLiteral("&Zaznacz wszystko"),
                                QKeySequence(Qt::CTRL | Qt::Key_A));
    Zapisz2 = nowaAkcja(pmPodreczne, "Zapisz2", QStringLiteral("Za&pisz"), QKeySequence(Qt::CTRL | Qt::Key_S));
    Drukuj2 = nowaAkcja(pmPodreczne, "Drukuj2", QStringLiteral("&Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P));
    Czcionka2 = nowaAkcja(pmPodreczne, "Czcionka2", QStringLiteral("&Czcionka"), QKeySequence(Qt::CTRL | Qt::Key_F));
    Kolorta2 = nowaAkcja(pmPodreczne, "Kolorta2", QStringLiteral("Kolor &tła"), QKeySequence(Qt::CTRL | Qt::Key_K));
    pmPodreczne->addAction(Kopiuj);
    pmPodreczne->addAction(ZaznaczWszystko);
    pmPodreczne->addSeparator();
    pmPodreczne->addAction(Zapisz2);
    pmPodreczne->addSeparator();
    pmPodreczne->addAction(Drukuj2);
    pmPodreczne->addSeparator();
    pmPodreczne->addAction(Czcionka2);
    pmPodreczne->addAction(Kolorta2);
    for (QAction* a : pmPodreczne->actions())
        a->setShortcutContext(Qt::WidgetShortcut);
    connect(Kopiuj, &QAction::triggered, this, &TfLumesta::KopiujClick);
    connect(ZaznaczWszystko, &QAction::triggered, this, &TfLumesta::ZaznaczWszystkoClick);
    connect(Zapisz2, &QAction::triggered, this, &TfLumesta::Zapisz1Click);
    connect(Drukuj2, &QAction::triggered, this, &TfLumesta::Drukuj1Click);
    connect(Czcionka2, &QAction::triggered, this, &TfLumesta::Czcionka1Click);
    connect(Kolorta2, &QAction::triggered, this, &TfLumesta::Kolorta1Click);

    pmZakladki = new QMenu(this);
    pmZakladki->setObjectName(QStringLiteral("pmZakladki"));
    Zamknij1 = nowaAkcja(pmZakladki, "Zamknij1", QStringLiteral("&Zamknij"));
    Duzewylczniki1 = nowaAkcja(pmZakladki, "Duzewylczniki1", QStringLiteral("&Duże wyłączniki"));
    pmZakladki->addAction(Zamknij1);
    pmZakladki->addSeparator();
    pmZakladki->addAction(Duzewylczniki1);
    connect(Zamknij1, &QAction::triggered, this, &TfLumesta::Zamknij1Click);
    connect(Duzewylczniki1, &QAction::triggered, this, &TfLumesta::Duzewylczniki1Click);
}

void TfLumesta::UtworzNarzedzia()
{
    pNarzedzia = new QWidget;
    pNarzedzia->setObjectName(QStringLiteral("pNarzedzia"));
    pNarzedzia->setFixedHeight(57);
    auto* uklad = new QHBoxLayout(pNarzedzia);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->setSpacing(0);

    tbNarzedzia = new QToolBar(pNarzedzia);
    tbNarzedzia->setObjectName(QStringLiteral("tbNarzedzia"));
    tbNarzedzia->setMovable(false);
    tbNarzedzia->setFloatable(false);
    tbNarzedzia->setIconSize(obrazki::RozmiarNarzedzia);
    tbNarzedzia->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbNarzedzia->setContextMenuPolicy(Qt::PreventContextMenu);
    uklad->addWidget(tbNarzedzia, 1);

    const auto przycisk = [this](const char* nazwa, const QString& tekst, const QString& podpowiedz, int obrazek) {
        auto* b = new TPrzyciskNarzedzia(tbNarzedzia);
        b->setObjectName(QString::fromLatin1(nazwa));
        b->setText(tekst);
        b->setToolTip(podpowiedz);
        b->setStatusTip(podpowiedz);
        b->setIcon(ilNarzedzia->Icon(obrazek));
        b->setIconSize(obrazki::RozmiarNarzedzia);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFixedSize(81, 52);
        tbNarzedzia->addWidget(b);
        return b;
    };
    tbZapisz = przycisk("tbZapisz", QStringLiteral("Zapisz"), QStringLiteral("Zapis do pliku"), 0);
    tbDrukuj = przycisk("tbDrukuj", QStringLiteral("Drukuj"), QStringLiteral("Drukownie dokumentu"), 1);
    tbLumesta = przycisk("tbLumesta", QStringLiteral("Lumesta"), QStringLiteral("Spis kodeksów"), 2);
    tbSpisTresci = przycisk("tbSpisTresci", QStringLiteral("Spis treści"), QStringLiteral("Spis treści"), 3);
    tbZamknijOtwarty = przycisk("tbZamknijOtwarty", QStringLiteral("Zamknij otwarty"),
                                QStringLiteral("Zamyka otwarty dokument"), 4);
    connect(tbZapisz, &QToolButton::clicked, this, &TfLumesta::Zapisz1Click);
    connect(tbDrukuj, &QToolButton::clicked, this, &TfLumesta::Drukuj1Click);
    connect(tbLumesta, &QToolButton::clicked, this, &TfLumesta::tbLumestaClick);
    connect(tbSpisTresci, &QToolButton::clicked, this, &TfLumesta::tbSpisTresciClick);
    connect(tbZamknijOtwarty, &QToolButton::clicked, this, &TfLumesta::Zamknij1Click);
    tbWstecz = przycisk("tbWstecz", QStringLiteral("Wstecz"), QStringLiteral("Wraca do miejsca sprzed skoku (Alt+Lewo)"),
                        obrazki::LiczbaNarzedzi);
    tbDalej = przycisk("tbDalej", QStringLiteral("Dalej"), QStringLiteral("Idzie z powrotem dalej (Alt+Prawo)"),
                       obrazki::LiczbaNarzedzi + 1);
    tbWstecz->setEnabled(false);
    tbDalej->setEnabled(false);
    connect(tbWstecz, &QToolButton::clicked, this, &TfLumesta::WsteczClick);
    connect(tbDalej, &QToolButton::clicked, this, &TfLumesta::DalejClick);

    // Progress of building a document, at the right of the tool bar area.
    pPostep = new QWidget(pNarzedzia);
    pPostep->setObjectName(QStringLiteral("pPostep"));
    // 271 pixels wide when there is room; on a narrow window the buttons
    // keep theirs and the progress gives way (it stays at the right edge).
    pPostep->setMinimumWidth(0);
    pPostep->setMaximumWidth(271);
    pPostep->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    pPostep->installEventFilter(this);
    lWczytywanie = new QLabel(QStringLiteral("Wczytywanie:"), pPostep);
    lWczytywanie->setObjectName(QStringLiteral("lWczytywanie"));
    lWczytywanie->setGeometry(4, 19, 66, 18);
    gWczytywanie = new TProgressGauge(pPostep);
    gWczytywanie->setObjectName(QStringLiteral("gWczytywanie"));
    gWczytywanie->setGeometry(72, 17, 195, 22);
    gWczytywanie->SetBackColor(clAqua);
    gWczytywanie->SetForeColor(clGreen);
    gWczytywanie->SetProgress(0);
    lWczytywanie->hide();
    gWczytywanie->hide();
    // Room beyond the buttons goes to the progress first (up to its width),
    // the rest to the tool bar.
    uklad->addWidget(pPostep, 100);
    tbNarzedzia->setMinimumWidth(tbNarzedzia->sizeHint().width());
}

void TfLumesta::UtworzPanele()
{
    auto* srodek = new QWidget(this);
    srodek->setObjectName(QStringLiteral("srodek"));
    auto* uklad = new QVBoxLayout(srodek);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->setSpacing(0);
    setCentralWidget(srodek);

    UtworzNarzedzia();
    uklad->addWidget(pNarzedzia);

    sPodzialka = new QSplitter(Qt::Horizontal, srodek);
    sPodzialka->setObjectName(QStringLiteral("sPodzialka"));
    sPodzialka->setHandleWidth(3);
    sPodzialka->setChildrenCollapsible(false);
    uklad->addWidget(sPodzialka, 1);

    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* ukladPanelu = new QVBoxLayout(Panel1);
    ukladPanelu->setContentsMargins(0, 0, 0, 0);
    sPodzialPion = new QSplitter(Qt::Vertical, Panel1);
    sPodzialPion->setObjectName(QStringLiteral("sPodzialPion"));
    sPodzialPion->setHandleWidth(3);
    sPodzialPion->setChildrenCollapsible(false);
    ukladPanelu->addWidget(sPodzialPion);

    clbSpisKodeksow = new QListWidget(sPodzialPion);
    clbSpisKodeksow->setObjectName(QStringLiteral("clbSpisKodeksow"));
    clbSpisKodeksow->setToolTip(QStringLiteral("Lista kodeksów"));
    clbSpisKodeksow->setStatusTip(QStringLiteral("Lista kodeksów"));
    lbSpisTresci = new QListWidget(sPodzialPion);
    lbSpisTresci->setObjectName(QStringLiteral("lbSpisTresci"));
    lbSpisTresci->setToolTip(QStringLiteral("Spis treści"));
    lbSpisTresci->setStatusTip(QStringLiteral("Spis treści"));
    sPodzialPion->addWidget(clbSpisKodeksow);
    sPodzialPion->addWidget(lbSpisTresci);
    sPodzialPion->setStretchFactor(0, 0);
    sPodzialPion->setStretchFactor(1, 1);
    sPodzialPion->setSizes({201, WysokoscOkna});

    connect(clbSpisKodeksow, &QListWidget::itemClicked, this, [this](QListWidgetItem*) {
        // A click on the check box itself is the check event's business.
        if (FKlikZnacznika)
            return;
        tvSpisKodeksowClick();
    });
    connect(clbSpisKodeksow, &QListWidget::itemActivated, this, [this](QListWidgetItem*) {
        if (QApplication::mouseButtons() == Qt::NoButton && !FKlikZnacznika)
            tvSpisKodeksowClick();
    });
    connect(clbSpisKodeksow, &QListWidget::itemChanged, this, [this](QListWidgetItem* w) {
        if (FUstawiaZnaczniki)
            return;
        // The check event runs once the click that changed the mark has been
        // handled in full: the question it may ask must not let the same
        // click arrive afterwards as a row click.
        FKlikZnacznika = true;
        const int wiersz = clbSpisKodeksow->row(w);
        QTimer::singleShot(0, this, [this, wiersz] {
            FKlikZnacznika = false;
            if (QListWidgetItem* pozycja = clbSpisKodeksow->item(wiersz))
                clbSpisKodeksowClickCheck(pozycja);
        });
    });
    clbSpisKodeksow->installEventFilter(this);
    lbSpisTresci->installEventFilter(this);
    connect(lbSpisTresci, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { lbSpisTresciClick(); });
    // Walked with the arrow keys, the list scrolls the text on Enter.
    connect(lbSpisTresci, &QListWidget::itemActivated, this, [this](QListWidgetItem*) {
        if (QApplication::mouseButtons() == Qt::NoButton)
            lbSpisTresciClick();
    });

    pPole = new QWidget;
    pPole->setObjectName(QStringLiteral("pPole"));
    pPole->installEventFilter(this);
    auto* ukladPola = new QVBoxLayout(pPole);
    ukladPola->setContentsMargins(0, 0, 0, 0);
    UtworzPanelLumesta();

    sPodzialka->addWidget(Panel1);
    sPodzialka->addWidget(pPole);
    sPodzialka->setStretchFactor(0, 0);
    sPodzialka->setStretchFactor(1, 1);
    sPodzialka->setSizes({260, SzerokoscOkna - 260});
    // What the user drags is what the next run gets, even for a pane hidden
    // before the window closes.
    connect(sPodzialka, &QSplitter::splitterMoved, this, [this] { ZapamietajPodzialy(); });
    connect(sPodzialPion, &QSplitter::splitterMoved, this, [this] { ZapamietajPodzialy(); });
}

void TfLumesta::UtworzPanelLumesta()
{
    pLumesta = new QWidget(pPole);
    pLumesta->setObjectName(QStringLiteral("pLumesta"));
    pLumesta->setFixedSize(SzerokoscPaneluLumesta, WysokoscPaneluLumesta);

    lLumesta = new TDrawnPicture(obrazki::logoProgramu, QSize(320, 236), pLumesta);
    lLumesta->setObjectName(QStringLiteral("lLumesta"));
    lLumesta->setGeometry(116, 6, 320, 236);

    Label2 = new QLabel(QStringLiteral("Lumesta"), pLumesta);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont duza(QStringLiteral("Times New Roman"));
    duza.setPixelSize(59);
    duza.setBold(true);
    Label2->setFont(duza);
    ustawKolorTekstu(Label2, clGreen);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(0, 246, SzerokoscPaneluLumesta, 76);

    const TUkladLaczy uklad{.Logo = QSize(170, 104), .GoraLogo = 344, .LogoFirmyX = 70, .LogoTworcyX = 313,
                            .Adres = QSize(210, 22), .GoraAdresu = 454, .AdresFirmyX = 50, .AdresTworcyX = 293,
                            .CzcionkaAdresu = 14};
    laczaFirm = new TLaczaFirm(pLumesta, uklad);
    // The area around the panel and the program's logo count as the panel.
    laczaFirm->DodajTlo(pPole);
    laczaFirm->DodajTlo(lLumesta);
}

void TfLumesta::UtworzPasekStanu()
{
    sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setFixedHeight(19);
    sbStatus->setSizeGripEnabled(false);
    sbPanel0 = new QLabel(sbStatus);
    sbPanel0->setObjectName(QStringLiteral("sbPanel0"));
    sbPanel0->setFixedWidth(220);
    sbStatus->addWidget(sbPanel0);
    sbPowiekszenie = new QLabel(sbStatus);
    sbPowiekszenie->setObjectName(QStringLiteral("sbPowiekszenie"));
    sbPowiekszenie->setToolTip(QStringLiteral("Powiększenie tekstu"));
    sbPowiekszenie->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the widest value, clear of the window's edge.
    sbPowiekszenie->setContentsMargins(0, 0, 6, 0);
    sbPowiekszenie->setMinimumWidth(sbPowiekszenie->fontMetrics().horizontalAdvance(QStringLiteral("400%")) + 12);
    sbStatus->addPermanentWidget(sbPowiekszenie);
    setStatusBar(sbStatus);
    OdswiezPowiekszenie();
}

// ---------------------------------------------------------------------------
// Create and show.

void TfLumesta::UporzadkujDane()
{
    for (const std::filesystem::path& folder : {sKatalogUzytkownika, sKatalogProgramu, KatalogNadrzednyProgramu()}) {
        if (folder.empty())
            continue;
        const podmiana::TPorzadki p = podmiana::Uporzadkuj(folder, 2000);
        if (p.CzekaPodmiana)
            komunikaty->Komunikat(KomunikatPrzerwanaWymiana(folder, p.Blad));
    }
}

std::string KomunikatPrzerwanaWymiana(const std::filesystem::path& folder, const std::string& powod)
{
    return cp1250::fromUtf8("Wymiana danych programu w folderze ") + cp1250::fromUtf8(folder.string()) +
           cp1250::fromUtf8(" została przerwana i nie dało się jej dokończyć (") + cp1250::fromUtf8(powod) +
           cp1250::fromUtf8(").\r\nTeksty mogą się nie zgadzać ze słownikiem; spakuj dane ponownie.");
}

void TfLumesta::FormCreate()
{
    // A pack killed while it switched a library in leaves the switch to be
    // finished here, before anything is read.
    UporzadkujDane();
    biblioteka = std::make_unique<TBiblioteka>(komunikaty);
    try {
        UtworzBiblioteki();
    } catch (const std::exception& e) {
        komunikaty->Komunikat(e.what());
    }
    tekstDokumentu.clear();
    przypisyTekst.clear();
    spisKodeksow.clear();
    indeksyPrzypisow.clear();
    spisyZakladek.clear();
    nazwyZakladek.clear();
    nazwyKodeksow.clear();

    DVSStyl->SetColor(KolorTla);
    ustawTlo(clbSpisKodeksow, KolorTla);
    ustawTlo(lbSpisTresci, KolorTla);
    licznikZakladek = 0;
    for (int i = 0; i < DVSStyl->TextStyles().Count(); ++i) {
        TFontInfo& f = DVSStyl->TextStyles().Items(i);
        f.FontName = "Kreska";
        f.CharSet = CharSetEuropySrodkowej;
    }
    // The character set of the window's fonts is a Windows notion; Qt fonts
    // cover Central European letters as they are.
    WysrodkujPanelLumesta();
}

void TfLumesta::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!FPokazany) {
        FPokazany = true;
        FormShow();
    }
}

void TfLumesta::FormShow()
{
    WczytajSpisKodeksow();
    // A screen smaller than the window: the window, frame and title bar
    // included, is cut to the screen's free area and moved into it.
    FitWindowToScreen(this);
    // The last session comes back once the codes are known (they tell which
    // of its documents still exist) and the window has its size.
    if (FOtwierajOstatnie && !FSesja.empty()) {
        const std::vector<TZakladkaSesji> sesja = std::move(FSesja);
        FSesja.clear();
        PrzywrocSesje(sesja, FBiezacaSesji);
    }
}

void TfLumesta::UtworzTablice()
{
    pecTablica = new TPageExtControl(this);
    pecTablica->setObjectName(QStringLiteral("pecTablica"));
    // Above the bars of the document area (find, go to).
    static_cast<QVBoxLayout*>(pPole->layout())->insertWidget(0, pecTablica, 1);
    pecTablica->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pecTablica, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        // The menu acts on the tab that was clicked: it becomes current
        // first, so that "Zamknij" closes that one.
        const int kliknieta = pecTablica->IndexOfTabAt(p);
        if (kliknieta >= 0 && kliknieta != BiezacaZakladka()) {
            pecTablica->SetTabIndex(kliknieta);
            pcTablicaChange();
        }
        pmZakladki->popup(pecTablica->mapToGlobal(p));
    });
    pecTablica->SetCloseBtn(true);
    // Tabs are not dragged: the window keeps what belongs to each tab (its
    // name, contents list and footnote index) in lists by tab position,
    // which a drop would put out of step with the tabs.
    pecTablica->SetTabDragDrop(false);
    pecTablica->SetSmallCloseBtn(FMaleWylaczniki);
    pecTablica->OnChange = [this](QObject*) { pcTablicaChange(); };
    pecTablica->OnTabClose = [this](QObject*, int indeks, bool& mozna) { pecTablicaTabClose(indeks, mozna); };
    // The strip covers the whole document area with its own background, and
    // the start-up panel goes while the strip is up: nothing of the panel
    // shows beside the tabs or under the pages, at any size or scale.
    pecTablica->setAutoFillBackground(true);
    pecTablica->installEventFilter(this);
    pLumesta->hide();
    pecTablica->raise();
}
