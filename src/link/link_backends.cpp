// The table of link kinds. Each kind defines its entry in its own file.
#include <cstddef>

#include "link/link_backend.h"

extern const LinkBackend kSyMaxBackend;
extern const LinkBackend kModbusRtuBackend;
extern const LinkBackend kModbusAsciiBackend;

namespace {

const LinkBackend* const kBackends[] = {
    &kSyMaxBackend,
    &kModbusRtuBackend,
    &kModbusAsciiBackend,
};

}  // namespace

const LinkBackend* FindLinkBackend(uint32_t kind) {
    for (const LinkBackend* backend : kBackends)
        if (backend->kind == kind) return backend;
    return nullptr;
}
