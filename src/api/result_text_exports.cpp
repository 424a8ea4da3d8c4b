// The extra export that gives the text of a communication result code.
#include <string>

#include "api/export_guard.h"
#include "api/unit_texts.h"
#include "kelcmd/kelcmd.h"
#include "transport/result_codes.h"

using namespace kelcmd;

// The header's constants are the library's own codes.
static_assert(KEB_CMD_FAIL == CMD_FAIL && KEB_UNKNOWN == UNKNOWN && KEB_BAD_PRM == BAD_PRM &&
              KEB_BAD_LEN == BAD_LEN && KEB_BATCH_FAIL == BATCH_FAIL);
static_assert(KEB_RCV_ERR_CRC == RCV_ERR_CRC && KEB_RCV_ERR_LENGTH == RCV_ERR_LENGTH &&
              KEB_RCV_ERR_ID == RCV_ERR_ID && KEB_RCV_ERR_T0 == RCV_ERR_T0 &&
              KEB_RCV_ERR_T1 == RCV_ERR_T1 && KEB_XMT_ERR_CRC == XMT_ERR_CRC &&
              KEB_XMT_ERR_TACK == XMT_ERR_TACK && KEB_XMT_ERR_ACK == XMT_ERR_ACK);
static_assert(KEB_WIN_ERR_OPENCOMM == WIN_ERR_OPENCOMM &&
              KEB_WIN_ERR_WRITECOMM == WIN_ERR_WRITECOMM &&
              KEB_WIN_ERR_READCOMM == WIN_ERR_READCOMM && KEB_WIN_ERR_SETCOMM == WIN_ERR_SETCOMM &&
              KEB_WIN_ERR_GETCOMM == WIN_ERR_GETCOMM &&
              KEB_WIN_ERR_WAITEVENT == WIN_ERR_WAITEVENT && KEB_WIN_ERR_ESCAPE == WIN_ERR_ESCAPE &&
              KEB_WIN_ERR_CLOSECOMM == WIN_ERR_CLOSECOMM && KEB_NO_COMMAND == NO_COMMAND);

namespace {

// The table's last row, for every code it does not list.
constexpr const char* kUnknownResultText = "Unknown error!";

}  // namespace

extern "C" {

KELCMD_API int32_t KEB_GetResultText(uint8_t code, char* text, uint32_t textSize) {
    return Guarded(int32_t{0}, [&] {
        const std::string description = ResultCodeText(code);
        CopyTruncated(description, text, textSize);
        return description != kUnknownResultText ? 1 : 0;
    });
}

}  // extern "C"
