// Pagination of a document view at the printer's resolution, and drawing of
// its pages on a printer or into a preview image.
#include "print/PtblDV.h"

#include "platform/QtCanvas.h"
#include "platform/QtColors.h"
#include "platform/QtText.h"
#include "platform/core/MulDiv.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace {

const char* const StyleNotAssignedText = "Style of printable TDocView component is not assigned";
const char* const InvalidPageNoText = "Invalid page number is specified for printing";

QImage newImage(int w, int h) { return QImage(std::max(1, w), std::max(1, h), QImage::Format_RGB32); }

} // namespace

// ---- the printer over Qt -----------------------------------------------------

struct TQtPrinterTarget::Job {
    QPainter painter;
    std::unique_ptr<TQtCanvas> canvas;
};

TQtPrinterTarget::TQtPrinterTarget(QPrinter* printer) : FPrinter(printer) {}

TQtPrinterTarget::~TQtPrinterTarget() { Abort(); }

TPrinterTarget::Geometry TQtPrinterTarget::PageGeometry() const
{
    Geometry g;
    const QPageLayout layout = FPrinter->pageLayout();
    const QRect px = layout.paintRectPixels(FPrinter->resolution());
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    g.WidthPx = px.width();
    g.HeightPx = px.height();
    g.WidthMM = qRound(mm.width());
    g.HeightMM = qRound(mm.height());
    g.DpiX = FPrinter->logicalDpiX();
    g.DpiY = FPrinter->logicalDpiY();
    return g;
}

std::unique_ptr<TCanvas> TQtPrinterTarget::MeasuringCanvas() const
{
    // The Qt canvas measures with whole-pixel advances of a font sized for
    // the resolution alone, so this measures exactly as the job's painter
    // will draw.
    return std::make_unique<TQtCanvas>(FPrinter->logicalDpiX(), FPrinter->logicalDpiY());
}

bool TQtPrinterTarget::CanCopy() const { return FPrinter->supportsMultipleCopies(); }
int TQtPrinterTarget::Copies() const { return FPrinter->copyCount(); }
void TQtPrinterTarget::SetCopies(int copies) { FPrinter->setCopyCount(std::max(1, copies)); }
void TQtPrinterTarget::SetTitle(const std::string& title) { FPrinter->setDocName(toQString(title)); }

TCanvas& TQtPrinterTarget::Begin()
{
    Abort();
    auto job = std::make_unique<Job>();
    if (!job->painter.begin(FPrinter)) {
        const QString file = FPrinter->outputFileName();
        throw EPrinterError(file.isEmpty() ? std::string("The print job could not be started")
                                           : "The print job could not be started: cannot write " +
                                                 file.toLocal8Bit().toStdString());
    }
    job->canvas = std::make_unique<TQtCanvas>(&job->painter);
    FJob = std::move(job);
    return *FJob->canvas;
}

void TQtPrinterTarget::NewPage()
{
    if (!FJob || !FPrinter->newPage())
        throw EPrinterError("A new sheet could not be started");
}

void TQtPrinterTarget::End()
{
    if (!FJob)
        return;
    FJob->canvas.reset();
    const bool ok = FJob->painter.end();
    FJob.reset();
    if (!ok || FPrinter->printerState() == QPrinter::Error)
        throw EPrinterError("The print job could not be finished");
}

void TQtPrinterTarget::Abort()
{
    if (!FJob)
        return;
    FJob->canvas.reset();
    FPrinter->abort();
    if (FJob->painter.isActive())
        FJob->painter.end();
    FJob.reset();
}

// ---- the printable copy ------------------------------------------------------

