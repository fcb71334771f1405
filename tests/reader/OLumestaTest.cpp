// The help commands: the addresses handed to the desktop (no browser is
// started: the opener is replaced), the About box's contents and links, and
// the "Pomoc" menu of the main window.
#include "reader/Licencja.h"
#include "reader/LaczaFirm.h"
#include "reader/OLumesta.h"
#include "reader/Okienko.h"

#include "platform/QtColors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QLocale>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTime>
#include <QTimer>
#include <QUrl>

#include <filesystem>

namespace {

// Records the addresses instead of opening them, for the test's lifetime.
class OtwieraczTestowy {
public:
    OtwieraczTestowy()
    {
        FPoprzedni = pomoc::UstawOtwieracz([this](const QUrl& u) { Adresy.push_back(u); });
    }
    ~OtwieraczTestowy() { pomoc::UstawOtwieracz(std::move(FPoprzedni)); }
    std::vector<QUrl> Adresy;

private:
    pomoc::TOtwieracz FPoprzedni;
};

QColor kolorTekstu(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

class ZbieraczKomunikatow : public TKomunikaty {
public:
    void Komunikat(const std::string& t) override { Teksty.push_back(t); }
    std::vector<std::string> Teksty;
};

// Runs `badaj` on the modal window once it is up, then closes it.
void przyOknieModalnym(std::function<void(QWidget*)> badaj)
{
    QTimer::singleShot(0, [badaj] {
        QWidget* okno = QApplication::activeModalWidget();
        badaj(okno);
        if (okno) {
            okno->close();
            return;
        }
        // Nothing modal came up: close whatever dialog did, so that the
        // test fails instead of hanging.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && qobject_cast<QDialog*>(w))
                w->close();
    });
}

} // namespace

TEST(Pomoc, MailAddressCarriesSubjectWithTheTimeAndTheBody)
{
    const QString a = pomoc::AdresListu(QTime(9, 5, 7));
    const QString poczatek = QStringLiteral("mailto:biuro@mardovelt.pl?Subject=Lumesta ");
    const QString koniec = QStringLiteral("&Body=Dotyczy programu Lumesta...");
    ASSERT_TRUE(a.startsWith(poczatek)) << a.toStdString();
    ASSERT_TRUE(a.endsWith(koniec)) << a.toStdString();
    const QString czas = a.mid(poczatek.size(), a.size() - poczatek.size() - koniec.size());
    // Hours, minutes and seconds in the locale's order and separators; no
    // time zone, no blanks around.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^0?9\\D+05\\D+07(\\s?[^\\d\\s]+)?$")).match(czas).hasMatch())
        << czas.toStdString();
    for (const char* strefa : {"UTC", "GMT", "CET", "CEST"})
        EXPECT_FALSE(czas.contains(QLatin1String(strefa))) << czas.toStdString();
    // The tests run in the C locale: 24 hours with leading zeros.
    if (QLocale::system().name() == QLatin1String("C")) {
        EXPECT_EQ(czas, QStringLiteral("09:05:07"));
    }
    // The subject follows the time of day at which the command runs.
    EXPECT_NE(pomoc::AdresListu(QTime(9, 5, 7)), pomoc::AdresListu(QTime(9, 5, 8)));
    EXPECT_NE(pomoc::AdresListu(QTime(9, 5, 7)), pomoc::AdresListu(QTime(21, 5, 7)));
}

TEST(Pomoc, CommandsHandTheirAddressesToTheDesktop)
{
    OtwieraczTestowy o;
    pomoc::Stronafirmowa1Click();
    pomoc::List1Click();
    ASSERT_EQ(o.Adresy.size(), 2u);
    EXPECT_EQ(o.Adresy[0], QUrl(QStringLiteral("http://www.mardovelt.pl")));
    const QUrl list = o.Adresy[1];
    EXPECT_EQ(list.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(list.path(), QStringLiteral("biuro@mardovelt.pl"));
    const QString zapytanie = list.query(QUrl::FullyDecoded);
    EXPECT_TRUE(zapytanie.startsWith(QStringLiteral("Subject=Lumesta "))) << zapytanie.toStdString();
    EXPECT_TRUE(zapytanie.endsWith(QStringLiteral("&Body=Dotyczy programu Lumesta..."))) << zapytanie.toStdString();
}

TEST(Pomoc, AddressOfAClickedWebAddress)
{
    EXPECT_EQ(pomoc::AdresStrony(QStringLiteral("www.mardovelt.pl")), QStringLiteral("http://www.mardovelt.pl"));
    EXPECT_EQ(pomoc::AdresStrony(QStringLiteral("www.x.pl:8080/a")), QStringLiteral("http://www.x.pl:8080/a"));
    // An address that names its scheme is not given a second one.
    EXPECT_EQ(pomoc::AdresStrony(QStringLiteral("https://a.pl/")), QStringLiteral("https://a.pl/"));
    EXPECT_EQ(pomoc::AdresStrony(QStringLiteral("MAILTO:a@b.pl")), QStringLiteral("MAILTO:a@b.pl"));
}

TEST(OLumesta, WindowAndPages)
{
    TO_Lumesta o;
    EXPECT_EQ(o.windowTitle(), QStringLiteral("O programie Lumesta"));
    EXPECT_EQ(o.size(), QSize(361, 399));
    EXPECT_FALSE(o.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(o.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(o.pcOLumesta->geometry(), QRect(0, 0, 361, 353));
    ASSERT_EQ(o.pcOLumesta->count(), 3);
    EXPECT_EQ(o.pcOLumesta->tabText(0), QStringLiteral("Lumesta"));
    EXPECT_EQ(o.pcOLumesta->tabText(1), QStringLiteral("Wspólpracownicy"));
    EXPECT_EQ(o.pcOLumesta->tabText(2), QStringLiteral("Wersja"));
    EXPECT_EQ(o.pcOLumesta->currentWidget(), o.tbOLumesta);

    EXPECT_EQ(o.lLumesta->text(), QStringLiteral("Lumesta"));
    EXPECT_EQ(o.lLumesta->font().pixelSize(), 44);
    EXPECT_TRUE(o.lLumesta->font().bold());
    EXPECT_EQ(kolorTekstu(o.lLumesta), toQColor(clGreen));
    EXPECT_FALSE(o.lNapisal->text().isEmpty());
    EXPECT_FALSE(o.iLumesta->pixmap().isNull());
    EXPECT_FALSE(o.laczaFirm->iMardovelt->pixmap().isNull());
    EXPECT_FALSE(o.laczaFirm->iBrovank->pixmap().isNull());
    EXPECT_EQ(o.laczaFirm->lMardoveltpl->text(), QStringLiteral("www.mardovelt.pl"));
    EXPECT_EQ(o.laczaFirm->lBrovankpl->text(), QStringLiteral("www.brovank.pl"));

    // Shown line by line: the box's lines become the label's lines.
    const QStringList sprawcy = o.lSprawcy->text().split(QLatin1Char('\n'));
    ASSERT_EQ(sprawcy.size(), 12);
    EXPECT_EQ(sprawcy[0], QStringLiteral("Głównymi sprawcami tego zamieszania są dwie osoby:"));
    EXPECT_EQ(sprawcy[7], QStringLiteral("Współpracują z nimi:"));
    for (int pusty : {1, 3, 5, 6, 8, 10})
        EXPECT_TRUE(sprawcy[pusty].isEmpty()) << pusty;
    for (int nazwisko : {2, 4, 9, 11})
        EXPECT_FALSE(sprawcy[nazwisko].isEmpty()) << nazwisko;
    EXPECT_FALSE(o.lSprawcy->text().contains(QLatin1Char('\r')));
    EXPECT_TRUE(o.lSprawcy->wordWrap());
    EXPECT_EQ(o.lWersja->text(), QStringLiteral("Wersja programu Lumesta:\n\n1.0.0.1\n\nData utworzenia 14. 04. 2012 "
                                                "roku.\n\nStan prawny z dnia 14. 04. 2012 roku."));

    EXPECT_EQ(o.Button1->text(), QStringLiteral("OK"));
    EXPECT_EQ(o.Button1->geometry(), QRect(147, 366, 75, 25));
    o.show();
    QTest::mouseClick(o.Button1, Qt::LeftButton);
    EXPECT_FALSE(o.isVisible());
    EXPECT_EQ(o.result(), QDialog::Accepted);
}

TEST(OLumesta, LinksOpenTheirSitesAndChangeColour)
{
    OtwieraczTestowy o;
    TO_Lumesta okno;
    okno.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&okno));
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lMardoveltpl), toQColor(clGreen));

