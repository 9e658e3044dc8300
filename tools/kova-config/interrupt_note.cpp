// Two buffers: the note being written is never the one a signal may read.
#include "interrupt_note.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

struct Note {
    char text[240];
    size_t length;
};

Note gNotes[2];
std::atomic<int> gCurrent{-1};  // the note a signal reads; -1: none

}  // namespace

void SetInterruptNote(const std::string& text) {
    if (text.empty()) return gCurrent.store(-1);
    const int next = gCurrent.load() == 0 ? 1 : 0;
    Note& note = gNotes[next];
    note.length = std::min(text.size(), sizeof note.text - 1);
    std::memcpy(note.text, text.data(), note.length);
    note.text[note.length] = '\n';
    gCurrent.store(next);
}

void WriteInterruptNote() {
    const int current = gCurrent.load();
    if (current < 0) return;
    const Note& note = gNotes[current];
    ssize_t ignored = ::write(STDERR_FILENO, note.text, note.length + 1);
    (void)ignored;
}
