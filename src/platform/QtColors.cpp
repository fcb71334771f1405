#include "platform/QtColors.h"

#include <QApplication>
#include <QPalette>

QColor toQColor(TColor c)
{
    if (c == clNone || c == clDefault)
        return QColor(Qt::transparent);
    if (!IsSystemColor(c))
        return QColor(ColorR(c), ColorG(c), ColorB(c));
    const QPalette pal = QGuiApplication::palette();
    switch (c & 0xFF) {
    case 5: return pal.color(QPalette::Base);              // clWindow
    case 8: return pal.color(QPalette::Text);              // clWindowText
    case 13: return pal.color(QPalette::Highlight);        // clHighlight
    case 14: return pal.color(QPalette::HighlightedText);  // clHighlightText
    case 15: return pal.color(QPalette::Button);           // clBtnFace
    case 16: return pal.color(QPalette::Mid);              // clBtnShadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text); // clGrayText
    case 18: return pal.color(QPalette::ButtonText);       // clBtnText
    case 20: return pal.color(QPalette::Light);            // clBtnHighlight
    case 21: return pal.color(QPalette::Shadow);           // cl3DDkShadow
    case 22: return pal.color(QPalette::Midlight);         // cl3DLight
    case 23: return pal.color(QPalette::ToolTipText);      // clInfoText
    case 24: return pal.color(QPalette::ToolTipBase);      // clInfoBk
    case 4: return pal.color(QPalette::Window);            // clMenu
    case 7: return pal.color(QPalette::WindowText);        // clMenuText
    case 12: return pal.color(QPalette::Dark);             // clAppWorkSpace
    case 26: return pal.color(QPalette::Link);             // clHotLight
    // No palette role for these: the classic Windows values.
    case 0: return QColor(0xD4, 0xD0, 0xC8);               // clScrollBar
    case 1: return QColor(0x3A, 0x6E, 0xA5);               // clBackground
    case 6: return QColor(Qt::black);                      // clWindowFrame
    case 10: return QColor(0xD4, 0xD0, 0xC8);              // clActiveBorder
    case 11: return QColor(0xD4, 0xD0, 0xC8);              // clInactiveBorder
    case 2: return QColor(0x00, 0x54, 0xE3);               // clActiveCaption
    case 3: return QColor(0x7A, 0x96, 0xDF);               // clInactiveCaption
    case 9: return QColor(Qt::white);                      // clCaptionText
    case 19: return QColor(0xD8, 0xE4, 0xF8);              // clInactiveCaptionText
    case 27: return QColor(0x3D, 0x95, 0xFF);              // clGradientActiveCaption
    case 28: return QColor(0x9D, 0xB9, 0xEB);              // clGradientInactiveCaption
    default: return pal.color(QPalette::Window);
    }
}

TColor fromQColor(const QColor& c)
{
    return RGBColor(c.red(), c.green(), c.blue());
}
