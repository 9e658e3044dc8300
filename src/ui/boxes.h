// Pop-up boxes: the confirm box at the lower left, and the error window at the
// lower right corner that waits for F10 or Esc.
#pragma once
#include <functional>
#include <string>

int ConfirmBox(const char* question);  // 1 yes, 0 no
// With errors not trapped nothing waits: the message goes to the status row
// (row 25), and stays there when the screen behind is put back (see
// RedrawUntrappedError).
int ShowError(const char* message);  // 1 F10 (or not shown), 0 Esc
int ShowErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// ShowError with the system's reason on the status row (row 25) while the
// window is up; the row's own text comes back after. With errors not trapped
// the reason stays there as the only report.
int ShowErrorWithReason(const char* message, const std::string& reason);
// The error window of a failure that may end by itself (a link that comes
// back): it waits for F10 or Esc as ShowError does, and after each everyMs
// without a key asks over() whether the failure has ended, closing by itself
// when it has. 1 F10 (or not trapped: nothing waits), 0 Esc, 2 over.
int ShowErrorUntil(const char* message, int everyMs, const std::function<bool()>& over);
int ShowErrorBox(const char* message);  // 1 F10, 0 otherwise
// For an error window the caller has opened and filled: beeps and waits for
// F10 or Esc as ShowError does, beeping again at every other key. 1 F10, 0 Esc.
int WaitInErrorWindow();
int ShowErrorBoxF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Whether errors are trapped in the window is the shell's trapErrors hook
// (screen_hooks.h).

// The last failure reported on the status row since the last call, drawn
// there again: a menu that puts its screen back after a function would
// otherwise wipe the only word of a failure. Once drawn it is forgotten, so
// it lasts until the next function ends.
void RedrawUntrappedError();
// Blanks it without forgetting it: a screen about to be saved for good must
// not keep it.
void HideUntrappedError();
// When the caller keeps its own report on the row instead.
void ForgetUntrappedError();
// A word on the status row that is not a failure (a setting replaced), kept
// the same way.
void NoteOnStatusRow(const std::string& text);
