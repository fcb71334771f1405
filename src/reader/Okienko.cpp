#include "reader/Okienko.h"
#include "reader/Wyglad.h"

#include "platform/Cursors.h"
#include "platform/QtColors.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "reader/Adresy.h"
#include "reader/OLumesta.h"
#include "reader/Obrazki.h"
#include "print/Drukowanie.h"
#include "print/PrintFrm.h"
#include "print/PtblDV.h"
#include "view/DVStyle.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// Colour of the lists and of the documents' background (a very light green).
constexpr TColor KolorTla = 0xEBFFED;
constexpr int CharSetEuropySrodkowej = 238;
constexpr int PierwszyNumerSkoku = 1000;
constexpr int StylTekstu = 0;
constexpr int StylNaglowka = 2;

constexpr int WysokoscPrzyciskuZTekstem = 52;
constexpr int SzerokoscOkna = 1040;
constexpr int WysokoscOkna = 598;
constexpr int SzerokoscPaneluLumesta = 553;
constexpr int WysokoscPaneluLumesta = 521;

// The window's own Polish messages and captions are plain UI text; the
// names of codes and documents are Windows-1250 data and go through toQString.
const QString KomunikatBrakDokumentu = QStringLiteral("Najpierw otwórz jakiś kodeks z listy kodeksów.");
const QString KomunikatBrakZakladki = QStringLiteral("Nie ma żadnego otwartego dokumentu.");

// Texts of the data in Windows-1250, as the store delivers them.
const std::string NazwaListyKodeksow = cp1250::fromUtf8("Kodeks cywilny");

bool jestNaglowkiem(int rodzaj) { return rodzaj >= 6 && rodzaj <= 23; }
bool jestArtykulem(int rodzaj) { return rodzaj >= 1 && rodzaj <= 3; }
bool jestKonstytucja(int rodzaj) { return rodzaj == 22 || rodzaj == 23; }

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
        const QPixmap obraz = icon().pixmap(ikona, isEnabled() ? QIcon::Normal : QIcon::Disabled);
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
// Free rules.

int WciecieSpisu(int rodzaj)
{
    if (rodzaj == 6 || rodzaj == 7 || jestKonstytucja(rodzaj))
        return 0;
    if (rodzaj >= 8 && rodzaj <= 21)
        return (rodzaj / 2 - 3) * 3;
    return -1;
}

std::string KatalogNadrzedny(const std::string& sciezka)
{
    std::string s = sciezka;
    if (!s.empty() && s.back() == '/')
        s.pop_back();
    const auto poz = s.rfind('/');
    if (poz == std::string::npos)
        return {};
    return s.substr(0, poz + 1);
}

