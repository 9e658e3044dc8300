// Runs the real program in a private tmux server at a given terminal size, in
// a scratch directory of its own, and reads its screen. Only the tmux server
// this session started is ever stopped.
#pragma once
#include <memory>
#include <string>
#include <vector>

class DeviceRootDir;
class PtyPair;

class TmuxSession {
  public:
    explicit TmuxSession(int cols = 80, int rows = 25);
    ~TmuxSession();
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    // The scratch directory the program runs in; put fixture files here first.
    // It starts with a KOVASW.STP naming a Sy/Max link on ttyS0 of a private
    // device root whose ttyS0 is a pty this session holds, so kovasw starts
    // connected and quietly; tests of the setup file replace or remove it.
    const std::string& Dir() const { return dir_; }
    // The locale the program runs in (C.UTF-8 unless set before Start).
    void SetLocale(const std::string& locale) { locale_ = locale; }
    // The terminal type the program sees (tmux's own unless set before Start).
    void SetTerm(const std::string& term) { term_ = term; }
    // Starts build/kovasw (or another program of the build) with arguments.
    void Start(const std::vector<std::string>& args = {}, const std::string& program = "kovasw");

    // The private device root whose dev/ttyS0 the program starts connected to.
    const std::string& DeviceRoot() const;
    // Runs a shell script instead, with KOVASW naming the program (and its
    // device root: use it unquoted).
    void StartScript(const std::string& script);

    void Type(const std::string& literal);                // typed character by character
    void SendKeys(const std::vector<std::string>& keys);  // tmux key names: Enter, F1, Left...
    void SendKeys(const std::string& key) { SendKeys(std::vector<std::string>{key}); }

    std::vector<std::string> Screen();   // the rows as text, 1-based index 0 = row 1
    std::string Row(int row);            // one 1-based row
    std::string ScreenText();            // all rows joined by newlines
    std::string ScreenWithAttributes();  // capture with escape sequences
    // One cell of a captured row with the colours and attributes it shows.
    struct Cell {
        std::string ch;
        int fg = -1, bg = -1;  // 0-15 (8-15 bright, also from bold), -1 default
        bool bold = false, reverse = false, underline = false;
    };
    std::vector<Cell> RowCells(int row);  // one 1-based row
    // Waits until the screen contains the text; false after the deadline.
    bool WaitFor(const std::string& text, int timeoutMs = 10000);
    bool WaitForRow(int row, const std::string& text, int timeoutMs = 10000);
    // Waits until text that is on the screen has gone (a window closed). A
    // text that must never appear is looked for only after something that
    // must appear once the program has got that far: a wait for its absence
    // would pass before it was drawn.
    bool WaitForGone(const std::string& text, int timeoutMs = 10000);
    // Waits until the screen stops changing for a moment.
    void Settle(int quietMs = 150, int timeoutMs = 3000);
    bool WaitForExit(int timeoutMs = 10000);  // after Start
    int ExitStatus();  // the program's exit status (128 + n for signal n), -1 while it runs
    int ProgramPid();  // after Start
    void Resize(int cols, int rows);

    // Runs a tmux command on this session's server; returns its output.
    std::string Tmux(const std::vector<std::string>& args);

  private:
    void PrepareQuietStart();
    std::string socket_, dir_, locale_ = "C.UTF-8", term_;
    std::unique_ptr<PtyPair> pty_;  // ttyS0 of the private device root
    std::unique_ptr<DeviceRootDir> ports_;
    bool started_ = false;
};

// Runs a program without a shell; returns its standard output.
std::string RunCommand(const std::vector<std::string>& argv, int* status = nullptr);
std::string BuildDir();
