// TDocView: jumps under the pointer, mouse selection with auto-scroll,
// selected text, copying, the word under a click, and keys.
#include "view/DocView.h"

#include "platform/Cursors.h"
#include "platform/QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace {

// Every line break (CR LF, LF CR, a lone CR or LF) becomes CR LF.
std::string crlfBreaks(const std::string& s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\r' || c == '\n') {
            const char other = c == '\r' ? '\n' : '\r';
            if (i + 1 < s.size() && s[i + 1] == other)
                ++i;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

bool isScrollKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- hit-testing ------------------------------------------------------------

int TDocView::JumpAt(int x, int y) const
{
    const int dx = HPos();
    const int dy = VPos() * ScrollUnit();
    for (const TJumpInfo& a : FJumps) {
        if (a.Left - dx <= x && x <= a.Left + a.Width - dx && a.Top - dy <= y && y <= a.Top + a.Height - dy)
            return a.Id;
    }
    return -1;
}

int TDocView::FindDrawLineAt(int x, int y) const
{
    const int n = int(FDrawLines.size());
    if (n == 0)
        return -1;
    auto contains = [&](int i) {
        const TDrawLineInfo& d = FDrawLines[size_t(i)].Info;
        return d.Left <= x && x < d.Left + d.Width && d.Top <= y && y < d.Top + d.Height;
    };
    if (contains(0))
        return 0;
    // The last drawn line whose top is at or above y.
    int lo = 0, hi = n; // answer in [lo - 1, hi - 1]
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (FDrawLines[size_t(mid)].Info.Top <= y)
            lo = mid + 1;
        else
            hi = mid;
    }
    int a = lo - 1;
    if (a < 0)
        return -1;
    // Earlier pieces of a grown line reach below this one's top.
    const int top = FDrawLines[size_t(a)].Info.Top;
    while (a > 0 && FDrawLines[size_t(a - 1)].Info.Top + FDrawLines[size_t(a - 1)].Info.Height > top)
        --a;
    // This visual line and the one after it.
    int starts = 0;
    for (int i = a; i < n; ++i) {
        if (i > a && FDrawLines[size_t(i)].Info.FromNewLine && ++starts == 2)
            break;
        if (contains(i))
            return i;
    }
    return -1;
}

void TDocView::RowAround(int a, int& first, int& last) const
{
    const int n = int(FDrawLines.size());
    const TDrawLineInfo& d = FDrawLines[size_t(a)].Info;
    const int top = d.Top;
    const int bottom = d.Top + d.Height;
    first = a;
    while (first > 0 && FDrawLines[size_t(first - 1)].Info.Top + FDrawLines[size_t(first - 1)].Info.Height > top)
        --first;
    last = a;
    while (last + 1 < n && FDrawLines[size_t(last + 1)].Info.Top < bottom)
        ++last;
}

int TDocView::FitInLine(int i, int w) const
{
    const TDrawLine& d = FDrawLines[size_t(i)];
    const TLineInfo* li = ItemOf(d.Info.ItemNo);
    if (!li || li->StyleNo < 0 || !FStyle || w <= 0)
        return 0;
    TCanvas& c = const_cast<TDocView*>(this)->Canvas();
    c.SetFont(StyleFont(li->StyleNo));
    return std::clamp(c.TextFit(d.Text, w), 0, int(d.Text.size()));
}

