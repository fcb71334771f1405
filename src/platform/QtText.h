#pragma once
// Windows-1250 <-> QString at the Qt boundary (drawing, dialogs, clipboard).
#include "platform/core/Cp1250.h"

#include <QString>
#include <string>
#include <string_view>

QString toQString(std::string_view cp1250Text);
std::string fromQString(const QString& text);