    QTest::mouseClick(okno.laczaFirm->lBrovankpl, Qt::LeftButton);
    ASSERT_EQ(o.Adresy.size(), 1u);
    EXPECT_EQ(o.Adresy[0], QUrl(QStringLiteral("http://www.brovank.pl")));
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lBrovankpl), toQColor(clRed));
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lMardoveltpl), toQColor(clGreen));

    // The logo opens the same site as its label.
    QTest::mouseClick(okno.laczaFirm->iMardovelt, Qt::LeftButton);
    ASSERT_EQ(o.Adresy.size(), 2u);
    EXPECT_EQ(o.Adresy[1], QUrl(QStringLiteral("http://www.mardovelt.pl")));
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lMardoveltpl), toQColor(clRed));

    // Over the page both turn green; over a label, that label turns red.
    QMouseEvent ruchStrona(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                           Qt::NoModifier);
    QApplication::sendEvent(okno.tbOLumesta, &ruchStrona);
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lMardoveltpl), toQColor(clGreen));
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lBrovankpl), toQColor(clGreen));
    QMouseEvent ruchEtykieta(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
    QApplication::sendEvent(okno.laczaFirm->lMardoveltpl, &ruchEtykieta);
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lMardoveltpl), toQColor(clRed));
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lBrovankpl), toQColor(clGreen));
    // A move over the form itself (the strip under the pages) greens both.
    QMouseEvent ruchFormularz(QEvent::MouseMove, QPointF(20, 380), QPointF(20, 380), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&okno, &ruchFormularz);
    EXPECT_EQ(kolorTekstu(okno.laczaFirm->lMardoveltpl), toQColor(clGreen));
}

