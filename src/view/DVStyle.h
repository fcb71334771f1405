#pragma once
// Text styles of document views. One TDVStyle may serve many views; a view
// refers to it and notices when it is destroyed.
#include "platform/Canvas.h"
#include "platform/core/Colors.h"

#include <QObject>
#include <deque>
#include <string>

// One text style. Copying (or Assign) copies all five properties.
class TFontInfo {
public:
    int CharSet = DEFAULT_CHARSET;
    std::string FontName = "Times New Roman"; // Windows-1250
    int Size = 10;                            // points
    TColor Color = clWindowText;
    int Style = 0;                            // TFontStyleBits

    void Assign(const TFontInfo& source) { *this = source; }
    // The font a canvas selects for this style.
    TFontDesc Desc() const { return TFontDesc{FontName, Size, CharSet, Style, Color}; }
};

// The style table; a style's index is its style number. References returned
// by Add and Items stay valid while styles are only added.
class TFontInfos {
public:
    TFontInfo& Add();
    // Style i; EListError when i is outside the table.
    TFontInfo& Items(int i);
    const TFontInfo& Items(int i) const;
    int Count() const { return int(FItems.size()); }
    void Clear() { FItems.clear(); }
    void Assign(const TFontInfos& source) { FItems = source.FItems; }

private:
    std::deque<TFontInfo> FItems;
};

class TDVStyle : public QObject {
    Q_OBJECT
public:
    // Six styles: 0 normal; 1 bold blue; 2 bold navy; 3 italic maroon;
    // 4 and 5 underlined green (the jump styles). Installs the jump cursor
    // under number 101 unless one is installed already.
    explicit TDVStyle(QObject* owner = nullptr);
    ~TDVStyle() override;

    TFontInfos& TextStyles() { return FTextStyles; }
    const TFontInfos& TextStyles() const { return FTextStyles; }
    void SetTextStyles(const TFontInfos& styles) { FTextStyles.Assign(styles); }

    int JumpCursor() const { return FJumpCursor; }
    void SetJumpCursor(int cursor) { FJumpCursor = cursor; }
    TColor Color() const { return FColor; }
    void SetColor(TColor c) { FColor = c; }
    // clNone switches the hover effect off.
    TColor HoverColor() const { return FHoverColor; }
    void SetHoverColor(TColor c) { FHoverColor = c; }
    bool FullRedraw() const { return FFullRedraw; }
    void SetFullRedraw(bool on) { FFullRedraw = on; }
    TColor SelColor() const { return FSelColor; }
    void SetSelColor(TColor c) { FSelColor = c; }
    TColor SelTextColor() const { return FSelTextColor; }
    void SetSelTextColor(TColor c) { FSelTextColor = c; }

private:
    TFontInfos FTextStyles;
    int FJumpCursor = 101;
    TColor FColor = clWindow;
    TColor FHoverColor = clNone;
    bool FFullRedraw = false;
    TColor FSelColor = clHighlight;
    TColor FSelTextColor = clHighlightText;
};
