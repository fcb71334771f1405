#pragma once
// The one surface the document view lays out on and draws on: the screen, a
// QImage, a printer, or (in tests) a deterministic canvas without fonts.
// Everything is in whole device pixels, and what TextWidth/TextFit measure is
// exactly what TextOut draws, so highlights and hit-tests line up with glyphs.
#include "platform/core/Colors.h"
#include "platform/core/MulDiv.h"

#include <string>
#include <string_view>

class QImage;

// A rectangle with exclusive right and bottom edges, as the layout reasons.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// Font style bits, as stored in a text style.
enum TFontStyleBits : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Character sets a text style may name; the engine only stores them.
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;
constexpr int EASTEUROPE_CHARSET = 238;

// What a canvas needs to choose a font. Name is Windows-1250 text.
struct TFontDesc {
    std::string Name = "Times New Roman";
    int Size = 10; // points
    int CharSet = DEFAULT_CHARSET;
    int Style = 0; // TFontStyleBits
    TColor Color = clWindowText;
    // Scale of Size in percent (a view's zoom). The font is chosen at the
    // scaled size, so its metrics are whole pixels of that size rather than
    // scaled metrics of the unscaled font.
    int Zoom = 100;

    friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

// Pixel size of a font on a device of dpiY: Size x Zoom/100 points, rounded
// once. At zoom 100 this is MulDiv(Size, dpiY, 72) exactly. Never below 1.
inline int FontPixelSize(const TFontDesc& font, int dpiY)
{
    const int zoom = font.Zoom > 0 ? font.Zoom : 100;
    const int px = MulDiv(font.Size * zoom, dpiY, 72 * 100);
    return px < 1 ? 1 : px;
}

// Metrics of the current font, in device pixels. A line of text is
// Ascent + Descent high; ExternalLeading is the gap the font asks for above it.
struct TTextMetrics {
    int Ascent = 0;
    int Descent = 0;
    int ExternalLeading = 0;

    constexpr int Height() const { return Ascent + Descent; }
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // Logical pixels per inch of the device.
    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;

    // Selects the font; its pixel size is FontPixelSize(font, DpiY). Cheap
    // when the same font is selected again.
    virtual void SetFont(const TFontDesc& font) = 0;
    virtual TTextMetrics Metrics() const = 0;

    // Width of text in the current font (sum of per-byte advances).
    virtual int TextWidth(std::string_view text) const = 0;
    // Number of leading characters of text whose total width is <= maxWidth.
    virtual int TextFit(std::string_view text, int maxWidth) const = 0;

    // Writes text with its cell's top-left corner at (x, y) in color. With a
    // back colour other than clNone the cell (TextWidth x Metrics().Height())
    // is filled first.
    virtual void TextOut(int x, int y, std::string_view text, TColor color, TColor back = clNone) = 0;

    virtual void FillRect(const TRect& r, TColor color) = 0;
    // One-pixel outline just inside r.
    virtual void FrameRect(const TRect& r, TColor color) = 0;
    // One-pixel line from (x1, y1) up to, not including, (x2, y2).
    virtual void Line(int x1, int y1, int x2, int y2, TColor color) = 0;
    // Draws image with its top-left corner at (x, y). An image that carries
    // a device pixel ratio covers its size divided by that ratio.
    virtual void DrawImage(int x, int y, const QImage& image) = 0;
    virtual void StretchImage(const TRect& target, const QImage& image) = 0;

    // Device pixels per device-independent pixel of the device drawn on (2
    // on a screen at 200 %); pictures drawn in code are made at this ratio.
    virtual double DevicePixelRatio() const { return 1.0; }
};
