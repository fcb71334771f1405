#pragma once
// A canvas without fonts or a display, for tests: every character has a fixed
// advance and every font fixed metrics, all derived from the font's pixel size
// (or from hooks a test installs), and every drawing call is recorded.
#include "platform/Canvas.h"

#include <QImage>

#include <array>
#include <functional>
#include <string>
#include <vector>

class TTestCanvas : public TCanvas {
public:
    struct Op {
        enum Kind { Text, Fill, Frame, Line, Image, Stretch } kind;
        TRect rect;        // text: its cell; line: the two end points
        std::string text;  // text only
        TColor color = clNone;
        TColor back = clNone;
        TFontDesc font;    // the font selected when the call was made
        QImage image;      // images: the pixels drawn
    };

    explicit TTestCanvas(int dpiX = 72, int dpiY = 72) : FDpiX(dpiX), FDpiY(dpiY) {}

    // Defaults: pixel size px = FontPixelSize(font, DpiY); advance of every byte
    // max(1, px / 2); ascent px - px / 4, descent px / 4, leading px / 8.
    std::function<int(const TFontDesc&, int px, unsigned char ch)> Advance;
    std::function<TTextMetrics(const TFontDesc&, int px)> MetricsOf;

    int DpiX() const override { return FDpiX; }
    int DpiY() const override { return FDpiY; }
    void SetFont(const TFontDesc& font) override;
    TTextMetrics Metrics() const override { return FMetrics; }
    int TextWidth(std::string_view text) const override;
    int TextFit(std::string_view text, int maxWidth) const override;
    void TextOut(int x, int y, std::string_view text, TColor color, TColor back = clNone) override;
    void FillRect(const TRect& r, TColor color) override;
    void FrameRect(const TRect& r, TColor color) override;
    void Line(int x1, int y1, int x2, int y2, TColor color) override;
    void DrawImage(int x, int y, const QImage& image) override;
    void StretchImage(const TRect& target, const QImage& image) override;

    const TFontDesc& Font() const { return FFont; }
    int PixelSize() const { return FPixelSize; }
    int SetFontCalls() const { return FSetFontCalls; }

    std::vector<Op> ops;

private:
    int FDpiX;
    int FDpiY;
    TFontDesc FFont;
    int FPixelSize = 0;
    TTextMetrics FMetrics;
    std::array<int, 256> FAdvance{};
    int FSetFontCalls = 0;
};
