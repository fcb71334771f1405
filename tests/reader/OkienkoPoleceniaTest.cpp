// The main window's document commands: copy and select all, saving, the
// view options and printing, with the common dialogs replaced by answers.
#include "DaneTestowe.h"

#include "import/CzytnikPdf.h"
#include "print/Drukowanie.h"
#include "print/PrintFrm.h"
#include "print/PtblDV.h"
#include "reader/Okienko.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

const char* const BrakDokumentu = "Najpierw otwórz jakiś kodeks z listy kodeksów.";

QString czytaj(const QString& plik)
{
    QFile f(plik);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll());
}

TEST(Reguly, FontSizesKeepTheirProportionRoundedHalfToEven)
{
    EXPECT_EQ(PrzeskalujRozmiar(16, 14, 28), 32);
    EXPECT_EQ(PrzeskalujRozmiar(10, 14, 28), 20);
    EXPECT_EQ(PrzeskalujRozmiar(8, 14, 28), 16);
    EXPECT_EQ(PrzeskalujRozmiar(16, 14, 13), 15); // 14.857
    EXPECT_EQ(PrzeskalujRozmiar(10, 14, 13), 9);  // 9.286
    EXPECT_EQ(PrzeskalujRozmiar(8, 14, 13), 7);   // 7.429
    EXPECT_EQ(PrzeskalujRozmiar(14, 14, 13), 13);
    EXPECT_EQ(PrzeskalujRozmiar(1, 2, 5), 2);     // 2.5 to even
    EXPECT_EQ(PrzeskalujRozmiar(3, 2, 5), 8);     // 7.5 to even
    // A size never vanishes, and a zero base cannot divide.
    EXPECT_EQ(PrzeskalujRozmiar(8, 14, 1), 1);
    EXPECT_EQ(PrzeskalujRozmiar(8, 0, 12), 12);
}

TEST(Reguly, SaveNamesGetTheFilterExtensionOnce)
{
    EXPECT_EQ(PlikZapisu("/t/Kodeks cywilny", 1), "/t/Kodeks cywilny.html");
    EXPECT_EQ(PlikZapisu("/t/a", 2), "/t/a.htm");
    EXPECT_EQ(PlikZapisu("/t/a", 3), "/t/a.txt");
    EXPECT_EQ(PlikZapisu("/t/a.html", 1), "/t/a.html");
    EXPECT_EQ(PlikZapisu("/t/a.HTM", 2), "/t/a.HTM");
    EXPECT_EQ(PlikZapisu("/t/a.html", 2), "/t/a.html.htm");
    EXPECT_EQ(PlikZapisu("/t/a", fzTekstUtf8), "/t/a.txt");
    EXPECT_EQ(PlikZapisu("/t/a", fzHtmlUtf8), "/t/a.html");
    EXPECT_EQ(PlikZapisu("/t/a.PDF", fzPdf), "/t/a.PDF");
    EXPECT_EQ(PlikZapisu("/t/a", fzPdf), "/t/a.pdf");
    EXPECT_EQ(PlikZapisu("/t/a", 0), "");
    EXPECT_EQ(PlikZapisu("/t/a", 7), "");
}

class Polecenia : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        program = fs::path(tmp.path().toStdString()) / "bin";
        ASSERT_EQ(dane::zapiszBiblioteke(program, {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}),
                  "");
        okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        okno->show();
    }

    void otworz(int wiersz)
    {
        okno->clbSpisKodeksow->setCurrentRow(wiersz);
        okno->tvSpisKodeksowClick();
    }

    std::vector<std::string> komunikatyUtf() const
    {
        std::vector<std::string> w;
        for (const auto& k : komunikaty.Lista)
            w.push_back(utf(k));
        return w;
    }

    QTemporaryDir tmp;
    fs::path program;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
};

TEST_F(Polecenia, WithoutADocumentEveryDocumentCommandSaysSo)
{
    int dialogi = 0;
    okno->dialogZapisu = [&](QString&, int&) { return ++dialogi, false; };
    okno->Kopij1->trigger();
    okno->Zaznaczwszystko1->trigger();
    okno->tbZapisz->click();
    okno->tbDrukuj->click();
    EXPECT_EQ(komunikatyUtf(), std::vector<std::string>(4, BrakDokumentu));
    EXPECT_EQ(dialogi, 0);
    // The close-button size has no strip to act on yet.
    okno->Duzewylczniki1->trigger();
    EXPECT_EQ(okno->Duzewylczniki1->text(), "&Duże wyłączniki");
}