std::vector<TBlokPrzypisu> BlokiPrzypisow(const TListaNapisow& wiersze)
{
    std::vector<TBlokPrzypisu> bloki;
    bool rozpoczety = false;
    // Whether the last block has met the empty line that closes it.
    bool zamkniety = false;
    for (std::size_t n = 0; n < wiersze.size(); ++n) {
        const std::string& s = wiersze[n];
        if (!s.empty() && s[0] == '(') {
            // A footnote that runs straight into the next one ends just
            // before it instead of losing its text.
            if (!bloki.empty() && !zamkniety)
                bloki.back().Ostatni = std::int32_t(n) - 1;
            bloki.push_back({std::int32_t(n), 0});
            rozpoczety = true;
            zamkniety = false;
        }
        if (rozpoczety && (s.empty() || s[0] == '\0')) {
            bloki.back().Ostatni = std::int32_t(n);
            zamkniety = true;
        }
    }
    if (!bloki.empty())
        bloki.back().Ostatni = std::int32_t(wiersze.size()) - 1;
    return bloki;
}

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
    case 1:
        rozszerzenie = QStringLiteral(".html");
        break;
    case 2:
        rozszerzenie = QStringLiteral(".htm");
        break;
    case 3:
        rozszerzenie = QStringLiteral(".txt");
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

    FKomunikaty = std::make_unique<TKomunikatyOkna>(this);
    komunikaty = wlasneKomunikaty ? wlasneKomunikaty : FKomunikaty.get();
    pytanie = [this](const QString& tytul, const QString& tekst) {
        return QMessageBox::question(this, tytul, tekst, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    };
    dialogZapisu = [this](QString& plik, int& filtr) {
        const QStringList filtry = {QStringLiteral("Plik HTML (html) (*.html)"), QStringLiteral("Plik HTM (htm) (*.htm)"),
                                    QStringLiteral("Plik tekstowy (txt) (*.txt)")};
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
    dialogKoloru = [this](TColor& kolor) {
        const QColor wybor = QColorDialog::getColor(toQColor(kolor), this);
        if (!wybor.isValid())
            return false;
        kolor = fromQColor(wybor);
        return true;
    };

    ilNarzedzia = std::make_unique<TImageList>(obrazki::RozmiarNarzedzia.width(), obrazki::RozmiarNarzedzia.height());
    for (int i = 0; i < obrazki::LiczbaNarzedzi; ++i)
        ilNarzedzia->Add(obrazki::narzedzie(i).toImage());
    ilObrazki = std::make_unique<TImageList>(obrazki::RozmiarObrazka.width(), obrazki::RozmiarObrazka.height());
    for (int i = 0; i < obrazki::LiczbaMalychObrazkow; ++i)
        ilObrazki->Add(obrazki::malyObrazek(i).toImage());

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
        dodaj("Times New Roman", 10, clGreen, fsUnderline, DEFAULT_CHARSET);
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

    // Client area 1040 x 598 below the menu bar, centred on the screen.
    resize(SzerokoscOkna, WysokoscOkna + mmMenu->sizeHint().height());
    if (QScreen* ekran = screen()) {
        const QRect g = ekran->availableGeometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }

    FormCreate();
}

TfLumesta::~TfLumesta()
{
    // The strip and its views go before the style table they refer to.
    delete pecTablica;
    pecTablica = nullptr;
}

void TfLumesta::UtworzMenu()
{
    mmMenu = new QMenuBar(this);
    mmMenu->setObjectName(QStringLiteral("mmMenu"));
    setMenuBar(mmMenu);

    Pliki1 = mmMenu->addMenu(QStringLiteral("Pliki"));
    Pliki1->setObjectName(QStringLiteral("Pliki1"));
    Zapisz1 = nowaAkcja(this, "Zapisz1", QStringLiteral("Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S));
    Drukuj1 = nowaAkcja(this, "Drukuj1", QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P));
    Zamknij2 = nowaAkcja(this, "Zamknij2", QStringLiteral("Zamknij"));
    Pliki1->addAction(Zapisz1);
    Pliki1->addSeparator();
    Pliki1->addAction(Drukuj1);
    Pliki1->addSeparator();
    Pliki1->addAction(Zamknij2);
    connect(Zamknij2, &QAction::triggered, this, &TfLumesta::Zamknij2Click);
    connect(Zapisz1, &QAction::triggered, this, &TfLumesta::Zapisz1Click);
    connect(Drukuj1, &QAction::triggered, this, &TfLumesta::Drukuj1Click);

    Edycja1 = mmMenu->addMenu(QStringLiteral("Edycja"));
    Edycja1->setObjectName(QStringLiteral("Edycja1"));
    Kopij1 = nowaAkcja(this, "Kopij1", QStringLiteral("Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Zaznaczwszystko1 = nowaAkcja(this, "Zaznaczwszystko1", QStringLiteral("Zaznacz wszystko"),
                                 QKeySequence(Qt::CTRL | Qt::Key_A));
    Edycja1->addAction(Kopij1);
    Edycja1->addAction(Zaznaczwszystko1);
    connect(Kopij1, &QAction::triggered, this, &TfLumesta::KopiujClick);
    connect(Zaznaczwszystko1, &QAction::triggered, this, &TfLumesta::ZaznaczWszystkoClick);

    Widok1 = mmMenu->addMenu(QStringLiteral("Widok"));
    Widok1->setObjectName(QStringLiteral("Widok1"));
    Czcionka1 = nowaAkcja(this, "Czcionka1", QStringLiteral("Czcionka"), QKeySequence(Qt::CTRL | Qt::Key_F));
    Kolorta1 = nowaAkcja(this, "Kolorta1", QStringLiteral("Kolor tła"), QKeySequence(Qt::CTRL | Qt::Key_K));
    Duewyczniki1 = nowaAkcja(this, "Duewyczniki1", QStringLiteral("Duże wyłączniki"));
    Zamknijotwarty1 = nowaAkcja(this, "Zamknijotwarty1", QStringLiteral("Zamknij otwarty"));
    Lumesta1 = nowaAkcja(this, "Lumesta1", QStringLiteral("Lumesta"));
    Spistreci1 = nowaAkcja(this, "Spistreci1", QStringLiteral("Spis treści"));
    Widok1->addAction(Czcionka1);
    Widok1->addAction(Kolorta1);
    Widok1->addAction(Duewyczniki1);
    Widok1->addSeparator();
    Widok1->addAction(Zamknijotwarty1);
    Widok1->addSeparator();
    Widok1->addAction(Lumesta1);
    Widok1->addAction(Spistreci1);
    Widok1->addSeparator();
    Stylprzyciskw1 = Widok1->addMenu(QStringLiteral("Styl przycisków"));
    Stylprzyciskw1->setObjectName(QStringLiteral("Stylprzyciskw1"));
    Ikony1 = nowaAkcja(this, "Ikony1", QStringLiteral("Ikony"));
    Ikonyiteksty1 = nowaAkcja(this, "Ikonyiteksty1", QStringLiteral("Ikony i teksty"));
    eksty1 = nowaAkcja(this, "eksty1", QStringLiteral("Teksty"));
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

    Pomoc1 = mmMenu->addMenu(QStringLiteral("Pomoc"));
    Pomoc1->setObjectName(QStringLiteral("Pomoc1"));
    Stronafirmowa1 = nowaAkcja(this, "Stronafirmowa1", QStringLiteral("Strona firmowa"));
    List1 = nowaAkcja(this, "List1", QStringLiteral("List"));
    Licencja1 = nowaAkcja(this, "Licencja1", QStringLiteral("Licencja"));
    OLumesta1 = nowaAkcja(this, "OLumesta1", QStringLiteral("O programie Lumesta"));
    Pomoc1->addAction(Stronafirmowa1);
    Pomoc1->addAction(List1);
    Pomoc1->addSeparator();
    Pomoc1->addAction(Licencja1);
    Pomoc1->addSeparator();
    Pomoc1->addAction(OLumesta1);
    connect(Stronafirmowa1, &QAction::triggered, this, [] { pomoc::Stronafirmowa1Click(); });
    connect(List1, &QAction::triggered, this, [] { pomoc::List1Click(); });
    connect(Licencja1, &QAction::triggered, this,
            [this] { pomoc::Licencja1Click(this, QString::fromStdString(sKatalogProgramu.string())); });
    connect(OLumesta1, &QAction::triggered, this, [this] { pomoc::OLumesta1Click(this); });

    // Pop-up menu of the document views. Its items carry the same shortcuts
    // as the main menu for display; they act only while the menu is open.
    pmPodreczne = new QMenu(this);
    pmPodreczne->setObjectName(QStringLiteral("pmPodreczne"));
    Kopiuj = nowaAkcja(pmPodreczne, "Kopiuj", QStringLiteral("&Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C));
    ZaznaczWszystko = nowaAkcja(pmPodreczne, "ZaznaczWszystko", QStringLiteral("&Zaznacz wszystko"),
                                QKeySequence(Qt::CTRL | Qt::Key_A));
    Zapisz2 = nowaAkcja(pmPodreczne, "Zapisz2", QStringLiteral("Zapisz"), QKeySequence(Qt::CTRL | Qt::Key_S));
    Drukuj2 = nowaAkcja(pmPodreczne, "Drukuj2", QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P));
    Czcionka2 = nowaAkcja(pmPodreczne, "Czcionka2", QStringLiteral("Czcionka"), QKeySequence(Qt::CTRL | Qt::Key_F));
    Kolorta2 = nowaAkcja(pmPodreczne, "Kolorta2", QStringLiteral("Kolor tła"), QKeySequence(Qt::CTRL | Qt::Key_K));
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
    Zamknij1 = nowaAkcja(pmZakladki, "Zamknij1", QStringLiteral("Zamknij"));
    Duzewylczniki1 = nowaAkcja(pmZakladki, "Duzewylczniki1", QStringLiteral("Duże wyłączniki"));
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
        b->setIcon(QIcon(QPixmap::fromImage(ilNarzedzia->Image(obrazek))));
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

    // Progress of building a document, at the right of the tool bar area.
    pPostep = new QWidget(pNarzedzia);
    pPostep->setObjectName(QStringLiteral("pPostep"));
    pPostep->setFixedWidth(271);
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
    uklad->addWidget(pPostep);
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
    connect(lbSpisTresci, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { lbSpisTresciClick(); });

    pPole = new QWidget;
    pPole->setObjectName(QStringLiteral("pPole"));
    pPole->setMouseTracking(true);
    pPole->installEventFilter(this);
    auto* ukladPola = new QVBoxLayout(pPole);
    ukladPola->setContentsMargins(0, 0, 0, 0);
    UtworzPanelLumesta();

    sPodzialka->addWidget(Panel1);
    sPodzialka->addWidget(pPole);
    sPodzialka->setStretchFactor(0, 0);
    sPodzialka->setStretchFactor(1, 1);
    sPodzialka->setSizes({260, SzerokoscOkna - 260});
}

void TfLumesta::UtworzPanelLumesta()
{
    pLumesta = new QWidget(pPole);
    pLumesta->setObjectName(QStringLiteral("pLumesta"));
    pLumesta->setFixedSize(SzerokoscPaneluLumesta, WysokoscPaneluLumesta);
    pLumesta->setMouseTracking(true);
    pLumesta->installEventFilter(this);

    lLumesta = new QLabel(pLumesta);
    lLumesta->setObjectName(QStringLiteral("lLumesta"));
    lLumesta->setGeometry(116, 6, 320, 236);
    lLumesta->setPixmap(obrazki::logoProgramu(lLumesta->size()));
    lLumesta->setMouseTracking(true);
    lLumesta->installEventFilter(this);

    Label2 = new QLabel(QStringLiteral("Lumesta"), pLumesta);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont duza(QStringLiteral("Times New Roman"));
    duza.setPixelSize(59);
    duza.setBold(true);
    Label2->setFont(duza);
    ustawKolorTekstu(Label2, clGreen);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(0, 246, SzerokoscPaneluLumesta, 76);

    QFont lacze = czcionkaFormularza();
    lacze.setPixelSize(14);
    lacze.setUnderline(true);
    const auto logo = [this](const char* nazwa, const QPixmap& obraz, int x) {
        auto* l = new QLabel(pLumesta);
        l->setObjectName(QString::fromLatin1(nazwa));
        l->setGeometry(x, 344, 170, 104);
        l->setPixmap(obraz);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        return l;
    };
    const auto etykieta = [this, &lacze](const char* nazwa, const QString& adres, int x) {
        auto* l = new QLabel(adres, pLumesta);
        l->setObjectName(QString::fromLatin1(nazwa));
        l->setFont(lacze);
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(x, 454, 210, 22);
        l->setCursor(Qt::PointingHandCursor);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        ustawKolorTekstu(l, clGreen);
        return l;
    };
    iMardovelt = logo("iMardovelt", obrazki::logoFirmy(QSize(170, 104)), 70);
    lMardoveltpl = etykieta("lMardoveltpl", QString::fromLatin1(adresy::AdresFirmy), 50);
    iBrovank = logo("iBrovank", obrazki::logoTworcy(QSize(170, 104)), 313);
    lBrovankpl = etykieta("lBrovankpl", QString::fromLatin1(adresy::AdresTworcy), 293);
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
    setStatusBar(sbStatus);
}

// ---------------------------------------------------------------------------
// Create and show.

void TfLumesta::FormCreate()
{
    pliki = std::make_unique<TPliki>(komunikaty);
    try {
        pliki->WczytajSlownik(sKatalogProgramu / "Morvitane.sko");
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
    // A screen smaller than the window: cut the window to it.
    QScreen* ekran = screen();
    if (!ekran)
        return;
    const QRect s = ekran->geometry();
    const QRect ramka = frameGeometry();
    const int dodatekX = ramka.width() - width();
    const int dodatekY = ramka.height() - height();
    if (s.width() < ramka.width()) {
        resize(std::max(1, s.width() - dodatekX), height());
        move(s.left(), y());
    }
    if (s.height() < frameGeometry().height()) {
        resize(width(), std::max(1, s.height() - dodatekY));
        move(x(), s.top());
    }
}

void TfLumesta::WczytajSpisKodeksow()
{
    clbSpisKodeksow->clear();
    nazwyKodeksow.clear();
    const auto wypelnij = [this] {
        TPlik nieuzywany;
        TListaNapisow tekst;
        TListaNapisow przypisy;
        try {
            pliki->OtworzDokument(sKatalogDanych, NazwaListyKodeksow, tekst, przypisy, nieuzywany, false,
                                  spisKodeksow);
        } catch (const std::exception& e) {
            komunikaty->Komunikat(e.what());
        }
        FUstawiaZnaczniki = true;
        for (const std::string& nazwa : spisKodeksow) {
            auto* w = new QListWidgetItem(toQString(nazwa), clbSpisKodeksow);
            w->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            w->setCheckState(Qt::Unchecked);
            nazwyKodeksow.push_back(nazwa);
        }
        FUstawiaZnaczniki = false;
    };

    sKatalogDanych = sKatalogProgramu / "Lumesta" / "";
    wypelnij();
    if (nazwyKodeksow.empty()) {
        std::string program = sKatalogProgramu.string();
        if (program.empty() || program.back() != '/')
            program += '/';
        const std::string nadrzedny = KatalogNadrzedny(program);
        if (!nadrzedny.empty()) {
            sKatalogDanych = std::filesystem::path(nadrzedny) / "Lumesta" / "";
            wypelnij();
        }
    }
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
    if (obj == pPole && e->type() == QEvent::Resize) {
        WysrodkujPanelLumesta();
    } else if (e->type() == QEvent::MouseMove) {
        // A label takes its own move: passed on to the panel under it, the
        // move would turn it green again at once.
        if (obj == lMardoveltpl || obj == lBrovankpl) {
            ustawKolorTekstu(static_cast<QLabel*>(obj), clRed);
            return true;
        }
        if (obj == pPole || obj == pLumesta || obj == lLumesta)
            UstawKolorLaczy(false, false);
    } else if (e->type() == QEvent::MouseButtonRelease) {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::LeftButton) {
            if (obj == lMardoveltpl || obj == iMardovelt)
                lMardoveltplClick();
            else if (obj == lBrovankpl || obj == iBrovank)
                lBrovankplClick();
        }
    } else if (obj == clbSpisKodeksow && e->type() == QEvent::KeyRelease) {
        OdswiezListy(false);
    }
    return QMainWindow::eventFilter(obj, e);
}

void TfLumesta::UstawKolorLaczy(bool mardovelt, bool brovank)
{
    ustawKolorTekstu(lMardoveltpl, mardovelt ? clRed : clGreen);
    ustawKolorTekstu(lBrovankpl, brovank ? clRed : clGreen);
}

void TfLumesta::lMardoveltplClick()
{
    pomoc::OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaFirmy)));
    ustawKolorTekstu(lMardoveltpl, clRed);
}

void TfLumesta::lBrovankplClick()
{
    pomoc::OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaTworcy)));
    ustawKolorTekstu(lBrovankpl, clRed);
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
    lWczytywanie->hide();
    gWczytywanie->hide();
    tZegar->stop();
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
    const std::string odnosnik = okno->odnosnik;
    okno->zadanieDziennika = false;

    // Presence files are named in the system's encoding; the tab keeps the
    // name in Windows-1250 like every other document name.
    const std::filesystem::path sciezka = sKatalogDanych / "Dzienniki Ustaw" / (cp1250::toUtf8(odnosnik) + ".txt");
    std::error_code blad;
    if (std::filesystem::is_regular_file(sciezka, blad)) {
        OtworzWZakladce(cp1250::fromUtf8(sciezka.string()), false);
        UstawPrzypisyZakladki();
        if (pecTablica)
            pecTablica->show();
        return;
    }
    const QString nazwa = toQString(odnosnik);
    const QString tekst = QStringLiteral("Nie ma dziennika: \n") + nazwa + QStringLiteral("\n") +
                          QStringLiteral("- w bibliotece Dzienników Ustaw.") + QStringLiteral("\n") +
                          QStringLiteral("Czy chcesz sprawdzić na naszej stronie,") + QStringLiteral("\n") +
                          QStringLiteral("czy jest już dostępny?");
    if (Zapytaj(QStringLiteral("Wadomość o: ") + nazwa, tekst))
        pomoc::OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaFirmy) + QStringLiteral("/lumesta.html")));
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
    const int k = id - v->FirstJumpNo() + 1;
    if (std::find(numeryPrzypisow.begin(), numeryPrzypisow.end(), k) == numeryPrzypisow.end())
        return;
    const int biezaca = BiezacaZakladka();
    if (biezaca < 0 || std::size_t(biezaca) >= spisyZakladek.size())
        return;

    auto* okno = new TfPrzypis(this);
    oknaPrzypisow.push_back({okno, spisyZakladek[std::size_t(biezaca)].NumerKodeksu});
    TListaNapisow linie;
    TekstPrzypisu(biezaca, k - 1, linie);
    okno->WypelnijPrzypis(linie);
    if (TTabExtSheet* arkusz = pecTablica->SheetOfTab(biezaca))
        okno->lKodeks->setText(toQString(arkusz->Caption()));
    okno->setWindowTitle(QStringLiteral("Zmiana: %1").arg(k));
    okno->show();
    okno->uchwytGlownego = this;
}

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
    // The caption carries blanks that make room for the close button; a
    // file name must not.
    QString plik = toQString(pecTablica->SheetOfTab(BiezacaZakladka())->Caption()).trimmed();
    int filtr = 1;
    if (!dialogZapisu || !dialogZapisu(plik, filtr))
        return;
    const QString cel = PlikZapisu(plik, filtr);
    if (cel.isEmpty())
        return;
    const bool zapisany = filtr == 3 ? v->SaveText(cel, 65) : v->SaveHTML(cel, "Lumesta", "dvimg", true);
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
        }
    }
    PrzeformatujWszystkie();
}

