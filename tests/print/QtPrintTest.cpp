// The real thing: pages laid out with Qt's fonts, the preview image, and a
// PDF printed through QPrinter.
#include "platform/QtCanvas.h"
#include "platform/core/Cp1250.h"
#include "print/PtblDV.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

namespace {

// Pictures to look at by eye, written only when LUMESTA_PRINT_SHOTS names a
// folder.
QString shot(const QString& name)
{
    const QString dir = qEnvironmentVariable("LUMESTA_PRINT_SHOTS");
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

// Page objects in a PDF file (not the page tree nodes).
int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = f.readAll();
    return int(QString::fromLatin1(data).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
}

class QtPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (int i = 0; i < style.TextStyles().Count(); ++i)
            style.TextStyles().Items(i).CharSet = EASTEUROPE_CHARSET;
        style.TextStyles().Items(0).Size = 12;
        style.TextStyles().Items(2).Size = 14;
        view.SetStyle(&style);
        view.resize(700, 500);
        QImage mark(16, 15, QImage::Format_RGB32);
        mark.fill(QColor(160, 0, 0));
        marks.Add(mark);

        const std::string body = cp1250::fromUtf8(
            "Kto bez zgody sołtysa wypędza bydło na łąkę gminną przed dniem otwarcia wypasu, podlega "
            "nawiązce w wysokości od 2 do 20 dniówek, a gdy szkoda jest znaczna, zarząd gminy może "
            "odebrać mu prawo wypasu na rok.");
        for (int chapter = 1; chapter <= 6; ++chapter) {
            view.AddCenteredLine(cp1250::fromUtf8("Rozdział ") + std::to_string(chapter), 2);
            for (int art = 1; art <= 12; ++art) {
                view.AddParagraph("Art. " + std::to_string(chapter * 100 + art) + ". ", 1);
                view.AddText(body, 0);
                if (art % 4 == 0)
                    view.AddHotspot(0, &marks, false);
            }
        }
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        printer->setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        print.SetPrinter(std::make_unique<TQtPrinterTarget>(printer.get()));
        print.AssignDocument(&view);
    }

    QTemporaryDir dir;
    TDVStyle style;
    TDocView view;
    TImageList marks{16, 15};
    std::unique_ptr<QPrinter> printer;
    TDVPrint print;
};

} // namespace

TEST_F(QtPrintTest, PreviewImageIsTheWholeSheetWithInkOnlyInTheTextArea)
{
    const int pages = print.Paginate(foPictures | foImages);
    ASSERT_GE(pages, 2);
    const TPrintableDV& c = *print.Copy();
    EXPECT_EQ(c.PrinterDpiX(), printer->resolution());

    QImage img;
    print.DrawPageImage(1, img);
    // The text area and the margins at the screen's resolution: the sheet
    // (A4 less 5 mm on each side) less what the margins lose to whole inches.
    const int sdx = TQtCanvas::ScreenDpiX();
    const int sdy = TQtCanvas::ScreenDpiY();
    EXPECT_NEAR(img.width(), (200.0 - 50.8 + 40) / 25.4 * sdx, 2.0);
    EXPECT_NEAR(img.height(), (287.0 - 50.8 + 40) / 25.4 * sdy, 2.0);
    if (!shot(QStringLiteral("x")).isEmpty())
        img.save(shot(QStringLiteral("print-preview-1.png")));

    // Ink inside the text area, white paper in the left margin.
    // The 20-mm left margin, a pixel or so either way.
    const int left = int(20.0 / 25.4 * sdx);
    int dark = 0;
    int marginInk = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const bool ink = qGray(img.pixel(x, y)) < 128;
            if (ink && x >= left)
                ++dark;
            if (x < left - 1 && img.pixel(x, y) != qRgb(255, 255, 255))
                ++marginInk;
        }
    }
    EXPECT_GT(dark, 2000);
    EXPECT_EQ(marginInk, 0);

    // Another page is another picture, in the same image.
    const QImage first = img;
    print.DrawPageImage(2, img);
    EXPECT_EQ(img.size(), first.size());
    EXPECT_NE(img, first);
    if (!shot(QStringLiteral("x")).isEmpty())
        img.save(shot(QStringLiteral("print-preview-2.png")));
}

TEST_F(QtPrintTest, PrintedPdfHasOneSheetPerPagePrinted)
{
    const int pages = print.Paginate(foPictures | foImages);
    ASSERT_GE(pages, 3);
    print.Print(cp1250::fromUtf8("Drukowanie:Kodeks karny "), 1, false);
    EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("out.pdf"))), pages);
    if (!shot(QStringLiteral("x")).isEmpty())
        QFile::copy(dir.filePath(QStringLiteral("out.pdf")), shot(QStringLiteral("print-all.pdf")));

    printer->setOutputFileName(dir.filePath(QStringLiteral("range.pdf")));
    print.PrintRange(2, 3, "Drukowanie:Kodeks karny od 2 do 3 ", 2, true);
    // A PDF cannot copy itself: the pages are repeated.
    EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("range.pdf"))), 4);
    EXPECT_EQ(printer->copyCount(), 1);
}

TEST_F(QtPrintTest, AnUnwritableFileFailsWithAMessage)
{
    print.Paginate(foPictures | foImages);
    printer->setOutputFileName(QStringLiteral("/nonexistent-dir/x/out.pdf"));
    EXPECT_THROW(print.Print("t", 1, false), EPrinterError);
}
