// TDocView: painting the laid-out document, background and hover.
#include "view/DocView.h"

#include "platform/QtCanvas.h"
#include "platform/QtText.h"
#include "platform/core/Exceptions.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

void TDocView::paintEvent(QPaintEvent* e)
{
    const QRect r = e->rect();
    if (r.isEmpty())
        return;
    QPainter p(viewport());
    p.setClipRect(r);
    p.translate(r.left(), r.top());
    TQtCanvas canvas(&p, Canvas().DpiX(), Canvas().DpiY());
    PaintArea(canvas, TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
}

void TDocView::resizeEvent(QResizeEvent* e)
{
    TDVScroller::resizeEvent(e);
    if (FLayoutPending)
        ApplyPendingLayout();
    else
        DoFormat(true, Canvas());
    if (OnResized)
        OnResized(this);
}

void TDocView::showEvent(QShowEvent* e)
{
    TDVScroller::showEvent(e);
    ApplyPendingLayout();
}

void TDocView::PaintNoStyle(TCanvas& canvas, const TRect& clip)
{
    canvas.FillRect(TRect{0, 0, clip.Width(), clip.Height()}, FStyle ? FStyle->Color() : clWindow);
    canvas.SetFont(TFontDesc{"MS Sans Serif", 8, DEFAULT_CHARSET, 0, clWindowText});
    canvas.TextOut(1 - clip.Left, 1 - clip.Top, "Error: style is not assigned", clWindowText);
    canvas.FrameRect(TRect{-clip.Left, -clip.Top, ClientWidth() - clip.Left, ClientHeight() - clip.Top},
                     clWindowText);
}

void TDocView::DrawBackground(TCanvas& canvas, const TRect& r, int clientHeight, int clientWidth)
{
    if (!FStyle)
        return;
    const QImage& bmp = FBackgroundBitmap;
    const int bw = bmp.width();
    const int bh = bmp.height();
    if (FBackgroundStyle == bsNoBitmap || bmp.isNull() || bw <= 0 || bh <= 0) {
        canvas.FillRect(TRect{0, 0, r.Width(), r.Height()}, FStyle->Color());
        return;
    }
    switch (FBackgroundStyle) {
    case bsStretched:
        // Fixed to the window: the whole client area, seen through r.
        canvas.StretchImage(TRect{-r.Left, -r.Top, clientWidth - r.Left, clientHeight - r.Top}, bmp);
        break;
    case bsTiled:
        for (int row = r.Top / bh; row <= r.Bottom / bh; ++row)
            for (int col = r.Left / bw; col <= r.Right / bw; ++col)
                canvas.DrawImage(col * bw - r.Left, row * bh - r.Top, bmp);
        break;
    case bsTiledAndScrolled: {
        // Fixed to the document: tiles move with the text.
        const int docY = VPos() * ScrollUnit();
        for (int row = (docY + r.Top) / bh; row <= (docY + r.Bottom) / bh; ++row)
            for (int col = (r.Left + HPos()) / bw; col <= (r.Right + HPos()) / bw; ++col)
                canvas.DrawImage(col * bw - HPos() - r.Left, row * bh - docY - r.Top, bmp);
        break;
    }
    case bsNoBitmap:
        break;
    }
}

int TDocView::FindFirstVisibleLine(int y) const
{
    const int n = int(FDrawLines.size());
    if (n == 0 || FDrawLines[0].Info.Top >= y)
        return 0;
    // A drawn line starting at or after y (tops grow from visual line to
    // visual line, if not strictly within one).
    int lo = 0, hi = n - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (FDrawLines[size_t(mid)].Info.Top < y)
            lo = mid + 1;
        else
            hi = mid;
    }
    int i = lo;
    // Back to the start of its visual line, then over the whole visual line
    // before it, and one piece more: a grown line's tall pieces may reach up
    // into the area from there.
    auto lineStart = [&](int k) {
        while (k > 0 && !FDrawLines[size_t(k)].Info.FromNewLine)
            --k;
        return k;
    };
    i = lineStart(i) - 1;
    if (i < 0)
        return 0;
    i = lineStart(i) - 1;
    return std::max(0, i);
}

