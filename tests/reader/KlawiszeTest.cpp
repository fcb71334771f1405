// The main window under the keyboard and the mouse: its shortcuts (close a
// tab, zoom), access keys that do not clash, the wheel with Ctrl, page keys,
// the contents list walked with arrows, a right click on a tab, and copying
// in footnote windows; plus the zoom steps and the names shown for Journal
// acts.
#include "DaneDziennikow.h"

#include "reader/NazwyDokumentow.h"
#include "reader/Okienko.h"
#include "reader/Powiekszenie.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <set>

namespace fs = std::filesystem;
using dane::cp;
using dane::utf;

namespace {

TEST(Powiekszanie, StepsRunFromHalfToFourTimesAndStartFromAnyZoom)
{
    EXPECT_EQ(NastepnePowiekszenie(100, 1), 110);
    EXPECT_EQ(NastepnePowiekszenie(100, -1), 90);
    EXPECT_EQ(NastepnePowiekszenie(100, 3), 150);
    EXPECT_EQ(NastepnePowiekszenie(400, 1), 400);
    EXPECT_EQ(NastepnePowiekszenie(50, -2), 50);
    EXPECT_EQ(NastepnePowiekszenie(300, 100), 400);
    // Between two steps: the next one in the direction asked.
    EXPECT_EQ(NastepnePowiekszenie(105, 1), 110);
    EXPECT_EQ(NastepnePowiekszenie(105, -1), 100);
    // Out of range comes back in.
    EXPECT_EQ(NastepnePowiekszenie(1000, 0), 400);
    EXPECT_EQ(NastepnePowiekszenie(-5, 1), 67);
}

TEST(Nazwy, JournalActsAreShownByTheirReference)
{
    EXPECT_EQ(NazwaDziennika("Dz.U.2007.50.331"), "Dz.U.2007.50.331");
    EXPECT_EQ(NazwaDziennika("/x/Lumesta/Dzienniki Ustaw/Dz.U.2007.50.331.txt"), "Dz.U.2007.50.331");
    EXPECT_EQ(NazwaDziennika("C:\\Lumesta\\Dzienniki Ustaw\\Dz.U.1990.34.198.txt"), "Dz.U.1990.34.198");
    EXPECT_EQ(NazwaDziennika(cp("Kodeks cywilny")), "");
    EXPECT_EQ(NazwaDziennika("/x/Dz.U.2007.50.331"), ""); // a path is an act only through its presence file
    EXPECT_EQ(NazwaDziennika("Dz.U.2007.50"), "");
    EXPECT_EQ(NazwaDziennika("Dz.U.2007.50.331.7"), "");
    EXPECT_EQ(NazwaDziennika("Dz.U.2007..331"), "");
    EXPECT_EQ(NazwaDziennika("Dz.U.20x7.50.331"), "");

    EXPECT_EQ(OpisDokumentu("Dz.U.2007.50.331"), "Dz.U. 2007 nr 50 poz. 331");
    EXPECT_EQ(OpisDokumentu("/x/Dz.U.1990.034.0198.txt"), "Dz.U. 1990 nr 34 poz. 198");
    EXPECT_EQ(OpisDokumentu("Dz.U.2012.0.1447"), "Dz.U. 2012 poz. 1447"); // an act without an issue number
    EXPECT_EQ(OpisDokumentu(cp("Kodeks karny")), cp("Kodeks karny"));
    EXPECT_EQ(OpisDokumentu("/x/notatki.txt"), "/x/notatki.txt");
}

class Klawisze : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        program = fs::path(tmp.path().toStdString());
        ASSERT_EQ(dane::zapiszBibliotekeZDziennikami(program, {dane::kodeksZOdnosnikami(), dane::kodeksKarny()},
                                                     dane::dziennikiTestowe()),
                  "");
        okno = std::make_unique<TfLumesta>(QString::fromStdString(program.string()), &komunikaty);
        okno->resize(780, 560);
        okno->show();
        okno->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(okno.get()));
    }

    void otworz(int wiersz)
    {
        okno->clbSpisKodeksow->setCurrentRow(wiersz);
        okno->tvSpisKodeksowClick();
    }

    void kolko(QWidget* w, int delta, Qt::KeyboardModifiers mods)
    {
        const QPointF at(20, 20);
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(w, &e);
    }

    QTemporaryDir tmp;
    fs::path program;
    TZbiorKomunikatow komunikaty;
    std::unique_ptr<TfLumesta> okno;
};

