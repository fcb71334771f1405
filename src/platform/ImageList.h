#pragma once
// A list of same-sized images (footnote marks, tool-bar pictures). Images of
// another size are scaled to the list's size when added.
#include "platform/Canvas.h"

#include <QImage>
#include <QPixmap>
#include <vector>

class TImageList {
public:
    TImageList(int width, int height) : FWidth(width), FHeight(height) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }

    // Appends an image and returns its index.
    int Add(const QImage& image);
    int Add(const QPixmap& pixmap) { return Add(pixmap.toImage()); }
    // Image at index, or a null image when the index is outside the list.
    QImage Image(int index) const;

    // Draws image index at (x, y). Selected: blended half and half with
    // blendColor, as a selected item shows. An index outside the list draws
    // nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool selected = false,
              TColor blendColor = clHighlight) const;

private:
    int FWidth;
    int FHeight;
    std::vector<QImage> FImages;
};
