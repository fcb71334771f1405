// TDocView: the item list, its operations, properties and the selection state.
#include "view/DocView.h"

#include "platform/QtCanvas.h"
#include "platform/core/Exceptions.h"

#include <QTimer>
#include <algorithm>
#include <cstring>
#include <utility>

TDocView::TDocView(QWidget* parent) : TDVScroller(parent), FOwnItems(std::make_unique<TItemList>())
{
    FItems = FOwnItems.get();
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
}

TDocView::~TDocView()
{
    // The owner may be half destroyed already: no events from here on.
    OnSelect = nullptr;
    Clear();
}

// ---- items ------------------------------------------------------------------

void TDocView::Clear()
{
    Deselect();
    if (!FSharing) {
        for (TItem& it : *FItems) {
            if (it.Info.StyleNo == rvsComponent && it.Info.Control)
                delete it.Info.Control;
        }
        FItems->clear();
    }
    FCheckpoints.clear();
    FAnchors.clear();
    FHighlights.clear();
    // Hover and press refer to jumps of the old document.
    FHoveredJump = -1;
    FHoverDrawn = false;
    FPressedJump = -1;
    ClearLayout();
}

void TDocView::AddItem(const std::string& text, const TLineInfo& info)
{
    FItems->push_back(TItem{text, info});
    TItem& it = FItems->back();
    if (it.Info.StyleNo == rvsComponent && it.Info.Control) {
        it.Info.Control->setParent(viewport());
        it.Info.Control->show();
    }
    if (it.Info.StyleNo == rvsCheckpoint)
        FCheckpoints.push_back(TCheckpoint{text, TCPInfo{0, int(FItems->size()) - 1}});
}

void TDocView::AddParagraph(std::string text, int styleNo)
{
    TLineInfo li;
    li.StyleNo = styleNo;
    FItems->push_back(TItem{std::move(text), li});
}

void TDocView::AddText(std::string text, int styleNo)
{
    TLineInfo li;
    li.StyleNo = styleNo;
    li.SameAsPrev = !FItems->empty();
    FItems->push_back(TItem{std::move(text), li});
}

void TDocView::AddCenteredLine(std::string text, int styleNo)
{
    TLineInfo li;
    li.StyleNo = styleNo;
    li.Center = true;
    FItems->push_back(TItem{std::move(text), li});
}

