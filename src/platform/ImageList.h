#pragma once
// A list of same-sized images (footnote marks, tool-bar pictures). Images of
// another size are scaled to the list's size when added.
//
// Pictures drawn by code can be added as a maker: the list then has them at
// every device pixel ratio a screen asks for (150 %, 200 % scaling), made
// when first needed, so that they stay sharp instead of being blown up from
// the list's own size. Width and Height stay in device-independent pixels.
#include "platform/Canvas.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <functional>
#include <memory>
#include <vector>

// Draws a picture at a device pixel ratio: an image of the list's size times
// the ratio (rounded up), with that ratio set on it.
using TImageMaker = std::function<QImage(qreal devicePixelRatio)>;

class TImageList {
public:
    TImageList(int width, int height) : FWidth(width), FHeight(height) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }

    // Appends an image and returns its index.
    int Add(const QImage& image);
    int Add(const QPixmap& pixmap) { return Add(pixmap.toImage()); }
    // Appends a picture drawn by code; its image at ratio 1 is made at once.
    int Add(TImageMaker maker);
    // Image at index, at the list's own size (ratio 1), or a null image when
    // the index is outside the list.
    QImage Image(int index) const;
    // Image at index for a device of the given pixel ratio: drawn anew at
    // that ratio when the picture has a maker, else the image at ratio 1.
    QImage Image(int index, qreal devicePixelRatio) const;
    // The picture as an icon that is drawn at whatever ratio it is shown.
    QIcon Icon(int index) const;

    // Draws image index at (x, y), at the canvas's device pixel ratio.
    // Selected: blended half and half with blendColor, as a selected item
    // shows. An index outside the list draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool selected = false,
              TColor blendColor = clHighlight) const;

private:
    struct TEntry {
        QImage Image;
        std::shared_ptr<const TImageMaker> Maker;
        // Images made at other ratios, kept for the next time.
        mutable std::vector<QImage> Scaled;
    };

    int FWidth;
    int FHeight;
    std::vector<TEntry> FImages;
};

// An icon drawn by code at the ratio of wherever it is shown. `size` is the
// picture's natural size in device-independent pixels; `draw` makes it at a
// device pixel ratio (an image of size times the ratio, ratio set on it).
// Disabled and selected looks come from the style.
QIcon DrawnIcon(QSize size, TImageMaker draw);
