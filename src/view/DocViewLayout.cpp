// TDocView: line layout (items -> drawn lines, jump areas, checkpoint Ys).
#include "view/DocView.h"

#include "platform/core/MulDiv.h"

#include <QTimer>
#include <algorithm>

namespace {
// Above this many units the scroll bar's range is kept near it by making the
// unit larger.
constexpr int MaxScrollUnits = 30000;
} // namespace

void TDocView::Format()
{
    // A layout asked for now supersedes one a zoom change left for later.
    FLayoutPending = false;
    DoFormat(false, Canvas());
}

void TDocView::DoFormat(bool keepScrollPos, TCanvas& canvas) { DoFormatPass(keepScrollPos, canvas, 0); }

void TDocView::ClearLayout()
{
    delete FScrollTimer;
    FScrollTimer = nullptr;
    FDrawLines.clear();
    FCheckpoints.clear();
    FJumps.clear();
    FJumpCounter = 0;
}

void TDocView::SyncJumps()
{
    for (TJumpInfo& j : FJumps) {
        const TDrawLineInfo& d = FDrawLines[size_t(j.DrawLineNo)].Info;
        j.Left = d.Left;
        j.Top = d.Top;
    }
}

void TDocView::DoFormatPass(bool keepScrollPos, TCanvas& canvas, int pass)
{
    if (ScrollUnit() == 0 || !FStyle || FFormatting || pass > 1)
        return;
    FFormatting = true;
    // A bad style number raises out of the layout; the view must not stay
    // locked in "layout in progress" afterwards.
    struct Unlock {
        bool& flag;
        ~Unlock() { flag = false; }
    } unlock{FFormatting};
    ItemBounds saved;
    if (pass == 0)
        saved = SaveSelection();
    const int savedY = VPos() * ScrollUnit();

    const int screenX = Canvas().DpiX();
    const int canvasX = canvas.DpiX();
    int widest = 0;
    for (const TItem& it : *FItems) {
        const int k = it.Info.StyleNo;
        int w = 0;
        if (k == rvsPicture && (FFormatOptions & foPictures) && it.Info.Picture)
            w = it.Info.Picture->width();
        else if (k == rvsComponent && (FFormatOptions & foControls) && it.Info.Control)
            w = it.Info.Control->width();
        // Measured in canvas pixels, as the layout will place them.
        widest = std::max(widest, MulDiv(w, canvasX, screenX));
    }
    int w = std::max({ClientWidth() - FLeftMargin - FRightMargin, widest, 0});
    if (w < FMinTextWidth)
        w = FMinTextWidth;
    const int oldTextWidth = FTextWidth;
    FTextWidth = (FMaxTextWidth > 0 && FMaxTextWidth < w) ? FMaxTextWidth : w;

    if (!(keepScrollPos && FTextWidth == oldTextWidth)) {
        ClearLayout();
        LayoutItems(canvas);
    }
    PlaceControls();

    ResetScrollPositions();
    const int clientW = ClientWidth();
    const int clientH = ClientHeight();
    UpdateScrollBars(w + FLeftMargin + FRightMargin, FDocumentHeight / ScrollUnit());
    if (clientW != ClientWidth() || clientH != ClientHeight()) {
        FFormatting = false;
        ScrollTo(savedY);
        DoFormatPass(keepScrollPos, canvas, pass + 1);
        FFormatting = true;
    }
    if (keepScrollPos)
        ScrollTo(savedY);
    if (pass == 0)
        RestoreSelection(saved);
    viewport()->update();
}

void TDocView::PlaceControls()
{
    for (const TDrawLine& d : FDrawLines) {
        const TLineInfo* li = ItemOf(d.Info.ItemNo);
        if (!li || li->StyleNo != rvsComponent || !li->Control)
            continue;
        li->Control->setProperty("dvTop", d.Info.Top);
        li->Control->move(d.Info.Left, std::clamp(d.Info.Top, -10000, 10000));
    }
}