void TfLumesta::PrzeformatujWszystkie()
{
    const int ile = LiczbaZakladek();
    if (ile == 0)
        return;
    lWczytywanie->setText(QStringLiteral("Czcionki:"));
    gWczytywanie->SetProgress(0);
    gWczytywanie->SetMaxValue(ile);
    lWczytywanie->show();
    gWczytywanie->show();
    pPostep->repaint();
    for (int b = 0; b < ile; ++b) {
        if (TDocView* v = Widok(b)) {
            v->Format();
            v->viewport()->update();
        }
        gWczytywanie->SetProgress(b + 1);
    }
    lWczytywanie->hide();
    gWczytywanie->hide();
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
    pecTablica->SetSmallCloseBtn(!pecTablica->SmallCloseBtn());
    const QString napis =
        pecTablica->SmallCloseBtn() ? QStringLiteral("Duże wyłączniki") : QStringLiteral("Małe wyłączniki");
    Duzewylczniki1->setText(napis);
    Duewyczniki1->setText(napis);
    // A font change makes the strip measure its tabs again.
    QFont f = pecTablica->font();
    const QFont stara = f;
    if (f.pointSize() > 0)
        f.setPointSize(f.pointSize() + 1);
    else
        f.setPixelSize(f.pixelSize() + 1);
    pecTablica->setFont(f);
    pecTablica->setFont(stara);
    tOdswiezTablica->start();
}

