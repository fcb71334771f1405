#pragma once
// The tab strip of the open documents: a set of sheets, one tab per visible
// sheet, the active sheet's contents below the tabs, and veto events for
// changing and closing tabs.
//
// The tabs themselves are a QTabBar (the platform's tab control); around it
// TCustomTabExtControl keeps the tab list, the tab properties and the page
// area, and TPageExtControl adds the sheets, the active sheet, closing and
// keyboard handling. While OwnerDraw is on (CloseBtn turns it on) the bar
// draws only each tab's outline and leaves the rest to DrawTab: the strip's
// version paints the sheet's colours (plain or gradient), the centred
// caption, the image and a close button of its own, which the mouse presses
// on the bar hit-test. With TabDragDrop a press on a tab can drag it to
// another tab's place.
//
// Strings (captions) are Windows-1250 bytes, converted only when handed to
// the QTabBar.
//
// Events are std::function members whose first argument is the sender (the
// strip). Handlers run synchronously; a handler that throws while the strip
// is reacting to user input (mouse, keys, close button) does not unwind into
// Qt's event loop: the exception goes to the widget exception handler (see
// SetWidgetExceptionHandler). Calls made by the program propagate exceptions
// to their caller as usual.
#include "platform/core/Colors.h"
#include "platform/core/Exceptions.h"

#include <QImage>
#include <QPointer>
#include <QTabBar>
#include <QWidget>

#include <exception>
#include <functional>
#include <string>
#include <vector>

class QShortcut;
class TImageList;
class TCustomTabExtControl;
class TPageExtControl;
class TTabExtSheet;

// List errors (bad tab index, MultiLine against the tab position, PageIndex)
// and invalid operations (style against position, negative tab size).
LUMESTA_EXCEPTION(ETabListError, ELumestaError)
LUMESTA_EXCEPTION(ETabInvalidOperation, ELumestaError)

// What happens to an exception thrown by an event handler while the strip or
// a sheet is processing a Qt event. The application installs its own (a
// message box); the default writes the message to the Qt warning output.
using TWidgetExceptionHandler = std::function<void(const std::exception&)>;
void SetWidgetExceptionHandler(TWidgetExceptionHandler handler);
void HandleWidgetException(const std::exception& e);

enum TTabExtPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabExtStyle { tsTabs, tsButtons, tsFlatButtons };

using TTabNotifyEvent = std::function<void(QObject* Sender)>;
using TTabExtChangingEvent = std::function<void(QObject* Sender, bool& AllowChange)>;
using TDrawTabExtEvent =
    std::function<void(TCustomTabExtControl* Control, int TabIndex, const QRect& Rect, bool Active)>;
using TTabExtGetImageEvent = std::function<void(QObject* Sender, int TabIndex, int& ImageIndex)>;
using TTabClose = std::function<void(QObject* Sender, int TabIndex, bool& CanClose)>;
using TTabDelete = std::function<void(QObject* Sender, int TabIndex)>;
using TTabClick = std::function<void(QObject* Sender, int TabIndex)>;
// A mouse press on the tabs; X and Y in the control's coordinates.
using TTabMouseEvent =
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
// Whether a dragged Source may be dropped at (X, Y) of the control.
using TTabDragOverEvent = std::function<void(QObject* Sender, QObject* Source, int X, int Y, bool& Accept)>;
using TTabDragDropEvent = std::function<void(QObject* Sender, QObject* Source, int X, int Y)>;

enum TFillDirection { fdHorizontal, fdVertical };

// Fills Rect with 256 strips running from StartColor to EndColor, left to
// right (fdHorizontal) or top to bottom (fdVertical). System colours are
// resolved first. The strips are placed and coloured with truncating
// integer arithmetic, so a rectangle narrower than 256 pixels gets some
// strips of no width, which draw nothing.
void GradientFill(QPainter& Canvas, const QRect& Rect, TColor StartColor, TColor EndColor,
                  TFillDirection Direction);