TEST(OLumesta, HelpMenuOfTheMainWindow)
{
    OtwieraczTestowy o;
    QTemporaryDir katalog;
    ASSERT_TRUE(katalog.isValid());
    std::filesystem::copy_file(std::filesystem::path(LUMESTA_SOURCE_DIR) / "data" / "Licencja.rtf",
                               std::filesystem::path(katalog.path().toStdString()) / "Licencja.rtf");
    ZbieraczKomunikatow komunikaty;
    TfLumesta okno(katalog.path(), &komunikaty);

    okno.Stronafirmowa1->trigger();
    okno.List1->trigger();
    ASSERT_EQ(o.Adresy.size(), 2u);
    EXPECT_EQ(o.Adresy[0], QUrl(QStringLiteral("http://www.mardovelt.pl")));
    EXPECT_EQ(o.Adresy[1].scheme(), QStringLiteral("mailto"));

    // The licence window: owned by the main window, reading the program
    // folder's licence, freed after it is closed. Twice, with the same text.
    QString teksty[2];
    for (QString& tekst : teksty) {
        QPointer<QWidget> widziane;
        przyOknieModalnym([&](QWidget* w) {
            auto* l = qobject_cast<TfLicencja*>(w);
            ASSERT_NE(l, nullptr);
            EXPECT_EQ(l->parentWidget(), &okno);
            tekst = l->rtvLicencja->toPlainText();
            widziane = w;
        });
        okno.Licencja1->trigger();
        EXPECT_TRUE(widziane.isNull());
    }
    EXPECT_TRUE(teksty[0].startsWith(QStringLiteral("UMOWA LICENCYJNA PROGRAMU LUMESTA"))) << teksty[0].toStdString();
    EXPECT_EQ(teksty[0], teksty[1]);

    QPointer<QWidget> oProgramie;
    przyOknieModalnym([&](QWidget* w) {
        auto* a = qobject_cast<TO_Lumesta*>(w);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->parentWidget(), &okno);
        oProgramie = w;
    });
    okno.OLumesta1->trigger();
    EXPECT_TRUE(oProgramie.isNull());
}

TEST(OLumesta, HelpWindowsAndTheMainWindowStandInTheMiddleOfTheScreen)
{
    QTemporaryDir katalog;
    ASSERT_TRUE(katalog.isValid());
    ZbieraczKomunikatow komunikaty;
    TfLumesta glowne(katalog.path(), &komunikaty);
    TO_Lumesta oProgramie(&glowne);
    TfLicencja licencja(&glowne, katalog.path());
    const QRect wolne = glowne.screen()->availableGeometry();
    // Halves round differently for odd sizes; a pixel either way is the
    // middle still.
    for (const QWidget* w : {static_cast<const QWidget*>(&glowne), static_cast<const QWidget*>(&oProgramie),
                             static_cast<const QWidget*>(&licencja)}) {
        const QPoint roznica = w->geometry().center() - wolne.center();
        EXPECT_LE(std::abs(roznica.x()), 1) << w->objectName().toStdString();
        EXPECT_LE(std::abs(roznica.y()), 1) << w->objectName().toStdString();
    }
}
