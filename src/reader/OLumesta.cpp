#include "reader/OLumesta.h"
#include "reader/Wyglad.h"

#include "platform/DrawnPicture.h"
#include "platform/QtColors.h"
#include "reader/Adresy.h"
#include "reader/LaczaFirm.h"
#include "reader/Licencja.h"
#include "reader/Obrazki.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTime>
#include <QUrl>

namespace pomoc {

namespace {

TOtwieracz& otwieracz()
{
    static TOtwieracz o;
    return o;
}

} // namespace

void OtworzAdres(const QUrl& adres)
{
    if (const TOtwieracz& o = otwieracz())
        o(adres);
    else
        QDesktopServices::openUrl(adres);
}

TOtwieracz UstawOtwieracz(TOtwieracz nowy)
{
    TOtwieracz poprzedni = std::move(otwieracz());
    otwieracz() = std::move(nowy);
    return poprzedni;
}

QString AdresStrony(const QString& tekstAdresu)
{
    // Addresses detected in a text are reported as written; "www.x.pl" has
    // no scheme and gets the web's. One that names its scheme already would
    // otherwise become "http://http://...", which no browser opens.
    const QString t = tekstAdresu.trimmed();
    if (t.contains(QLatin1String("://")) || t.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return t;
    return QStringLiteral("http://") + t;
}

QString CzasDlugi(const QTime& czas)
{
    // Qt's long time format carries the time zone ("t"); the platform's long
    // time format the address is made of is hours, minutes and seconds.
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString bezStrefy;
    bool cytat = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            cytat = !cytat;
        if (!cytat && c == QLatin1Char('t'))
            continue;
        bezStrefy += c;
    }
    return QLocale::system().toString(czas, bezStrefy.simplified());
}

QString AdresListu(const QTime& czas)
{
    return QStringLiteral("mailto:") + QString::fromLatin1(AdresBiura) + QStringLiteral("?Subject=") +
           QStringLiteral("Lumesta ") + CzasDlugi(czas) + QStringLiteral("&Body=") +
           QStringLiteral("Dotyczy programu Lumesta...");
}

void Stronafirmowa1Click() { OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaFirmy))); }

void List1Click() { OtworzAdres(QUrl(AdresListu(QTime::currentTime()), QUrl::TolerantMode)); }

void Licencja1Click(QWidget* okno, const QString& katalogProgramu)
{
    // Created anew for each showing and freed after it.
    TfLicencja licencja(okno, katalogProgramu);
    licencja.exec();
}

void OLumesta1Click(QWidget* okno)
{
    TO_Lumesta o(okno);
    o.exec();
}

} // namespace pomoc

// ---------------------------------------------------------------------------
// The About box.

namespace {

constexpr int SzerokoscOkna = 361;
constexpr int WysokoscOkna = 399;

// The texts of the box separate their lines with a single carriage return.
// A Qt label breaks lines only at a line feed: shown as written, the lines
// would run together into one paragraph.
QString liniePodpisu(QString tekst)
{
    tekst.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return tekst;
}

const QString TekstNapisal = QStringLiteral(
    "Program napisała firma Brovank dla firmy Mardovelt. Teksty kodeksów pochodzą z ujednoliconych "
    "tekstów ogłoszonych w Dzienniku Ustaw.");

} // namespace

