// TDocView: highlighted runs of text (found words, a unit gone to), and the
// places of items for showing and selecting them.
#include "view/DocView.h"

#include <algorithm>

namespace {

bool przed(const TDVHighlight& a, const TDVHighlight& b)
{
    return a.Item != b.Item ? a.Item < b.Item : a.Start < b.Start;
}

} // namespace

void TDocView::SetHighlights(std::vector<TDVHighlight> highlights)
{
    highlights.erase(std::remove_if(highlights.begin(), highlights.end(),
                                    [](const TDVHighlight& h) { return h.Length <= 0 || h.Item < 0; }),
                     highlights.end());
    if (!std::is_sorted(highlights.begin(), highlights.end(), przed))
        std::stable_sort(highlights.begin(), highlights.end(), przed);
    if (highlights == FHighlights)
        return;
    FHighlights = std::move(highlights);
    viewport()->update();
}

void TDocView::PaintHighlights(TCanvas& canvas, int i, int x, int y)
{
    const TDrawLine& dl = FDrawLines[size_t(i)];
    const int item = dl.Info.ItemNo;
    // The piece holds characters [first, end) of its item.
    const int first = dl.Info.Offset - 1;
    const int end = first + int(dl.Text.size());
    auto it = std::lower_bound(FHighlights.begin(), FHighlights.end(), item,
                               [](const TDVHighlight& h, int i) { return h.Item < i; });
    if (it == FHighlights.end() || it->Item != item)
        return;
    const TLineInfo& li = (*FItems)[size_t(item)].Info;
    canvas.SetFont(FStyle->TextStyles().Items(li.StyleNo).Desc());
    // A run that starts before this piece may reach into it; runs of one item
    // are few, so those before are looked at from the item's first.
    for (; it != FHighlights.end() && it->Item == item; ++it) {
        if (it->Start >= end)
            break;
        const int a = std::max(it->Start, first);
        const int b = std::min(it->Start + it->Length, end);
        if (a >= b)
            continue;
        const std::string_view s = dl.Text;
        const int px = x + canvas.TextWidth(s.substr(0, size_t(a - first)));
        const int w = canvas.TextWidth(s.substr(size_t(a - first), size_t(b - a)));
        canvas.FillRect(TRect{px, y, px + w, y + dl.Info.Height}, it->Color);
    }
}

TDVPosition TDocView::ItemPosition(int item, int index) const
{
    return PlaceOnItem(item, index + 1);
}

void TDocView::SelectItemRange(int item, int from, int to)
{
    const TDVPosition a = ItemPosition(item, from);
    const TDVPosition b = ItemPosition(item, std::max(from, to));
    if (a.Line == -1 || b.Line == -1)
        return;
    FSelecting = false;
    FSelStart = a;
    FSelEnd = b;
    viewport()->update();
}

bool TDocView::ShowItem(int item, int index, bool toTop)
{
    const TDVPosition p = ItemPosition(item, index);
    if (p.Line < 0 || p.Line >= int(FDrawLines.size()))
        return false;
    const TDrawLineInfo& d = FDrawLines[size_t(p.Line)].Info;
    const int top = VPos() * ScrollUnit();
    const int height = ClientHeight();
    if (toTop) {
        ScrollTo(d.Top);
    } else if (d.Top < top || d.Top + d.Height > top + height) {
        ScrollTo(std::max(0, d.Top - height / 3));
    }
    // The horizontal bar shows the run when the text is wider than the window.
    if (d.Left < HPos() || d.Left + d.Width > HPos() + ClientWidth())
        HScrollTo(std::max(0, d.Left - ClientWidth() / 3));
    return true;
}
