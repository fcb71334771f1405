// The print dialog: caption, page buttons and their preview requests, the
// range controls, the preview's placement, and the main window's print
// command driven through it.
#include "platform/core/Cp1250.h"
#include "print/Drukowanie.h"
#include "print/PrintFrm.h"
#include "print/PtblDV.h"
#include "PrintFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class Receiver : public QObject {
public:
    int requests = 0;
    std::function<void()> onRequest;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::Type(TfrmPrint::PreviewRequest)) {
            ++requests;
            if (onRequest)
                onRequest();
            return true;
        }
        return QObject::event(e);
    }
};

void flush() { QCoreApplication::sendPostedEvents(); }

} // namespace

TEST(PrintFrm, CaptionNamesThePageAndTheCount)
{
    EXPECT_EQ(TfrmPrint::CaptionFor(2, 7), QStringLiteral("Podgląd wydruku: 2 strona z 7 stron"));
    EXPECT_EQ(TfrmPrint::CaptionFor(1, 1), QStringLiteral("Podgląd wydruku: 1 strona z 1 strony"));
    EXPECT_EQ(TfrmPrint::CaptionFor(12, 12), QStringLiteral("Podgląd wydruku: 12 strona z 12 stron"));
    TfrmPrint f;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Podgląd wydruku"));
    EXPECT_EQ(f.size(), QSize(838, 754));
    EXPECT_TRUE(f.rbWszystkie->isChecked());
    EXPECT_EQ(f.btnOk->text(), QStringLiteral("Drukuj"));
    EXPECT_EQ(f.btnCancel->text(), QStringLiteral("Odrzuć"));
    EXPECT_TRUE(f.btnOk->isDefault());
}

// The range choices stand in a row: each shows its whole label in the font
// at hand, with room before the next, and all within their frame.
TEST(PrintFrm, RangeChoicesShowTheirWholeLabelsApart)
{
    TfrmPrint f;
    const QWidget* row[] = {f.rbWszystkie, f.rbBiezaca, f.rbZZakresu, f.udOd, f.lDo, f.udDo};
    for (const QWidget* w : row)
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    for (std::size_t i = 0; i + 1 < std::size(row); ++i)
        EXPECT_GE(row[i + 1]->x() - (row[i]->x() + row[i]->width()), 4)
            << row[i]->objectName().toStdString() << " / " << row[i + 1]->objectName().toStdString();
    EXPECT_LE(f.udDo->x() + f.udDo->width(), f.gbZakres->width());
}

TEST(PrintFrm, PageButtonsStepWithinTheDocumentAndAskForAPreview)
{
    Receiver r;
    TfrmPrint f(nullptr, &r);
    f.PageCount = 3;
    f.CurrentPage = 1;
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Podgląd wydruku: 1 strona z 3 stron"));

    QTest::mouseClick(f.bPoprzednia, Qt::LeftButton);
    flush();
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_EQ(r.requests, 0);

    QTest::mouseClick(f.bNastepna, Qt::LeftButton);
    QTest::mouseClick(f.bNastepna, Qt::LeftButton);
    EXPECT_EQ(r.requests, 0); // posted, not sent
    flush();
    EXPECT_EQ(r.requests, 2);
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Podgląd wydruku: 3 strona z 3 stron"));
    QTest::mouseClick(f.bNastepna, Qt::LeftButton);
    flush();
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(r.requests, 2);

    QTest::mouseClick(f.bPoprzednia, Qt::LeftButton);
    flush();
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(r.requests, 3);
    f.hide();

    // One page: neither button does anything.
    f.PageCount = 1;
    f.CurrentPage = 1;
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Podgląd wydruku: 1 strona z 1 strony"));
    QTest::mouseClick(f.bNastepna, Qt::LeftButton);
    QTest::mouseClick(f.bPoprzednia, Qt::LeftButton);
    flush();
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_EQ(r.requests, 3);
}

