// The form's walk through its fields as the next key of a screen.
#include "ui/form_screen.h"

int FormScreen::NextKey() {
    const int k = EditForm(fields_, 0, last_, startField, exitKeys_, flags_);
    startField = 0;
    return k;
}

void FormScreen::Show() { DrawFields(fields_, 0, last_, 0); }
