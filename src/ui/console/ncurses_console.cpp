#include "ui/console/ncurses_console.h"

#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/console/cp437.h"
#include "ui/console/glyphs.h"
#include "ui/console/ncurses_impl.h"
#include "ui/console/screen_size.h"

namespace con {
namespace {

constexpr int kFatalSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGSEGV,
                                 SIGABRT, SIGBUS, SIGFPE, SIGILL};

// What a signal handler needs to give the terminal back, prepared in advance
// because the handler may only make async-signal-safe calls.
struct RestoreState {
    bool active = false;
    termios original{};
    char resetSequence[256] = {};
    size_t resetLength = 0;
};
RestoreState gRestore;
void (*gFatalSignalHook)() = nullptr;

void RestoreFromSignal(int sig) {
    if (gRestore.active) {
        gRestore.active = false;
        ssize_t ignored = write(STDOUT_FILENO, gRestore.resetSequence, gRestore.resetLength);
        (void)ignored;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &gRestore.original);
    }
    if (gFatalSignalHook) gFatalSignalHook();
    signal(sig, SIG_DFL);
    raise(sig);
}

void AppendCapability(std::string& out, const char* name) {
    char* cap = tigetstr(name);
    if (cap && cap != reinterpret_cast<char*>(-1)) out += cap;
}

// Windows console colour indexes (bit 0 blue, 1 green, 2 red) to curses.
short CursesColour(int index) {
    static constexpr short kBase[8] = {COLOR_BLACK, COLOR_BLUE,    COLOR_GREEN,  COLOR_CYAN,
                                       COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};
    return kBase[index & 7];
}

// Whether the terminal named by TERM can put the cursor anywhere, looked up
// before anything is sent to it.
bool CanAddressCursor() {
    int status = 0;
    if (setupterm(nullptr, STDOUT_FILENO, &status) != OK) return false;
    const char* cup = tigetstr("cup");
    const bool addressable = cup && cup != reinterpret_cast<char*>(-1);
    del_curterm(cur_term);
    return addressable;
}

// A terminal without an alternate screen (the Linux console, a VT) keeps
// what was drawn last after the program ends; a box asking whether to quit
// would stay there. It is cleared instead.
void ClearWithoutAlternateScreen() {
    if (Present(tigetstr("smcup"))) return;
    wclear(stdscr);
    wrefresh(stdscr);
}

}  // namespace

// A blank in the normal colour says nothing; anything else on the last two
// rows does (a reverse bar too).
void NcursesConsole::Impl::NoteInk(int row, int col, uint8_t ch, uint8_t colourByte) {
    const int which = row - (kRows - 2);
    if (which < 0) return;
    const bool shows = (ch != ' ' && ch != 0) || colourByte != kNormalColour;
    if (shows != ink[which][col]) inkCount[which] += shows ? 1 : -1;
    ink[which][col] = shows;
}

attr_t NcursesConsole::Impl::AttributesOf(uint8_t c, short& pair) {
    int fg = c & 0x0F, bg = c >> 4;
    pair = 0;
    if (!colour) {
        // Without colour: reverse for the light backgrounds, bold for the
        // highlight colour, bold underline for alert.
        attr_t a = A_NORMAL;
        if (bg == 7 || bg == 6) a |= A_REVERSE;
        if (fg == 0x0E) a |= A_BOLD;
        if (fg == 0x0C) a |= A_BOLD | A_UNDERLINE;
        return a;
    }
    if (pairOf[c] == 0 && pairsUsed + 1 < COLOR_PAIRS) {
        short f = CursesColour(fg);
        if (fg >= 8 && COLORS >= 16) f = short(f + 8);
        init_pair(short(++pairsUsed), f, CursesColour(bg));
        pairOf[c] = short(pairsUsed);
    }
    pair = pairOf[c];
    return fg >= 8 && COLORS < 16 ? A_BOLD : A_NORMAL;
}

void NcursesConsole::Impl::Put(int row, int col, uint8_t ch, uint8_t colourByte) {
    short pair;
    attr_t attrs = AttributesOf(colourByte, pair);
    NoteInk(row, col, ch, colourByte);
    if (utf8) {
        wchar_t text[2] = {Cp437ToUnicode(ch), 0};
        cchar_t cell;
        setcchar(&cell, text, attrs, pair, nullptr);
        mvwadd_wch(pad, row, col, &cell);
    } else {
        mvwaddch(pad, row, col, narrow[ch] | attrs | COLOR_PAIR(pair));
    }
}

namespace {

// The too-small message, its lines cut at the terminal's width.
void DrawTooSmallMessage(int rows, int cols) {
    const std::string text = TooSmallText(cols, rows);
    int row = 0;
    for (size_t at = 0; at < text.size() && row < rows; ++row) {
        const size_t end = text.find('\n', at);
        mvwaddnstr(stdscr, row, 0, text.c_str() + at, std::min(int(end - at), cols));
        at = end + 1;
    }
}

}  // namespace

