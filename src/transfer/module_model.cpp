// The PLUS test: a non-zero test register is PLUS at once; a zero one is
// written with 1 and read back, and set to 0 again when it took the 1.
#include "transfer/module_model.h"

#include "transfer/module_registers.h"
#include "transfer/register_map.h"

namespace {

bool TakesTestWrite(Link* link) {
    const uint16_t one = 1, zero = 0;
    uint16_t readBack = 0;
    return WriteRegistersQuietly(link, kPlusTestRegister, 1, &one) &&
           ReadRegistersQuietly(link, kPlusTestRegister, 1, &readBack) && readBack == 1 &&
           WriteRegistersQuietly(link, kPlusTestRegister, 1, &zero);
}

}  // namespace

int DetectModuleModel(ModuleSession& session) {
    uint16_t value = 0;
    if (!ReadModuleRegisters(session.link, session.Reports(), kPlusTestRegister, 1, &value))
        return 0;
    const bool plus = value != 0 || TakesTestWrite(session.link);
    session.model = plus ? kModelPlus : kModelStandard;
    session.Reports().ModelKnown(session.model);
    return 1;
}
