// "CONFIGURE TERMINAL EMULATOR": the terminal emulator's serial port. The
// window is six columns wider than the port's five-column COM names needed,
// so that whole Linux device names fit.
#include <cstring>

#include "config/config_lists.h"
#include "forms/link_forms.h"
#include "forms/port_path_entry.h"
#include "forms/save_setup_prompt.h"
#include "setup/link_setup.h"
#include "setup/setup_choices.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/screen.h"

namespace {

constexpr LabelDescriptor kLabels[] = {
    {7, 30, "Port", tf::RightAlign},      {8, 30, "Baud rate", tf::RightAlign},
    {9, 30, "Data bits", tf::RightAlign}, {10, 30, "Stop bits", tf::RightAlign},
    {11, 30, "Parity", tf::RightAlign},   {0, 0, nullptr, 0},
};

void DrawLabelsRightAligned(const LabelDescriptor* labels, int width) {
    for (const LabelDescriptor* l = labels; l->text; ++l)
        PutText(l->text, l->row, l->col, width, ' ', l->flags);
}

}  // namespace

void ConfigureTerminal(SetupInForce& settings, bool offerSave) {
    WindowHandle window = OpenWindow(6, 28, 12, 60, "CONFIGURE TERMINAL EMULATOR");
    // Read afresh: a port plugged in since is offered, and the settings
    // keep naming the ports they named.
    RefreshSetupPorts(settings);
    const SerialPortList ports = settings.ports;  // the choices, for as long as the form runs
    LinkSetup& s = settings.CurrentSetup;
    FieldDescriptor fields[] = {
        {7, 46, kPortFieldWidth, dt::ChoiceList, &s.TerminalPort, ports.Choices(), nullptr,
         tf::Highlight},
        {8, 46, kSetupBaudWidth, dt::ChoiceList, &s.TerminalBaud, kSetupBaudTexts, nullptr,
         tf::Highlight},
        {9, 46, 1, dt::ChoiceList, &s.TerminalDataBits, kSetupDataBitsTexts, nullptr,
         tf::Highlight},
        {10, 46, 1, dt::ChoiceList, &s.TerminalStopBits, kSetupStopBitsTexts, nullptr,
         tf::Highlight},
        {11, 46, 4, dt::ChoiceList, &s.TerminalParity, kSetupParityTexts, nullptr, tf::Highlight},
    };
    constexpr int kLast = 4;
    DrawLabelsRightAligned(kLabels, 15);
    DrawFields(fields, 0, kLast, 0);
    const LinkSetup saved = s;
    const char exits[] = {char(key::Enter), char(key::Esc), char(key::F1), kPortPathKey, 0};
    int k, start = 0;
    for (;;) {
        k = EditForm(fields, 0, kLast, start, exits, tf::StartWithText);
        if (k == key::Enter || k == key::Esc) break;
        start = k == key::Up ? kLast : 0;  // the form wraps round
        if (k == kPortPathKey) {
            TypePortPath(s.TerminalPort, ports);
            DrawFields(fields, 0, kLast, 0);
        }
    }
    bool changed = std::memcmp(&s, &saved, sizeof s) != 0;
    if (k == key::Esc && changed) {
        ShowError(kEditAborted);
        s = saved;
    } else if (k == key::Enter) {
        // A port chosen from the list is its adapter from now on.
        if (ports.At(s.TerminalPort)) settings.adapters.terminal = ports.AdapterAt(s.TerminalPort);
        if (offerSave && changed) SaveSetupPrompt(settings);
    }
    CloseWindow(window);
}
