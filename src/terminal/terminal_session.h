// The state of a running terminal and the output helpers its parts share.
// Internal to terminal/.
#pragma once
#include <chrono>
#include <cstdio>
#include <string>

#include "link/link.h"
#include "setup/setup_in_force.h"
#include "terminal/sio_port.h"
#include "terminal/terminal_display.h"

struct TerminalSession {
    explicit TerminalSession(SetupInForce& settingsInForce) : settings(settingsInForce) {}
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;
    // Whatever way the terminal ends, the port and its locks are let go and
    // the capture keeps what was written.
    ~TerminalSession() {
        if (nt_sio::SioIsOpen(port)) nt_sio::SioClose(&port);
        if (capture) std::fclose(capture);
    }

    nt_sio::SioPort port;
    std::string portName;  // as the port list names it
    bool lost = false;     // the device went away; nothing more is read or sent
    std::chrono::steady_clock::time_point nextReopen;  // while lost
    TerminalDisplay display;
    std::FILE* capture = nullptr;
    std::string captureName;  // kept while the terminal runs, offered again
    bool captureUnflushed = false;
    bool captureRaw = false;  // the received bytes as they came, not what is shown
    bool timestamps = false;
    bool lineStart = true;       // the next text shown starts a line (and gets its time)
    SetupInForce& settings;      // the terminal's port and line, and the link's
    LinkHandle* link = nullptr;  // the owner's: the terminal may close and reopen it
    bool borrowedLink = false;   // the terminal closed the link to use its port
    bool afterPrefix = false;    // Ctrl-T came: the next key names an action
    bool leave = false;
};

// Text for the screen only (messages, prompts, echo).
void Print(TerminalSession& s, const std::string& text);
void PrintF(TerminalSession& s, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Text that shows received data: the screen and, while capturing, the file.
void Show(TerminalSession& s, const std::string& text);
void FlushCapture(TerminalSession& s);
// Received bytes for a raw capture; nothing without one.
void CaptureRaw(TerminalSession& s, const uint8_t* bytes, int count);
// The received text with "[HH:MM:SS.mmm] " (the time now) at every line start.
std::string StampLines(TerminalSession& s, const std::string& text);
void CloseCapture(TerminalSession& s);  // with its message, when one is open

// Sends bytes; a port that has gone away is reported once.
void SendBytes(TerminalSession& s, const std::string& bytes);
// Reports a vanished device once and stops using it.
void MarkPortLost(TerminalSession& s);

// Sets the port's line from the terminal settings: _setuart's result.
long ApplyTerminalLine(const LinkSetup& setup, nt_sio::SioPort* port);
// While the port is lost: the wait until the next attempt to open it again,
// and that attempt when it is due (about once a second). A port that opens
// and takes its settings is announced and used again.
constexpr int kReopenIntervalMs = 1000;
int MsUntilReopen(const TerminalSession& s);
void TryReopenPort(TerminalSession& s);

// Reads a line typed at the keyboard, echoed, with Backspace; at most
// maxLength characters. False when Esc abandoned it.
bool ReadTerminalLine(TerminalSession& s, size_t maxLength, std::string* line);

// The keys with a meaning of their own.
void ToggleHexOutput(TerminalSession& s);
void ToggleTimestamps(TerminalSession& s);
// Raw: the received bytes exactly as they came; else what the screen shows.
void BeginCapture(TerminalSession& s, bool raw);
void EndCapture(TerminalSession& s);
void SendHexSequence(TerminalSession& s);
// Ctrl-T ?: the letters that may follow Ctrl-T.
void ShowPrefixKeys(TerminalSession& s);