void TDocView::FindSelectionPosition(int x, int y, int& offset, int& line) const
{
    const int n = int(FDrawLines.size());
    if (n == 0) {
        line = -1;
        return;
    }
    auto isText = [&](int i) {
        const TLineInfo* li = ItemOf(FDrawLines[size_t(i)].Info.ItemNo);
        return li && li->StyleNo >= 0;
    };
    // The row: the line whose top is the last at or above y.
    int a = 0;
    const TDrawLineInfo& d0 = FDrawLines[0].Info;
    if (y >= d0.Top + d0.Height) {
        int lo = 0, hi = n;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (FDrawLines[size_t(mid)].Info.Top <= y)
                lo = mid + 1;
            else
                hi = mid;
        }
        a = std::max(0, lo - 1);
    }
    int first = a, last = a;
    RowAround(a, first, last);
    int boxLeft = FDrawLines[size_t(first)].Info.Left;
    int boxTop = FDrawLines[size_t(first)].Info.Top;
    int boxRight = boxLeft, boxBottom = boxTop;
    for (int i = first; i <= last; ++i) {
        const TDrawLineInfo& d = FDrawLines[size_t(i)].Info;
        boxLeft = std::min(boxLeft, d.Left);
        boxTop = std::min(boxTop, d.Top);
        boxRight = std::max(boxRight, d.Left + d.Width);
        boxBottom = std::max(boxBottom, d.Top + d.Height);
    }

    if (y < boxTop || x < boxLeft) {
        line = first;
        offset = isText(first) ? 1 : 0;
        return;
    }
    if (y >= boxBottom || x > boxRight) {
        if (last + 1 < n) {
            line = last + 1;
            offset = isText(line) ? 1 : 0;
        } else {
            line = n - 1;
            offset = int(FDrawLines[size_t(line)].Text.size()) + 1;
        }
        return;
    }
    bool found = false;
    for (int i = first; i <= last; ++i) {
        const TDrawLine& d = FDrawLines[size_t(i)];
        if (x < d.Info.Left || x > d.Info.Left + d.Info.Width)
            continue;
        found = true;
        line = i;
        if (!isText(i)) {
            offset = 1;
        } else {
            const int len = int(d.Text.size());
            offset = std::min(FitInLine(i, x - d.Info.Left) + 1, len);
            if (len > 0)
                offset = std::max(offset, 1);
        }
    }
    if (found || line != -1)
        return;
    // Between two pieces with no earlier position to keep (a press): the end
    // of the piece to the left, so that a drag can start anywhere.
    int left = first;
    for (int i = first; i <= last; ++i)
        if (FDrawLines[size_t(i)].Info.Left <= x)
            left = i;
    line = left;
    offset = isText(left) ? int(FDrawLines[size_t(left)].Text.size()) + 1 : 1;
}

// ---- selected text ------------------------------------------------------------

std::string TDocView::GetSelectedText() const
{
    if (!SelectionExists())
        return std::string();
    const ItemBounds b = SaveSelection();
    if (b.FirstItem < 0 || b.LastItem < 0 || b.FirstItem > b.LastItem)
        return std::string();
    auto textOf = [&](int item) -> const std::string* {
        const TItem& it = (*FItems)[size_t(item)];
        return it.Info.StyleNo >= 0 ? &it.Text : nullptr;
    };
    // Positions are 1-based: p lies before character p.
    auto clampPos = [](int p, const std::string& s) { return std::clamp(p, 1, int(s.size()) + 1); };
    std::string out;
    if (b.FirstItem == b.LastItem) {
        if (const std::string* s = textOf(b.FirstItem)) {
            const int from = clampPos(b.FirstPos, *s);
            const int to = clampPos(b.LastPos, *s);
            if (to > from)
                out.assign(*s, size_t(from - 1), size_t(to - from));
        }
        return crlfBreaks(out);
    }
    if (const std::string* s = textOf(b.FirstItem))
        out.append(*s, size_t(clampPos(b.FirstPos, *s) - 1));
    for (int item = b.FirstItem + 1; item <= b.LastItem; ++item) {
        const TLineInfo& li = (*FItems)[size_t(item)].Info;
        if (!li.SameAsPrev && li.StyleNo != rvsCheckpoint)
            out += "\r\n";
        const std::string* s = textOf(item);
        if (!s)
            continue;
        if (item < b.LastItem)
            out += *s;
        else
            out.append(*s, 0, size_t(clampPos(b.LastPos, *s) - 1));
    }
    return crlfBreaks(out);
}

void TDocView::CopySelection()
{
    if (!SelectionExists())
        return;
    // Qt's text on the clipboard ends its lines with a lone LF, which is
    // what the platform takes here (and what Qt converts where the platform
    // wants CR LF).
    QString text = toQString(GetSelectedText());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(text);
}

bool TDocView::WordBounds(int i, int x, int& first, int& last) const
{
    const TDrawLine& d = FDrawLines[size_t(i)];
    const TLineInfo* li = ItemOf(d.Info.ItemNo);
    const int len = int(d.Text.size());
    if (!li || li->StyleNo < 0 || len == 0)
        return false;
    auto delim = [&](char c) { return FDelimiters.find(c) != std::string::npos; };
    const int k = std::clamp(FitInLine(i, x - d.Info.Left) + 1, 1, len) - 1; // 0-based
    if (delim(d.Text[size_t(k)]))
        return false;
    first = last = k;
    while (first > 0 && !delim(d.Text[size_t(first - 1)]))
        --first;
    while (last + 1 < len && !delim(d.Text[size_t(last + 1)]))
        ++last;
    return true;
}

