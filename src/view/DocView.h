#pragma once
// The read-only hypertext document view. A document is a flat list of items:
// runs of text in numbered text styles, checkpoints (named anchors) and
// clickable images. The view lays the items out for its width into drawn
// lines, paints them, and scrolls.
#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "view/DVScroll.h"
#include "view/DVStyle.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

// Item kinds; a StyleNo >= 0 is a text item in that style.
constexpr int rvsBreak = -1;      // horizontal rule (no operation adds one)
constexpr int rvsCheckpoint = -2; // named anchor
constexpr int rvsPicture = -3;    // picture (no operation adds one)
constexpr int rvsHotSpot = -4;    // clickable image from an image list
constexpr int rvsComponent = -5;  // child control (no operation adds one)
constexpr int rvsBullet = -6;     // image from an image list (no operation adds one)

// The two styles whose text items are jumps.
constexpr bool IsJumpStyle(int styleNo) { return styleNo == 4 || styleNo == 5; }

// FormatOptions bits: which non-text kinds the layout includes.
constexpr int foPictures = 1;
constexpr int foControls = 2;
constexpr int foImages = 4; // hotspots and bullets
constexpr int foAll = 7;

struct TLineInfo {
    int StyleNo = 0;
    bool SameAsPrev = false; // continues the line of the previous item
    bool Center = false;
    // Hotspot and bullet: index in the image list. Text in style 4 or 5: the
    // jump id given by the last layout.
    int ImageIndex = -1;
    const TImageList* ImageList = nullptr; // hotspot, bullet (not owned)
    std::shared_ptr<QImage> Picture;       // picture
    QWidget* Control = nullptr;            // control (owned by the view)
};

struct TItem {
    std::string Text; // Windows-1250
    TLineInfo Info;
};
using TItemList = std::vector<TItem>;

// One laid-out piece, in document pixels.
struct TDrawLineInfo {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int ItemNo = 0;
    int Offset = 0; // text: 1-based position of the first character in the item
    bool FromNewLine = false;
};
struct TDrawLine {
    std::string Text; // text pieces; empty for images
    TDrawLineInfo Info;
};

struct TJumpInfo {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Id = 0;         // before FirstJumpNo is added
    int DrawLineNo = 0; // the drawn line it covers
};

struct TCPInfo {
    int Y = 0; // document y after layout
    int ItemNo = 0;
};
struct TCheckpoint {
    std::string Name;
    TCPInfo Info;
};

// A place in the drawn lines: line index (-1 = none) and offset within it
// (text: k lies before character k, length + 1 after the last; other pieces:
// 0 before, 1 after).
struct TDVPosition {
    int Line = -1;
    int Offset = 0;
    friend bool operator==(const TDVPosition&, const TDVPosition&) = default;
};
// A place in the document that outlives its layout: an item and, for text,
// the 1-based position of a character in it. Item -1: the document's top.
struct TDVAnchor {
    int Item = -1;
    int Pos = 0;
    friend bool operator==(const TDVAnchor&, const TDVAnchor&) = default;
};
struct TDVSelectionBounds {
    int FirstLine = -1;
    int LastLine = -1;
    int FirstOffset = 0;
    int LastOffset = 0;
};

// A marked run of a text item, drawn as a coloured background under the
// text and under the selection (which is kept apart from it): characters
// [Start, Start + Length) of item Item, counted from 0.
struct TDVHighlight {
    int Item = 0;
    int Start = 0;
    int Length = 0;
    TColor Color = 0x0066E0FF;   // a light yellow
    friend bool operator==(const TDVHighlight&, const TDVHighlight&) = default;
};

enum TBackgroundStyle { bsNoBitmap, bsStretched, bsTiled, bsTiledAndScrolled };
enum TDVSaveFormat { dvsfText, dvsfHTML, dvsfRTF, dvsfDVF };
// Bytes of an export: the items' own Windows-1250 with CR LF line ends, or
// UTF-8 with LF line ends.
enum TDVTextEncoding { dvteWindows1250, dvteUtf8 };