TEST_F(Klawisze, MenusAndTheirItemsHaveAccessKeysThatDoNotClash)
{
    const auto klucz = [](const QString& t) {
        const int i = t.indexOf(QLatin1Char('&'));
        return i >= 0 && i + 1 < t.size() ? t.at(i + 1).toLower() : QChar();
    };
    std::set<QChar> menu;
    for (QAction* a : okno->mmMenu->actions()) {
        const QChar k = klucz(a->text());
        EXPECT_FALSE(k.isNull()) << a->text().toStdString();
        EXPECT_TRUE(menu.insert(k).second) << a->text().toStdString();
        std::set<QChar> pozycje;
        for (QAction* p : a->menu()->actions()) {
            if (p->isSeparator())
                continue;
            const QChar kp = klucz(p->text());
            EXPECT_FALSE(kp.isNull()) << p->text().toStdString();
            EXPECT_TRUE(pozycje.insert(kp).second) << p->text().toStdString();
        }
    }
    EXPECT_EQ(okno->Czcionka1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F)); // the font command keeps Ctrl+F
}

TEST_F(Klawisze, CtrlWClosesTheCurrentTab)
{
    otworz(0);
    otworz(1);
    ASSERT_EQ(okno->LiczbaZakladek(), 2);
    QTest::keyClick(okno->BiezacyWidok(), Qt::Key_W, Qt::ControlModifier);
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(utf(okno->nazwyZakladek[0]), "Kodeks cywilny");
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Klawisze, ZoomKeysWheelAndStatusBar)
{
    otworz(0);
    TDocView* v = okno->BiezacyWidok();
    const int wysokosc = v->DocumentHeight();
    EXPECT_EQ(okno->sbPowiekszenie->text(), "100%");
    QTest::keyClick(v, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 110);
    QTest::keyClick(v, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 125);
    EXPECT_EQ(v->Zoom(), 125);
    EXPECT_GT(v->DocumentHeight(), wysokosc);
    EXPECT_EQ(okno->sbPowiekszenie->text(), "125%");
    QTest::keyClick(v, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 110);
    QTest::keyClick(v, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 100);
    EXPECT_EQ(v->DocumentHeight(), wysokosc);
    // The keypad's plus and minus do the same.
    QTest::keyClick(v, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(okno->Powiekszenie(), 110);
    QTest::keyClick(v, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(okno->Powiekszenie(), 100);

    // Ctrl and the wheel zoom; half notches add up; the plain wheel scrolls.
    kolko(v->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 110);
    kolko(v->viewport(), -60, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 110);
    kolko(v->viewport(), -60, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 100);
    kolko(v->viewport(), -120, Qt::NoModifier);
    EXPECT_EQ(okno->Powiekszenie(), 100);

    // At the ends the commands go grey; documents opened later take the zoom.
    okno->UstawPowiekszenie(1000);
    EXPECT_EQ(okno->Powiekszenie(), 400);
    EXPECT_FALSE(okno->Powieksz1->isEnabled());
    EXPECT_TRUE(okno->Pomniejsz1->isEnabled());
    otworz(1);
    EXPECT_EQ(okno->BiezacyWidok()->Zoom(), 400);
    // The hidden tab was laid out again when shown.
    okno->pecTablica->SetTabIndex(0);
    okno->pcTablicaChange();
    EXPECT_EQ(okno->BiezacyWidok()->Zoom(), 400);
    EXPECT_GT(okno->BiezacyWidok()->DocumentHeight(), wysokosc * 3);
}

TEST_F(Klawisze, ARightClickOnATabMakesItCurrentSoCloseClosesIt)
{
    otworz(0);
    otworz(1);
    ASSERT_EQ(okno->BiezacaZakladka(), 1);
    const QRect r = okno->pecTablica->TabRect(0);
    QContextMenuEvent e(QContextMenuEvent::Mouse, r.center(), okno->pecTablica->mapToGlobal(r.center()));
    QApplication::sendEvent(okno->pecTablica, &e);
    EXPECT_EQ(okno->BiezacaZakladka(), 0);
    EXPECT_EQ(okno->windowTitle(), "Lumesta: Kodeks cywilny");
    EXPECT_TRUE(okno->pmZakladki->isVisible());
    okno->pmZakladki->hide();
    okno->Zamknij1->trigger();
    ASSERT_EQ(okno->LiczbaZakladek(), 1);
    EXPECT_EQ(utf(okno->nazwyZakladek[0]), "Kodeks karny");
}

TEST_F(Klawisze, TheContentsListIsWalkedWithArrowsAndEnterScrolls)
{
    // A code with headings of every kind, zoomed so that it is longer than
    // the window.
    const fs::path inny = program / "inny";
    ASSERT_EQ(dane::zapiszBiblioteke(inny, {dane::kodeksCywilny()}), "");
    TfLumesta o(QString::fromStdString(inny.string()), &komunikaty);
    o.resize(600, 400);
    o.show();
    o.UstawPowiekszenie(400);
    o.clbSpisKodeksow->setCurrentRow(0);
    o.tvSpisKodeksowClick();
    TDocView* v = o.BiezacyWidok();
    QListWidget* l = o.lbSpisTresci;
    ASSERT_GE(l->count(), 3);
    ASSERT_GT(v->VScrollMax(), 0);
    l->setFocus();
    l->setCurrentRow(0);
    QTest::keyClick(l, Qt::Key_Down);
    QTest::keyClick(l, Qt::Key_Down);
    EXPECT_EQ(l->currentRow(), 2);
    EXPECT_EQ(v->VPos(), 0); // walking alone does not scroll
    QTest::keyClick(l, Qt::Key_Return);
    const int y = v->GetCheckpointY(2);
    ASSERT_GT(y, v->ScrollUnit());
    EXPECT_EQ(v->VPos(), std::min(y / v->ScrollUnit(), v->VScrollMax()));
    EXPECT_TRUE(komunikaty.Lista.empty());
}

TEST_F(Klawisze, PageKeysMoveByAWindowLessOneLine)
{
    otworz(0);
    // Narrow and low (the tool bar keeps its buttons whole, so the window
    // may stay wider), so that the short code is longer than its view.
    okno->resize(500, 270);
    QCoreApplication::processEvents();
    TDocView* v = okno->BiezacyWidok();
    ASSERT_GT(v->VScrollMax(), 0);
    const int krok = (v->ClientHeight() - v->LineHeight(0)) / v->ScrollUnit();
    ASSERT_GT(krok, 10); // not the view engine's own ten units
    QTest::keyClick(v, Qt::Key_PageDown);
    EXPECT_EQ(v->VPos(), std::min(krok, v->VScrollMax()));
    QTest::keyClick(v, Qt::Key_PageUp);
    EXPECT_EQ(v->VPos(), 0);
}

TEST_F(Klawisze, CopiedTextEndsItsLinesWithLf)
{
    otworz(1);
    okno->Zaznaczwszystko1->trigger();
    okno->Kopij1->trigger();
    const QString t = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(t.contains(QLatin1Char('\n')));
    EXPECT_FALSE(t.contains(QLatin1Char('\r')));
}

TEST_F(Klawisze, FootnoteWindowsCopyAndSelectAllWithTheirOwnKeys)
{
    otworz(0);
    TDocView* v = okno->BiezacyWidok();
    ASSERT_FALSE(v->Jumps().empty());
    okno->dvTekstJump(v, 1000);
    TfPrzypis* p = okno->oknaPrzypisow.back().Okno.data();
    ASSERT_NE(p, nullptr);
    p->activateWindow();
    p->dvPrzypis->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("przed"));
    // Ctrl+A selects the footnote, not the document behind it; Ctrl+C copies
    // it. Neither is an ambiguous shortcut of both windows.
    QTest::keyClick(p->dvPrzypis, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(p->dvPrzypis->SelectionExists());
    EXPECT_FALSE(v->SelectionExists());
    const std::string wszystko = p->dvPrzypis->GetSelectedText();
    QTest::keyClick(p->dvPrzypis, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(utf(wszystko)));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("(1)")));
    // With a selection in the view, Ctrl+A still selects all of it.
    p->dvPrzypis->SetSelection(TDVPosition{0, 1}, TDVPosition{0, 3});
    QTest::keyClick(p->dvPrzypis, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(p->dvPrzypis->GetSelectedText(), wszystko);
    EXPECT_EQ(okno->LiczbaZakladek(), 1);

    // A zoom reaches the footnote window too, and the zoom keys work in it:
    // the main window's shortcuts do not reach another window.
    okno->UstawPowiekszenie(200);
    EXPECT_EQ(p->dvPrzypis->Zoom(), 200);
    QTest::keyClick(p->dvPrzypis, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 175);
    EXPECT_EQ(p->dvPrzypis->Zoom(), 175);
    EXPECT_EQ(v->Zoom(), 175);
    QTest::keyClick(p->dvPrzypis, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(okno->Powiekszenie(), 200);
    QTest::keyClick(p->dvPrzypis, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(okno->Powiekszenie(), 100);
}

} // namespace
