#pragma once
// A window with both scroll bars that keeps a horizontal position in pixels
// and a vertical one in scroll units, moves its pixels and child controls when
// it scrolls, and maps keys and the wheel to scrolling.
#include <QAbstractScrollArea>
#include <functional>

class TDVScroller : public QAbstractScrollArea {
    Q_OBJECT
public:
    // What a scroll request asks for (the scroll bar's own actions, keys).
    enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom };

    explicit TDVScroller(QWidget* parent = nullptr);
    ~TDVScroller() override;

    // Scroll while the thumb is dragged (default true).
    bool Tracking() const { return FTracking; }
    void SetTracking(bool on);
    // Show the vertical scroll bar (default true).
    bool VScrollVisible() const { return FVScrollVisible; }
    void SetVScrollVisible(bool visible);

    // Fired after the vertical position changed.
    std::function<void(TDVScroller* sender)> OnVScrolled;

    // Pixels per vertical scroll unit: 10 at first, larger for long documents.
    int ScrollUnit() const { return FScrollUnit; }
    int HPos() const { return FHPos; }
    int VPos() const { return FVPos; }
    int HMax() const { return FHMax; }
    int VMax() const { return FVMax; }

    int VScrollPos() const { return FVPos; }
    void SetVScrollPos(int pos) { VScrollTo(pos); }
    // The largest position the vertical bar accepts.
    int VScrollMax() const;

    // Document width in pixels and height in scroll units.
    void UpdateScrollBars(int docWidth, int docHeightUnits);
    // Moves to a position (clamped by the bar); pixels and children follow.
    void VScrollTo(int pos);
    void HScrollTo(int pos);
    // Brings document y to the top of the window as far as the range allows.
    void ScrollTo(int y) { VScrollTo(y / FScrollUnit); }

    // A scroll request as a scroll bar or a key makes it; pos is used by
    // scPosition and scTrack.
    void VScrollRequest(TScrollCode code, int pos = 0);
    void HScrollRequest(TScrollCode code, int pos = 0);

    // The area the document is shown in (the viewport), also before the
    // widget is first shown.
    int ClientWidth() const;
    int ClientHeight() const;

protected:
    // Set for a background that stays fixed in the window: scrolling then
    // repaints the whole window instead of moving its pixels.
    void SetScrollByRepaint(bool on) { FScrollByRepaint = on; }
    bool ScrollByRepaint() const { return FScrollByRepaint; }
    // Layout of a long document makes the unit larger (never smaller).
    void SetScrollUnit(int unit) { FScrollUnit = unit; }
    // Both positions back to 0 without moving pixels or children (a new
    // layout follows and the whole window is repainted).
    void ResetScrollPositions();

    // Moves child controls of the viewport by (dx, dy); their document top is
    // kept in the property "dvTop".
    void ScrollChildren(int dx, int dy);
    // Repaints the whole window before returning (scrolling over a fixed
    // background).
    virtual void RepaintAll();

    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void BarAction(bool vertical, int action);
    void SyncFromBars();

    bool FTracking = true;
    bool FScrollByRepaint = false;
    bool FVScrollVisible = true;
    int FScrollUnit = 10;
    int FHPos = 0;
    int FVPos = 0;
    int FHMax = 0;
    int FVMax = 0;
    int FWheelPos = 0;
    int FWheelRest = 0; // part of a wheel turn too small to move a unit yet
    bool FSettingBars = false;
};