TEST(PrintFrm, TheRangeStaysOrderedAndWithinThePages)
{
    TfrmPrint f;
    f.PageCount = 9;
    f.show();
    EXPECT_FALSE(f.udOd->isEnabled());
    EXPECT_FALSE(f.udDo->isEnabled());
    EXPECT_EQ(f.udOd->maximum(), 9);
    EXPECT_EQ(f.udDo->maximum(), 9);

    QTest::mouseClick(f.rbZZakresu, Qt::LeftButton);
    EXPECT_TRUE(f.udOd->isEnabled());
    EXPECT_TRUE(f.udDo->isEnabled());
    f.udDo->setValue(6);
    f.udOd->setValue(4);
    EXPECT_EQ(f.RangeFrom(), 4);
    // A start typed beyond the end is pulled back to the end.
    f.udOd->setValue(8);
    EXPECT_EQ(f.RangeFrom(), 6);
    // An end lowered below the start is raised to the start.
    f.udDo->setValue(2);
    EXPECT_EQ(f.RangeTo(), 6);
    f.udDo->setValue(40);
    EXPECT_EQ(f.RangeTo(), 9);

    QTest::mouseClick(f.rbBiezaca, Qt::LeftButton);
    EXPECT_FALSE(f.udOd->isEnabled());
    QTest::mouseClick(f.rbZZakresu, Qt::LeftButton);
    f.hide();

    // Shown again for a shorter document: the range is cut to it, and the
    // still-chosen range keeps its controls enabled.
    f.PageCount = 5;
    f.show();
    EXPECT_TRUE(f.rbZZakresu->isChecked());
    EXPECT_TRUE(f.udOd->isEnabled());
    EXPECT_EQ(f.RangeTo(), 5);
    EXPECT_EQ(f.RangeFrom(), 5);
    QTest::mouseClick(f.rbWszystkie, Qt::LeftButton);
    f.hide();
    f.show();
    EXPECT_FALSE(f.udOd->isEnabled());
}

TEST(PrintFrm, ThePageIsCentredWhenItFitsAndReachableWhenItDoesNot)
{
    TfrmPrint f;
    f.show();
    QScrollArea* box = f.sbPolePodgladuWydruku;
    f.iStronaWydruku->Picture() = QImage(300, 400, QImage::Format_RGB32);
    f.iStronaWydruku->PictureChanged();
    QApplication::processEvents();
    EXPECT_EQ(f.iStronaWydruku->size(), QSize(300, 400));
    EXPECT_EQ(f.iStronaWydruku->y(), 0);
    EXPECT_EQ(f.iStronaWydruku->x(), (box->viewport()->width() - 300) / 2);

    // Wider than the box: its left edge is at the box's and it scrolls.
    f.iStronaWydruku->Picture() = QImage(2000, 3000, QImage::Format_RGB32);
    f.iStronaWydruku->PictureChanged();
    QApplication::processEvents();
    EXPECT_EQ(f.iStronaWydruku->x(), 0);
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 2000 - box->viewport()->width());
    f.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(box->geometry(), QRect(0, 0, 400, 300 - 42));
    EXPECT_EQ(f.Panel2->geometry(), QRect(400 - 185, 0, 185, 42));
}

TEST(PrintFrm, OpensInTheMiddleOfTheScreenNotOverItsOwner)
{
    QWidget owner;
    owner.setGeometry(500, 400, 200, 150);
    owner.show();
    TfrmPrint f(&owner);
    f.resize(200, 100);
    f.show();
    ASSERT_NE(f.screen(), nullptr);
    const QPoint middle = f.screen()->availableGeometry().center();
    // Within the width of a window frame.
    EXPECT_LE((f.geometry().center() - middle).manhattanLength(), 8);
}

TEST(PrintFrm, JobTitlesNameTheDocumentAndThePages)
{
    const std::string name = cp1250::fromUtf8("Kodeks cywilny");
    EXPECT_EQ(TytulWydruku(name, {TWyborWydruku::Wszystkie, 1, 1}), "Drukowanie:Kodeks cywilny ");
    EXPECT_EQ(TytulWydruku(name, {TWyborWydruku::Biezaca, 1, 1}), "Drukowanie:Kodeks cywilny strony 1 ");
    EXPECT_EQ(TytulWydruku(name, {TWyborWydruku::ZZakresu, 3, 12}), "Drukowanie:Kodeks cywilny od 3 do 12 ");
}

