#include "text/utf8.h"

char32_t NextCharacter(std::string_view text, size_t& at) {
    const unsigned char lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    unsigned extra;
    char32_t code, least;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1, code = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2, code = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3, code = lead & 0x07, least = 0x10000;
    else
        return kNoCharacter;
    if (text.size() - at < extra) return kNoCharacter;
    for (unsigned k = 0; k < extra; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return kNoCharacter;
        code = code << 6 | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return kNoCharacter;
    at += extra;
    return code;
}