TO_Lumesta::TO_Lumesta(QWidget* wlasciciel)
    : QDialog(wlasciciel, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("O_Lumesta"));
    setWindowTitle(QStringLiteral("O programie Lumesta"));
    setFont(czcionkaFormularza());
    setFixedSize(SzerokoscOkna, WysokoscOkna);

    pcOLumesta = new QTabWidget(this);
    pcOLumesta->setObjectName(QStringLiteral("pcOLumesta"));
    pcOLumesta->setGeometry(0, 0, SzerokoscOkna, 353);

    // First page: logos, the program's name, the maker's notice, the links.
    tbOLumesta = new QWidget;
    tbOLumesta->setObjectName(QStringLiteral("tbOLumesta"));
    tbOLumesta->setMouseTracking(true);
    pcOLumesta->addTab(tbOLumesta, QStringLiteral("Lumesta"));

    iLumesta = new TDrawnPicture(obrazki::logoProgramu, QSize(130, 96), tbOLumesta);
    iLumesta->setObjectName(QStringLiteral("iLumesta"));
    iLumesta->setGeometry(111, 4, 130, 96);
    iLumesta->setMouseTracking(true);

    lLumesta = new QLabel(QStringLiteral("Lumesta"), tbOLumesta);
    lLumesta->setObjectName(QStringLiteral("lLumesta"));
    QFont duza(QStringLiteral("Times New Roman"));
    duza.setPixelSize(44);
    duza.setBold(true);
    lLumesta->setFont(duza);
    ustawKolorTekstu(lLumesta, clGreen);
    lLumesta->setAlignment(Qt::AlignCenter);
    lLumesta->setGeometry(0, 100, 353, 54);
    lLumesta->setMouseTracking(true);

    lNapisal = new QLabel(TekstNapisal, tbOLumesta);
    lNapisal->setObjectName(QStringLiteral("lNapisal"));
    lNapisal->setAlignment(Qt::AlignCenter);
    lNapisal->setWordWrap(true);
    lNapisal->setGeometry(12, 156, 329, 44);
    lNapisal->setMouseTracking(true);

    const TUkladLaczy uklad{.Logo = QSize(140, 84), .GoraLogo = 206, .LogoFirmyX = 18, .LogoTworcyX = 195,
                            .Adres = QSize(160, 20), .GoraAdresu = 294, .AdresFirmyX = 8, .AdresTworcyX = 185,
                            .CzcionkaAdresu = 13};
    laczaFirm = new TLaczaFirm(tbOLumesta, uklad);
    // The strip of the box under the pages counts as the page around them.
    laczaFirm->DodajTlo(this);

    // Second page: the people.
    tsWspolpracownicy = new QWidget;
    tsWspolpracownicy->setObjectName(QStringLiteral("tsWspolpracownicy"));
    pcOLumesta->addTab(tsWspolpracownicy, QStringLiteral("Wspólpracownicy"));
    lSprawcy = new QLabel(tsWspolpracownicy);
    lSprawcy->setObjectName(QStringLiteral("lSprawcy"));
    lSprawcy->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lSprawcy->setWordWrap(true);
    lSprawcy->setGeometry(16, 24, 321, 280);

    // Third page: the version.
    tbWersja = new QWidget;
    tbWersja->setObjectName(QStringLiteral("tbWersja"));
    pcOLumesta->addTab(tbWersja, QStringLiteral("Wersja"));
    lWersja = new QLabel(tbWersja);
    lWersja->setObjectName(QStringLiteral("lWersja"));
    lWersja->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lWersja->setWordWrap(true);
    lWersja->setGeometry(16, 60, 321, 200);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(147, 366, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    wysrodkujNaEkranie(this, wlasciciel ? wlasciciel->screen() : QGuiApplication::primaryScreen());

    FormCreate();
}

void TO_Lumesta::FormCreate()
{
    lSprawcy->setText(liniePodpisu(QStringLiteral("Głównymi sprawcami tego zamieszania są dwie osoby:\r\r"
                                     "Anna Wierzbowska\r\r"
                                     "Tomasz Korczyński\r\r\r"
                                     "Współpracują z nimi:\r\r"
                                     "Marta Zielonka\r\r"
                                     "Piotr Dębicki")));
    lWersja->setText(liniePodpisu(QStringLiteral("Wersja programu Lumesta:\r\r1.0.0.1\r\rData utworzenia 14. 04. "
                                                 "2012 roku.\r\rStan prawny z dnia 14. 04. 2012 roku.")));
    pcOLumesta->setCurrentIndex(0);
}