// The colours of one sheet: its background and its tab's fill and caption.
// System colours are kept as such and resolved when drawn.
class TTabColors {
public:
    explicit TTabColors(TTabExtSheet* owner = nullptr) : FOwner(owner) {}

    TColor Color() const { return FColor; }
    TColor ActiveFontColor() const { return FActiveFontColor; }
    TColor InActiveFontColor() const { return FInActiveFontColor; }
    TColor ActiveFill1() const { return FActiveFill1; }
    TColor ActiveFill2() const { return FActiveFill2; }
    TColor InActivefill1() const { return FInActivefill1; }
    TColor InActivefill2() const { return FInActivefill2; }

    void SetColor(TColor value);
    void SetActiveFontColor(TColor value);
    void SetInActiveFontColor(TColor value);
    void SetActiveFill1(TColor value);
    void SetActiveFill2(TColor value);
    void SetInActivefill1(TColor value);
    void SetInActivefill2(TColor value);

    // Copies the seven colours (not the owner) and repaints once.
    void Assign(const TTabColors& source);

private:
    void SheetChanged();
    void TabsChanged();

    TTabExtSheet* FOwner;
    TColor FColor = clBtnFace;
    TColor FActiveFontColor = clCaptionText;
    TColor FInActiveFontColor = clInactiveCaptionText;
    TColor FActiveFill1 = clActiveCaption;
    TColor FActiveFill2 = clGradientActiveCaption;
    TColor FInActivefill1 = clInactiveCaption;
    TColor FInActivefill2 = clGradientInactiveCaption;
};

// The tabs as a list of strings, each with an object (for the strip, the
// tab's sheet). Every failing call throws ETabListError.
class TTabExtStrings {
public:
    explicit TTabExtStrings(TCustomTabExtControl* control) : FControl(control) {}

    int Count() const;
    std::string Get(int index) const;
    QObject* GetObject(int index) const;
    void Put(int index, const std::string& text);
    void PutObject(int index, QObject* object);
    void Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }
    void InsertObject(int index, const std::string& text, QObject* object);
    int Add(const std::string& text) { return AddObject(text, nullptr); }
    int AddObject(const std::string& text, QObject* object);
    void Delete(int index);
    void Clear();
    void Move(int curIndex, int newIndex);
    int IndexOf(const std::string& text) const;
    int IndexOfObject(const QObject* object) const;
    // Batches changes: no repaint and no re-layout until the matching
    // EndUpdate.
    void BeginUpdate();
    void EndUpdate();

private:
    void Changed();

    TCustomTabExtControl* FControl;
    int FUpdateCount = 0;
};

// The tab list, the tab properties and the page area.
class TCustomTabExtControl : public QWidget {
    Q_OBJECT
public:
    explicit TCustomTabExtControl(QWidget* parent = nullptr);
    ~TCustomTabExtControl() override;

    virtual const char* ClassName() const { return "TCustomTabExtControl"; }

    TTabExtStrings& TabTexts() { return FTabs; }
    const TTabExtStrings& TabTexts() const { return FTabs; }