void TDocView::LayoutItems(TCanvas& canvas)
{
    const int screenX = Canvas().DpiX();
    const int screenY = Canvas().DpiY();
    const int canvasX = canvas.DpiX();
    const int canvasY = canvas.DpiY();
    const int leftOffset = MulDiv(FLeftMargin, canvasX, screenX);
    const int textWidth = FTextWidth;

    int X = 0;       // pen, relative to the text area
    int Y = 0;       // baseline of the current line
    int descent = 0; // deepest part below the baseline on the current line
    int above = 0;   // tallest part above the baseline on the current line

    // A piece taller than the line so far pushes the whole line down.
    auto growLine = [&](int needed) {
        if (above >= needed)
            return;
        const int d = needed - above;
        for (size_t k = FDrawLines.size(); k-- > 0;) {
            FDrawLines[k].Info.Top += d;
            if (FDrawLines[k].Info.FromNewLine)
                break;
        }
        Y += d;
        above = needed;
    };

    int fontKind = -1; // the text style the canvas is set to, -1 before the first
    TTextMetrics fontMetrics;

    FDrawLines.reserve(FItems->size() + FItems->size() / 2);
    const int itemCount = int(FItems->size());
    for (int i = 0; i < itemCount; ++i) {
        TItem& item = (*FItems)[size_t(i)];
        TLineInfo& li = item.Info;
        const int kind = li.StyleNo;

        if (kind >= 0) {
            // Runs of one style are the rule (a jump in a paragraph makes
            // three items of it): the font is looked up only when the style
            // changes.
            if (kind != fontKind) {
                canvas.SetFont(StyleFont(kind));
                fontMetrics = canvas.Metrics();
                fontKind = kind;
            }
            const TTextMetrics& m = fontMetrics;
            const int ascent = m.Ascent;
            const int lead = m.ExternalLeading;
            const bool jump = IsJumpStyle(kind);
            bool newLine = !li.SameAsPrev;
            const std::string& T = item.Text;
            size_t p = 0;
            size_t n = T.size();
            while (n > 0) {
                if (newLine)
                    X = 0;
                const std::string_view rest(T.data() + p, n);
                size_t fit = size_t(std::max(0, canvas.TextFit(rest, textWidth - X)));
                if (fit == 0)
                    fit = 1;
                size_t pieceLen;
                if (fit < n) {
                    const size_t k = rest.substr(0, fit).rfind(' ');
                    if (k != std::string_view::npos) {
                        pieceLen = k;
                        fit = k + 1; // the space is consumed by the wrap
                    } else if (!newLine) {
                        // The word does not fit after what is on the line:
                        // it starts the next one.
                        newLine = true;
                        X = 0;
                        continue;
                    } else {
                        pieceLen = fit; // a word wider than the line is cut
                    }
                } else {
                    fit = n;
                    pieceLen = n;
                }
                TDrawLine d;
                d.Text.assign(rest.data(), pieceLen);
                d.Info.Offset = int(p) + 1;
                p += fit;
                const int cx = canvas.TextWidth(d.Text);
                const int cy = m.Height();
                if (newLine) {
                    d.Info.FromNewLine = true;
                    X = li.Center ? (textWidth - cx) / 2 : 0;
                    d.Info.Top = Y + descent + lead;
                    Y = Y + descent + lead + ascent;
                    above = lead + ascent;
                } else {
                    growLine(lead + ascent);
                    d.Info.Top = Y - ascent;
                    d.Info.FromNewLine = false;
                }
                d.Info.Left = X + leftOffset;
                d.Info.Width = cx;
                d.Info.Height = cy;
                d.Info.ItemNo = i;
                FDrawLines.push_back(std::move(d));
                if (jump) {
                    const TDrawLineInfo& a = FDrawLines.back().Info;
                    FJumps.push_back(TJumpInfo{a.Left, a.Top, a.Width, a.Height, FJumpCounter,
                                               int(FDrawLines.size()) - 1});
                    li.ImageIndex = FJumpCounter;
                }
                n = T.size() - p;
                descent = newLine ? m.Descent : std::max(descent, m.Descent);
                X += cx;
                newLine = true;
            }
            if (jump)
                ++FJumpCounter;
            continue;
        }

        switch (kind) {
        case rvsHotSpot:
        case rvsBullet: {
            if (!(FFormatOptions & foImages))
                break;
            const int iw = li.ImageList ? li.ImageList->Width() : 0;
            const int ih = li.ImageList ? li.ImageList->Height() : 0;
            const int w = MulDiv(iw, canvasX, screenX);
            const int h = MulDiv(ih, canvasY, screenY);
            int top;
            bool fromNewLine;
            if (li.SameAsPrev && X + w + 2 <= textWidth) {
                growLine(h + 1);
                top = Y - h - 1;
                fromNewLine = false;
            } else {
                X = 0;
                top = Y + descent;
                Y = Y + descent + h + 1;
                descent = 1;
                above = h + 1;
                fromNewLine = true;
            }
            if (kind == rvsHotSpot) {
                FJumps.push_back(TJumpInfo{X + leftOffset + 1, top + 1, w, h, FJumpCounter,
                                           int(FDrawLines.size())});
                ++FJumpCounter;
            }
            TDrawLine d;
            d.Info = TDrawLineInfo{X + leftOffset + 1, top + 1, w + 1, h + 1, i, 0, fromNewLine};
            FDrawLines.push_back(std::move(d));
            X += w + 2;
            break;
        }
        case rvsCheckpoint:
            FCheckpoints.push_back(TCheckpoint{item.Text, TCPInfo{Y + descent, i}});
            break;
        case rvsBreak: {
            const int t = MulDiv(5, canvasY, screenY);
            TDrawLine d;
            d.Text = item.Text;
            d.Info = TDrawLineInfo{leftOffset, Y + descent, textWidth, 2 * t + 1, i, 0, true};
            FDrawLines.push_back(std::move(d));
            Y = Y + descent + 2 * t + 1;
            descent = t;
            above = t;
            break;
        }
        case rvsPicture:
        case rvsComponent: {
            const bool picture = kind == rvsPicture;
            if (!(FFormatOptions & (picture ? foPictures : foControls)))
                break;
            int gw = 0, gh = 0;
            if (picture && li.Picture) {
                gw = li.Picture->width();
                gh = li.Picture->height();
            } else if (!picture && li.Control) {
                gw = li.Control->width();
                gh = li.Control->height();
            }
            const int w = MulDiv(gw, canvasX, screenX);
            const int h = MulDiv(gh, canvasY, screenY);
            const bool centred = picture || li.Center;
            const int left = (centred ? std::max(0, (textWidth - w) / 2) : 0) + leftOffset;
            TDrawLine d;
            d.Info = TDrawLineInfo{left, Y + descent + 1, w, h + 1, i, 0, true};
            FDrawLines.push_back(std::move(d));
            Y = Y + descent + h + 1;
            descent = 1;
            above = h + 1;
            break;
        }
        default:
            break; // an unknown kind takes no room
        }
    }

    ++FLayoutNo;
    FDocumentHeight = Y + descent + 1;
    if (FDocumentHeight / ScrollUnit() > MaxScrollUnits)
        SetScrollUnit(FDocumentHeight / MaxScrollUnits);
    SyncJumps();
}

