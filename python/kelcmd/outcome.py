"""How the calling thread's last command or packet function ended, as libkelcmd records it.

The library keeps one record per thread, so concurrent threads never see each other's outcomes.
"""

import ctypes
from dataclasses import dataclass

from ._library import KebOutcome, library

# status
NONE = 0  # nothing has run on this thread yet
SUCCEEDED = 1
STACKED = 2  # added to the thread's command stack, nothing sent yet
NOT_SENT = 3  # stopped before the line: an argument, no such port, or another thread's reservation
LINE_FAILED = 4  # the transfer or the port failed: result says how
REFUSED = 5  # the unit refused: unit_error is its reason (0: CMD_FAIL)
BAD_ANSWER = 6  # an answer without every value it must carry
INTERNAL_ERROR = 7


@dataclass(frozen=True)
class Outcome:
    status: int
    result: int  # communication result code of the transfer
    message_type: int  # the request's; a failed batch's failing member
    batch: bool
    unit_error: int  # with REFUSED: the unit's reason, 0 to 6
    unit_warning: int  # with REFUSED: the unit's warning, 0 for none
    trials: int  # receptions of the answer, more than 1 after resend requests
    duration_ms: int
    os_errno: int  # errno of a failed port, else 0
    os_reason: str  # its text, else ""
    may_have_executed: bool  # the unit executed the request or may have (acknowledged, answer began)
    line_errors: tuple  # framing, parity, overrun and break counts of the line during the call

    @property
    def refused(self):
        return self.status == REFUSED


def last_outcome():
    """The Outcome of this thread's last command, packet function or port opening."""
    raw = KebOutcome()
    raw.size = ctypes.sizeof(raw)
    if library().KEB_GetLastOutcome(ctypes.byref(raw)) != 1:
        raise RuntimeError("libkelcmd refused its own outcome record")
    return Outcome(raw.status, raw.result, raw.messageType, raw.batch != 0, raw.unitError,
                   raw.unitWarning, raw.trials, raw.durationMs, raw.systemErrorNumber,
                   raw.systemErrorText.decode(errors="replace"), raw.mayHaveExecuted != 0,
                   (raw.lineFramingErrors, raw.lineParityErrors, raw.lineOverruns,
                    raw.lineBreaks))
