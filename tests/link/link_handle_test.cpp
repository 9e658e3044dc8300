// A link is closed by its handle, exactly once, whoever ends it: the handle
// going out of scope, being emptied, being given another link, or the handle
// it was moved to ending. A closed serial link gives its port back, so the
// next link opens it; a link closed twice or used after it is gone is ASan's.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "common/pty_pair.h"
#include "link/link_state.h"

namespace {

struct Ending {
    const char* what;
    // Ends the handle's link in its own way; the handle is empty afterwards
    // or holds another link.
    std::function<void(LinkHandle& handle, const std::string& port)> end;
};

LinkHandle OpenRtu(const std::string& port) {
    return LinkHandle(OpenModbusRtuLink(port.c_str(), 1));
}

const Ending kEndings[] = {
    {"emptied", [](LinkHandle& h, const std::string&) { h.reset(); }},
    {"given an empty handle", [](LinkHandle& h, const std::string&) { h = LinkHandle(); }},
    {"given another link",
     [](LinkHandle& h, const std::string&) {
         PtyPair other;
         h = OpenRtu(other.SlavePath());
         EXPECT_NE(h, nullptr);
         h.reset();
     }},
    {"moved to a handle that ends",
     [](LinkHandle& h, const std::string&) { LinkHandle taken = std::move(h); }},
    {"moved twice, the last owner ending",
     [](LinkHandle& h, const std::string&) {
         LinkHandle first = std::move(h);
         LinkHandle second;
         second = std::move(first);
         first.reset();  // holds nothing: ends nothing
     }},
};

TEST(LinkHandle, ALinkIsClosedOnceWhoeverEndsItsHandle) {
    for (const Ending& e : kEndings) {
        SCOPED_TRACE(e.what);
        PtyPair pty;
        LinkHandle handle = OpenRtu(pty.SlavePath());
        ASSERT_NE(handle, nullptr);
        // While it is open, the port is its own: another link cannot have it.
        EXPECT_EQ(OpenRtu(pty.SlavePath()), nullptr);
        e.end(handle, pty.SlavePath());
        EXPECT_EQ(handle, nullptr);
        LinkHandle next = OpenRtu(pty.SlavePath());
        EXPECT_NE(next, nullptr) << "the port was not given back";
    }
}

TEST(LinkHandle, AHandleThatEndsInItsScopeClosesItsLink) {
    PtyPair pty;
    {
        LinkHandle handle = OpenRtu(pty.SlavePath());
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(OpenRtu(pty.SlavePath()), nullptr);
    }
    EXPECT_NE(OpenRtu(pty.SlavePath()), nullptr);
}

}  // namespace