    // The selected tab, -1 for none.
    int TabIndex() const;
    // Selects a tab without raising OnChanging or OnChange. -1 selects none;
    // an index outside the tabs is ignored.
    virtual void SetTabIndex(int value);

    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    TImageList* Images() const { return FImages; }
    // The list is not owned; it must outlive its use here (set none before
    // destroying it). Call again after changing the list's images.
    void SetImages(TImageList* value);
    // MultiLine, RaggedRight and ScrollOpposite are kept, checked against
    // the tab position and reported back, but the platform's bar has one
    // row of tabs (scroll buttons when they do not fit): none of the three
    // changes how the tabs are laid out or drawn.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool value);
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool value);
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool value);
    TTabExtStyle Style() const { return FStyle; }
    void SetStyle(TTabExtStyle value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int value);
    TTabExtPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabExtPosition value);

    // Rectangle of tab i in the control's coordinates; empty when there is
    // no such tab.
    QRect TabRect(int i) const;
    // Index of the tab under a point of the control, -1 if none.
    int IndexOfTabAt(const QPoint& p) const;
    // The client rectangle less the tabs and the frame around the pages.
    QRect DisplayRect() const;
    // The rectangle the sheets fill.
    virtual QRect PageRect() const;

    QTabBar* NativeBar() const { return FBar; }

    TTabNotifyEvent OnChange;
    TTabExtChangingEvent OnChanging;
    TDrawTabExtEvent OnDrawTabExt;
    TTabExtGetImageEvent OnGetImageIndex;

    // Called on every mouse press on the tabs (after a left press has
    // selected the tab under the pointer); while it is assigned the strip
    // neither closes nor reports nor drags tabs on a press.
    TTabMouseEvent OnMouseDown;

    virtual bool IsTabEnabled(int TabIndex) const;
    // Paints one tab while the tabs are owner-drawn. Rect is the tab's
    // rectangle in the native bar's coordinates; the canvas paints on the
    // bar, with the control's font and brush set.
    virtual void DrawTab(QPainter& canvas, int TabIndex, const QRect& Rect, bool Active);
    virtual int TabImageIndex(int TabIndex) const;
    virtual bool AllowTabChange();
    virtual void NotifyChange();

protected:
    friend class TTabExtStrings;
    friend class TNativeTabBar;

    // Whether the tabs are painted by DrawTab rather than by the platform.
    virtual bool PaintsTabsItself() const { return FOwnerDraw; }

    // A user's choice of a tab: asks AllowTabChange, selects, NotifyChange.
    // Returns whether the tab was selected.
    bool SelectByUser(int index);
    // Keyboard accelerator (a letter marked with & in a caption); true when
    // a tab took the key.
    virtual bool DialogChar(QChar c);
    // Mouse hooks of the tabs, positions in the control's coordinates.
    // TabMouseDown runs after a left press has selected the tab under the
    // pointer, and only while OnMouseDown is unassigned.
    virtual void TabMouseDown(Qt::MouseButton button, const QPoint& pos);
    virtual void TabMouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    virtual void TabMouseUp(Qt::MouseButton button, const QPoint& pos);
    // The pointer left the tabs.
    virtual void TabMouseLeave();
    // Escape pressed on the tabs; true when it was used.
    virtual bool TabEscape();
    // Runs before the tabs are owner-drawn, outside any painting, so that
    // what changes the tabs' sizes happens before they are painted.
    virtual void PrepareOwnerDraw();

    // Places the tabs and the children after a change of size or tabs.
    virtual void Realign();
    void ApplyTabImages();
    void ApplyTabSize();
    // Gives each native tab the state IsTabEnabled reports. The native tab
    // holds its caption's accelerator key only while enabled, so a key no
    // tab may take goes on to the rest of the window.
    void ApplyTabEnabled();
    // Selection of the native tab without any notification.
    void SelectNative(int index);

    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    // Presses on the control around the tabs (its frame, an empty strip)
    // are handled as presses on the tabs.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

    // Nesting count of changes made by the program to the QTabBar, whose
    // own notifications are not user changes.
    int FNativeGuard = 0;

private:
    void BarCurrentChanged();
    QRect BarRect() const;

    TTabExtStrings FTabs;
    QTabBar* FBar = nullptr;
    bool FNoSelection = false;
    bool FHotTrack = false;
    TImageList* FImages = nullptr;
    bool FMultiLine = false;
    bool FOwnerDraw = false;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    TTabExtStyle FStyle = tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
    TTabExtPosition FTabPosition = tpTop;
};

// One sheet of the strip. It holds one control (later a document view) that
// fills it.
class TTabExtSheet : public QWidget {
    Q_OBJECT
public:
    // The owner becomes the Qt parent (and frees the sheet with itself)
    // until the sheet joins a strip, which then owns it.
    explicit TTabExtSheet(QWidget* owner = nullptr);
    ~TTabExtSheet() override;

