// The state of a running terminal and the output helpers its parts share.
// Internal to terminal/.
#pragma once
#include <cstdio>
#include <string>

#include "link/link.h"
#include "terminal/sio_port.h"
#include "terminal/terminal_display.h"

struct TerminalSession {
    TerminalSession() = default;
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
    TerminalDisplay display;
    std::FILE* capture = nullptr;
    std::string captureName;  // kept while the terminal runs, offered again
    bool captureUnflushed = false;
    Link* link = nullptr;
    bool borrowedLink = false;  // the terminal closed the link to use its port
    bool leave = false;
};

// Text for the screen only (messages, prompts, echo).
void Print(TerminalSession& s, const std::string& text);
void PrintF(TerminalSession& s, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Text that shows received data: the screen and, while capturing, the file.
void Show(TerminalSession& s, const std::string& text);
void FlushCapture(TerminalSession& s);
void CloseCapture(TerminalSession& s);  // with its message, when one is open

// Sends bytes; a port that has gone away is reported once.
void SendBytes(TerminalSession& s, const std::string& bytes);
// Reports a vanished device once and stops using it.
void MarkPortLost(TerminalSession& s);

// Reads a line typed at the keyboard, echoed, with Backspace; at most
// maxLength characters. False when Esc abandoned it.
bool ReadTerminalLine(TerminalSession& s, size_t maxLength, std::string* line);

// The keys with a meaning of their own.
void ToggleHexOutput(TerminalSession& s);
void BeginCapture(TerminalSession& s);
void EndCapture(TerminalSession& s);
void SendHexSequence(TerminalSession& s);
