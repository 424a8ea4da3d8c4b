"""The exceptions of kelcmd."""

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
    outcome       the library's record of the failed call (kelcmd.outcome.Outcome): its status,
                  trials and duration
    """

    def __init__(self, message, *, result_code=None, warning=None, warning_name=None,
                 warning_text=None, command=None, port=None, slave=None, message_type=None,
                 batch=False, os_errno=None, os_reason=None, outcome=None, result_text=None):
        super().__init__(message)
        self.result_code = result_code
        self.result_text = result_text
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
        self.outcome = outcome


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
