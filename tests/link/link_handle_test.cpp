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

LinkHandle OpenRtu(const std::string& port) { return OpenModbusRtuLink(port.c_str(), 1); }

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

// Every serial opener hands its link over as a handle: the port is the
// link's while the handle holds it and free once the handle is gone; a
// failed open leaves an empty handle with the reason.
TEST(LinkHandle, EveryOpenerReturnsTheOwningHandle) {
    const LinkRoute route{1, {1}};
    using Opener = std::function<LinkHandle(const char* port, std::string* reason)>;
    const struct {
        const char* name;
        LinkKind kind;
        Opener open;
    } kOpeners[] = {
        {"sy/max", LinkSyMax,
         [&](const char* p, std::string* r) { return OpenSyMaxLink(p, 0, route, r); }},
        {"net-to-net", LinkSyMax,
         [&](const char* p, std::string* r) { return OpenSyMaxLink(p, 1, route, r); }},
        {"gateway", LinkGateway,
         [&](const char* p, std::string* r) { return OpenGatewayLink(p, route, r); }},
        {"rtu", LinkModbusRtu,
         [](const char* p, std::string* r) { return OpenModbusRtuLink(p, 1, r); }},
        {"ascii", LinkModbusAscii,
         [](const char* p, std::string* r) { return OpenModbusAsciiLink(p, 1, r); }},
    };
    for (const auto& o : kOpeners) {
        SCOPED_TRACE(o.name);
        PtyPair pty;
        std::string reason;
        {
            LinkHandle handle = o.open(pty.SlavePath().c_str(), &reason);
            ASSERT_NE(handle, nullptr) << reason;
            EXPECT_EQ(KindOfLink(handle.get()), o.kind);
            EXPECT_EQ(OpenRtu(pty.SlavePath()), nullptr);
        }
        EXPECT_NE(OpenRtu(pty.SlavePath()), nullptr) << "the port was not given back";
        EXPECT_EQ(o.open("ttyKOVA_NONE9", &reason), nullptr);
        EXPECT_NE(reason.find("ttyKOVA_NONE9"), std::string::npos) << reason;
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