void NcursesConsole::Impl::ShowPicture(int termRows) {
    const RowPlan plan =
        PlanRows(termRows, {inkCount[0] > 0, inkCount[1] > 0, cursorVisible, cursorRow});
    wmove(pad, cursorRow, cursorCol);
    if (termRows > kMinRows) {
        pnoutrefresh(pad, 0, 0, 0, 0, kRows - 1, kCols - 1);
        return;
    }
    // The piece that holds the cursor goes last: it places the cursor.
    if (cursorRow == plan.lastLine) {
        pnoutrefresh(pad, plan.top, 0, 0, 0, kMinRows - 2, kCols - 1);
        pnoutrefresh(pad, plan.lastLine, 0, kMinRows - 1, 0, kMinRows - 1, kCols - 1);
    } else {
        pnoutrefresh(pad, plan.lastLine, 0, kMinRows - 1, 0, kMinRows - 1, kCols - 1);
        pnoutrefresh(pad, plan.top, 0, 0, 0, kMinRows - 2, kCols - 1);
    }
}

void NcursesConsole::Impl::Refresh() {
    int rows, cols;
    getmaxyx(stdscr, rows, cols);
    if (rows < kMinRows || cols < kCols) {
        werase(stdscr);
        DrawTooSmallMessage(rows, cols);
        wnoutrefresh(stdscr);
        curs_set(0);
        doupdate();
        tooSmall = true;
        return;
    }
    if (tooSmall) {
        tooSmall = false;
        clearok(curscr, TRUE);
    }
    ShowPicture(rows);
    curs_set(cursorVisible ? 1 : 0);
    doupdate();
}

// Nobody is trapped by a terminal too small to show the picture: the
// program ends, saying why and how to go on, as a signal would end it
// (the serial ports are given back at exit).
void NcursesConsole::Impl::LeaveTooSmall() {
    int rows, cols;
    getmaxyx(stdscr, rows, cols);
    gRestore.active = false;
    ClearWithoutAlternateScreen();
    curs_set(1);
    endwin();
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &gRestore.original);
    std::fputs(TooSmallLeaveText(cols, rows).c_str(), stderr);
    std::exit(1);
}

bool NcursesConsole::Impl::TooSmallKey(int status, wint_t ch) {
    if (!tooSmall) return false;
    if (status == OK && LeavesTooSmallTerminal(int(ch))) LeaveTooSmall();
    return true;  // keys typed blind are dropped
}

// The pad is the whole screen, so scrolling it moves every row up; the new
// bottom row is blank in the normal colour like a console's.
void NcursesConsole::Impl::NewLine() {
    cursorCol = 0;
    if (cursorRow < kRows - 1) {
        ++cursorRow;
        return;
    }
    scrollok(pad, TRUE);
    wscrl(pad, 1);
    scrollok(pad, FALSE);
    std::memcpy(ink[0], ink[1], sizeof ink[0]);  // the last row moved up
    inkCount[0] = inkCount[1];
    for (int col = 0; col < kCols; ++col) Put(kRows - 1, col, ' ', kNormalColour);
}

// Frames and markers through the terminal's line-drawing set where its
// description offers one; ASCII stand-ins where it does not.
void NcursesConsole::Impl::ChooseGlyphs() {
    const bool lineDrawing = Present(tigetstr("acsc"));
    for (int b = 0; b < 256; ++b) {
        const char letter = AcsLetterOf(uint8_t(b));
        if (!letter)
            narrow[b] = b > 0x20 && b < 0x7F ? chtype(b) : chtype(' ');
        else if (lineDrawing)
            narrow[b] = NCURSES_ACS(letter);
        else
            narrow[b] = chtype(uint8_t(Cp437ToAscii(uint8_t(b))));
    }
}

NcursesConsole::NcursesConsole() : impl_(std::make_unique<Impl>()) {}

void NcursesConsole::SetFatalSignalHook(void (*hook)()) { gFatalSignalHook = hook; }
NcursesConsole::~NcursesConsole() { Stop(); }

void NcursesConsole::Start() {
    if (impl_->screen) return;
    std::setlocale(LC_ALL, "");
    impl_->utf8 =
        std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0 && TerminalTakesUtf8(std::getenv("TERM"));
    tcgetattr(STDIN_FILENO, &gRestore.original);
    set_escdelay(25);  // a lone Esc registers within 50 ms
    // Nothing has been taken over yet, so a terminal that cannot be used is
    // reported on standard error and the program ends at once.
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        std::fputs("kovasw: standard input and output must be a terminal\n", stderr);
        std::exit(1);
    }
    // A terminal that cannot move its cursor (TERM=dumb, a printing
    // terminal) would show a garbled line: refused like an unknown one.
    if (!CanAddressCursor() || !(impl_->screen = newterm(nullptr, stdout, stdin))) {
        const char* term = std::getenv("TERM");
        std::fprintf(stderr, "kovasw: cannot use the terminal type \"%s\"\n", term ? term : "");
        std::exit(1);
    }
    set_term(impl_->screen);
    impl_->ChooseGlyphs();
    raw();  // Ctrl-C and Ctrl-Z arrive as keys
    noecho();
    nonl();
    impl_->colour = has_colors();
    if (impl_->colour) {
        start_color();
        // Every cell carries its own colour pair; leaving pair 0 to the
        // terminal's defaults keeps the reset after each update short.
        use_default_colors();
    }
    impl_->pad = newpad(kRows, kCols);
    keypad(impl_->pad, TRUE);
    impl_->DefineKeys();
    std::string reset;
    AppendCapability(reset, "sgr0");
    AppendCapability(reset, "cnorm");
    AppendCapability(reset, "rmkx");
    AppendCapability(reset, "rmcup");
    if (!Present(tigetstr("smcup"))) AppendCapability(reset, "clear");
    reset = reset.substr(0, sizeof gRestore.resetSequence);
    std::memcpy(gRestore.resetSequence, reset.data(), reset.size());
    gRestore.resetLength = reset.size();
    gRestore.active = true;
    for (int sig : kFatalSignals) signal(sig, RestoreFromSignal);
}

