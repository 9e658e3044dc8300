// The table of link kinds. Each kind defines its entry in its own file.
#include <cstddef>

#include "link/link_backend.h"

extern const LinkBackend kSyMaxBackend;
extern const LinkBackend kModbusRtuBackend;
extern const LinkBackend kModbusAsciiBackend;
extern const LinkBackend kGatewayBackend;
extern const LinkBackend kModbusTcpBackend;

namespace {

const LinkBackend* const kBackends[] = {
    &kSyMaxBackend, &kModbusRtuBackend, &kModbusAsciiBackend, &kGatewayBackend, &kModbusTcpBackend,
};

}  // namespace

const LinkBackend* FindLinkBackend(uint32_t kind) {
    for (const LinkBackend* backend : kBackends)
        if (backend->kind == kind) return backend;
    return nullptr;
}
