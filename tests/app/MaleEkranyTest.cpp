// The program's windows on small and scaled screens. The offscreen platform
// is given two screens side by side: a 1024 x 600 netbook screen, and a
// 1366 x 768 screen at 200 % (683 x 384 in Qt's device-independent pixels).
// Every window has a 2-pixel frame on that platform, so fitting has to count
// the frame.
#include "platform/DrawnPicture.h"
#include "platform/ScreenFit.h"
#include "print/PrintFrm.h"
#include "reader/LaczaFirm.h"
#include "reader/Obrazki.h"
#include "reader/Okienko.h"
#include "settings/Ustawienia.h"
#include "store/Typy.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QRect MalyEkran(0, 0, 1024, 600);
const QRect SkalowanyEkran(1024, 0, 683, 384);

QScreen* ekranPod(const QRect& geometria)
{
    for (QScreen* s : QGuiApplication::screens())
        if (s->geometry() == geometria)
            return s;
    return nullptr;
}

::testing::AssertionResult miesciSie(const QWidget& okno, const QRect& obszar)
{
    const QRect r = okno.frameGeometry();
    if (obszar.contains(r))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "frame " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height()
                                         << " outside " << obszar.x() << "," << obszar.y() << " " << obszar.width()
                                         << "x" << obszar.height();
}

class MaleEkrany : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(katalog.isValid());
        ASSERT_NE(ekranPod(MalyEkran), nullptr);
        ASSERT_NE(ekranPod(SkalowanyEkran), nullptr);
    }

    std::unique_ptr<TfLumesta> glowne(const QRect& ekran)
    {
        auto okno = std::make_unique<TfLumesta>(katalog.path(), &komunikaty);
        // A window the program places on the screen it was started on.
        okno->move(ekran.topLeft() + QPoint(40, 30));
        okno->show();
        QCoreApplication::processEvents();
        return okno;
    }

    QTemporaryDir katalog;
    TZbiorKomunikatow komunikaty;
};

TEST_F(MaleEkrany, MainWindowFitsWithItsFrame)
{
    for (const QRect& ekran : {MalyEkran, SkalowanyEkran}) {
        auto okno = glowne(ekran);
        EXPECT_EQ(okno->screen(), ekranPod(ekran));
        EXPECT_TRUE(miesciSie(*okno, ekran));
        // The window still has its parts: the document area is not squeezed
        // away by the tool bar and the lists.
        EXPECT_GT(okno->pPole->height(), 100);
        EXPECT_GT(okno->pPole->width(), 150);
        EXPECT_TRUE(okno->statusBar()->isVisible());
        EXPECT_LE(okno->statusBar()->geometry().bottom(), okno->centralWidget()->geometry().bottom() + 40);
    }
}

TEST_F(MaleEkrany, PrintDialogFitsAndItsPreviewScrolls)
{
    for (const QRect& ekran : {MalyEkran, SkalowanyEkran}) {
        QWidget wlasciciel;
        wlasciciel.setGeometry(QRect(ekran.topLeft() + QPoint(10, 10), QSize(300, 200)));
        wlasciciel.show();
        TfrmPrint d(&wlasciciel);
        d.PageCount = 3;
        // An A4 page at the screen's 96 dpi.
        d.iStronaWydruku->Picture() = QImage(794, 1123, QImage::Format_RGB32);
        d.iStronaWydruku->Picture().fill(Qt::white);
        d.iStronaWydruku->PictureChanged();
        d.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(miesciSie(d, ekran));
        // The page is reachable: the preview scrolls down to its end.
        QScrollBar* pion = d.sbPolePodgladuWydruku->verticalScrollBar();
        EXPECT_TRUE(pion->isVisible());
        EXPECT_GE(pion->maximum() + d.sbPolePodgladuWydruku->viewport()->height(), 1123);
        // The buttons stay inside the dialog.
        EXPECT_LE(d.Panel1->geometry().bottom(), d.height() - 1);
        EXPECT_TRUE(d.btnOk->isVisible());
        d.hide();
    }
}

