#pragma once
// A small progress indicator: a bar, a pie, a needle dial or plain text, with
// the percentage written over it in the inverse of the colours beneath.
//
// Long work on the user-interface thread advances `Progress` once per unit of
// work; the gauge repaints itself synchronously, and only when the whole
// percentage shown actually changes, so that is cheap.
#include "platform/core/Colors.h"
#include "platform/core/Exceptions.h"

#include <QImage>
#include <QWidget>

// Raised by the MinValue/MaxValue setters when the new bound would cross the
// other one; the gauge is left unchanged.
LUMESTA_EXCEPTION(EGaugeInvalidOperation, ELumestaError)

enum TProgressKind { pkText, pkHorizontalBar, pkVerticalBar, pkPie, pkNeedle };

enum class TProgressBorderStyle { bsNone, bsSingle };

// An off-screen bitmap that can take another bitmap's size.
class TMaskBitmap {
public:
    // Takes the template's width, height and device pixel ratio and fills
    // the whole bitmap solidly with the window-frame system colour.
    void MakeLike(const QImage& Template);
    QImage& Image() { return FImage; }
    const QImage& Image() const { return FImage; }

private:
    QImage FImage;
};

class TProgressGauge : public QWidget {
    Q_OBJECT
public:
    explicit TProgressGauge(QWidget* parent = nullptr);

    TProgressKind Kind() const { return FKind; }
    void SetKind(TProgressKind value);

    int MinValue() const { return FMinValue; }
    // Throws EGaugeInvalidOperation when value > MaxValue().
    void SetMinValue(int value);

    int MaxValue() const { return FMaxValue; }
    // Throws EGaugeInvalidOperation when value < MinValue().
    void SetMaxValue(int value);

    int Progress() const { return FCurrentValue; }
    // Clamped into MinValue()..MaxValue(); repaints only when the whole
    // percentage changes.
    void SetProgress(int value);
    void AddProgress(int value);

    bool ShowText() const { return FShowText; }
    void SetShowText(bool value);

    TProgressBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TProgressBorderStyle value);

    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor value);
    // The colour around the pie and the needle dial.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    // Whole per cent done, 0..100.
    int PercentDone() const;

    // The complete picture of the gauge at its current size, as painted.
    // At a device pixel ratio above 1 (a scaled screen) the image has that
    // many pixels per widget pixel and carries the ratio, so the percentage
    // is written at the screen's own resolution.
    QImage Render(qreal devicePixelRatio = 1.0) const;

    // X as a percentage of Z (0 when Z is 0), truncated toward zero.
    static long long PercentOf(long long X, long long Z);
    // The part of a length Z that Y per cent represent, truncated.
    static long long PartOf(long long Y, long long Z);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Refresh();
    // r is the drawing rectangle inside the border; the arithmetic below uses
    // its exclusive right and bottom edges (x + width, y + height).
    void PaintKind(QImage& overlay, const QRect& r) const;
    void PaintText(QImage& overlay, const QRect& r) const;

    TProgressKind FKind = pkHorizontalBar;
    int FMinValue = 0;
    int FMaxValue = 100;
    int FCurrentValue = 0;
    bool FShowText = true;
    TProgressBorderStyle FBorderStyle = TProgressBorderStyle::bsSingle;
    TColor FForeColor = clBlack;
    TColor FBackColor = clWhite;
    TColor FColor = clWindow;
};
