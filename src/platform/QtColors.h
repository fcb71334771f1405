#pragma once
#include "platform/core/Colors.h"

#include <QColor>

// The colour to draw with: plain colours as they are, system colours from the
// application palette (falling back to the classic Windows values where the
// palette has no role for them).
QColor toQColor(TColor c);
TColor fromQColor(const QColor& c);