class TDocView : public TDVScroller {
    Q_OBJECT
public:
    explicit TDocView(QWidget* parent = nullptr);
    ~TDocView() override;

    // ---- the document --------------------------------------------------
    // None of these lays out or repaints: run Format and repaint afterwards.
    void Clear();
    // The text is taken by value: a piece cut for the view is moved in.
    void AddParagraph(std::string text, int styleNo);
    void AddText(std::string text, int styleNo);
    void AddCenteredLine(std::string text, int styleNo);
    void AddTextLines(std::string text, int styleNo);
    void AddParagraphLines(std::string text, int styleNo);
    // Returns the checkpoint number (0, 1, 2, ... since the last Clear).
    int AddCheckpoint(const std::string& name);
    // Y of checkpoint no after the last layout; EListError outside the list.
    int GetCheckpointY(int no) const;
    void AddHotspot(int imageIndex, const TImageList* imageList, bool fromNewLine);
    // A view marked as sharing uses source's item list by reference (which
    // must outlive this use); for any other view this does nothing.
    void ShareItems(TDocView* source);
    bool SharesItems() const { return FSharing; }

    const TItemList& Items() const { return *FItems; }
    int ItemCount() const { return int(FItems->size()); }
    const std::vector<TCheckpoint>& Checkpoints() const { return FCheckpoints; }

    // ---- layout ----------------------------------------------------------
    // Lays the document out for the current width and shows its top.
    void Format();
    // Lays out on canvas; with keepScrollPos the document y at the top of the
    // window stays where it was.
    void DoFormat(bool keepScrollPos, TCanvas& canvas);
    void ClearLayout();
    void SyncJumps();

    // ---- zoom --------------------------------------------------------------
    // Scale of every text style's font in percent (100: the styles' own
    // sizes), kept within MinZoom..MaxZoom. The fonts are chosen at the
    // scaled size, so the layout keeps whole-pixel metrics. A change lays
    // the document out again and keeps the line at the top of the window
    // there; a hidden view does so when it is next shown.
    static constexpr int MinZoom = 10;
    static constexpr int MaxZoom = 1000;
    int Zoom() const { return FZoom; }
    void SetZoom(int percent);
    // The font of text style styleNo as this view measures and draws it.
    TFontDesc StyleFont(int styleNo) const;
    // Height of one line of text in style styleNo (with its leading), at
    // the current zoom; 0 without a style table or such a style.
    int LineHeight(int styleNo);

    // The visual line at the top of the window (the first one still partly
    // in sight) as an anchor, none at the top of the document; and scrolling
    // that line back to the top.
    TDVAnchor TopAnchor() const;
    void ScrollToAnchor(const TDVAnchor& anchor);

    const std::vector<TDrawLine>& DrawLines() const { return FDrawLines; }
    const std::vector<TJumpInfo>& Jumps() const { return FJumps; }
    int TextWidth() const { return FTextWidth; }
    int DocumentHeight() const { return FDocumentHeight; }
    int FormatOptions() const { return FFormatOptions; }
    void SetFormatOptions(int options) { FFormatOptions = options & foAll; }

    // The canvas the view measures with (the screen's unless replaced; tests
    // and off-screen views install their own).
    TCanvas& Canvas();
    void SetCanvas(std::unique_ptr<TCanvas> canvas);

    // ---- painting --------------------------------------------------------
    // Draws the client area clip (client coordinates) onto canvas, whose
    // origin stands for clip's top-left corner.
    void PaintArea(TCanvas& canvas, const TRect& clip);
    // Background of the client area r into canvas (origin = r's top-left).
    void DrawBackground(TCanvas& canvas, const TRect& r, int clientHeight, int clientWidth);
    void InvalidateJump(int id);
    int FindFirstVisibleLine(int y) const;

