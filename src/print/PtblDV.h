#pragma once
// Printing of a document view: a printable copy of the view that borrows its
// items, lays them out again at the printer's resolution and cuts the drawn
// lines into pages; then draws any page on the printer or into a preview
// image at screen resolution.
//
// Three units meet here: millimetres (the margins as set), printer pixels
// (the copy's layout, page geometry and margins) and target pixels (whatever
// a page is drawn on). Every conversion goes through MulDiv so that the
// preview and the printed sheet agree to the pixel.
#include "platform/Canvas.h"
#include "platform/core/Exceptions.h"
#include "view/DocView.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPrinter;

// One page: the document y (printer pixels) placed at the top of the text
// area, and the first drawn line on it. A page runs to the drawn line before
// the next page's first one; the last page to the end of the document.
struct TDVPageInfo {
    int TopY = 0;
    int FirstDrawItem = 0;

    void Assign(const TDVPageInfo& source) { *this = source; }
    friend bool operator==(const TDVPageInfo&, const TDVPageInfo&) = default;
};

enum TDVPrintingStep { dvpsStarting, dvpsProceeding, dvpsFinished };

// Sender is always the printable copy.
using TDVPrintingEvent = std::function<void(TDocView* sender, int pageCompleted, TDVPrintingStep step)>;

// What pagination and printing need of a printer. Geometry is that of the
// printable area; a job is Begin, pages separated by NewPage, End.
class TPrinterTarget {
public:
    struct Geometry {
        int WidthPx = 0;  // printable area in printer pixels
        int HeightPx = 0;
        int WidthMM = 0;  // printable area in millimetres, as the printer reports it
        int HeightMM = 0;
        int DpiX = 0;
        int DpiY = 0;
    };

    virtual ~TPrinterTarget() = default;

    virtual Geometry PageGeometry() const = 0;
    // A canvas at the printer's resolution that measures exactly as the
    // job's canvas will draw (the layout is made on it).
    virtual std::unique_ptr<TCanvas> MeasuringCanvas() const = 0;

    // Whether the printer (its driver) makes copies itself.
    virtual bool CanCopy() const = 0;
    virtual int Copies() const = 0;
    virtual void SetCopies(int copies) = 0;
    virtual void SetTitle(const std::string& title) = 0; // Windows-1250

    // Starts the job and returns the canvas of its first sheet; the canvas
    // stays valid until End. Failures raise EPrinterError.
    virtual TCanvas& Begin() = 0;
    virtual void NewPage() = 0;
    virtual void End() = 0;
    // Ends a job left half-done by a failure (nothing when none is running).
    virtual void Abort() = 0;
};

// A print job could not be started or continued.
LUMESTA_EXCEPTION(EPrinterError, ELumestaError)

// The printer target over a QPrinter (a real printer or a PDF file).
class TQtPrinterTarget : public TPrinterTarget {
public:
    // printer is not owned and must outlive the target.
    explicit TQtPrinterTarget(QPrinter* printer);
    ~TQtPrinterTarget() override;

    QPrinter* Printer() const { return FPrinter; }

    Geometry PageGeometry() const override;
    std::unique_ptr<TCanvas> MeasuringCanvas() const override;
    bool CanCopy() const override;
    int Copies() const override;
    void SetCopies(int copies) override;
    void SetTitle(const std::string& title) override;
    TCanvas& Begin() override;
    void NewPage() override;
    void End() override;
    void Abort() override;

private:
    struct Job;
    QPrinter* FPrinter;
    std::unique_ptr<Job> FJob;
};

// The invisible copy of a document view that is laid out for the printer.
// It never owns items: it borrows the source view's list.
class TPrintableDV : public TDocView {
    Q_OBJECT
public:
    explicit TPrintableDV(QWidget* parent = nullptr);
    ~TPrintableDV() override;

    TDVPrintingEvent OnFormatting;
    TDVPrintingEvent OnSendingToPrinter;

    // Lays the document out for printer and cuts it into pages; returns
    // the number of pages (0 for a document without drawn lines).
    int Paginate(const TPrinterTarget& printer);
    // Draws page pageNo (from 1) on canvas at the canvas's resolution.
    // EStyleNotAssigned without a style table, EInvalidPageNo outside
    // 1..PagesCount; nothing is changed then.
    void DrawPage(int pageNo, TCanvas& canvas);
    void Print(TPrinterTarget& printer, const std::string& title, int copies, bool collate);
    void PrintRange(TPrinterTarget& printer, int firstPage, int lastPage, const std::string& title,
                    int copies, bool collate);

