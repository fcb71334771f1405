#include "platform/TestCanvas.h"

#include "platform/core/MulDiv.h"

#include <QImage>
#include <algorithm>

void TTestCanvas::SetFont(const TFontDesc& font)
{
    ++FSetFontCalls;
    FFont = font;
    FPixelSize = FontPixelSize(font, FDpiY);
    const int px = FPixelSize;
    for (int b = 0; b < 256; ++b)
        FAdvance[b] = Advance ? Advance(font, px, (unsigned char)b) : std::max(1, px / 2);
    FMetrics = MetricsOf ? MetricsOf(font, px) : TTextMetrics{px - px / 4, px / 4, px / 8};
}

int TTestCanvas::TextWidth(std::string_view text) const
{
    int w = 0;
    for (unsigned char c : text)
        w += FAdvance[c];
    return w;
}

int TTestCanvas::TextFit(std::string_view text, int maxWidth) const
{
    int w = 0;
    int n = 0;
    for (unsigned char c : text) {
        w += FAdvance[c];
        if (w > maxWidth)
            break;
        ++n;
    }
    return n;
}

void TTestCanvas::TextOut(int x, int y, std::string_view text, TColor color, TColor back)
{
    ops.push_back(Op{Op::Text, TRect{x, y, x + TextWidth(text), y + FMetrics.Height()}, std::string(text),
                     color, back, FFont, {}});
}

void TTestCanvas::FillRect(const TRect& r, TColor color)
{
    ops.push_back(Op{Op::Fill, r, {}, color, clNone, FFont, {}});
}

void TTestCanvas::FrameRect(const TRect& r, TColor color)
{
    ops.push_back(Op{Op::Frame, r, {}, color, clNone, FFont, {}});
}

void TTestCanvas::Line(int x1, int y1, int x2, int y2, TColor color)
{
    ops.push_back(Op{Op::Line, TRect{x1, y1, x2, y2}, {}, color, clNone, FFont, {}});
}

void TTestCanvas::DrawImage(int x, int y, const QImage& image)
{
    ops.push_back(Op{Op::Image, TRect{x, y, x + image.width(), y + image.height()}, {}, clNone, clNone, FFont,
                     image});
}

void TTestCanvas::StretchImage(const TRect& target, const QImage& image)
{
    ops.push_back(Op{Op::Stretch, target, {}, clNone, clNone, FFont, image});
}
