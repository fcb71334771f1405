// The licence window: its controls, the licence text from the program's
// folder (present, missing, damaged), and clicks on the text's addresses.
#include "reader/Licencja.h"
#include "reader/OLumesta.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class KatalogProgramu {
public:
    KatalogProgramu() { EXPECT_TRUE(FKatalog.isValid()); }
    QString Sciezka() const { return FKatalog.path(); }
    void Licencja(const std::string& tresc) const
    {
        std::ofstream(fs::path(FKatalog.path().toStdString()) / "Licencja.rtf", std::ios::binary) << tresc;
    }
    void LicencjaZDanych() const
    {
        fs::copy_file(fs::path(LUMESTA_SOURCE_DIR) / "data" / "Licencja.rtf",
                      fs::path(FKatalog.path().toStdString()) / "Licencja.rtf");
    }

private:
    QTemporaryDir FKatalog;
};

// The viewport point over the middle of the first occurrence of `tekst`.
QPoint punktTekstu(QTextBrowser* v, const QString& tekst)
{
    const QTextCursor c = v->document()->find(tekst);
    EXPECT_FALSE(c.isNull()) << tekst.toStdString();
    QTextCursor srodek(v->document());
    srodek.setPosition((c.selectionStart() + c.selectionEnd()) / 2);
    v->setTextCursor(srodek);
    v->ensureCursorVisible();
    return v->cursorRect(srodek).center();
}

std::vector<QUrl> kliknij(QTextBrowser* v, const QString& tekst)
{
    std::vector<QUrl> adresy;
    auto poprzedni = pomoc::UstawOtwieracz([&adresy](const QUrl& u) { adresy.push_back(u); });
    const QPoint p = punktTekstu(v, tekst);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    pomoc::UstawOtwieracz(std::move(poprzedni));
    return adresy;
}

} // namespace

TEST(Licencja, WindowShowsTheLicenceFromTheProgramFolder)
{
    KatalogProgramu k;
    k.LicencjaZDanych();
    TfLicencja l(nullptr, k.Sciezka());
    EXPECT_EQ(l.windowTitle(), QStringLiteral("Licencja"));
    EXPECT_EQ(l.size(), QSize(602, 305));
    EXPECT_EQ(l.rtvLicencja->geometry(), QRect(0, 0, 602, 257));
    EXPECT_TRUE(l.rtvLicencja->isReadOnly());
    EXPECT_EQ(l.bbZamknij->text(), QStringLiteral("Zamknij"));
    EXPECT_EQ(l.bbZamknij->geometry(), QRect(520, 272, 75, 25));

    const QTextDocument* d = l.rtvLicencja->document();
    EXPECT_EQ(d->firstBlock().text(), QStringLiteral("UMOWA LICENCYJNA PROGRAMU LUMESTA"));
    EXPECT_EQ(d->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(l.rtvLicencja->toPlainText().contains(QStringLiteral("właścicielem jest firma Mardovelt")));

    // The text is shown from its beginning.
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));
    EXPECT_EQ(l.rtvLicencja->textCursor().position(), 0);
    EXPECT_EQ(l.rtvLicencja->verticalScrollBar()->value(), 0);
    EXPECT_GT(l.rtvLicencja->verticalScrollBar()->maximum(), 0);
    QTest::mouseClick(l.bbZamknij, Qt::LeftButton);
    EXPECT_FALSE(l.isVisible());
}

TEST(Licencja, MissingOrDamagedLicence)
{
    KatalogProgramu k;
    {
        TfLicencja l(nullptr, k.Sciezka());
        EXPECT_TRUE(l.rtvLicencja->document()->isEmpty());
    }
    // A folder where the file should be is no licence either.
    fs::create_directory(fs::path(k.Sciezka().toStdString()) / "Licencja.rtf");
    {
        TfLicencja l(nullptr, k.Sciezka());
        EXPECT_TRUE(l.rtvLicencja->document()->isEmpty());
    }
    fs::remove(fs::path(k.Sciezka().toStdString()) / "Licencja.rtf");
    // Cut off in mid-group: the text up to the damage is shown.
    k.Licencja("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\b Licencja\\b0\\par Tre\\'9c\\'e6 {\\i uci");
    TfLicencja l(nullptr, k.Sciezka());
    EXPECT_EQ(l.rtvLicencja->toPlainText(), QStringLiteral("Licencja\nTreść uci"));
}

TEST(Licencja, ClickOnAnAddressOpensIt)
{
    KatalogProgramu k;
    k.LicencjaZDanych();
    TfLicencja l(nullptr, k.Sciezka());
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));

    // A plain address in the text gets the web's scheme.
    const auto strona = kliknij(l.rtvLicencja, QStringLiteral("www.mardovelt.pl"));
    ASSERT_EQ(strona.size(), 1u);
    EXPECT_EQ(strona[0], QUrl(QStringLiteral("http://www.mardovelt.pl")));
    // Field links keep the scheme they name.
    const auto list = kliknij(l.rtvLicencja, QStringLiteral("biuro@mardovelt.pl"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], QUrl(QStringLiteral("mailto:biuro@mardovelt.pl")));
    const auto tworca = kliknij(l.rtvLicencja, QStringLiteral("http://www.brovank.pl"));
    ASSERT_EQ(tworca.size(), 1u);
    EXPECT_EQ(tworca[0], QUrl(QStringLiteral("http://www.brovank.pl")));
    // Plain text is no link.
    EXPECT_TRUE(kliknij(l.rtvLicencja, QStringLiteral("Licencjobiorca")).empty());
}