    TPageExtControl* HostStrip() const { return FHostStrip; }
    // Joins the sheet to a strip (as its last sheet) or, with none, takes
    // it out of its strip. A sheet taken out stays hidden, still a Qt child
    // of the strip, which frees it with itself unless the program deletes it
    // earlier.
    void SetHostStrip(TPageExtControl* strip);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    // Position in the strip's Sheets, -1 when not in a strip.
    int PageIndex() const;
    // Moves the sheet (and its tab) within the strip. Throws ETabListError
    // for a position outside 0..SheetCount-1.
    void SetPageIndex(int value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool value);
    bool TabShowing() const { return FTabShowing; }
    // Index of the sheet's tab, -1 without one.
    int TabNumber() const;

    TTabColors& Colors() { return FColors; }
    const TTabColors& Colors() const { return FColors; }
    void SetColors(const TTabColors& value) { FColors.Assign(value); }

    // The control filling the sheet (reparented to it), or none.
    QWidget* Control() const { return FControl; }
    void SetControl(QWidget* control);

    TTabNotifyEvent OnShow;
    TTabNotifyEvent OnHide;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    friend class TPageExtControl;
    friend class TTabColors;
    void SetTabShowing(bool value);
    void UpdateBackground();
    void UpdateTab();

    TPageExtControl* FHostStrip = nullptr;
    std::string FCaption;
    bool FHighlighted = false;
    int FImageIndex = 0;
    bool FTabVisible = true;
    bool FTabShowing = false;
    TTabColors FColors{this};
    QPointer<QWidget> FControl;
};

class TPageExtControl : public TCustomTabExtControl {
    Q_OBJECT
public:
    explicit TPageExtControl(QWidget* parent = nullptr);
    ~TPageExtControl() override;

    const char* ClassName() const override { return "TPageExtControl"; }

    // Close button geometry: a 12-pixel button with a 4-pixel margin on
    // either side, a 20-pixel zone at the end of the tab.
    static constexpr int CloseBtnSize = 12;
    static constexpr int CloseBtnMargin = 4;
    static constexpr int CloseBtnZone = CloseBtnSize + 2 * CloseBtnMargin;

    int SheetCount() const { return int(FPages.size()); }
    // Sheets[i]; none for an index outside the list.
    TTabExtSheet* Sheets(int i) const;
    int ActiveSheetIndex() const;
    TTabExtSheet* ActivePage() const { return FActivePage; }
    // Makes a sheet of this strip active (none: no active sheet) without
    // raising OnChanging or OnChange; a sheet of another strip is ignored.
    void SetActivePage(TTabExtSheet* page);
    // The sheet whose tab has this index, or none.
    TTabExtSheet* SheetOfTab(int tabIndex) const;

    void SetTabIndex(int value) override;

    // The sheet after (or before) `from` in Sheets, wrapping around; with
    // checkTabVisible only sheets with TabVisible count. `from` itself comes
    // last; none when nothing qualifies.
    TTabExtSheet* FindNextSheet(TTabExtSheet* from, bool goForward, bool checkTabVisible) const;
    // What Control+Tab (forward) and Control+Shift+Tab do: the next sheet
    // with a tab becomes active, if OnChanging allows, followed by OnChange.
    void SelectNextPage(bool goForward);
    // What the close button of a tab does: OnTabClose decides; if it allows,
    // the tab's sheet leaves the strip (OnTabDelete, then a new active
    // sheet). Returns whether the sheet left, also when the handler took it
    // out or freed it itself. An index with no tab does nothing.
    bool CloseTab(int tabIndex);