TPrintableDV::TPrintableDV(QWidget* parent) : TDocView(parent)
{
    MarkSharing();
    setAttribute(Qt::WA_DontShowOnScreen);
    setFrameShape(QFrame::NoFrame);
    // The whole width of the control is text width.
    SetVScrollVisible(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hide();
}

TPrintableDV::~TPrintableDV() = default;

void TPrintableDV::AssignFrom(TDocView* source)
{
    FPages.clear();
    ++FGeneration;
    disconnect(FSourceGone);
    ShareItems(source);
    if (!source)
        return;
    // The pages index the drawn lines of the borrowed items; when the source
    // goes they go with it.
    FSourceGone = connect(source, &QObject::destroyed, this, [this] {
        FPages.clear();
        ++FGeneration;
    });
    SetStyle(source->Style());
    SetBackgroundBitmap(source->BackgroundBitmap());
    SetBackgroundStyle(source->BackgroundStyle());
}

int TPrintableDV::Paginate(const TPrinterTarget& printer)
{
    if (OnFormatting)
        OnFormatting(this, 0, dvpsStarting);
    // The old pages index the layout about to be replaced; should the layout
    // fail, none of them may survive it.
    FPages.clear();
    const unsigned generation = ++FGeneration;

    const TPrinterTarget::Geometry g = printer.PageGeometry();
    std::unique_ptr<TCanvas> canvas = printer.MeasuringCanvas();
    const int lmm = std::max(0, LeftMarginMM);
    const int rmm = std::max(0, RightMarginMM);
    const int tmm = std::max(0, TopMarginMM);
    const int bmm = std::max(0, BottomMarginMM);

    // Margins exact to the millimetre of the printable area.
    FLeftMarginPx = MulDiv(lmm, g.WidthPx, g.WidthMM);
    FRightMarginPx = MulDiv(rmm, g.WidthPx, g.WidthMM);
    FTopMarginPx = MulDiv(tmm, g.HeightPx, g.HeightMM);
    FBottomMarginPx = MulDiv(bmm, g.HeightPx, g.HeightMM);
    if (g.WidthMM <= 0)
        FLeftMarginPx = FRightMarginPx = 0;
    if (g.HeightMM <= 0)
        FTopMarginPx = FBottomMarginPx = 0;

    // The text area shrinks by the margins in whole inches, rounded to the
    // nearest inch. Where that rounds down so far that the text, starting at
    // the left or top margin, would run past the printable area, it ends at
    // the area's edge instead: what is cut off there is lost from the sheet.
    int w = g.WidthPx - g.DpiX * MulDiv(lmm + rmm, 5, 127);
    int h = g.HeightPx - g.DpiY * MulDiv(tmm + bmm, 5, 127);
    w = std::max(0, std::min(w, g.WidthPx - FLeftMarginPx));
    h = std::max(0, std::min(h, g.HeightPx - FTopMarginPx));
    FCopyWidth = w;
    FCopyHeight = h;
    resize(std::max(1, w), std::max(1, h));

    DoFormat(false, *canvas);

    FScreenDpiX = Canvas().DpiX();
    FScreenDpiY = Canvas().DpiY();
    FPrinterDpiX = canvas->DpiX();
    FPrinterDpiY = canvas->DpiY();
    canvas.reset();

    const std::vector<TDrawLine>& lines = DrawLines();
    const int n = int(lines.size());
    if (n == 0)
        return 0;

    // A handler may let the source view go, or paginate anew; the pages
    // being cut here would then index lines that are no longer there, so
    // the cutting stops and what the handler left stands.
    auto proceeding = [&](int page) {
        if (OnFormatting)
            OnFormatting(this, page, dvpsProceeding);
        return generation == FGeneration;
    };

    FPages.push_back(TDVPageInfo{0, 0});
    int pageTop = 0;
    int count = 1;
    int i = 0;
    if (!proceeding(0))
        return PagesCount();
    while (i < n) {
        const TDrawLineInfo& d = lines[size_t(i)].Info;
        if (d.Top + d.Height <= pageTop + h) {
            ++i;
            continue;
        }
        // The page breaks before the visual line that overflows: walk back to
        // its first drawn line, but never past the page being filled, so that
        // every page starts further on than the one before it (two pieces of
        // one line, each taller than a page, would otherwise alternate).
        const int pageFirst = FPages.back().FirstDrawItem;
        int start = i;
        for (int k = i - 1; k >= pageFirst; --k) {
            const TDrawLineInfo& e = lines[size_t(k)].Info;
            if (e.Top + e.Height <= d.Top)
                break;
            start = k;
        }
        if (start == pageFirst)
            ++start; // the line alone is taller than a page
        if (start >= n)
            break;
        const TDrawLineInfo& s = lines[size_t(start)].Info;
        int y = s.Top;
        for (int j = start + 1; j < n && lines[size_t(j)].Info.Top < s.Top + s.Height; ++j)
            y = std::min(y, lines[size_t(j)].Info.Top);
        FPages.push_back(TDVPageInfo{y, start});
        if (!proceeding(count))
            return PagesCount();
        ++count;
        pageTop = y;
        i = start;
    }
    if (proceeding(count) && OnFormatting)
        OnFormatting(this, count, dvpsFinished);
    return PagesCount();
}

void TPrintableDV::DrawPage(int pageNo, TCanvas& canvas)
{
    if (!Style())
        throw EStyleNotAssigned(StyleNotAssignedText);
    if (pageNo < 1 || pageNo > PagesCount())
        throw EInvalidPageNo(InvalidPageNoText);

    const std::vector<TDrawLine>& lines = DrawLines();
    const int n = int(lines.size());
    const TDVPageInfo& page = FPages[size_t(pageNo - 1)];
    const int first = page.FirstDrawItem;
    const int last = std::min(n - 1, pageNo == PagesCount() ? n - 1 : FPages[size_t(pageNo)].FirstDrawItem - 1);
    const int shift = page.TopY - FTopMarginPx;
    const int tdx = canvas.DpiX();
    const int tdy = canvas.DpiY();
    const int sdx = FScreenDpiX;
    const int sdy = FScreenDpiY;
    const int pdx = FPrinterDpiX;
    const int pdy = FPrinterDpiY;
    TDVStyle& style = *Style();

    const int ws = MulDiv(FCopyWidth, sdx, pdx);
    const int hs = MulDiv(FCopyHeight, sdy, pdy);
    const int areaX = MulDiv(FLeftMarginPx, tdx, pdx);
    const int areaY = MulDiv(FTopMarginPx, tdy, pdy);

    // Background of the text area.
    QImage background;
    if (BackgroundStyle() != bsNoBitmap) {
        // Paper does not scroll: tiles fixed to the document are tiles.
        if (BackgroundStyle() == bsTiledAndScrolled)
            SetBackgroundStyle(bsTiled);
        if (ws > 0 && hs > 0) {
            background = newImage(ws, hs);
            QPainter p(&background);
            TQtCanvas c(&p, sdx, sdy);
            DrawBackground(c, TRect{0, 0, ws, hs}, hs, ws);
            p.end();
            canvas.StretchImage(TRect{areaX, areaY, areaX + MulDiv(ws, tdx, sdx), areaY + MulDiv(hs, tdy, sdy)},
                                background);
        }
    } else {
        canvas.FillRect(TRect{areaX, areaY, areaX + MulDiv(ws, tdx, sdx), areaY + MulDiv(hs, tdy, sdy)},
                        style.Color());
    }

    for (int i = first; i <= last; ++i) {
        const TDrawLineInfo& d = lines[size_t(i)].Info;
        if (d.ItemNo < 0 || d.ItemNo >= ItemCount())
            continue; // the borrowed items changed since the layout
        const TLineInfo& li = Items()[size_t(d.ItemNo)].Info;
        const int x = MulDiv(d.Left + FLeftMarginPx, tdx, pdx);
        const int y = MulDiv(d.Top - shift, tdy, pdy);
        if (li.StyleNo >= 0) {
            const TFontDesc desc = StyleFont(li.StyleNo);
            canvas.SetFont(desc);
            canvas.TextOut(x, y, lines[size_t(i)].Text, desc.Color);
            continue;
        }
        switch (li.StyleNo) {
        case rvsPicture:
        case rvsHotSpot:
        case rvsBullet:
            DrawPicture(canvas, d, li, background, page.TopY, x, y, tdx, tdy);
            break;
        case rvsBreak: {
            const TColor color = style.TextStyles().Count() > 0 ? style.TextStyles().Items(0).Color : clWindowText;
            const int ly = MulDiv(d.Top - shift + MulDiv(5, pdy, sdy), tdy, pdy);
            const int x1 = MulDiv(d.Left + FLeftMarginPx + MulDiv(5, pdx, sdx), tdx, pdx);
            const int x2 = MulDiv(FCopyWidth + FLeftMarginPx - MulDiv(RightMargin() + 5, pdx, sdx), tdx, pdx);
            canvas.Line(x1, ly, x2, ly, color);
            break;
        }
        default:
            break; // checkpoints and controls leave no ink
        }
    }
}

void TPrintableDV::DrawPicture(TCanvas& canvas, const TDrawLineInfo& d, const TLineInfo& li,
                               const QImage& background, int pageTopY, int x, int y, int tdx, int tdy)
{
    QImage graphic;
    int w = 0;
    int h = 0;
    if (li.StyleNo == rvsPicture) {
        if (!li.Picture || li.Picture->isNull())
            return;
        graphic = *li.Picture;
        w = graphic.width();
        h = graphic.height();
    } else {
        if (!li.ImageList)
            return;
        graphic = li.ImageList->Image(li.ImageIndex);
        w = li.ImageList->Width();
        h = li.ImageList->Height();
    }
    if (w <= 0 || h <= 0)
        return;

    // The image is drawn over the page's own background, then stretched as
    // one opaque bitmap, which is what printer drivers take reliably.
    QImage scratch = newImage(w, h);
    QPainter p(&scratch);
    if (!background.isNull()) {
        const int bx = MulDiv(d.Left, FScreenDpiX, FPrinterDpiX);
        const int by = MulDiv(d.Top - pageTopY, FScreenDpiY, FPrinterDpiY);
        p.fillRect(scratch.rect(), toQColor(Style()->Color()));
        p.drawImage(QPoint(0, 0), background, QRect(bx, by, w, h));
    } else {
        p.fillRect(scratch.rect(), toQColor(Style()->Color()));
    }
    if (!graphic.isNull())
        p.drawImage(QPoint(0, 0), graphic);
    p.end();
    canvas.StretchImage(TRect{x, y, x + MulDiv(w, tdx, FScreenDpiX), y + MulDiv(h, tdy, FScreenDpiY)}, scratch);
}

void TPrintableDV::Print(TPrinterTarget& printer, const std::string& title, int copies, bool collate)
{
    PrintRange(printer, 1, PagesCount(), title, copies, collate);
}

void TPrintableDV::PrintRange(TPrinterTarget& printer, int firstPage, int lastPage, const std::string& title,
                              int copies, bool collate)
{
    // Checked before the job begins: a bad range must not leave a half
    // printed job in the spooler.
    const bool anything = firstPage <= lastPage && copies > 0;
    if (anything) {
        if (!Style())
            throw EStyleNotAssigned(StyleNotAssignedText);
        if (firstPage < 1 || lastPage > PagesCount())
            throw EInvalidPageNo(InvalidPageNoText);
    }

    if (OnSendingToPrinter)
        OnSendingToPrinter(this, 0, dvpsStarting);
    printer.SetTitle(title);
    const int savedCopies = printer.Copies();
    int rounds = copies;
    if (printer.CanCopy()) {
        if (copies > 0) {
            printer.SetCopies(copies);
            rounds = 1;
        }
    } else {
        printer.SetCopies(1);
    }

    try {
        TCanvas& canvas = printer.Begin();
        if (anything) {
            const int pages = lastPage - firstPage + 1;
            const int steps = pages * rounds;
            for (int s = 0; s < steps; ++s) {
                const int page = collate ? firstPage + s % pages : firstPage + s / rounds;
                DrawPage(page, canvas);
                if (OnSendingToPrinter)
                    OnSendingToPrinter(this, page, dvpsProceeding);
                if (s + 1 < steps)
                    printer.NewPage();
            }
        }
        printer.End();
    } catch (...) {
        printer.Abort();
        printer.SetCopies(savedCopies);
        throw;
    }
    printer.SetCopies(savedCopies);
    if (OnSendingToPrinter)
        OnSendingToPrinter(this, 0, dvpsFinished);
}

// ---- the component -----------------------------------------------------------

TDVPrint::TDVPrint(QObject* owner) : QObject(owner), FCopy(std::make_unique<TPrintableDV>()) {}

TDVPrint::~TDVPrint()
{
    // The target may refer to the default QPrinter: it goes first.
    FPrinter.reset();
    FDefaultPrinter.reset();
}

TPrinterTarget& TDVPrint::Printer()
{
    if (!FPrinter) {
        if (!FDefaultPrinter) {
            FDefaultPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
            // Without an installed printer the job goes to a PDF file, whose
            // name the caller asks for before printing.
            if (QPrinterInfo::availablePrinterNames().isEmpty())
                FDefaultPrinter->setOutputFormat(QPrinter::PdfFormat);
        }
        FPrinter = std::make_unique<TQtPrinterTarget>(FDefaultPrinter.get());
        FOwnsDefault = true;
    }
    return *FPrinter;
}

void TDVPrint::SetPrinter(std::unique_ptr<TPrinterTarget> printer)
{
    FPrinter = std::move(printer);
    FOwnsDefault = false;
}

QPrinter* TDVPrint::DefaultQPrinter()
{
    Printer();
    return FOwnsDefault ? FDefaultPrinter.get() : nullptr;
}

void TDVPrint::AssignDocument(TDocView* source) { FCopy->AssignFrom(source); }

int TDVPrint::Paginate(int options)
{
    // Controls belong to the source view: laying them out here would move
    // the source's widgets, and paper shows none of them.
    FCopy->SetFormatOptions(options & ~foControls);
    FCopy->OnFormatting = OnFormatting;
    return FCopy->Paginate(Printer());
}

void TDVPrint::DrawPageImage(int pageNo, QImage& target)
{
    TPrintableDV& c = *FCopy;
    // Refused before the image is touched, so a bad request changes nothing.
    if (!c.Style())
        throw EStyleNotAssigned(StyleNotAssignedText);
    if (pageNo < 1 || pageNo > c.PagesCount())
        throw EInvalidPageNo(InvalidPageNoText);
    const int w = MulDiv(c.CopyWidth() + c.LeftMarginPx() + c.RightMarginPx(), c.ScreenDpiX(), c.PrinterDpiX());
    const int h = MulDiv(c.CopyHeight() + c.TopMarginPx() + c.BottomMarginPx(), c.ScreenDpiY(), c.PrinterDpiY());
    if (target.width() != w || target.height() != h || target.format() != QImage::Format_RGB32)
        target = newImage(w, h);
    target.fill(Qt::white);
    QPainter p(&target);
    // An image has the screen's resolution: the page shows at its size.
    TQtCanvas canvas(&p, c.ScreenDpiX(), c.ScreenDpiY());
    c.DrawPage(pageNo, canvas);
}

void TDVPrint::Print(const std::string& title, int copies, bool collate)
{
    FCopy->OnSendingToPrinter = OnSendingToPrinter;
    FCopy->Print(Printer(), title, copies, collate);
}

void TDVPrint::PrintRange(int firstPage, int lastPage, const std::string& title, int copies, bool collate)
{
    FCopy->OnSendingToPrinter = OnSendingToPrinter;
    FCopy->PrintRange(Printer(), firstPage, lastPage, title, copies, collate);
}
