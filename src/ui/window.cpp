// Framed windows. Each window saves the image region it covers and puts it
// back when closed, so windows closed newest first leave the screen as it was.
#include <cstring>
#include <new>

#include "ui/screen_state.h"
#include "ui/text_flags.h"

namespace {

// Code page 437 double-line box characters.
constexpr char kTopLeft = char(0xC9), kTopRight = char(0xBB), kBottomLeft = char(0xC8),
               kBottomRight = char(0xBC), kHorizontal = char(0xCD), kVertical = char(0xBA);

void DrawFrame(int top, int left, int bottom, int right) {
    int width = right - left + 1;
    char line[kImageCols + 1];
    for (int row = top; row <= bottom; ++row) {
        bool edge = row == top || row == bottom;
        std::memset(line, edge ? kHorizontal : ' ', width);
        line[0] = row == top ? kTopLeft : row == bottom ? kBottomLeft : kVertical;
        line[width - 1] = row == top ? kTopRight : row == bottom ? kBottomRight : kVertical;
        line[width] = 0;
        PutText(line, row + 1, left + 1, width, ' ', tf::Normal);
    }
}

}  // namespace

WindowHandle OpenWindow(int top, int left, int bottom, int right, const char* title) {
    ScreenState& s = Screen();
    top = ClampRow(top);
    left = ClampCol(left);
    bottom = ClampRow(bottom);
    right = ClampCol(right);
    if (bottom < top || right < left) return nullptr;
    int width = right - left + 1, height = bottom - top + 1;
    auto window =
        std::unique_ptr<Window>(new (std::nothrow) Window{top, left, bottom, right, {}, {}});
    if (!window) return nullptr;
    window->savedChars.reset(new (std::nothrow) uint8_t[width * height]);
    window->savedAttrs.reset(new (std::nothrow) uint8_t[width * height]);
    if (!window->savedChars || !window->savedAttrs) return nullptr;
    for (int r = 0; r < height; ++r) {
        std::memcpy(&window->savedChars[r * width], &s.chars[Cell(top + r, left)], width);
        std::memcpy(&window->savedAttrs[r * width], &s.attrs[Cell(top + r, left)], width);
    }
    WindowHandle handle = window.get();
    s.windows.push_back(std::move(window));
    DrawFrame(top, left, bottom, right);
    if (title && *title) {
        int length = int(std::strlen(title));
        PutText(title, top + 1, (left + right - length + 3) / 2, 0, ' ', tf::Reverse);
    }
    return handle;
}

void CloseWindow(WindowHandle& handle) {
    if (!handle) return;
    ScreenState& s = Screen();
    std::unique_ptr<Window> window;
    for (auto it = s.windows.begin(); it != s.windows.end(); ++it) {
        if (it->get() == handle) {
            window = std::move(*it);
            s.windows.erase(it);
            break;
        }
    }
    handle = nullptr;
    if (!window) return;
    const Window& w = *window;
    int width = w.right - w.left + 1;
    for (int r = 0; r <= w.bottom - w.top; ++r) {
        int row = w.top + r;
        const uint8_t* savedChars = &w.savedChars[r * width];
        const uint8_t* savedAttrs = &w.savedAttrs[r * width];
        int c = 0;
        while (c < width) {
            int at = Cell(row, w.left + c);
            if (s.chars[at] == savedChars[c] && s.attrs[at] == savedAttrs[c]) {
                ++c;
                continue;
            }
            // Put back the cells that share this saved attribute, changed or not.
            int start = c;
            uint8_t attribute = savedAttrs[c];
            while (c < width && savedAttrs[c] == attribute) {
                s.chars[Cell(row, w.left + c)] = savedChars[c];
                s.attrs[Cell(row, w.left + c)] = attribute;
                ++c;
            }
            if (w.left + start >= con::kCols) continue;
            int visibleEnd = w.left + c < con::kCols ? c : con::kCols - w.left;
            SetConsoleColour(ConsoleColourOf(attribute));
            SetCursor(row, w.left + start);
            WriteRun(reinterpret_cast<const char*>(savedChars + start), visibleEnd - start);
            SetConsoleColour(con::kNormalColour);
        }
    }
}