TEST_F(Polecenia, SelectAllAndCopyActOnTheCurrentTab)
{
    otworz(1);
    otworz(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_NE(v, nullptr);
    QGuiApplication::clipboard()->setText(QStringLiteral("stare"));
    okno->Kopij1->trigger(); // nothing selected: the clipboard stays
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "stare");

    okno->Zaznaczwszystko1->trigger();
    EXPECT_TRUE(v->SelectionExists());
    EXPECT_FALSE(okno->Widok(0)->SelectionExists());
    okno->Kopij1->trigger();
    const QString schowek = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(schowek.contains(QStringLiteral("Kodeks niniejszy określa"))) << schowek.toStdString();
    EXPECT_TRUE(schowek.contains(QStringLiteral("Każdy hodowca")));
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Polecenia, SavingWritesEachFormatAndReportsAFailedWrite)
{
    otworz(0);
    const QString folder = tmp.path();
    QString proponowany;
    QString odpowiedz;
    int filtr = 1;
    okno->dialogZapisu = [&](QString& plik, int& f) {
        proponowany = plik;
        plik = odpowiedz;
        f = filtr;
        return true;
    };

    odpowiedz = folder + QStringLiteral("/kc");
    okno->tbZapisz->click();
    // Proposed in the user's documents folder, under the code's title.
    EXPECT_EQ(QFileInfo(proponowany).fileName(), "Kodeks cywilny");
    EXPECT_TRUE(QFileInfo(proponowany).isAbsolute());
    const QString html = czytaj(folder + QStringLiteral("/kc.html"));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Lumesta</title>"), Qt::CaseInsensitive)) << html.left(300).toStdString();
    // The footnote-mark glyphs are written beside the page.
    EXPECT_FALSE(QDir(folder).entryList({QStringLiteral("dvimg*")}, QDir::Files).isEmpty());

    filtr = 2;
    okno->Zapisz1->trigger();
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/kc.htm")));

    filtr = 3;
    odpowiedz = folder + QStringLiteral("/kc.txt");
    okno->Zapisz1->trigger();
    const QString tekst = czytaj(folder + QStringLiteral("/kc.txt"));
    EXPECT_TRUE(tekst.contains(QStringLiteral("zasady wypasu")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/kc.txt.txt")));
    EXPECT_TRUE(komunikaty.Lista.empty());

    // A target whose folder is a plain file cannot be written: the user is
    // told, and the file in the way is untouched.
    QFile zawada(folder + QStringLiteral("/plik"));
    ASSERT_TRUE(zawada.open(QIODevice::WriteOnly));
    zawada.write("zawartosc");
    zawada.close();
    for (int f : {1, 3}) {
        filtr = f;
        odpowiedz = folder + QStringLiteral("/plik/kc");
        okno->Zapisz1->trigger();
    }
    ASSERT_EQ(komunikaty.Lista.size(), 2u);
    EXPECT_EQ(komunikatyUtf()[0].rfind("Nie udało się zapisać pliku:", 0), 0u);
    EXPECT_NE(komunikatyUtf()[1].find("plik/kc.txt"), std::string::npos);
    EXPECT_EQ(czytaj(folder + QStringLiteral("/plik")), "zawartosc");

    // Cancelling the dialog writes nothing.
    okno->dialogZapisu = [](QString&, int&) { return false; };
    QFile::remove(folder + QStringLiteral("/kc.txt"));
    okno->Zapisz1->trigger();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/kc.txt")));
}

TEST_F(Polecenia, SavingAsUtf8TextUtf8HtmlAndPdf)
{
    otworz(0);
    const QString folder = tmp.path();
    int filtr = fzTekstUtf8;
    okno->dialogZapisu = [&](QString& plik, int& f) {
        plik = folder + QStringLiteral("/kc");
        f = filtr;
        return true;
    };
    okno->Zapisz1->trigger();
    QFile t(folder + QStringLiteral("/kc.txt"));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    const QByteArray tekst = t.readAll();
    EXPECT_FALSE(tekst.contains('\r'));
    EXPECT_TRUE(QString::fromUtf8(tekst).contains(QStringLiteral("Każdy hodowca"))) << tekst.left(200).toStdString();

    filtr = fzHtmlUtf8;
    okno->Zapisz1->trigger();
    QFile h(folder + QStringLiteral("/kc.html"));
    ASSERT_TRUE(h.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(h.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8")));
    EXPECT_TRUE(html.contains(QStringLiteral("Każdy hodowca")));

    // PDF: the pages the print command would print, whatever printer is set.
    filtr = fzPdf;
    okno->Zapisz1->trigger();
    QFile pdf(folder + QStringLiteral("/kc.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    // Read back: A4 pages that carry the document's text, not blank ones.
    importer::Document czytany;
    QString blad;
    importer::Warnings uwagi;
    importer::PdfStats statystyka;
    ASSERT_TRUE(importer::readPdf(pdf.readAll(), czytany, blad, uwagi, statystyka, {})) << blad.toStdString();
    ASSERT_FALSE(czytany.pages.empty());
    EXPECT_NEAR(czytany.pages[0].width, 595, 2);
    EXPECT_NEAR(czytany.pages[0].height, 842, 2);
    QString wszystko;
    for (const importer::Page& strona : czytany.pages)
        for (const importer::Line& l : strona.lines)
            wszystko += l.text + QLatin1Char('\n');
    EXPECT_TRUE(wszystko.contains(QStringLiteral("Każdy hodowca"))) << wszystko.left(300).toStdString();
    EXPECT_TRUE(komunikaty.Lista.empty());
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral(".lumesta-*")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(Polecenia, FontChangeRescalesEveryStyleAndLaysOutEveryView)
{
    otworz(0);
    otworz(1);
    const int wys0 = okno->Widok(0)->DocumentHeight();
    const int wys1 = okno->Widok(1)->DocumentHeight();
    std::vector<int> przed;
    for (int i = 0; i < okno->DVSStyl->TextStyles().Count(); ++i)
        przed.push_back(okno->DVSStyl->TextStyles().Items(i).Size);
    ASSERT_EQ(przed[0], 14);

    TFontInfo preset;
    okno->dialogCzcionki = [&](TFontInfo& f) {
        preset = f;
        f.FontName = "Liberation Serif";
        f.Size = 28;
        f.Color = clNavy;
        return true;
    };
    okno->Czcionka1->trigger();
    EXPECT_EQ(preset.Size, 14);
    EXPECT_EQ(preset.CharSet, 238);
    for (int i = 0; i < okno->DVSStyl->TextStyles().Count(); ++i) {
        const TFontInfo& f = okno->DVSStyl->TextStyles().Items(i);
        EXPECT_EQ(f.Size, przed[std::size_t(i)] * 2);
        EXPECT_EQ(f.FontName, "Liberation Serif");
        EXPECT_EQ(f.Color, clNavy);
    }
    // Styles keep their own font style.
    EXPECT_EQ(okno->DVSStyl->TextStyles().Items(1).Style, fsBold);
    const int wys28 = okno->Widok(0)->DocumentHeight();
    EXPECT_GT(wys28, wys0);
    EXPECT_GT(okno->Widok(1)->DocumentHeight(), wys1);
    EXPECT_EQ(okno->lWczytywanie->text(), "Czcionki:");
    EXPECT_EQ(okno->gWczytywanie->MaxValue(), 2);
    EXPECT_EQ(okno->gWczytywanie->Progress(), 2);
    EXPECT_FALSE(okno->gWczytywanie->isVisible());
    EXPECT_TRUE(komunikaty.Lista.empty());

    // Bold chosen: said, and ignored.
    okno->dialogCzcionki = [](TFontInfo& f) {
        f.Size = 14;
        f.Style = fsBold;
        return true;
    };
    okno->Czcionka2->trigger();
    ASSERT_EQ(komunikatyUtf(), (std::vector<std::string>{"Zostały wybrane opcje stylu czcionki, które nie zostaną uwzględnione"}));
    EXPECT_EQ(okno->DVSStyl->TextStyles().Items(0).Size, 14);
    EXPECT_EQ(okno->DVSStyl->TextStyles().Items(0).Style, 0);
    EXPECT_EQ(okno->DVSStyl->TextStyles().Items(2).Size, 16);
    const int wys14 = okno->Widok(0)->DocumentHeight();
    EXPECT_LT(wys14, wys28);

    // Cancelled: nothing changes, yet the views are laid out again.
    okno->lWczytywanie->setText(QStringLiteral("x"));
    okno->dialogCzcionki = [](TFontInfo&) { return false; };
    okno->Czcionka1->trigger();
    EXPECT_EQ(okno->lWczytywanie->text(), "Czcionki:");
    EXPECT_EQ(okno->DVSStyl->TextStyles().Items(0).Size, 14);
}

TEST_F(Polecenia, BackgroundColourGoesToTheSharedStyleTable)
{
    TColor preset = 0;
    okno->dialogKoloru = [&](TColor& k) {
        preset = k;
        k = clYellow;
        return true;
    };
    okno->Kolorta1->trigger(); // no document yet: kept for later ones
    EXPECT_EQ(preset, TColor(0xEBFFED));
    EXPECT_EQ(okno->DVSStyl->Color(), clYellow);
    otworz(0);
    EXPECT_EQ(okno->BiezacyWidok()->Style()->Color(), clYellow);
    okno->dialogKoloru = [](TColor& k) { return k = clRed, false; };
    okno->Kolorta2->trigger();
    EXPECT_EQ(okno->DVSStyl->Color(), clYellow);
}

TEST_F(Polecenia, CloseButtonSizeFlipsAndToolBarStylesSetTheHeight)
{
    otworz(0);
    ASSERT_NE(okno->pecTablica, nullptr);
    const bool male = okno->pecTablica->SmallCloseBtn();
    okno->Duzewylczniki1->trigger();
    EXPECT_NE(okno->pecTablica->SmallCloseBtn(), male);
    EXPECT_EQ(okno->Duzewylczniki1->text(),
              QString::fromUtf8(okno->pecTablica->SmallCloseBtn() ? "&Duże wyłączniki" : "&Małe wyłączniki"));
    EXPECT_EQ(okno->Duewyczniki1->text(), okno->Duzewylczniki1->text());
    okno->Duewyczniki1->trigger();
    EXPECT_EQ(okno->pecTablica->SmallCloseBtn(), male);
    EXPECT_EQ(okno->Duzewylczniki1->text(), "&Duże wyłączniki");

    // Each style sets the buttons' height; the bar takes that height plus
    // the tool bar's own margins, so that no button is cut at the bottom.
    const auto calePrzyciski = [this] {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        for (QToolButton* b : {okno->tbZapisz, okno->tbDrukuj, okno->tbLumesta, okno->tbSpisTresci,
                               okno->tbZamknijOtwarty, okno->tbWstecz, okno->tbDalej}) {
            const QRect r(b->mapTo(okno->pNarzedzia, QPoint(0, 0)), b->size());
            EXPECT_TRUE(okno->pNarzedzia->rect().contains(r)) << b->objectName().toStdString() << " " << r.top() << ".." << r.bottom() << " tb " << okno->tbNarzedzia->geometry().top() << "+" << okno->tbNarzedzia->height()
                                                               << " in " << okno->pNarzedzia->height();
        }
    };
    okno->Ikony1->trigger();
    EXPECT_EQ(okno->tbZapisz->height(), 37);
    EXPECT_GE(okno->pNarzedzia->height(), 37);
    EXPECT_LT(okno->pNarzedzia->height(), 52);
    EXPECT_EQ(okno->tbZapisz->toolButtonStyle(), Qt::ToolButtonIconOnly);
    calePrzyciski();
    okno->eksty1->trigger();
    EXPECT_EQ(okno->tbZapisz->toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_LT(okno->tbZapisz->height(), 37);
    EXPECT_LT(okno->pNarzedzia->height(), 37 + 8);
    calePrzyciski();
    okno->Ikonyiteksty1->trigger();
    EXPECT_EQ(okno->tbZapisz->height(), 52);
    EXPECT_GE(okno->pNarzedzia->height(), 52);
    EXPECT_EQ(okno->tbZapisz->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    calePrzyciski();
}

// The print command reaches the dialog with the first page's preview and
// prints what it chose; with no printer the job is a PDF file.
TEST_F(Polecenia, PrintCommandShowsTheDialogAndPrintsTheChosenPage)
{
    TfrmPrint dialog(okno.get(), okno.get());
    okno->UstawOknoWydruku(&dialog);
    otworz(1);
    QPrinter* qp = okno->DVPDrukuj->DefaultQPrinter();
    ASSERT_NE(qp, nullptr);
    if (qp->outputFormat() != QPrinter::PdfFormat)
        GTEST_SKIP() << "a real printer is installed here";
    const QString pdf = tmp.path() + QStringLiteral("/wydruk.pdf");
    okno->Drukowanie()->OnPdfFileName = [&](QWidget*, const QString&) { return pdf; };

    // A stray preview request while no dialog is up draws nothing.
    QCoreApplication::postEvent(okno.get(), new QEvent(QEvent::Type(WM_STRONA_WYDRUKU)));
    QCoreApplication::sendPostedEvents(okno.get());
    EXPECT_TRUE(dialog.iStronaWydruku->Picture().isNull());

    int strony = 0;
    bool podglad = false;
    bool odrysowany = false;
    QTimer::singleShot(0, &dialog, [&] {
        strony = dialog.PageCount;
        podglad = !dialog.iStronaWydruku->Picture().isNull();
        // The preview request goes to the main window, which draws the page
        // again over whatever the picture held.
        dialog.iStronaWydruku->Picture().fill(Qt::red);
        QCoreApplication::postEvent(okno.get(), new QEvent(QEvent::Type(WM_STRONA_WYDRUKU)));
        QCoreApplication::sendPostedEvents(okno.get());
        odrysowany = dialog.iStronaWydruku->Picture().pixelColor(0, 0) == QColor(Qt::white);
        QTest::mouseClick(dialog.rbBiezaca, Qt::LeftButton);
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    });
    okno->Drukuj1->trigger();
    EXPECT_EQ(strony, 1);
    EXPECT_TRUE(podglad);
    EXPECT_TRUE(odrysowany);
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(qp->docName(), QStringLiteral("Drukowanie:Kodeks karny strony 1 "));

    // Cancelled: no job.
    QFile::remove(pdf);
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.btnCancel, Qt::LeftButton); });
    okno->tbDrukuj->click();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(komunikaty.Lista.empty());
}

} // namespace