namespace {

bool hasLineBreak(const std::string& t)
{
    return std::memchr(t.data(), '\n', t.size()) || std::memchr(t.data(), '\r', t.size());
}

// Splits text at its line breaks: CR LF, LF CR, a lone CR or a lone LF each
// count as one break. Returns the pieces between them (one piece when there
// is no break).
std::vector<std::string_view> splitLines(std::string_view t)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    size_t i = 0;
    while (i < t.size()) {
        const char c = t[i];
        if (c == '\r' || c == '\n') {
            out.push_back(t.substr(start, i - start));
            const char other = c == '\r' ? '\n' : '\r';
            i += (i + 1 < t.size() && t[i + 1] == other) ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    out.push_back(t.substr(start));
    return out;
}

} // namespace

void TDocView::AddTextLines(std::string text, int styleNo)
{
    // Nearly every piece is one line: no list of pieces for it.
    if (!hasLineBreak(text)) {
        if (!text.empty())
            AddText(std::move(text), styleNo);
        return;
    }
    const auto pieces = splitLines(text);
    if (pieces.size() == 1) {
        if (!text.empty())
            AddText(std::move(text), styleNo);
        return;
    }
    AddText(std::string(pieces[0]), styleNo);
    // A trailing break adds no empty item.
    const size_t end = pieces.back().empty() ? pieces.size() - 1 : pieces.size();
    for (size_t k = 1; k < end; ++k)
        AddParagraph(std::string(pieces[k]), styleNo);
}

void TDocView::AddParagraphLines(std::string text, int styleNo)
{
    if (!hasLineBreak(text)) {
        AddParagraph(std::move(text), styleNo);
        return;
    }
    const auto pieces = splitLines(text);
    if (pieces.size() == 1) {
        AddParagraph(std::move(text), styleNo);
        return;
    }
    const size_t end = pieces.back().empty() ? pieces.size() - 1 : pieces.size();
    for (size_t k = 0; k < end; ++k)
        AddParagraph(std::string(pieces[k]), styleNo);
}

int TDocView::AddCheckpoint(const std::string& name)
{
    TLineInfo li;
    li.StyleNo = rvsCheckpoint;
    AddItem(name, li);
    return int(FCheckpoints.size()) - 1;
}

int TDocView::GetCheckpointY(int no) const
{
    if (no < 0 || no >= int(FCheckpoints.size()))
        throw EListError(no);
    return FCheckpoints[size_t(no)].Info.Y;
}

void TDocView::AddHotspot(int imageIndex, const TImageList* imageList, bool fromNewLine)
{
    TLineInfo li;
    li.StyleNo = rvsHotSpot;
    li.SameAsPrev = !fromNewLine;
    li.ImageIndex = imageIndex;
    li.ImageList = imageList;
    FItems->push_back(TItem{std::string(), li});
}

void TDocView::MarkSharing()
{
    Clear();
    FSharing = true;
}

void TDocView::ShareItems(TDocView* source)
{
    if (!FSharing)
        return;
    Clear();
    disconnect(FShareConnection);
    if (!source || source == this) {
        FItems = FOwnItems.get();
        return;
    }
    FItems = source->FItems;
    // Borrowed items must not outlive their owner here: when the source goes,
    // the view falls back to an empty document instead of dangling.
    FShareConnection = connect(source, &QObject::destroyed, this, [this] {
        FItems = FOwnItems.get();
        Clear();
    });
}

// ---- properties -------------------------------------------------------------

TCanvas& TDocView::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TQtCanvas>(TQtCanvas::ScreenDpiX(), TQtCanvas::ScreenDpiY());
    return *FCanvas;
}

void TDocView::SetCanvas(std::unique_ptr<TCanvas> canvas) { FCanvas = std::move(canvas); }

void TDocView::SetBackgroundBitmap(const QImage& bitmap)
{
    FBackgroundBitmap = bitmap;
    UpdateScrollByRepaint();
}

void TDocView::SetBackgroundStyle(TBackgroundStyle style)
{
    FBackgroundStyle = style;
    UpdateScrollByRepaint();
}

void TDocView::UpdateScrollByRepaint()
{
    SetScrollByRepaint(!FBackgroundBitmap.isNull() &&
                       (FBackgroundStyle == bsStretched || FBackgroundStyle == bsTiled));
    viewport()->update();
}

// ---- selection --------------------------------------------------------------

void TDocView::Deselect()
{
    FSelecting = false;
    FSelStart = TDVPosition{};
    FSelEnd = TDVPosition{};
    if (OnSelect)
        OnSelect(this);
}

const TLineInfo* TDocView::ItemOf(int itemNo) const
{
    if (itemNo < 0 || itemNo >= int(FItems->size()))
        return nullptr;
    return &(*FItems)[size_t(itemNo)].Info;
}

void TDocView::SelectAll()
{
    if (FDrawLines.empty())
        return;
    const int last = int(FDrawLines.size()) - 1;
    const TDrawLine& d = FDrawLines.back();
    const TLineInfo* li = ItemOf(d.Info.ItemNo);
    const bool text = li && li->StyleNo >= 0;
    FSelStart = TDVPosition{0, 0};
    FSelEnd = TDVPosition{last, text ? int(d.Text.size()) + 1 : 0};
    if (OnSelect)
        OnSelect(this);
}

bool TDocView::SelectionExists() const
{
    if (FSelStart.Line == -1 || FSelEnd.Line == -1)
        return false;
    return !(FSelStart == FSelEnd);
}

