"""The exceptions of kelcmd and the texts of the communication result codes."""

# The communication result codes: 0 to 6 are the reasons a unit gives when it refuses a command,
# 11 to 18 failures of the exchange on the line, 128 to 135 failures of the port itself.
RESULT_TEXTS = {
    0: "CMD_FAIL / Command not executed!",
    1: "UNKNOWN / Unknown command!",
    2: "BAD_PRM / Bad Parameter!",
    3: "BAD_LEN / Bad Parameter Length!",
    6: "BATCH_FAIL / Batch command failed!",
    11: "RCV_ERR_CRC / Message corrupted; Bad checksum!",
    12: "RCV_ERR_LENGTH / Length corrupted; Bad length checksum!",
    13: "RCV_ERR_ID / Received ID is not PC_ID! (=0)",
    14: "RCV_ERR_T0 / Timeout while waiting for first char! (Increase timeout!)",
    15: "RCV_ERR_T1 / Timeout while receiving data! (Increase communication timeout!)",
    16: "XMT_ERR_CRC / Slave returned negative ACK!",
    17: "XMT_ERR_TACK / Timeout while waiting for ACK! (KEL is switched off!)",
    18: "XMT_ERR_ACK / Corrupted Acknowledge!",
    128: "WIN_ERR_OPENCOMM / Error while opening port!",
    129: "WIN_ERR_WRITECOMM / Error while writing port!",
    130: "WIN_ERR_READCOMM / Error while reading port!",
    131: "WIN_ERR_SETCOMM / Error while setting port state!",
    132: "WIN_ERR_GETCOMM / Error while getting port state!",
    133: "WIN_ERR_WAITEVENT / Error while waiting for event!",
    134: "WIN_ERR_ESCAPE / Error while escape function!",
    135: "WIN_ERR_CLOSECOMM / Error while closing port!",
}
LAST_REFUSAL_REASON = 6


def result_text(code):
    """"NAME / description" of a communication result code."""
    return RESULT_TEXTS.get(code, "Unknown error!")


class KelCmdError(Exception):
    """A failure of libkelcmd or of a unit. Attributes that do not apply are None.

    result_code   communication result code, or the unit's refusal reason (0 to 6)
    result_text   its text, "XMT_ERR_TACK / Timeout while waiting for ACK! ..."
    warning       the warning number the unit sent with a refusal (0: none)
    warning_name, warning_text   its mnemonic and text ("WARN_NOMOVE", ...)
    command       the command that failed ("MoveAbsolute"), port and slave it was sent to
    message_type  the message type the failure was reported for (a batch's failing member)
    batch         True when the failing request was a batch
    os_errno, os_reason   the operating system's reason of a port that did not open
    """

    def __init__(self, message, *, result_code=None, warning=None, warning_name=None,
                 warning_text=None, command=None, port=None, slave=None, message_type=None,
                 batch=False, os_errno=None, os_reason=None):
        super().__init__(message)
        self.result_code = result_code
        self.warning = warning
        self.warning_name = warning_name
        self.warning_text = warning_text
        self.command = command
        self.port = port
        self.slave = slave
        self.message_type = message_type
        self.batch = batch
        self.os_errno = os_errno
        self.os_reason = os_reason

    @property
    def result_text(self):
        return None if self.result_code is None else result_text(self.result_code)


class LibraryNotFoundError(KelCmdError):
    """libkelcmd could not be loaded."""


class PortError(KelCmdError):
    """A port did not open or close, or is not open."""


class CommandError(KelCmdError):
    """A command, or a raw packet, failed on the bus."""


class UnitRefusedError(CommandError):
    """The unit answered with a refusal: result_code is its reason, warning says why."""


class CommunicationError(CommandError):
    """The exchange on the line failed: no acknowledge, no or a corrupted answer."""
