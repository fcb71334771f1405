#pragma once
// A label showing a picture drawn by code. The picture is made for the
// device pixel ratio of the screen the label is on, and made again when the
// label moves to a screen of another ratio, so it is sharp at any scaling.
#include <QLabel>
#include <QPixmap>
#include <QSize>

#include <functional>

// Makes the picture: `size` device-independent pixels at the device pixel
// ratio `ratio` (a pixmap of size times ratio, carrying that ratio).
using TPictureMaker = std::function<QPixmap(QSize size, qreal ratio)>;

class TDrawnPicture : public QLabel {
public:
    // The picture is `size` large and placed in the label by its alignment
    // (centred unless changed). pixmap() holds it as first made.
    TDrawnPicture(TPictureMaker maker, QSize size, QWidget* parent = nullptr);

    QSize PictureSize() const { return FSize; }
    // The picture as last drawn on the screen (null before the first paint).
    const QPixmap& Shown() const { return FShown; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TPictureMaker FMaker;
    QSize FSize;
    QPixmap FShown;
};
