// The settings file: what is written comes back, and a damaged, foreign or
// hand-edited file gives defaults for whatever in it is unusable.
#include "platform/core/Cp1250.h"
#include "settings/Ustawienia.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class Plik : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        plik = tmp.path() + QStringLiteral("/Lumesta/Lumesta.conf");
    }

    void zapiszSurowe(const QByteArray& bajty)
    {
        QFile f(plik);
        QDir().mkpath(QFileInfo(plik).absolutePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bajty);
    }

    QTemporaryDir tmp;
    QString plik;
};

TUstawienia pelne()
{
    TUstawienia u;
    u.Czcionki = TCzcionkiDokumentow{cp1250::fromUtf8("Łódź Serif"), clNavy, 238, {28, 32, 32, 20, 20, 20, 28, 16, 20}};
    u.KolorTla = clYellow;
    u.Powiekszenie = 175;
    u.GeometriaOkna = QByteArray("\x01\x02\x00geometria", 12);
    u.StanOkna = QByteArray("stan");
    u.PodzialPoziomy = {180, 700};
    u.PodzialPionowy = {0, 400};
    u.PokazSpisKodeksow = false;
    u.PokazSpisTresci = true;
    u.StylPrzyciskow = TStylPrzyciskow::Teksty;
    u.MaleWylaczniki = false;
    u.OtwierajOstatnie = true;
    u.Zakladki = {{cp1250::fromUtf8("Kodeks cywilny"), 120, 7},
                  {"Dz.U.2007.50.331", -1, 0},
                  {cp1250::fromUtf8("Konstytucja Rzeczypospolitej Polskiej"), 3, 1}};
    u.BiezacaZakladka = 1;
    return u;
}

TEST_F(Plik, EverythingWrittenIsReadBack)
{
    const TUstawienia u = pelne();
    ASSERT_TRUE(ZapiszUstawienia(plik, u)); // the folder is made on the way
    EXPECT_EQ(WczytajUstawienia(plik), u);

    // Overwritten with less: nothing of the first file lingers.
    TUstawienia mniej;
    mniej.Powiekszenie = 50;
    mniej.OtwierajOstatnie = false;
    ASSERT_TRUE(ZapiszUstawienia(plik, mniej));
    EXPECT_EQ(WczytajUstawienia(plik), mniej);
}

TEST_F(Plik, TextIsUtf8InTheFileAndWindows1250InMemory)
{
    ASSERT_TRUE(ZapiszUstawienia(plik, pelne()));
    QFile f(plik);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bajty = f.readAll();
    EXPECT_TRUE(bajty.contains(QByteArray("\xc5\x81\xc3\xb3\x64\xc5\xba Serif"))) << bajty.toStdString();
    EXPECT_EQ(WczytajUstawienia(plik).Czcionki->Nazwa, cp1250::fromUtf8("Łódź Serif"));
}

TEST_F(Plik, MissingOrUnreadableFilesGiveDefaults)
{
    EXPECT_EQ(WczytajUstawienia(plik), TUstawienia{});
    EXPECT_EQ(WczytajUstawienia(QString()), TUstawienia{});
    EXPECT_EQ(WczytajUstawienia(tmp.path()), TUstawienia{}); // a folder
    zapiszSurowe(QByteArray("\x00\x01\x02\xff\xfe[[[\n=\n\x80\x81", 14));
    EXPECT_EQ(WczytajUstawienia(plik), TUstawienia{});
    zapiszSurowe(QByteArray("[General]\nfoo=bar\n[Inny program]\nPowiekszenie=3\n"));
    EXPECT_EQ(WczytajUstawienia(plik), TUstawienia{});
}