void TfLumesta::UstawStylPrzyciskow(Qt::ToolButtonStyle styl, int wysokosc)
{
    tbNarzedzia->setToolButtonStyle(styl);
    for (QToolButton* b : {tbZapisz, tbDrukuj, tbLumesta, tbSpisTresci, tbZamknijOtwarty}) {
        b->setToolButtonStyle(styl);
        b->setFixedHeight(wysokosc);
        b->update();
    }
    pNarzedzia->setFixedHeight(wysokosc);
    // The progress label and gauge stay in the middle of the lower bar.
    const int srodek = wysokosc / 2;
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
    clbSpisKodeksow->setVisible(!clbSpisKodeksow->isVisible());
}

void TfLumesta::tbSpisTresciClick()
{
    lbSpisTresci->setVisible(!lbSpisTresci->isVisible());
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

// ---------------------------------------------------------------------------
// Tabs.

int TfLumesta::LiczbaZakladek() const
{
    return pecTablica ? pecTablica->TabTexts().Count() : 0;
}

int TfLumesta::BiezacaZakladka() const
{
    return pecTablica ? pecTablica->TabIndex() : -1;
}

TDocView* TfLumesta::Widok(int zakladka) const
{
    if (!pecTablica)
        return nullptr;
    TTabExtSheet* arkusz = pecTablica->SheetOfTab(zakladka);
    return arkusz ? qobject_cast<TDocView*>(arkusz->Control()) : nullptr;
}

TDocView* TfLumesta::BiezacyWidok() const
{
    return Widok(BiezacaZakladka());
}

void TfLumesta::UtworzTablice()
{
    pecTablica = new TPageExtControl(this);
    pecTablica->setObjectName(QStringLiteral("pecTablica"));
    pPole->layout()->addWidget(pecTablica);
    pecTablica->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pecTablica, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { pmZakladki->popup(pecTablica->mapToGlobal(p)); });
    pecTablica->SetCloseBtn(true);
    pecTablica->OnChange = [this](QObject*) { pcTablicaChange(); };
    pecTablica->OnTabClose = [this](QObject*, int indeks, bool& mozna) { pecTablicaTabClose(indeks, mozna); };
    pecTablica->raise();
}

