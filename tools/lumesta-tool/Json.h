#pragma once
// JSON output of the tool's commands: Windows-1250 text as JSON strings.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/core/Cp1250.h"
#include "store/Typy.h"

// A JSON string (UTF-8) of Windows-1250 text; control characters, and the
// code page's undefined bytes (C1 controls), are escaped.
inline std::string jsonNapis(std::string_view tekst)
{
    const std::string utf8 = cp1250::toUtf8(tekst);
    std::string o = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '"' || c == '\\') {
            o += '\\';
            o += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            o += b;
        } else if (c == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            // C1 controls (the code page's undefined bytes) are escaped too.
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", static_cast<unsigned char>(utf8[i + 1]));
            o += b;
            ++i;
        } else {
            o += char(c);
        }
    }
    return o + "\"";
}

// The store's messages go to standard error as they come, or are kept for
// the JSON output.
class Komunikaty : public TKomunikaty {
public:
    explicit Komunikaty(bool json) : json(json) {}
    void Komunikat(const std::string& tekst) override
    {
        lista.push_back(tekst);
        if (!json)
            std::fprintf(stderr, "lumesta-tool: %s\n", cp1250::toUtf8(tekst).c_str());
    }
    bool json;
    TListaNapisow lista;
};
