#pragma once
// The canvas on Qt: measures with the hinted whole-pixel advances of the font
// (256 per font, cached) and draws the glyphs at exactly those advances, so the
// layout's arithmetic holds to the pixel on screen, on images and on printers.
#include "platform/Canvas.h"

#include <memory>

class QPainter;
class QPaintDevice;

class TQtCanvas : public TCanvas {
public:
    // Measuring only (layout), at the given resolution.
    TQtCanvas(int dpiX, int dpiY);
    // Drawing through painter (which must stay active while the canvas is
    // used), at the resolution of the painter's device.
    explicit TQtCanvas(QPainter* painter);
    // Drawing through painter at an explicit resolution.
    TQtCanvas(QPainter* painter, int dpiX, int dpiY);
    ~TQtCanvas() override;

    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    // The screen's logical resolution (96 x 96 when there is no screen).
    static int ScreenDpiX();
    static int ScreenDpiY();

    int DpiX() const override { return FDpiX; }
    int DpiY() const override { return FDpiY; }
    void SetFont(const TFontDesc& font) override;
    TTextMetrics Metrics() const override;
    int TextWidth(std::string_view text) const override;
    int TextFit(std::string_view text, int maxWidth) const override;
    void TextOut(int x, int y, std::string_view text, TColor color, TColor back = clNone) override;
    void FillRect(const TRect& r, TColor color) override;
    void FrameRect(const TRect& r, TColor color) override;
    void Line(int x1, int y1, int x2, int y2, TColor color) override;
    void DrawImage(int x, int y, const QImage& image) override;
    void StretchImage(const TRect& target, const QImage& image) override;
    double DevicePixelRatio() const override;

    QPainter* Painter() const { return FPainter; }

public:
    struct Font;

private:
    const Font& Current() const;

    QPainter* FPainter = nullptr;
    int FDpiX = 96;
    int FDpiY = 96;
    const Font* FFont = nullptr;
    int FCurrentStyle = 0; // underline and strike-out are drawn, not part of the font
};