// The whole command: paginate, preview page 1, step to page 2 in the dialog
// (the preview follows), choose "Bieżąca", print.
TEST_F(PrintTest, PrintCommandPrintsThePageChosenInTheDialog)
{
    AddLines(30);
    print->SetTopMarginMM(0);
    print->SetBottomMarginMM(0);
    Paginate();
    printer->geometry.HeightPx = line(10).Top - 1;

    Receiver mainWindow;
    TfrmPrint dialog(nullptr, &mainWindow);
    TDrukowanie command(*print, dialog);
    mainWindow.onRequest = [&] { command.StronaWydruku(); };
    std::vector<int> sent;
    print->OnSendingToPrinter = [&](TDocView*, int page, TDVPrintingStep step) {
        if (step == dvpsProceeding)
            sent.push_back(page);
    };

    QImage previewOfPage1;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(dialog.PageCount, 3);
        EXPECT_EQ(dialog.CurrentPage, 1);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Podgląd wydruku: 1 strona z 3 stron"));
        previewOfPage1 = dialog.iStronaWydruku->Picture();
        EXPECT_FALSE(previewOfPage1.isNull());
        EXPECT_EQ(dialog.iStronaWydruku->size(), previewOfPage1.size());
        QTest::mouseClick(dialog.bNastepna, Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(mainWindow.requests, 1);
        EXPECT_NE(dialog.iStronaWydruku->Picture(), previewOfPage1);
        QTest::mouseClick(dialog.rbBiezaca, Qt::LeftButton);
        if (const QString dir = qEnvironmentVariable("LUMESTA_PRINT_SHOTS"); !dir.isEmpty())
            dialog.grab().save(dir + QStringLiteral("/print-dialog.png"));
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(command.Drukuj(source.get(), "Kodeks karny"));
    EXPECT_EQ(sent, (std::vector<int>{2}));
    EXPECT_EQ(printer->title, "Drukowanie:Kodeks karny strony 2 ");

    // Cancelled: nothing printed.
    sent.clear();
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.btnCancel, Qt::LeftButton); });
    EXPECT_FALSE(command.Drukuj(source.get(), "Kodeks karny"));
    EXPECT_TRUE(sent.empty());

    // A range, chosen as the dialog left it last time.
    QTimer::singleShot(0, &dialog, [&] {
        QTest::mouseClick(dialog.rbZZakresu, Qt::LeftButton);
        dialog.udDo->setValue(3);
        dialog.udOd->setValue(2);
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(command.Drukuj(source.get(), "Kodeks karny"));
    EXPECT_EQ(sent, (std::vector<int>{2, 3}));
    EXPECT_EQ(printer->title, "Drukowanie:Kodeks karny od 2 do 3 ");

    // No document: nothing happens.
    EXPECT_FALSE(command.Drukuj(nullptr, "x"));
}

// The document goes while the dialog is up: whatever was chosen, nothing is
// sent to the printer, not even an empty job.
TEST_F(PrintTest, ADocumentFreedDuringTheDialogIsNotPrinted)
{
    AddLines(5);
    TfrmPrint dialog;
    TDrukowanie command(*print, dialog);
    QTimer::singleShot(0, &dialog, [&] {
        source.reset();
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    });
    EXPECT_FALSE(command.Drukuj(source.get(), "Kodeks pracy"));
    EXPECT_TRUE(printer->log.empty());
}

// With no printer installed the default printer is a PDF file whose name
// is asked for; declining prints nothing.
TEST(PrintCommandPdf, NoPrinterMeansAPdfFileOrNothing)
{
    TDVPrint print;
    QPrinter* qp = print.DefaultQPrinter();
    ASSERT_NE(qp, nullptr);
    if (qp->outputFormat() != QPrinter::PdfFormat)
        GTEST_SKIP() << "a printer is installed here";
    TDVStyle style;
    TDocView view;
    view.SetStyle(&style);
    for (int i = 0; i < 5; ++i)
        view.AddParagraph("Art. " + std::to_string(i + 1) + ".", 0);
    TfrmPrint dialog;
    TDrukowanie command(print, dialog);
    QTemporaryDir dir;
    QString answer;
    QString suggested;
    command.OnPdfFileName = [&](QWidget*, const QString& s) {
        suggested = s;
        return answer;
    };
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.btnOk, Qt::LeftButton); });
    EXPECT_FALSE(command.Drukuj(&view, "Konstytucja"));
    EXPECT_EQ(suggested, QStringLiteral("Konstytucja.pdf"));

    answer = dir.filePath(QStringLiteral("k.pdf"));
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.btnOk, Qt::LeftButton); });
    EXPECT_TRUE(command.Drukuj(&view, "Konstytucja"));
    EXPECT_TRUE(QFile::exists(answer));
    EXPECT_EQ(qp->docName(), QStringLiteral("Drukowanie:Konstytucja "));
}