    // Close buttons drawn at the right end of every tab (the upper end on
    // the left, the lower end on the right). The tab's caption carries five
    // trailing blanks from its first painting on, so that the tab, which
    // sizes itself to its text, has room for the button.
    bool CloseBtn() const { return FCloseBtn; }
    // Also sets OwnerDraw to the same value.
    void SetCloseBtn(bool value);
    // The close button of a tab in the native bar's coordinates: with Big
    // the whole 20-pixel zone at the end of the tab, otherwise a 12 x 12
    // square in it; an empty rectangle without such a tab. Drawing and
    // hit-testing use the same rectangle.
    QRect CloseButtonRect(int TabIndex, bool Big) const;
    // Whether the pointer was last seen over the selected tab's close
    // button; every close button is drawn hot while this is set.
    bool CloseBtnHot() const { return FCloseHot; }
    // Whether a tab is being dragged (past the drag threshold).
    bool Dragging() const { return FDragging; }
    bool SmallCloseBtn() const { return FSmallCloseBtn; }
    void SetSmallCloseBtn(bool value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool TabFillGradient() const { return FTabFillGradient; }
    void SetTabFillGradient(bool value);
    bool TabDragDrop() const { return FTabDragDrop; }
    void SetTabDragDrop(bool value) { FTabDragDrop = value; }
    // Drawn stretched over the strip while no tab is selected.
    const QImage& Picture() const { return FPicture; }
    void SetPicture(const QImage& value);

    QRect PageRect() const override;

    TTabClose OnTabClose;
    TTabDelete OnTabDelete;
    TTabClick OnTabClick;
    // Decides whether a drag may be dropped on the strip; unassigned, every
    // drag is accepted.
    TTabDragOverEvent OnDragOver;
    // Replaces the strip's own drop handling (moving the dragged tab).
    TTabDragDropEvent OnDragDrop;

    bool IsTabEnabled(int TabIndex) const override;
    // Colours, fill, caption, image and close button of one tab.
    void DrawTab(QPainter& canvas, int TabIndex, const QRect& Rect, bool Active) override;
    int TabImageIndex(int TabIndex) const override;
    void NotifyChange() override;

protected:
    bool PaintsTabsItself() const override;
    bool DialogChar(QChar c) override;
    void TabMouseDown(Qt::MouseButton button, const QPoint& pos) override;
    void TabMouseMove(Qt::MouseButtons buttons, const QPoint& pos) override;
    void TabMouseUp(Qt::MouseButton button, const QPoint& pos) override;
    void TabMouseLeave() override;
    bool TabEscape() override;
    void PrepareOwnerDraw() override;
    void Realign() override;
    void paintEvent(QPaintEvent* e) override;

    // Makes the sheet of the selected tab active (none without one).
    void SyncActivePage();

private:
    friend class TTabExtSheet;
    void InsertSheet(TTabExtSheet* page);
    void RemoveSheet(TTabExtSheet* page);
    void InsertTab(TTabExtSheet* page);
    void DeleteTab(TTabExtSheet* page, int tabIndex);
    void MoveTab(int curIndex, int newIndex);
    void MovePage(TTabExtSheet* page, int newIndex);
    // The caption a tab shows: trimmed, with room for the close button.
    std::string DrawnCaption(const std::string& caption) const;
    // Writes DrawnCaption back to the sheet when it differs.
    void ApplyDrawnCaption(TTabExtSheet* page);
    // The end of a drag: over the strip and accepted, the drop.
    void EndDrag(const QPoint& pos, bool drop);
    // Whether a drag over pos (control coordinates) may drop there.
    bool DragOverAt(const QPoint& pos);
    void DropAt(const QPoint& pos);

    std::vector<TTabExtSheet*> FPages;
    TTabExtSheet* FActivePage = nullptr;
    // Set while the active sheet is being changed, so that selecting its tab
    // does not activate a sheet again.
    bool FChangingActive = false;
    bool FCloseBtn = false;
    bool FSmallCloseBtn = true;
    bool FFlat = false;
    bool FTabFillGradient = false;
    bool FTabDragDrop = false;
    QImage FPicture;
    bool FCloseHot = false;
    // A press that may become a drag, where it was and with which button.
    bool FDragPending = false;
    bool FDragging = false;
    Qt::MouseButton FDragButton = Qt::NoButton;
    QPoint FDragStart;
    QShortcut* FNextShortcut = nullptr;
    QShortcut* FPrevShortcut = nullptr;
    QShortcut* FPrevShortcut2 = nullptr;
};