    // ---- selection (kept across layout) ----------------------------------
    void Deselect();
    void SelectAll();
    bool SelectionExists() const;
    TDVSelectionBounds GetSelectionBounds() const;
    TDVPosition SelectionStart() const { return FSelStart; }
    TDVPosition SelectionEnd() const { return FSelEnd; }
    // Sets both ends directly (no event, no repaint).
    void SetSelection(TDVPosition start, TDVPosition end);

    // ---- highlights and places of items (DocViewHighlight.cpp) -----------
    // Replaces the highlights and repaints. They stay until replaced or the
    // document is cleared; a layout keeps them (they follow the items).
    void SetHighlights(std::vector<TDVHighlight> highlights);
    void ClearHighlights() { SetHighlights({}); }
    const std::vector<TDVHighlight>& Highlights() const { return FHighlights; }
    // The drawn-line position before character `index` (from 0) of a text
    // item, or of an image item; Line -1 when the item has no drawn line.
    TDVPosition ItemPosition(int item, int index) const;
    // Selects characters [from, to) of a text item (no OnSelect) and repaints.
    void SelectItemRange(int item, int from, int to);
    // Brings character `index` of an item into the window: to its top with
    // `toTop`, otherwise only if it is not in the window yet, then about a
    // third down. False when the item has no drawn line.
    bool ShowItem(int item, int index, bool toTop);

    int HoveredJump() const { return FHoveredJump; }
    bool HoverDrawn() const { return FHoverDrawn; }
    // Marks jump id as hovered, repainting what changes.
    void SetHoveredJump(int id);

    // ---- hit-testing, selection with the mouse, copying -----------------
    // The drawn line whose rectangle holds document point (x, y) (left and
    // top edges in, right and bottom edges out); -1 if none.
    int FindDrawLineAt(int x, int y) const;
    // The selection position for document point (x, y). line becomes -1 when
    // there are no drawn lines; a point between two pieces of one row leaves
    // (offset, line) as they were passed in.
    void FindSelectionPosition(int x, int y, int& offset, int& line) const;
    // The selected text, items joined with CR LF where an item starts a new
    // line; empty without a selection.
    std::string GetSelectedText() const;
    // Puts the selected text on the clipboard with the platform's line ends;
    // without a selection the clipboard is left alone.
    void CopySelection();
    // Selects the word under client point (x, y) as a double click does: the
    // run of non-delimiters around the character there. False (nothing
    // changed) over a delimiter, an image or empty space.
    bool SelectWordAt(int x, int y);
    // The word under the last press (or release) point: the whole piece for
    // images, the run of non-delimiters for text (empty on a delimiter).
    // False over empty space.
    bool GetWordAtMouse(std::string& word, int& styleNo) const;
    // The jump area hit by client point (x, y), edges included; -1 if none.
    int JumpAt(int x, int y) const;
    bool Selecting() const { return FSelecting; }
    int PressedJump() const { return FPressedJump; }
    // Units the auto-scroll timer moves per tick (-10, -1, 0, 1, 10).
    int AutoScrollStep() const { return FAutoScrollStep; }
    bool AutoScrollRunning() const { return FScrollTimer != nullptr; }
    // One tick of the auto-scroll timer (100 ms while a drag is in progress).
    void AutoScrollTick();

    // ---- export ----------------------------------------------------------
    // Writes the document as HTML with its images as bitmap files beside it
    // (imagesPrefix + a number + ".bmp"). False without a style or on any
    // error; the HTML file itself is replaced only when it was written whole.
    // The title is Windows-1250 like the items.
    bool SaveHTML(const QString& fileName, const std::string& title, const std::string& imagesPrefix,
                  bool overwriteImages, TDVTextEncoding encoding = dvteWindows1250);
    // Named anchors the HTML export writes before items ("<A name="...">
    // </A>"), so that other pages can link to a place of this one: pairs of
    // item index and name, in any order. They last until the next Clear or
    // SetAnchors and play no part on the screen.
    void SetAnchors(std::vector<std::pair<int, std::string>> anchors);
    const std::vector<std::pair<int, std::string>>& Anchors() const { return FAnchors; }
    // One line per paragraph, centred lines padded to lineWidth, breaks as a
    // row of dashes. False on any error (the target is then left untouched).
    bool SaveText(const QString& fileName, int lineWidth, TDVTextEncoding encoding = dvteWindows1250);
    // The next free image name in folder path (which ends in a separator).
    virtual void GetNextImageFileName(const QString& path, QString& name);
    // Writes graphic as a bitmap file named by GetNextImageFileName; fileName
    // gets the name without the folder. False when it cannot be written.
    virtual bool SaveImage(const QString& path, QString& fileName, const QImage& graphic);