void NcursesConsole::Stop() {
    if (!impl_->screen) return;
    gRestore.active = false;
    for (int sig : kFatalSignals) signal(sig, SIG_DFL);
    ClearWithoutAlternateScreen();
    curs_set(1);
    endwin();
    delwin(impl_->pad);
    delscreen(impl_->screen);
    impl_->pad = nullptr;
    impl_->screen = nullptr;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &gRestore.original);
}

void NcursesConsole::SetCursorPosition(int row, int col) {
    impl_->cursorRow = row < 0 ? 0 : row >= kRows ? kRows - 1 : row;
    impl_->cursorCol = col < 0 ? 0 : col >= kCols ? kCols - 1 : col;
}

void NcursesConsole::SetCursorVisible(bool visible) { impl_->cursorVisible = visible; }

void NcursesConsole::WriteCells(int row, int col, const uint8_t* text, int count) {
    int at = row * kCols + col;
    for (int i = 0; i < count && at + i < kRows * kCols; ++i)
        if (at + i >= 0) impl_->Put((at + i) / kCols, (at + i) % kCols, text[i], colour_);
}

void NcursesConsole::FillCells(int row, int col, int count, uint8_t ch, uint8_t colour) {
    int at = row * kCols + col;
    for (int i = 0; i < count && at + i < kRows * kCols; ++i)
        if (at + i >= 0) impl_->Put((at + i) / kCols, (at + i) % kCols, ch, colour);
}

void NcursesConsole::Beep() { beep(); }

void NcursesConsole::Flush() {
    if (impl_->screen) impl_->Refresh();
}

void NcursesConsole::WriteTeletype(const uint8_t* text, int count) {
    Impl& i = *impl_;
    for (int n = 0; n < count; ++n) {
        uint8_t b = text[n];
        if (b == '\r') {
            i.cursorCol = 0;
        } else if (b == '\n') {
            i.NewLine();
        } else if (b == '\b') {
            if (i.cursorCol > 0) --i.cursorCol;
        } else {
            i.Put(i.cursorRow, i.cursorCol, b, colour_);
            if (++i.cursorCol == kCols) i.NewLine();
        }
    }
}

// ncurses reads the keyboard one byte at a time, so apart from what it has
// already taken in (which KeyPending looks at first) poll() on standard input
// tells whether a key is coming. A resize interrupts poll(); the next
// KeyPending repaints for it.
int NcursesConsole::WaitForInput(int fd, int timeoutMs) {
    int ready = KeyPending() ? InputKey : 0;
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {fd, POLLIN, 0}};
    if (poll(fds, 2, ready ? 0 : timeoutMs) <= 0) return ready;
    if (fd >= 0 && fds[1].revents) ready |= InputDescriptor;
    if (!(ready & InputKey) && fds[0].revents && KeyPending()) ready |= InputKey;
    return ready;
}

bool NcursesConsole::KeyPending() {
    if (!impl_->bytes.empty()) return true;
    Flush();
    wint_t ch;
    wtimeout(impl_->pad, 0);
    int status = impl_->ReadInput(&ch);
    if (status == KEY_CODE_YES && ch == KEY_RESIZE) {
        Flush();
        return false;
    }
    if (status == ERR || impl_->TooSmallKey(status, ch)) return false;
    impl_->Translate(status, ch);
    return !impl_->bytes.empty();
}

int NcursesConsole::ReadKeyByte(int timeoutMs) {
    for (;;) {
        if (!impl_->bytes.empty()) {
            int b = impl_->bytes.front();
            impl_->bytes.pop_front();
            return b;
        }
        Flush();
        wint_t ch;
        wtimeout(impl_->pad, timeoutMs < 0 ? -1 : timeoutMs);
        int status = impl_->ReadInput(&ch);
        if (status == ERR) {
            if (timeoutMs >= 0) return -1;
            continue;
        }
        if (status == KEY_CODE_YES && ch == KEY_RESIZE) continue;  // Flush repaints
        if (impl_->TooSmallKey(status, ch)) continue;
        impl_->Translate(status, ch);
    }
}

}  // namespace con