// ---- zoom ---------------------------------------------------------------------

TFontDesc TDocView::StyleFont(int styleNo) const
{
    TFontDesc d = FStyle->TextStyles().Items(styleNo).Desc();
    d.Zoom = FZoom;
    return d;
}

int TDocView::LineHeight(int styleNo)
{
    if (!FStyle || styleNo < 0 || styleNo >= FStyle->TextStyles().Count())
        return 0;
    TCanvas& c = Canvas();
    c.SetFont(StyleFont(styleNo));
    const TTextMetrics m = c.Metrics();
    return m.Height() + m.ExternalLeading;
}

void TDocView::SetZoom(int percent)
{
    percent = std::clamp(percent, MinZoom, MaxZoom);
    if (percent == FZoom)
        return;
    // The place is taken before the zoom changes: it is read from the old
    // layout.
    const TDVAnchor top = FLayoutPending ? FPendingAnchor : TopAnchor();
    FZoom = percent;
    // Whatever lays the document out next must not keep the old lines.
    FTextWidth = -1;
    if (!FStyle || FItems->empty())
        return;
    if (!isVisible()) {
        // A hidden view (a tab in the background) is laid out when it is
        // shown: a zoom step costs one layout, not one per open document.
        FPendingAnchor = top;
        FLayoutPending = true;
        return;
    }
    FLayoutPending = false;
    DoFormat(false, Canvas());
    ScrollToAnchor(top);
}

void TDocView::ApplyPendingLayout()
{
    if (!FLayoutPending)
        return;
    FLayoutPending = false;
    DoFormat(false, Canvas());
    ScrollToAnchor(FPendingAnchor);
}

TDVAnchor TDocView::TopAnchor() const
{
    if (FTopMemoVPos >= 0 && FTopMemoVPos == VPos() && FTopMemoLayout == FLayoutNo)
        return FTopMemo;
    const int docY = VPos() * ScrollUnit();
    const int n = int(FDrawLines.size());
    if (docY <= 0 || n == 0)
        return TDVAnchor{};
    // The first drawn line that reaches below the top of the window, and
    // the start of its visual line.
    int i = FindFirstVisibleLine(docY);
    while (i < n && FDrawLines[size_t(i)].Info.Top + FDrawLines[size_t(i)].Info.Height <= docY)
        ++i;
    if (i >= n)
        i = n - 1;
    int first = i, last = i;
    RowAround(i, first, last);
    const TDrawLineInfo& d = FDrawLines[size_t(first)].Info;
    const TLineInfo* li = ItemOf(d.ItemNo);
    return TDVAnchor{d.ItemNo, li && li->StyleNo >= 0 ? d.Offset : 0};
}

void TDocView::ScrollToAnchor(const TDVAnchor& anchor)
{
    if (anchor.Item < 0 || FDrawLines.empty())
        return;
    int line = PlaceOnItem(anchor.Item, anchor.Pos).Line;
    if (line < 0) {
        // An item without a drawn piece (a checkpoint, or a list that has
        // changed since the anchor was taken): the next piece after it.
        const auto it = std::lower_bound(FDrawLines.begin(), FDrawLines.end(), anchor.Item,
                                         [](const TDrawLine& d, int item) { return d.Info.ItemNo < item; });
        if (it == FDrawLines.end())
            return;
        line = int(it - FDrawLines.begin());
    }
    int first = line, last = line;
    RowAround(line, first, last);
    int top = FDrawLines[size_t(first)].Info.Top;
    for (int k = first; k <= last; ++k)
        top = std::min(top, FDrawLines[size_t(k)].Info.Top);
    ScrollTo(std::max(0, top));
    FTopMemo = anchor;
    FTopMemoVPos = VPos();
    FTopMemoLayout = FLayoutNo;
}