    // ---- properties ------------------------------------------------------
    TDVStyle* Style() const { return FStyle.data(); }
    void SetStyle(TDVStyle* style) { FStyle = style; }
    int FirstJumpNo() const { return FFirstJumpNo; }
    void SetFirstJumpNo(int n) { FFirstJumpNo = n; }
    int MaxTextWidth() const { return FMaxTextWidth; }
    void SetMaxTextWidth(int w) { FMaxTextWidth = w; }
    int MinTextWidth() const { return FMinTextWidth; }
    void SetMinTextWidth(int w) { FMinTextWidth = w; }
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int m) { FLeftMargin = m; }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int m) { FRightMargin = m; }
    const QImage& BackgroundBitmap() const { return FBackgroundBitmap; }
    void SetBackgroundBitmap(const QImage& bitmap);
    TBackgroundStyle BackgroundStyle() const { return FBackgroundStyle; }
    void SetBackgroundStyle(TBackgroundStyle style);
    const std::string& Delimiters() const { return FDelimiters; }
    void SetDelimiters(const std::string& d) { FDelimiters = d; }
    bool AllowSelection() const { return FAllowSelection; }
    void SetAllowSelection(bool on) { FAllowSelection = on; }
    bool SingleClick() const { return FSingleClick; }
    void SetSingleClick(bool on) { FSingleClick = on; }

    // ---- events (sender first; ids already include FirstJumpNo) -----------
    std::function<void(TDocView* sender, int id)> OnJump;
    std::function<void(TDocView* sender, int id)> OnDVMouseMove; // -1: over no jump
    std::function<void(TDocView* sender, const std::string& path, QWidget* saveMe,
                       TDVSaveFormat format, std::string& outStr)> OnSaveComponentToFile;
    std::function<void(TDocView* sender, int id, std::string& url)> OnURLNeeded;
    std::function<void(TDocView* sender, const std::string& clickedWord, int style)> OnDVDblClick;
    std::function<void(TDocView* sender, const std::string& clickedWord, int style, int x, int y)> OnDVRightClick;
    std::function<void(TDocView* sender)> OnSelect;
    std::function<void(TDocView* sender)> OnResized;
    // The control's own events: a click (left press and release on the view),
    // any key (after the view has scrolled for it), and the raw mouse events
    // in client coordinates.
    std::function<void(TDocView* sender)> OnClick;
    std::function<void(TDocView* sender, int key, Qt::KeyboardModifiers mods)> OnKeyDown;
    std::function<void(TDocView* sender, Qt::MouseButton button, int x, int y)> OnMouseDown;
    std::function<void(TDocView* sender, int x, int y)> OnMouseMove;
    std::function<void(TDocView* sender, Qt::MouseButton button, int x, int y)> OnMouseUp;
    std::function<void(TDocView* sender)> OnDblClick;

    QSize sizeHint() const override { return QSize(100, 40); }

protected:
    // For a derived view that borrows another view's items (the printable
    // copy): drops its own list and marks the view as sharing.
    void MarkSharing();
    // Appends any item, the reserved kinds included.
    void AddItem(const std::string& text, const TLineInfo& info);

    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void RepaintAll() override;