bool TfLumesta::PokazOtwarty(const std::string& nazwa)
{
    for (std::size_t i = 0; i < nazwyZakladek.size(); ++i) {
        if (nazwyZakladek[i] == nazwa) {
            if (pecTablica)
                pecTablica->SetTabIndex(int(i));
            OdswiezTytul();
            // Selecting a tab by program raises no change event, so the
            // contents list is brought to the tab here.
            OdswiezListy(false);
            return false;
        }
    }
    return true;
}

void TfLumesta::OtworzWZakladce(const std::string& nazwa, bool zListy)
{
    if (!pecTablica)
        UtworzTablice();
    if (!PokazOtwarty(nazwa))
        return;

    ++FOtwieranie;
    struct TKoniecOtwierania {
        TfLumesta* okno;
        ~TKoniecOtwierania()
        {
            if (--okno->FOtwieranie > 0)
                return;
            for (; okno->FDziennikiCzekaja > 0; --okno->FDziennikiCzekaja)
                QCoreApplication::postEvent(okno, new QEvent(QEvent::Type(WM_DZIENNIK_PRZYPISU)));
        }
    } koniec{this};

    // The strip is shown before the document is built, so that the view
    // is laid out once, for the width it is shown at.
    pecTablica->show();
    nazwyZakladek.push_back(nazwa);

    ++licznikZakladek;
    auto* arkusz = new TTabExtSheet(pecTablica);
    arkusz->setObjectName(QStringLiteral("ts_plik%1").arg(licznikZakladek));
    arkusz->Colors().SetActiveFill1(clGreen);
    arkusz->SetCaption(nazwa);
    arkusz->SetHostStrip(pecTablica);
    pecTablica->SetActivePage(arkusz);
    OdswiezTytul();

    auto* widok = new TDocView;
    widok->setObjectName(QStringLiteral("se_plik%1").arg(licznikZakladek));
    widok->hide();
    widok->SetStyle(DVSStyl);
    widok->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widok, &QWidget::customContextMenuRequested, this,
            [this, widok](const QPoint& p) { pmPodreczne->popup(widok->mapToGlobal(p)); });
    arkusz->SetControl(widok);
    widok->show();
    // Make the sizes of the strip, the sheet and the view final now.
    if (pPole->layout())
        pPole->layout()->activate();
    arkusz->setGeometry(pecTablica->PageRect());
    widok->setGeometry(arkusz->rect());

    ZbudujDokument(nazwa, widok, zListy);

    widok->OnDVMouseMove = [this](TDocView* v, int id) { dvTekstDVMouseMove(v, id); };
    widok->OnJump = [this](TDocView* v, int id) { dvTekstJump(v, id); };
}

