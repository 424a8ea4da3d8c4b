// The extra export that tells the operating system's reason of a failed open or I/O.
#include <string>

#include "api/export_guard.h"
#include "api/unit_texts.h"
#include "kelcmd/kelcmd.h"
#include "platform/system_error.h"

using namespace kelcmd;

extern "C" {

KELCMD_API int32_t KEB_GetLastSystemError(int32_t* errorNumber, char* text, uint32_t textSize) {
    return Guarded(0, [&] {
        const SystemError& error = ThreadSystemError();
        if (errorNumber != nullptr) *errorNumber = error.number;
        // A text longer than the buffer is cut; the buffer always ends with the terminator.
        if (text != nullptr && textSize > 0)
            CopyTruncated(DescribeSystemError(error), text, textSize);
        return error.number != 0 ? 1 : 0;
    });
}

}  // extern "C"
