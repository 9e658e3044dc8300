// "CONFIGURE REGISTER VIEWER": the register viewer's options, with range
// checks on the screen size and the first register.
#include <cstring>

#include "forms/link_forms.h"
#include "forms/save_setup_prompt.h"
#include "setup/link_setup.h"
#include "setup/setup_choices.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/screen.h"

namespace {

constexpr LabelDescriptor kLabels[] = {
    {7, 30, "Priority", tf::RightAlign},
    {8, 30, "Status Registers", tf::RightAlign},
    {9, 30, "Screen Size", tf::RightAlign},
    {10, 30, "Starting Register", tf::RightAlign},
    {11, 30, "Register Set", tf::RightAlign},
    {12, 30, "Identify Module", tf::RightAlign},
    {0, 0, nullptr, 0},
};
constexpr int kLabelWidth = 17;  // labels end at column 46

// Corrects *value into [low, high]; 0 with the message when it was outside.
int KeepInRange(void* value, int low, int high, const char* tooLow, const char* tooHigh) {
    int16_t& v = *static_cast<int16_t*>(value);
    if (high > 0 && v > high) {
        ShowError(tooHigh);
        v = int16_t(high);
        return 0;
    }
    if (v < low) {
        ShowError(tooLow);
        v = int16_t(low);
        return 0;
    }
    return 1;
}

}  // namespace

int CheckViewerScreenSize(void* value, int, const FieldDescriptor*) {
    return KeepInRange(value, 1, 20, "Register Viewer size must be >= 1",
                       "Register Viewer size must be <= 20");
}

int CheckViewerStartRegister(void* value, int, const FieldDescriptor*) {
    return KeepInRange(value, 1, 0, "Register Viewer start must be >= 1", nullptr);
}

void ConfigureRegisterViewer(SetupInForce& settings, bool offerSave) {
    WindowHandle window = OpenWindow(6, 28, 13, 61, "CONFIGURE REGISTER VIEWER");
    LinkSetup& s = settings.CurrentSetup;
    constexpr uint32_t kField = tf::Highlight;
    FieldDescriptor fields[] = {
        {7, 48, 12, dt::ChoiceList, &s.ViewerPriority, kPriorityTexts, nullptr, kField},
        {8, 48, 3, dt::ChoiceList, &s.ViewerStatusRegisters, kYesNoTexts, nullptr, kField},
        {9, 48, 2, dt::UShort, &s.ViewerScreenSize, nullptr, CheckViewerScreenSize, kField},
        {10, 48, 4, dt::UShort, &s.ViewerStartRegister, nullptr, CheckViewerStartRegister, kField},
        {11, 48, 3, dt::ChoiceList, &s.ViewerRegisterSet, kRegisterSetTexts, nullptr, kField},
        {12, 48, 3, dt::ChoiceList, &s.ViewerIdentifyModule, kYesNoTexts, nullptr, kField},
    };
    constexpr int kLast = 5;
    for (const LabelDescriptor* l = kLabels; l->text; ++l)
        PutText(l->text, l->row, l->col, kLabelWidth, ' ', l->flags);
    DrawFields(fields, 0, kLast, 0);
    const LinkSetup saved = s;
    const char exits[] = {char(key::Enter), char(key::Esc), char(key::F1), 0};
    constexpr uint32_t kFlags = tf::StartWithText | tf::ReplaceOld;
    int k = EditForm(fields, 0, kLast, 0, exits, kFlags);
    while (k == key::Up) k = EditForm(fields, 0, kLast, kLast, exits, kFlags);
    if (k == key::Esc) {
        if (std::memcmp(&s, &saved, sizeof s) != 0) {
            ShowError(kEditAborted);
            s = saved;
        }
    } else if (offerSave) {
        SaveSetupPrompt(settings);
    }
    CloseWindow(window);
}