bool TDocView::SelectWordAt(int x, int y)
{
    const int dx = x + HPos();
    const int i = FindDrawLineAt(dx, y + VPos() * ScrollUnit());
    int first = 0, last = 0;
    if (i == -1 || !WordBounds(i, dx, first, last))
        return false;
    // Offsets lie before a character (1-based): the word's first character,
    // and the one after its last.
    FSelStart = TDVPosition{i, first + 1};
    FSelEnd = TDVPosition{i, last + 2};
    FSelecting = false;
    viewport()->update();
    if (OnSelect)
        OnSelect(this);
    return true;
}

bool TDocView::GetWordAtMouse(std::string& word, int& styleNo) const
{
    const int x = FLastPress.x() + HPos();
    const int i = FindDrawLineAt(x, FLastPress.y() + VPos() * ScrollUnit());
    if (i == -1)
        return false;
    const TDrawLine& d = FDrawLines[size_t(i)];
    const TLineInfo* li = ItemOf(d.Info.ItemNo);
    if (!li)
        return false;
    word = d.Text;
    styleNo = li->StyleNo;
    if (li->StyleNo < 0 || word.empty())
        return true;
    int s = 0, e = 0;
    if (!WordBounds(i, x, s, e)) {
        word.clear(); // on a delimiter
        return true;
    }
    word = word.substr(size_t(s), size_t(e - s + 1));
    return true;
}

// ---- the pointer -------------------------------------------------------------

void TDocView::PointerMoved(int x, int y)
{
    const int ch = ClientHeight();
    int step = 0;
    if (y < 0)
        step = y < -20 ? -10 : -1;
    if (y > ch)
        step = y > ch + 20 ? 10 : 1;
    FAutoScrollStep = step;

    QPointer<TDocView> self(this);
    if (OnMouseMove) {
        OnMouseMove(this, x, y);
        if (!self)
            return;
    }
    if (FSelecting) {
        FLastMove = QPoint(x, y);
        int line = FSelEnd.Line, offset = FSelEnd.Offset;
        FindSelectionPosition(x + HPos(), std::min(y, ch) + VPos() * ScrollUnit(), offset, line);
        FSelEnd = TDVPosition{line, offset};
        viewport()->update();
    }

    const int id = JumpAt(x, y);
    if (id != -1) {
        if (!FJumpCursorShown) {
            viewport()->setCursor(ScreenCursor(FStyle ? FStyle->JumpCursor() : crJump));
            FJumpCursorShown = true;
        }
        if (OnDVMouseMove && id != FHoveredJump) {
            OnDVMouseMove(this, id + FFirstJumpNo);
            if (!self)
                return;
        }
        SetHoveredJump(id);
        return;
    }
    if (FJumpCursorShown) {
        viewport()->unsetCursor();
        FJumpCursorShown = false;
    }
    PointerLeft();
    if (self && FSelecting)
        viewport()->update();
}

void TDocView::PointerLeft()
{
    if (FHoveredJump == -1)
        return;
    SetHoveredJump(-1);
    if (OnDVMouseMove)
        OnDVMouseMove(this, -1);
}

void TDocView::LeftPressed(int x, int y)
{
    FLastPress = QPoint(x, y);
    FPressedJump = JumpAt(x, y);
    if (FAllowSelection) {
        int line = -1, offset = 0;
        FindSelectionPosition(x + HPos(), y + VPos() * ScrollUnit(), offset, line);
        FSelStart = FSelEnd = TDVPosition{line, offset};
        FSelecting = line != -1;
        // The press point is inside the window: nothing to scroll until the
        // pointer leaves it.
        FAutoScrollStep = 0;
        FLastMove = QPoint(x, y);
        viewport()->update();
        if (!FScrollTimer) {
            FScrollTimer = new QTimer(this);
            FScrollTimer->setInterval(100);
            connect(FScrollTimer, &QTimer::timeout, this, &TDocView::AutoScrollTick);
            FScrollTimer->start();
        }
    }
    if (FSingleClick && OnDVDblClick) {
        std::string word;
        int styleNo = 0;
        if (GetWordAtMouse(word, styleNo))
            OnDVDblClick(this, word, styleNo);
    }
}

void TDocView::AutoScrollTick()
{
    if (FAutoScrollStep == 0)
        return;
    SetVScrollPos(VScrollPos() + FAutoScrollStep);
    PointerMoved(FLastMove.x(), FLastMove.y());
}