TEST_F(MaleEkrany, EveryOtherWindowIsKeptOnItsScreen)
{
    // Dialogs and message boxes get the same treatment once the program has
    // installed the fitting, wherever their owner placed them.
    for (const QRect& ekran : {MalyEkran, SkalowanyEkran}) {
        QDialog d;
        d.resize(900, 700);
        d.move(ekran.topLeft() + QPoint(ekran.width() - 100, ekran.height() - 100));
        d.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(miesciSie(d, ekran));
        d.hide();

        // Moved partly off the screen while hidden: put back when shown again.
        d.resize(300, 200);
        d.move(ekran.topLeft() + QPoint(ekran.width() - 200, -80));
        d.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(miesciSie(d, ekran));
        EXPECT_EQ(d.size(), QSize(300, 200));
    }
}

TEST_F(MaleEkrany, RememberedGeometryFromABiggerScreenIsFittedAgain)
{
    // A window placed where a larger monitor used to be, as a restored
    // geometry may place it, ends up on the screen, cut to it.
    auto okno = glowne(MalyEkran);
    okno->setGeometry(QRect(300, 200, 1600, 1000));
    FitWindowToScreen(okno.get());
    EXPECT_TRUE(miesciSie(*okno, MalyEkran));
    EXPECT_EQ(okno->frameGeometry().topLeft(), MalyEkran.topLeft());
}

TEST_F(MaleEkrany, AWindowSavedOnABiggerScreenComesBackFittedToThisOne)
{
    // The settings of a run on a large monitor: the window's geometry there.
    TUstawienia duze;
    {
        TfLumesta poprzednie(katalog.path(), &komunikaty);
        poprzednie.setGeometry(QRect(300, 200, 1600, 1000));
        duze = poprzednie.ZbierzUstawienia();
    }
    const QString plik = katalog.filePath(QStringLiteral("Lumesta.conf"));
    ASSERT_TRUE(ZapiszUstawienia(plik, duze));

    TfLumesta okno(katalog.path(), &komunikaty);
    okno.UzyjUstawien(plik);
    okno.show();
    QCoreApplication::processEvents();
    // Whole on the screen it came back to, not a frame larger than it.
    ASSERT_NE(okno.screen(), nullptr);
    EXPECT_TRUE(miesciSie(okno, okno.screen()->geometry()));
    EXPECT_GT(okno.pPole->width(), 150);
}

TEST_F(MaleEkrany, PicturesAreDrawnAtTheScaledScreensResolution)
{
    auto okno = glowne(SkalowanyEkran);
    ASSERT_EQ(okno->devicePixelRatio(), 2.0);

    // The tool button shows its icon pixel for pixel as drawn at 200 %, not
    // a 32 x 32 picture blown up.
    QToolButton* b = okno->tbZapisz;
    const QImage zrzut = b->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(zrzut.devicePixelRatio(), 2.0);
    const QImage ikona = obrazki::narzedzie(0, 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ikona.size(), QSize(64, 64));
    const QPoint poczatek(2 * ((b->width() - 32) / 2), 2 * 3);
    int porownane = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            if (qAlpha(ikona.pixel(x, y)) != 255)
                continue;
            ASSERT_EQ(zrzut.pixel(poczatek + QPoint(x, y)), ikona.pixel(x, y)) << x << "," << y;
            ++porownane;
        }
    EXPECT_GT(porownane, 1000);

    // The logos of the start panel are made for the screen they are on.
    for (QLabel* l : {okno->lLumesta, okno->laczaFirm->iMardovelt, okno->laczaFirm->iBrovank}) {
        auto* obraz = dynamic_cast<TDrawnPicture*>(l);
        ASSERT_NE(obraz, nullptr);
        l->grab();
        EXPECT_EQ(obraz->Shown().devicePixelRatio(), 2.0);
        EXPECT_EQ(obraz->Shown().size(), obraz->PictureSize() * 2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The screens are given to the platform in a file before the
    // application starts.
    QTemporaryDir konfiguracja;
    if (!konfiguracja.isValid())
        return 2;
    const QString plik = konfiguracja.filePath(QStringLiteral("ekrany.json"));
    QFile f(plik);
    if (!f.open(QIODevice::WriteOnly))
        return 2;
    f.write(R"({
  "synchronousWindowSystemEvents": false,
  "windowFrameMargins": true,
  "screens": [
    {"name": "Maly", "x": 0, "y": 0, "width": 1024, "height": 600,
     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
    {"name": "Skalowany", "x": 1024, "y": 0, "width": 683, "height": 384,
     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}
  ]
})");
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(plik));
    QApplication app(argc, argv);
    InstallWindowFitting(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
