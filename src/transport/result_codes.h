#pragma once

#include <cstdint>
#include <string>

namespace kelcmd {

// Communication result codes. 0 to 6 are also the refusal reasons a unit sends as answer mtype.
enum ResultCode : uint8_t {
    RESULT_OK = 0,
    CMD_FAIL = 0,
    UNKNOWN = 1,
    BAD_PRM = 2,
    BAD_LEN = 3,
    BATCH_FAIL = 6,
    RCV_ERR_CRC = 11,
    RCV_ERR_LENGTH = 12,
    RCV_ERR_ID = 13,
    RCV_ERR_T0 = 14,
    RCV_ERR_T1 = 15,
    XMT_ERR_CRC = 16,
    XMT_ERR_TACK = 17,
    XMT_ERR_ACK = 18,
    WIN_ERR_OPENCOMM = 128,
    WIN_ERR_WRITECOMM = 129,
    WIN_ERR_READCOMM = 130,
    WIN_ERR_SETCOMM = 131,
    WIN_ERR_GETCOMM = 132,
    WIN_ERR_WAITEVENT = 133,
    WIN_ERR_ESCAPE = 134,
    WIN_ERR_CLOSECOMM = 135,
    NO_COMMAND = 255,
};

// Command warnings a unit sends in the last two data bytes of a refusal.
enum CommandWarning : int32_t {
    NO_WARNING = 0,
    WARN_UNKNOWN = 100,
    WARN_SYNTAX = 110,
    WARN_LINE = 120,
    WARN_RANGE = 130,
    WARN_DEF = 140,
    WARN_ERROR = 150,
    WARN_FORBID = 160,
    WARN_NOMOVE = 170,
    WARN_UPLIMIT = 171,
    WARN_LOLIMIT = 172,
    WARN_UNREACHABLE = 173,
    WARN_TIMEOUT = 174,
    WARN_POSREFOFF = 180,
    WARN_CURREGOFF = 181,
    WARN_AMPDISAB = 182,
    WARN_STOP = 183,
    WARN_LEFT = 184,
    WARN_RIGHT = 185,
    WARN_RESET = 186,
    WARN_HARDRESET = 187,
    WARN_FLASH = 200,
};

// "NAME / description" of a communication result code; "Unknown error!" for any other value.
std::string ResultCodeText(uint32_t code);

// "NAME / description" of a command warning; "WARNING_UNKNOWN / Unknown warning!" otherwise.
std::string CommandWarningText(int32_t warning);

}  // namespace kelcmd