void TfLumesta::DodajWpisSpisu(TDocView* widok, TSpisZakladki& spis, const std::string& naglowek, int rodzaj,
                               int& kotwica, bool& konstytucja)
{
    const int wciecie = WciecieSpisu(rodzaj);
    if (wciecie < 0)
        return;
    if (jestKonstytucja(rodzaj)) {
        if (!konstytucja)
            return;
        konstytucja = false;
    }
    spis.Spis.push_back(std::string(std::size_t(wciecie), ' ') + naglowek);
    // Every entry gets its own anchor, placed just before its heading line,
    // so that entry n always scrolls to the heading it names.
    widok->AddCheckpoint(std::to_string(kotwica));
    ++kotwica;
}

void TfLumesta::ZbudujDokument(const std::string& nazwa, TDocView* widok, bool zListy)
{
    tekstDokumentu.clear();
    widok->Clear();
    widok->SetFirstJumpNo(PierwszyNumerSkoku);
    WczytajDokument(nazwa, zListy);

    lWczytywanie->setText(QStringLiteral("Wczytywanie"));
    lWczytywanie->show();
    gWczytywanie->show();
    gWczytywanie->SetProgress(0);
    gWczytywanie->SetMaxValue(int(std::min<std::size_t>(wiersze.size(), 0x7FFFFFFF)));
    pPostep->repaint();

    lbSpisTresci->clear();
    TSpisZakladki spis = DodajElementy(widok);

    widok->Format();
    widok->viewport()->update();

    if (zListy) {
        int wiersz = clbSpisKodeksow->currentRow();
        if (wiersz < 0 || std::size_t(wiersz) >= nazwyKodeksow.size() || nazwyKodeksow[std::size_t(wiersz)] != nazwa) {
            const auto it = std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), nazwa);
            if (it != nazwyKodeksow.end())
                wiersz = int(it - nazwyKodeksow.begin());
        }
        spis.NumerKodeksu = wiersz;
    } else {
        spis.NumerKodeksu = PierwszyNumerDziennika + licznikZakladek;
    }
    spis.Ekran.reserve(qsizetype(spis.Spis.size()));
    for (const std::string& wpis : spis.Spis)
        spis.Ekran.append(toQString(wpis));
    PokazSpis(spis);
    spisyZakladek.push_back(std::move(spis));
    tZegar->start();
}