private:
    struct ItemBounds {
        int FirstItem = -1, FirstPos = 0, LastItem = -1, LastPos = 0;
    };
    void DoFormatPass(bool keepScrollPos, TCanvas& canvas, int pass);
    void LayoutItems(TCanvas& canvas);
    void PlaceControls();
    ItemBounds SaveSelection() const;
    void RestoreSelection(const ItemBounds& b);
    TDVPosition PlaceOnItem(int item, int pos) const;
    void UpdateScrollByRepaint();
    // The item a drawn line comes from; null when the item is gone (a
    // borrowed list emptied by its owner since the last layout).
    const TLineInfo* ItemOf(int itemNo) const;
    void PaintText(TCanvas& canvas, int i, int x, int y, const TDVSelectionBounds& sel);
    void PaintHighlights(TCanvas& canvas, int i, int x, int y);
    void PaintNoStyle(TCanvas& canvas, const TRect& clip);
    void PointerMoved(int x, int y);
    void PointerLeft();
    void LeftPressed(int x, int y);
    void Released(Qt::MouseButton button, int x, int y);
    void DoubleClicked();
    // The row of drawn lines around line a (lines overlapping it vertically).
    void RowAround(int a, int& first, int& last) const;
    // Characters of drawn text line i that fit into width w, in its font.
    int FitInLine(int i, int w) const;
    // The word of drawn text line i at document x: its first and last
    // character (0-based). False on a delimiter or for a line without text.
    bool WordBounds(int i, int x, int& first, int& last) const;
    // A layout a zoom change left for the next showing, done now.
    void ApplyPendingLayout();
    bool WriteHTML(const QString& fileName, const std::string& title, TDVTextEncoding encoding);

    TItemList* FItems;
    std::unique_ptr<TItemList> FOwnItems;
    bool FSharing = false;
    QMetaObject::Connection FShareConnection;

    std::vector<TDrawLine> FDrawLines;
    std::vector<TJumpInfo> FJumps;
    std::vector<TCheckpoint> FCheckpoints;
    int FTextWidth = -1;
    int FDocumentHeight = 0;
    int FJumpCounter = 0;
    int FFormatOptions = foAll;
    bool FFormatting = false;
    std::unique_ptr<TCanvas> FCanvas;

    std::vector<TDVHighlight> FHighlights;   // sorted by item and start

    TDVPosition FSelStart;
    TDVPosition FSelEnd;
    bool FSelecting = false;
    QTimer* FScrollTimer = nullptr;
    int FHoveredJump = -1;
    bool FHoverDrawn = false;
    int FPressedJump = -1;
    int FAutoScrollStep = 0;
    QPoint FLastPress;
    QPoint FLastMove;
    bool FLeftDown = false; // a left press on the view awaits its release (a click)
    bool FJumpCursorShown = false;
    std::vector<std::pair<int, std::string>> FAnchors; // sorted by item
    // Export state, set at the start of every SaveHTML.
    std::string FImagesPrefix;
    int FImageCounter = 0;
    bool FOverwriteImages = false;

    QPointer<TDVStyle> FStyle;
    int FFirstJumpNo = 0;
    int FMaxTextWidth = 0;
    int FMinTextWidth = 0;
    int FLeftMargin = 5;
    int FRightMargin = 5;
    QImage FBackgroundBitmap;
    TBackgroundStyle FBackgroundStyle = bsNoBitmap;
    std::string FDelimiters = " .;,:(){}\"";
    bool FAllowSelection = true;
    bool FSingleClick = false;
    int FZoom = 100;
    bool FLayoutPending = false;
    TDVAnchor FPendingAnchor;
    // The window's top moves in whole scroll units, so a line brought to the
    // top may stand a little below it, under part of the line before. The
    // anchor it was brought there for stays the top anchor until the view
    // scrolls or is laid out again; repeated zooms do not creep upwards.
    unsigned FLayoutNo = 0;
    TDVAnchor FTopMemo;
    int FTopMemoVPos = -1;
    unsigned FTopMemoLayout = 0;
};
