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
#include "ui/form_screen.h"
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

// The form's keys: Enter and Esc leave it, the form wraps round from one end
// to the other, and the port path key types the port's path.
class TerminalFormScreen final : public FormScreen {
  public:
    TerminalFormScreen(const FieldDescriptor* fields, int last, const char* exits, int16_t& port,
                       const SerialPortList& ports)
        : FormScreen(fields, last, exits, tf::StartWithText),
          last_(last),
          port_(port),
          ports_(ports) {}

    KeyResult OnKey(int k) override {
        ending = k;
        if (k == key::Enter || k == key::Esc) return KeyResult::Leave;
        startField = k == key::Up ? last_ : 0;
        if (k != kPortPathKey) return KeyResult::Handled;
        TypePortPath(port_, ports_);
        return KeyResult::Redraw;
    }

    int ending = 0;

  private:
    int last_;
    int16_t& port_;
    const SerialPortList& ports_;
};

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
    TerminalFormScreen screen(fields, kLast, exits, s.TerminalPort, ports);
    RunKeyLoop(screen);
    const int k = screen.ending;
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
