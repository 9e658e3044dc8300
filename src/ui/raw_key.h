// The keyboard below the key codes, for screens that read it themselves: PC
// key bytes with extended keys as a 0 byte and the scan code, keys queued by
// StuffKeys included, and a way to run what a hot key is bound to.
#pragma once
#include <cstdint>

// A screen of the key loop that reads raw key bytes hands an extended key to
// its handler as this flag with the scan code, apart from every byte.
constexpr int kExtendedKey = 0x100;

// One key byte: first what a peek left, then keys still queued by StuffKeys
// (turned back into key bytes), then the console. Repaints a dirty screen and
// flushes before waiting. timeoutMs < 0 waits without limit; -1 on timeout.
int ReadRawKey(int timeoutMs);
// ReadRawKey for a screen that takes Ctrl-T as the key prefix: Ctrl-T and a
// second key come back as the extended key they stand for (0, then its scan
// code), Ctrl-T twice as one Ctrl-T byte; a prefix before a key that means
// nothing is swallowed together with that key.
int ReadRawKeyPrefixed(int timeoutMs);
// Waits like ReadRawKey but leaves the byte to be read again.
int PeekRawKey(int timeoutMs);
// Waits up to timeoutMs (forever when negative) for a key byte or for fd to
// have something to say, repainting a dirty screen and flushing first.
// Returns con::InputKey and con::InputDescriptor as they hold; 0 on timeout
// (or an interruption: check the clock).
int WaitForRawKeyOr(int fd, int timeoutMs);
// Runs the handler bound to the key code, as ReadKey would; false when none
// is bound (or it is already running).
bool RunHotKey(uint8_t code);