TEST_F(Plik, ValuesOfTheWrongKindOrOutOfRangeFallBackOneByOne)
{
    zapiszSurowe(QByteArray("[Dokumenty]\n"
                            "Czcionka=Serif\nKolorCzcionki=zielony\nZestawZnakow=238\nRozmiary=14,16\n"
                            "KolorTla=40000005\n"
                            "Powiekszenie=4000\n"
                            "[Okno]\nGeometria=nie bajty\nSpisKodeksow=moze\nSpisTresci=false\n"
                            "PodzialPoziomy=@ByteArray(\\0\\0\\0\\xff)\nPodzialPionowy=0,0\n"
                            "StylPrzyciskow=7\nMaleWylaczniki=0\n"
                            "[Sesja]\nOtwierajOstatnie=tak\n"));
    const TUstawienia u = WczytajUstawienia(plik);
    EXPECT_FALSE(u.Czcionki);   // its colour is no colour: the whole font set goes
    EXPECT_FALSE(u.KolorTla);   // neither RGB nor a system colour
    EXPECT_EQ(u.Powiekszenie, 100);
    EXPECT_TRUE(u.GeometriaOkna.isEmpty());
    EXPECT_TRUE(u.PodzialPoziomy.empty());
    EXPECT_TRUE(u.PodzialPionowy.empty());
    EXPECT_TRUE(u.PokazSpisKodeksow);
    EXPECT_FALSE(u.PokazSpisTresci); // the good ones are kept
    EXPECT_EQ(u.StylPrzyciskow, TStylPrzyciskow::IkonyITeksty);
    EXPECT_FALSE(u.MaleWylaczniki);
    EXPECT_TRUE(u.OtwierajOstatnie);

    zapiszSurowe(QByteArray("[Dokumenty]\nCzcionka=Serif\nKolorCzcionki=80000008\nZestawZnakow=238\n"
                            "Rozmiary=14,0,16\nKolorTla=80000005\nPowiekszenie= 67 \n"));
    const TUstawienia v = WczytajUstawienia(plik);
    EXPECT_FALSE(v.Czcionki); // a size of 0 points
    EXPECT_EQ(v.KolorTla, clWindow);
    EXPECT_EQ(v.Powiekszenie, 67);
}

TEST_F(Plik, SessionListsAreCutAndTheCurrentTabFollowsTheTabsKept)
{
    QByteArray s("[Sesja]\nZakladki\\size=100000000\n"
                 "Zakladki\\1\\Nazwa=Kodeks karny\nZakladki\\1\\Element=5\nZakladki\\1\\Pozycja=2\n"
                 "Zakladki\\2\\Nazwa=\nZakladki\\3\\Nazwa=Dz.U.2001.5.7\nZakladki\\3\\Element=x\n"
                 "Zakladki\\4\\Nazwa=\xe4\xb8\xad\xe6\x96\x87\n"
                 "Zakladki\\5\\Nazwa=Kodeks pracy\n"
                 "Biezaca=3\n");
    zapiszSurowe(s);
    const TUstawienia u = WczytajUstawienia(plik);
    ASSERT_EQ(u.Zakladki.size(), 3u); // an empty name and one the code page cannot hold are dropped
    EXPECT_EQ(u.Zakladki[0], (TZakladkaSesji{"Kodeks karny", 5, 2}));
    EXPECT_EQ(u.Zakladki[1], (TZakladkaSesji{"Dz.U.2001.5.7", -1, 0})); // a bad place: the top
    EXPECT_EQ(u.Zakladki[2].Nazwa, "Kodeks pracy");
    // The fourth tab read was current; dropped, the tab before it is.
    EXPECT_EQ(u.BiezacaZakladka, 1);

    // Far more tabs than anyone opens: only so many come back.
    QSettings z(plik, QSettings::IniFormat);
    z.clear();
    z.beginGroup(QStringLiteral("Sesja"));
    z.beginWriteArray(QStringLiteral("Zakladki"));
    for (int i = 0; i < NajwiecejZakladekSesji + 10; ++i) {
        z.setArrayIndex(i);
        z.setValue(QStringLiteral("Nazwa"), QStringLiteral("Akt %1").arg(i));
    }
    z.endArray();
    z.setValue(QStringLiteral("Biezaca"), NajwiecejZakladekSesji + 5);
    z.endGroup();
    z.sync();
    const TUstawienia w = WczytajUstawienia(plik);
    EXPECT_EQ(int(w.Zakladki.size()), NajwiecejZakladekSesji);
    EXPECT_EQ(w.BiezacaZakladka, 0); // beyond the tabs kept
}

TEST(Kolory, PlainAndSystemColoursOnly)
{
    EXPECT_TRUE(PoprawnyKolor(clBlack));
    EXPECT_TRUE(PoprawnyKolor(0xEBFFED));
    EXPECT_TRUE(PoprawnyKolor(clWindow));
    EXPECT_TRUE(PoprawnyKolor(clGradientInactiveCaption));
    EXPECT_FALSE(PoprawnyKolor(clNone));
    EXPECT_FALSE(PoprawnyKolor(clDefault));
    EXPECT_FALSE(PoprawnyKolor(TColor(0x01000000)));
    EXPECT_FALSE(PoprawnyKolor(SysColor(200)));
}

TEST(Sciezka, TheDefaultFileLiesInTheConfigurationFolder)
{
    // The test entry keeps the standard paths in test mode: the real user's
    // configuration is never touched.
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    const QString p = DomyslnyPlikUstawien();
    EXPECT_TRUE(p.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    EXPECT_TRUE(p.endsWith(QStringLiteral("/Lumesta/Lumesta.conf")));
}

} // namespace