void TDocView::SetSelection(TDVPosition start, TDVPosition end)
{
    FSelStart = start;
    FSelEnd = end;
}

TDVSelectionBounds TDocView::GetSelectionBounds() const
{
    TDVSelectionBounds b;
    if (FSelStart.Line == -1 || FSelEnd.Line == -1)
        return b;
    const bool startFirst = FSelStart.Line < FSelEnd.Line ||
                            (FSelStart.Line == FSelEnd.Line && FSelStart.Offset <= FSelEnd.Offset);
    const TDVPosition& a = startFirst ? FSelStart : FSelEnd;
    const TDVPosition& z = startFirst ? FSelEnd : FSelStart;
    b.FirstLine = a.Line;
    b.FirstOffset = a.Offset;
    b.LastLine = z.Line;
    b.LastOffset = z.Offset;
    return b;
}

TDocView::ItemBounds TDocView::SaveSelection() const
{
    ItemBounds ib;
    const TDVSelectionBounds b = GetSelectionBounds();
    const int n = int(FDrawLines.size());
    if (b.FirstLine < 0 || b.LastLine < 0 || b.FirstLine >= n || b.LastLine >= n)
        return ib;
    auto toItem = [&](int line, int offset, int& item, int& pos) {
        const TDrawLineInfo& d = FDrawLines[size_t(line)].Info;
        const TLineInfo* li = ItemOf(d.ItemNo);
        if (!li)
            return false;
        item = d.ItemNo;
        pos = li->StyleNo >= 0 ? offset + d.Offset - 1 : offset;
        return true;
    };
    if (!toItem(b.FirstLine, b.FirstOffset, ib.FirstItem, ib.FirstPos) ||
        !toItem(b.LastLine, b.LastOffset, ib.LastItem, ib.LastPos))
        return ItemBounds{};
    return ib;
}

TDVPosition TDocView::PlaceOnItem(int item, int pos) const
{
    // Drawn lines come in item order: the pieces of item are one run.
    auto first = std::lower_bound(FDrawLines.begin(), FDrawLines.end(), item,
                                  [](const TDrawLine& d, int i) { return d.Info.ItemNo < i; });
    if (first == FDrawLines.end() || first->Info.ItemNo != item)
        return TDVPosition{};
    auto last = first;
    while (last + 1 != FDrawLines.end() && (last + 1)->Info.ItemNo == item)
        ++last;
    if (item >= int(FItems->size()) || (*FItems)[size_t(item)].Info.StyleNo < 0)
        return TDVPosition{int(first - FDrawLines.begin()), pos};
    // The last piece that starts at or before pos; the first when none does.
    auto piece = first;
    for (auto it = first; it <= last; ++it) {
        if (it->Info.Offset <= pos)
            piece = it;
        else
            break;
    }
    const int len = int(piece->Text.size());
    const int off = std::clamp(pos - piece->Info.Offset + 1, 0, len + 1);
    return TDVPosition{int(piece - FDrawLines.begin()), off};
}

void TDocView::RestoreSelection(const ItemBounds& b)
{
    if (b.FirstItem < 0 || b.LastItem < 0)
        return;
    const TDVPosition a = PlaceOnItem(b.FirstItem, b.FirstPos);
    const TDVPosition z = PlaceOnItem(b.LastItem, b.LastPos);
    if (a.Line == -1 || z.Line == -1) {
        // An end whose item no longer has a piece: nothing sensible to show.
        FSelStart = FSelEnd = TDVPosition{};
        return;
    }
    FSelStart = a;
    FSelEnd = z;
}

void TDocView::SetHoveredJump(int id)
{
    if (FHoverDrawn && FHoveredJump != -1 && FHoveredJump != id) {
        FHoverDrawn = false;
        InvalidateJump(FHoveredJump);
    }
    FHoveredJump = id;
    if (id != -1 && FStyle && FStyle->HoverColor() != clNone && !FHoverDrawn) {
        FHoverDrawn = true;
        InvalidateJump(id);
    }
}