void TfLumesta::WczytajDokument(const std::string& nazwa, bool zListy)
{
    // A document that cannot be loaded leaves an empty tab, not the text of
    // the document loaded before it.
    wiersze.clear();
    przypisyTekst.clear();

    std::string wpis = nazwa;
    const auto ukosnik = wpis.find_last_of("/\\:");
    if (ukosnik != std::string::npos)
        wpis.erase(0, ukosnik + 1);
    if (!zListy && wpis.size() >= 4 && wpis.compare(wpis.size() - 4, 4, ".txt") == 0)
        wpis.resize(wpis.size() - 4);

    try {
        pliki->OtworzDokument(sKatalogDanych, wpis, tekstDokumentu, przypisyTekst, wiersze, true, spisKodeksow);
    } catch (const std::exception& e) {
        komunikaty->Komunikat(e.what());
    }
    IndeksujPrzypisy();
}

TSpisZakladki TfLumesta::DodajElementy(TDocView* widok)
{
    TSpisZakladki spis;
    std::int32_t przypis = 1;
    int kotwica = 0;
    bool trybNaglowka = false;
    std::string naglowek;
    bool konstytucja = true;

    for (std::size_t i = 0; i < wiersze.size(); ++i) {
        const TWiersz& wiersz = wiersze[i];
        if (!wiersz.empty()) {
            naglowek.clear();
            const int rodzaj = wiersz[0].Rodzaj;
            if (jestArtykulem(rodzaj))
                trybNaglowka = false;
            else if (jestNaglowkiem(rodzaj))
                trybNaglowka = true;

            for (std::size_t j = 0; j < wiersz.size(); ++j) {
                const TTekst& kawalek = wiersz[j];
                if (trybNaglowka)
                    naglowek += kawalek.Tekst;
                if (kawalek.Rodzaj == rPrzypis) {
                    if (trybNaglowka) {
                        // The heading is split at the mark: the part before
                        // it is a centred line of its own, the glyph follows.
                        if (!naglowek.empty())
                            DodajWpisSpisu(widok, spis, naglowek, rodzaj, kotwica, konstytucja);
                        widok->AddCenteredLine(naglowek, StylNaglowka);
                        naglowek.clear();
                    }
                    numeryPrzypisow.push_back(przypis);
                    ++przypis;
                    widok->AddHotspot(obrazki::ZnakPrzypisuIndeks, ilObrazki.get(), false);
                } else if (!trybNaglowka) {
                    widok->AddTextLines(kawalek.Tekst, StylTekstu);
                } else if (j + 1 == wiersz.size()) {
                    if (!naglowek.empty())
                        DodajWpisSpisu(widok, spis, naglowek, rodzaj, kotwica, konstytucja);
                    widok->AddCenteredLine(naglowek, StylNaglowka);
                    naglowek.clear();
                }
            }
            widok->AddParagraphLines(" ", StylTekstu);
        }
        gWczytywanie->SetProgress(int(std::min<std::size_t>(i + 1, 0x7FFFFFFF)));
    }
    return spis;
}

void TfLumesta::IndeksujPrzypisy()
{
    AZapisPrzypisu zapis;
    zapis.Wiersze = przypisyTekst;
    zapis.Bloki = BlokiPrzypisow(zapis.Wiersze);
    indeksyPrzypisow.push_back(std::move(zapis));
}

void TfLumesta::TekstPrzypisu(int zakladka, int blok, TListaNapisow& linie) const
{
    if (zakladka < 0 || std::size_t(zakladka) >= indeksyPrzypisow.size())
        return;
    const AZapisPrzypisu& zapis = indeksyPrzypisow[std::size_t(zakladka)];
    if (blok < 0 || std::size_t(blok) >= zapis.Bloki.size())
        return;
    const TBlokPrzypisu& b = zapis.Bloki[std::size_t(blok)];
    for (std::int32_t x = std::max<std::int32_t>(b.Pierwszy, 0); x <= b.Ostatni; ++x) {
        if (std::size_t(x) >= zapis.Wiersze.size())
            break;
        linie.push_back(zapis.Wiersze[std::size_t(x)]);
    }
}

void TfLumesta::OdswiezTytul()
{
    const int biezaca = BiezacaZakladka();
    if (biezaca >= 0 && std::size_t(biezaca) < nazwyZakladek.size())
        setWindowTitle(QStringLiteral("Lumesta: ") + toQString(nazwyZakladek[std::size_t(biezaca)]));
}

// ---------------------------------------------------------------------------
// Keeping the codes list, the contents list and the strip in step.

void TfLumesta::UstawZnacznik(int wiersz, bool zaznaczony)
{
    QListWidgetItem* w = clbSpisKodeksow->item(wiersz);
    if (!w)
        return;
    FUstawiaZnaczniki = true;
    w->setCheckState(zaznaczony ? Qt::Checked : Qt::Unchecked);
    FUstawiaZnaczniki = false;
}

