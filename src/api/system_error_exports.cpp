// The extra export that tells the operating system's reason of a failed open or I/O.
#include <algorithm>
#include <cstring>
#include <string>

#include "api/export_guard.h"
#include "kelcmd/kelcmd.h"
#include "platform/system_error.h"

using namespace kelcmd;

extern "C" {

KELCMD_API int32_t KEB_GetLastSystemError(int32_t* errorNumber, char* text, uint32_t textSize) {
    return Guarded(0, [&] {
        const SystemError& error = ThreadSystemError();
        if (errorNumber != nullptr) *errorNumber = error.number;
        if (text != nullptr && textSize > 0) {
            // A text longer than the buffer is cut; the buffer always ends with the terminator.
            const std::string description = DescribeSystemError(error);
            const size_t length = std::min<size_t>(description.size(), textSize - 1);
            std::memcpy(text, description.data(), length);
            text[length] = '\0';
        }
        return error.number != 0 ? 1 : 0;
    });
}

}  // extern "C"
