// What an interrupted command has left done, for the signal that ends it to
// say: a send stopped half-way must not leave the user guessing what the
// module now holds.
#pragma once
#include <string>

// The words for a signal now ("" for none). Not from a signal handler.
void SetInterruptNote(const std::string& text);
// Writes the note and a line end to standard error; safe in a signal handler.
void WriteInterruptNote();
