// The port configuration editor: one port of the working configuration on
// one screen, a key per field, offline or (with the module's writes) online.
#pragma once
#include "config/config_documents.h"
#include "config/online_writes.h"
#include "editors/port_editor_keys.h"
#include "ui/key_loop.h"

// Runs until Esc, or online at once when the port cannot be fetched on
// opening. port is the port shown (0-3), kept by the caller from one editing
// to the next.
void EditPorts(ConfigDocuments& documents, OnlineWrites& writes, int& port);

// The editor as a screen of the key loop, which EditPorts runs it in.
class PortEditorScreen final : public KeyScreen {
  public:
    PortEditorScreen(ConfigDocuments& documents, OnlineWrites& writes, int& port);
    // Draws the screen, online with the port fetched first; false when that
    // fetch failed (reported).
    bool Open();
    // Upper-cased; with a list value held, 0 once the user paused on it.
    int NextKey() override;
    KeyResult OnKey(int key) override;
    void Show() override;
    const PortEditing& Editing() const { return editing_; }

  private:
    PortEditing editing_;
};