void TDocView::PaintArea(TCanvas& canvas, const TRect& clip)
{
    if (!FStyle) {
        PaintNoStyle(canvas, clip);
        return;
    }
    const TDVSelectionBounds sel = GetSelectionBounds();
    DrawBackground(canvas, clip, ClientHeight(), ClientWidth());

    const int docY = VPos() * ScrollUnit();
    const int offY = docY + clip.Top;
    const int offX = clip.Left + HPos();
    const int clipTop = clip.Top + docY;
    const int clipBottom = clip.Bottom + docY;
    const int n = int(FDrawLines.size());
    bool bottomPassed = false;
    for (int i = FindFirstVisibleLine(clipTop); i < n; ++i) {
        const TDrawLineInfo& d = FDrawLines[size_t(i)].Info;
        if (bottomPassed && i > 0 && (d.FromNewLine || FDrawLines[size_t(i - 1)].Info.Left >= d.Left))
            break; // a new visual line begins below the area
        if (d.Top >= clipBottom)
            bottomPassed = true; // the rest of this visual line is still drawn
        const int x = d.Left - offX;
        const int y = d.Top - offY;
        const TLineInfo* item = ItemOf(d.ItemNo);
        if (!item)
            continue;
        const TLineInfo& li = *item;
        switch (li.StyleNo) {
        case rvsHotSpot:
        case rvsBullet:
            if (li.ImageList) {
                const bool selected = sel.FirstLine <= i && i <= sel.LastLine && sel.FirstLine != -1 &&
                                      !(i == sel.LastLine && sel.LastOffset == 0);
                li.ImageList->Draw(canvas, x, y, li.ImageIndex, selected, FStyle->SelColor());
            }
            break;
        case rvsPicture:
            if (li.Picture)
                canvas.DrawImage(x, y, *li.Picture);
            break;
        case rvsBreak:
            canvas.Line(x + 5, y + 5, HMax() - offX - FRightMargin - 5, y + 5,
                        FStyle->TextStyles().Items(0).Color);
            break;
        case rvsCheckpoint:
        case rvsComponent:
            break;
        default:
            if (li.StyleNo >= 0) {
                if (!FHighlights.empty())
                    PaintHighlights(canvas, i, x, y);
                PaintText(canvas, i, x, y, sel);
            }
            break;
        }
    }
}

void TDocView::PaintText(TCanvas& canvas, int i, int x, int y, const TDVSelectionBounds& sel)
{
    const TDrawLine& dl = FDrawLines[size_t(i)];
    const TLineInfo& li = (*FItems)[size_t(dl.Info.ItemNo)].Info;
    const TFontInfo& fi = FStyle->TextStyles().Items(li.StyleNo);
    canvas.SetFont(StyleFont(li.StyleNo));
    const bool hovered = IsJumpStyle(li.StyleNo) && FHoverDrawn && li.ImageIndex == FHoveredJump;
    const TColor normal = hovered ? FStyle->HoverColor() : fi.Color;
    const TColor selText = hovered ? FStyle->HoverColor() : FStyle->SelTextColor();
    const TColor selBack = FStyle->SelColor();
    const std::string_view s = dl.Text;
    const int n = int(s.size());
    const int f = sel.FirstLine, l = sel.LastLine;

    if (f == -1 || i < f || i > l) {
        canvas.TextOut(x, y, s, normal);
        return;
    }
    if ((f < i && i < l) || (i == f && f != l && sel.FirstOffset <= 1) || (i == l && l != f && n < sel.LastOffset)) {
        canvas.TextOut(x, y, s, selText, selBack);
        return;
    }
    // Offsets are 1-based: k lies before character k.
    const int fo = std::clamp(sel.FirstOffset, 1, n + 1);
    const int lo = std::clamp(sel.LastOffset, 1, n + 1);
    auto part = [&](int from, int to, bool selected) { // characters from .. to - 1
        if (to <= from)
            return;
        const std::string_view t = s.substr(size_t(from - 1), size_t(to - from));
        const int px = x + canvas.TextWidth(s.substr(0, size_t(from - 1)));
        if (selected)
            canvas.TextOut(px, y, t, selText, selBack);
        else
            canvas.TextOut(px, y, t, normal);
    };
    if (i == f) {
        part(1, fo, false);
        if (i == l && sel.LastOffset <= n) {
            part(fo, lo, true);
            part(lo, n + 1, false);
        } else {
            part(fo, n + 1, true);
        }
    } else { // i == l, f != l
        part(1, lo, true);
        part(lo, n + 1, false);
    }
}

void TDocView::RepaintAll()
{
    // A layout scrolls back to its old place before the selection is mapped
    // onto the new lines; it repaints once it is done.
    if (FFormatting)
        viewport()->update();
    else
        TDVScroller::RepaintAll();
}

void TDocView::InvalidateJump(int id)
{
    // The hover follows the pointer: the change is painted before returning.
    if (FStyle && FStyle->FullRedraw()) {
        viewport()->repaint();
        return;
    }
    const int docY = VPos() * ScrollUnit();
    QRegion area;
    for (const TJumpInfo& a : FJumps) {
        if (a.Id != id)
            continue;
        const int l = a.Left - HPos() - 5;
        const int t = a.Top - docY - 5;
        const int r = a.Left + a.Width - HPos() + 5;
        const int b = a.Top + a.Height - docY + 5;
        area += QRect(l, t, r - l, b - t);
    }
    if (!area.isEmpty())
        viewport()->repaint(area);
}