void TDocView::Released(Qt::MouseButton button, int x, int y)
{
    delete FScrollTimer;
    FScrollTimer = nullptr;
    FLastPress = QPoint(x, y);
    QPointer<TDocView> self(this);

    if (button == Qt::LeftButton && FSelecting) {
        int line = FSelEnd.Line, offset = FSelEnd.Offset;
        FindSelectionPosition(x + HPos(), std::min(y, ClientHeight()) + VPos() * ScrollUnit(), offset, line);
        FSelEnd = TDVPosition{line, offset};
        FSelecting = false;
        viewport()->update();
        if (OnSelect) {
            OnSelect(this);
            if (!self)
                return;
        }
    }
    if (button == Qt::RightButton) {
        if (OnMouseUp) {
            OnMouseUp(this, button, x, y);
            if (!self)
                return;
        }
        std::string word;
        int styleNo = 0;
        if (OnDVRightClick && GetWordAtMouse(word, styleNo)) {
            const QPoint g = viewport()->mapToGlobal(QPoint(x, y));
            OnDVRightClick(this, word, styleNo, g.x(), g.y());
        }
        return;
    }
    if (button == Qt::LeftButton) {
        const int pressed = FPressedJump;
        FPressedJump = -1;
        if (pressed != -1 && OnJump) {
            // Press and release on the same jump, on any of its pieces.
            const int dx = HPos();
            const int dy = VPos() * ScrollUnit();
            const bool hit = std::any_of(FJumps.begin(), FJumps.end(), [&](const TJumpInfo& a) {
                return a.Id == pressed && a.Left - dx <= x && x <= a.Left + a.Width - dx && a.Top - dy <= y &&
                       y <= a.Top + a.Height - dy;
            });
            if (hit) {
                OnJump(this, pressed + FFirstJumpNo);
                if (!self)
                    return;
            }
        }
    }
    if (OnMouseUp)
        OnMouseUp(this, button, x, y);
}

void TDocView::DoubleClicked()
{
    QPointer<TDocView> self(this);
    if (OnDblClick) {
        OnDblClick(this);
        if (!self)
            return;
    }
    if (FSingleClick || !OnDVDblClick)
        return;
    std::string word;
    int styleNo = 0;
    if (GetWordAtMouse(word, styleNo))
        OnDVDblClick(this, word, styleNo);
}

void TDocView::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    FLeftDown = true;
    QPointer<TDocView> self(this);
    LeftPressed(p.x(), p.y());
    if (self && OnMouseDown)
        OnMouseDown(this, Qt::LeftButton, p.x(), p.y());
}

void TDocView::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    PointerMoved(p.x(), p.y());
}

void TDocView::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    QPointer<TDocView> self(this);
    // A click is a left press and release on the view; it comes before the
    // release is handled (so before the selection event and the jump).
    if (e->button() == Qt::LeftButton && FLeftDown) {
        FLeftDown = false;
        if (QRect(0, 0, ClientWidth(), ClientHeight()).contains(p)) {
            setFocus(Qt::MouseFocusReason);
            if (OnClick) {
                OnClick(this);
                if (!self)
                    return;
            }
        }
    }
    Released(e->button(), p.x(), p.y());
}

void TDocView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    QPointer<TDocView> self(this);
    // The word comes from the point of the first click's release. Then the
    // word under the pointer is selected; on a jump, a delimiter or empty
    // space the second press starts a selection as any press does.
    DoubleClicked();
    if (!self)
        return;
    FLeftDown = false;
    if (FAllowSelection && JumpAt(p.x(), p.y()) == -1) {
        FLastPress = p;
        FPressedJump = -1;
        if (SelectWordAt(p.x(), p.y())) {
            // The second press reports its word as any press does then.
            std::string word;
            int styleNo = 0;
            if (self && FSingleClick && OnDVDblClick && GetWordAtMouse(word, styleNo))
                OnDVDblClick(this, word, styleNo);
            if (self && OnMouseDown)
                OnMouseDown(this, Qt::LeftButton, p.x(), p.y());
            return;
        }
        if (!self)
            return;
    }
    LeftPressed(p.x(), p.y());
    if (self && OnMouseDown)
        OnMouseDown(this, Qt::LeftButton, p.x(), p.y());
}

bool TDocView::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::Leave)
        PointerLeft();
    return TDVScroller::viewportEvent(e);
}

// ---- keys ------------------------------------------------------------------

void TDocView::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const bool scrollKey = isScrollKey(key);
    if (scrollKey)
        TDVScroller::keyPressEvent(e);
    // With a selection, Ctrl combinations belong to the view: Ctrl+C and
    // Ctrl+Insert copy, the others do nothing.
    if ((e->modifiers() & Qt::ControlModifier) && SelectionExists()) {
        if (key == Qt::Key_C || key == Qt::Key_Insert)
            CopySelection();
        e->accept();
        return;
    }
    QPointer<TDocView> self(this);
    if (OnKeyDown) {
        OnKeyDown(this, key, e->modifiers());
        if (!self)
            return;
    }
    if (!scrollKey)
        TDVScroller::keyPressEvent(e);
}
