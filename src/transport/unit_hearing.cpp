#include "transport/unit_hearing.h"

namespace kelcmd {
namespace {

thread_local bool unitMayHaveActed = false;

}  // namespace

bool UnitMayHaveActed() {
    return unitMayHaveActed;
}

void NoteUnitMayHaveActed() {
    unitMayHaveActed = true;
}

void ForgetUnitMayHaveActed() {
    unitMayHaveActed = false;
}

}  // namespace kelcmd
