#include "transport/result_codes.h"

namespace kelcmd {

namespace {

struct CodeText {
    int32_t code;
    const char* text;
};

constexpr CodeText kResultCodeTexts[] = {
    {CMD_FAIL, "CMD_FAIL / Command not executed!"},
    {UNKNOWN, "UNKNOWN / Unknown command!"},
    {BAD_PRM, "BAD_PRM / Bad Parameter!"},
    {BAD_LEN, "BAD_LEN / Bad Parameter Length!"},
    {BATCH_FAIL, "BATCH_FAIL / Batch command failed!"},
    {RCV_ERR_CRC, "RCV_ERR_CRC / Message corrupted; Bad checksum!"},
    {RCV_ERR_LENGTH, "RCV_ERR_LENGTH / Length corrupted; Bad length checksum!"},
    {RCV_ERR_ID, "RCV_ERR_ID / Received ID is not PC_ID! (=0)"},
    {RCV_ERR_T0, "RCV_ERR_T0 / Timeout while waiting for first char! (Increase timeout!)"},
    {RCV_ERR_T1, "RCV_ERR_T1 / Timeout while receiving data! (Increase communication timeout!)"},
    {XMT_ERR_CRC, "XMT_ERR_CRC / Slave returned negative ACK!"},
    {XMT_ERR_TACK, "XMT_ERR_TACK / Timeout while waiting for ACK! (KEL is switched off!)"},
    {XMT_ERR_ACK, "XMT_ERR_ACK / Corrupted Acknowledge!"},
    {WIN_ERR_OPENCOMM, "WIN_ERR_OPENCOMM / Error while opening port!"},
    {WIN_ERR_WRITECOMM, "WIN_ERR_WRITECOMM / Error while writing port!"},
    {WIN_ERR_READCOMM, "WIN_ERR_READCOMM / Error while reading port!"},
    {WIN_ERR_SETCOMM, "WIN_ERR_SETCOMM / Error while setting port state!"},
    {WIN_ERR_GETCOMM, "WIN_ERR_GETCOMM / Error while getting port state!"},
    {WIN_ERR_WAITEVENT, "WIN_ERR_WAITEVENT / Error while waiting for event!"},
    {WIN_ERR_ESCAPE, "WIN_ERR_ESCAPE / Error while escape function!"},
    {WIN_ERR_CLOSECOMM, "WIN_ERR_CLOSECOMM / Error while closing port!"},
};
constexpr const char* kUnknownResultCode = "Unknown error!";

constexpr CodeText kWarningTexts[] = {
    {NO_WARNING, "NO_WARNING / No warning!"},
    {WARN_UNKNOWN, "WARN_UNKNOWN / Unknown command!"},
    {WARN_SYNTAX, "WARN_SYNTAX / Syntax error!"},
    {WARN_LINE, "WARN_LINE / Command line too long!"},
    {WARN_RANGE, "WARN_RANGE / Value out of range!"},
    {WARN_DEF, "WARN_DEF / Additional parameters not completely defined!"},
    {WARN_ERROR, "WARN_ERROR / Error not cleared - Command not allowed!"},
    {WARN_FORBID, "WARN_FORBID / Requested command not allowed!"},
    {WARN_NOMOVE, "WARN_NOMOVE / Requested motion not started or unfinished!"},
    {WARN_UPLIMIT, "WARN_UPLIMIT / Target position out of bonds!"},
    {WARN_LOLIMIT, "WARN_LOLIMIT / Target position out of bonds!"},
    {WARN_UNREACHABLE, "WARN_UNREACHABLE / Position cannot be reached!"},
    {WARN_TIMEOUT, "WARN_TIMEOUT / Requested action took to much time!"},
    {WARN_POSREFOFF, "WARN_POSREFOFF / Position regulation is switched off!"},
    {WARN_CURREGOFF, "WARN_CURREGOFF / Current regulation is switched off!"},
    {WARN_AMPDISAB, "WARN_AMPDISAB / Power stage is disabled!"},
    {WARN_STOP, "WARN_STOP / STOP still activated!"},
    {WARN_LEFT, "WARN_LEFT / LEFT end switch still activated!"},
    {WARN_RIGHT, "WARN_RIGHT / RIGHT end switch still activated!"},
    {WARN_RESET, "WARN_RESET / Reset requested!"},
    {WARN_HARDRESET, "WARN_HARDRESET / Hardware reset required!"},
    {WARN_FLASH, "WARN_FLASH / Severe problem with saving data to FLASH!"},
};
constexpr const char* kUnknownWarning = "WARNING_UNKNOWN / Unknown warning!";

template <size_t N>
const char* Lookup(const CodeText (&table)[N], int64_t code, const char* fallback) {
    for (const CodeText& row : table) {
        if (row.code == code) return row.text;
    }
    return fallback;
}

}  // namespace

std::string ResultCodeText(uint32_t code) {
    return Lookup(kResultCodeTexts, code, kUnknownResultCode);
}

std::string CommandWarningText(int32_t warning) {
    return Lookup(kWarningTexts, warning, kUnknownWarning);
}

}  // namespace kelcmd