    const std::vector<TDVPageInfo>& Pages() const { return FPages; }
    int PagesCount() const { return int(FPages.size()); }

    int LeftMarginMM = 20;
    int RightMarginMM = 20;
    int TopMarginMM = 20;
    int BottomMarginMM = 20;

    int LeftMarginPx() const { return FLeftMarginPx; }
    int TopMarginPx() const { return FTopMarginPx; }
    int RightMarginPx() const { return FRightMarginPx; }
    int BottomMarginPx() const { return FBottomMarginPx; }
    int ScreenDpiX() const { return FScreenDpiX; }
    int ScreenDpiY() const { return FScreenDpiY; }
    int PrinterDpiX() const { return FPrinterDpiX; }
    int PrinterDpiY() const { return FPrinterDpiY; }
    // The text area in printer pixels, as the last pagination sized it.
    int CopyWidth() const { return FCopyWidth; }
    int CopyHeight() const { return FCopyHeight; }

    // Takes source's items by reference, its style table, a copy of its
    // background bitmap and its background style; drops layout and pages.
    void AssignFrom(TDocView* source);

private:
    void DrawPicture(TCanvas& canvas, const TDrawLineInfo& d, const TLineInfo& li, const QImage& background,
                     int pageTopY, int x, int y, int tdx, int tdy);

    std::vector<TDVPageInfo> FPages;
    // Changes whenever the pages lose their layout (a new document, the
    // source gone, another pagination).
    unsigned FGeneration = 0;
    QMetaObject::Connection FSourceGone;
    int FLeftMarginPx = 0;
    int FTopMarginPx = 0;
    int FRightMarginPx = 0;
    int FBottomMarginPx = 0;
    int FScreenDpiX = 96;
    int FScreenDpiY = 96;
    int FPrinterDpiX = 96;
    int FPrinterDpiY = 96;
    int FCopyWidth = 0;
    int FCopyHeight = 0;
};

// The print component of the main window: owns the printable copy and,
// unless another is installed, a printer target for the default printer
// (a PDF file when no printer is installed).
class TDVPrint : public QObject {
    Q_OBJECT
public:
    // The copy is a hidden widget of its own: on this platform it needs no
    // parent window to be laid out or drawn.
    explicit TDVPrint(QObject* owner = nullptr);
    ~TDVPrint() override;

    TDVPrintingEvent OnFormatting;
    TDVPrintingEvent OnSendingToPrinter;

    void AssignDocument(TDocView* source);
    // options: the layout's FormatOptions (foPictures | foImages for the
    // reader). Returns the number of pages.
    int Paginate(int options);
    // Renders page pageNo as the whole sheet at screen resolution into
    // target (resized where it differs, white outside the text area).
    void DrawPageImage(int pageNo, QImage& target);
    void Print(const std::string& title, int copies, bool collate);
    void PrintRange(int firstPage, int lastPage, const std::string& title, int copies, bool collate);

    int PagesCount() const { return FCopy->PagesCount(); }
    int LeftMarginMM() const { return FCopy->LeftMarginMM; }
    void SetLeftMarginMM(int mm) { FCopy->LeftMarginMM = mm; }
    int RightMarginMM() const { return FCopy->RightMarginMM; }
    void SetRightMarginMM(int mm) { FCopy->RightMarginMM = mm; }
    int TopMarginMM() const { return FCopy->TopMarginMM; }
    void SetTopMarginMM(int mm) { FCopy->TopMarginMM = mm; }
    int BottomMarginMM() const { return FCopy->BottomMarginMM; }
    void SetBottomMarginMM(int mm) { FCopy->BottomMarginMM = mm; }

    TPrintableDV* Copy() const { return FCopy.get(); }
    // The printer used by Paginate and Print. SetPrinter installs another
    // target (tests, a chosen printer); null goes back to the default one.
    TPrinterTarget& Printer();
    void SetPrinter(std::unique_ptr<TPrinterTarget> printer);
    // The QPrinter behind the default target (null while another target is
    // installed), e.g. to give it a PDF file name.
    QPrinter* DefaultQPrinter();

private:
    std::unique_ptr<TPrintableDV> FCopy;
    std::unique_ptr<QPrinter> FDefaultPrinter;
    std::unique_ptr<TPrinterTarget> FPrinter;
    bool FOwnsDefault = false;
};