void TfLumesta::PokazSpis(const TSpisZakladki& spis)
{
    // One batch insert: a long code has thousands of entries.
    lbSpisTresci->clear();
    if (spis.Ekran.size() == qsizetype(spis.Spis.size())) {
        lbSpisTresci->addItems(spis.Ekran);
        return;
    }
    QStringList wpisy;
    wpisy.reserve(qsizetype(spis.Spis.size()));
    for (const std::string& wpis : spis.Spis)
        wpisy.append(toQString(wpis));
    lbSpisTresci->addItems(wpisy);
}

void TfLumesta::OdznaczWszystkie()
{
    for (int i = 0; i < clbSpisKodeksow->count(); ++i)
        UstawZnacznik(i, false);
}

void TfLumesta::OdswiezListy(bool znaczniki)
{
    if (spisyZakladek.empty()) {
        OdznaczWszystkie();
        lbSpisTresci->clear();
        return;
    }
    const int biezaca = BiezacaZakladka();
    if (biezaca < 0 || std::size_t(biezaca) >= spisyZakladek.size())
        return;
    const TSpisZakladki& e = spisyZakladek[std::size_t(biezaca)];
    PokazSpis(e);
    if (!znaczniki)
        return;
    OdznaczWszystkie();
    for (const TSpisZakladki& s : spisyZakladek)
        if (s.NumerKodeksu >= 0 && s.NumerKodeksu < clbSpisKodeksow->count())
            UstawZnacznik(s.NumerKodeksu, true);
    if (e.NumerKodeksu >= 0 && e.NumerKodeksu < clbSpisKodeksow->count())
        clbSpisKodeksow->setCurrentRow(e.NumerKodeksu);
}

void TfLumesta::UstawPrzypisyZakladki()
{
    if (spisyZakladek.empty() || oknaPrzypisow.empty())
        return;
    const int biezaca = BiezacaZakladka();
    if (biezaca < 0 || std::size_t(biezaca) >= spisyZakladek.size())
        return;
    const TSpisZakladki& e = spisyZakladek[std::size_t(biezaca)];
    for (TOknoPrzypisu& slot : oknaPrzypisow)
        if (slot.Okno)
            slot.Okno->setVisible(slot.NumerKodeksu == e.NumerKodeksu);
    if (e.NumerKodeksu >= 0 && e.NumerKodeksu < clbSpisKodeksow->count())
        clbSpisKodeksow->setCurrentRow(e.NumerKodeksu);
    PokazSpis(e);
}

void TfLumesta::ZamknijZakladke(int indeks, bool zTablicy)
{
    if (!pecTablica || LiczbaZakladek() == 0) {
        komunikaty->Komunikat(fromQString(KomunikatBrakZakladki));
        return;
    }
    if (indeks < 0 || std::size_t(indeks) >= spisyZakladek.size() || std::size_t(indeks) >= nazwyZakladek.size() ||
        std::size_t(indeks) >= indeksyPrzypisow.size())
        return;
    const int numer = spisyZakladek[std::size_t(indeks)].NumerKodeksu;
    for (TOknoPrzypisu& slot : oknaPrzypisow) {
        if (slot.Okno && slot.NumerKodeksu == numer) {
            delete slot.Okno.data();
            slot.Okno = nullptr;
        }
    }
    if (std::none_of(oknaPrzypisow.begin(), oknaPrzypisow.end(), [](const TOknoPrzypisu& s) { return !s.Okno.isNull(); }))
        oknaPrzypisow.clear();

    nazwyZakladek.erase(nazwyZakladek.begin() + indeks);
    indeksyPrzypisow.erase(indeksyPrzypisow.begin() + indeks);
    spisyZakladek.erase(spisyZakladek.begin() + indeks);

    TTabExtSheet* arkusz = pecTablica->SheetOfTab(indeks);
    if (!zTablicy) {
        delete arkusz;
    } else if (arkusz) {
        // The strip only detaches the sheet after this event; its document
        // goes once the strip is done with it.
        arkusz->deleteLater();
    }
    OdswiezTytul();
    tOdswiezTablica->start();
}

void TfLumesta::ZamknijBiezacy()
{
    if (LiczbaZakladek() == 0) {
        BrakDokumentu();
        return;
    }
    ZamknijZakladke(BiezacaZakladka(), false);
    OdswiezListy(true);
    tOtwarcie->start();
}

void TfLumesta::pcTablicaChange()
{
    OdswiezTytul();
    OdswiezListy(false);
    UstawPrzypisyZakladki();
    if (pecTablica)
        pecTablica->update();
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
    OtworzWZakladce(nazwyKodeksow[std::size_t(wiersz)], true);
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
        OtworzWZakladce(nazwa, true);
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
    v->ScrollTo(v->GetCheckpointY(n));
}

void TfLumesta::dvTekstDVMouseMove(TDocView* widok, int id)
{
    if (id == -1) {
        sbStatus->clearMessage();
        return;
    }
    const int k = id - widok->FirstJumpNo() + 1;
    if (std::find(numeryPrzypisow.begin(), numeryPrzypisow.end(), k) != numeryPrzypisow.end())
        sbStatus->showMessage(QStringLiteral("Odwołanie do %1 przypisu z datą i opisem zmiany.").arg(k));
}
