// A form of fields as a screen of the key loop, for a form that acts on the
// key that left it (a key of its own, or one that leaves the form) and then
// goes on editing.
#pragma once
#include <cstdint>

#include "ui/fields.h"
#include "ui/key_loop.h"

class FormScreen : public KeyScreen {
  public:
    FormScreen(const FieldDescriptor* fields, int last, const char* exitKeys, uint32_t flags)
        : fields_(fields), last_(last), exitKeys_(exitKeys), flags_(flags) {}
    // The key that left the form, edited from field startField (0 once read).
    int NextKey() override;
    // Shows every field again.
    void Show() override;

    int startField = 0;

  private:
    const FieldDescriptor* fields_;
    int last_;
    const char* exitKeys_;
    uint32_t flags_;
};
