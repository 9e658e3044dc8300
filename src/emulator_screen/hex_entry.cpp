// The hex-code entry window of the emulator.
#include "emulator_screen/hex_entry.h"

#include <string>

#include "emulator_screen/emulator_fields.h"
#include "ui/console/keys.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

bool RunHexEntry(HexCodeQueue& queue) {
    WindowHandle window = OpenWindow(7, 7, 10, 72, "HEX CODE ENTRY");
    PutText("Enter hex codes to simulate: ", 8, 9, 0, ' ', tf::Normal);
    std::string text;
    int ending = EditHexCodes(text);
    CloseWindow(window);
    if (ending == key::F10) return false;
    queue.Append(ParseHexCodes(text.c_str()));  // Esc left the text empty
    return true;
}
