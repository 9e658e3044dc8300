// The emulator: a modal screen that shows, character by character, what one
// port of the module does with a message typed on the keyboard or entered in
// hexadecimal, down to the registers it writes.
#pragma once

// Fills the working configuration with the chosen port's configuration from
// the module (the online form); null for the offline form.
using PortFetcher = void (*)(int port);

// online 0: the port is copied from the offline memory; 1: fetched with
// fetch. Returns when the user leaves (Esc at the port prompt, F10).
void Emulate(int online, PortFetcher fetch = nullptr);

// The "from oFfline memory" menu entry.
int EmulateOffline();
