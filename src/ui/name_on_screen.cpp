#include "ui/name_on_screen.h"

#include "text/utf8.h"
#include "ui/console/cp437.h"

std::string NameOnScreen(const std::string& name) {
    std::string shown;
    for (size_t at = 0; at < name.size();) {
        const char32_t c = NextCharacter(name, at);
        const bool control = c < 0x20 || c == 0x7F || c == kNoCharacter;
        const int byte = control ? -1 : con::UnicodeToCp437(wchar_t(c));
        shown += byte < 0 ? '?' : char(byte);
    }
    return shown;
}
