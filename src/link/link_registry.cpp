// The set of open links.
#include "link/link_registry.h"

#include <mutex>
#include <set>

#include "link/link_state.h"

namespace {

struct Registry {
    std::mutex lock;
    std::set<const Link*> open;
};

Registry& Links() {
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

void RegisterLink(Link* link) {
    std::lock_guard<std::mutex> guard(Links().lock);
    Links().open.insert(link);
    link->marker = kLinkMarker;
}

void UnregisterLink(Link* link) {
    std::lock_guard<std::mutex> guard(Links().lock);
    Links().open.erase(link);
}

bool LinkRegistered(const Link* link) {
    std::lock_guard<std::mutex> guard(Links().lock);
    return Links().open.count(link) != 0;
}
