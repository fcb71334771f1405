#include "view/DVStyle.h"

#include "platform/Cursors.h"
#include "platform/core/Exceptions.h"

#include <QGuiApplication>

TFontInfo& TFontInfos::Add()
{
    return FItems.emplace_back();
}

TFontInfo& TFontInfos::Items(int i)
{
    if (i < 0 || i >= Count())
        throw EListError(i);
    return FItems[size_t(i)];
}

const TFontInfo& TFontInfos::Items(int i) const
{
    if (i < 0 || i >= Count())
        throw EListError(i);
    return FItems[size_t(i)];
}

TDVStyle::TDVStyle(QObject* owner) : QObject(owner)
{
    // The program's resources may already have put their own jump cursor in
    // place; the drawn hand is the fallback.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        ScreenCursor(crJump).shape() == Qt::ArrowCursor)
        InstallCursor(crJump, MakeJumpCursor());
    FJumpCursor = crJump;

    FTextStyles.Add();
    TFontInfo& s1 = FTextStyles.Add();
    s1.Style = fsBold;
    s1.Color = clBlue;
    TFontInfo& s2 = FTextStyles.Add();
    s2.Style = fsBold;
    s2.Color = clNavy;
    TFontInfo& s3 = FTextStyles.Add();
    s3.Style = fsItalic;
    s3.Color = clMaroon;
    for (int i = 0; i < 2; ++i) {
        TFontInfo& j = FTextStyles.Add();
        j.Style = fsUnderline;
        j.Color = clGreen;
    }
}

TDVStyle::~TDVStyle() = default;
