"""How the calling thread's last command or packet function ended, as libkelcmd records it.

The library keeps one record per thread, so concurrent threads never see each other's outcomes;
:func:`kelcmd.last_outcome` reads the calling thread's.
"""

from __future__ import annotations

from dataclasses import dataclass
from typing import Tuple

#: Nothing has run on this thread yet.
NONE = 0
#: The exchange went through; the unit did what was asked.
SUCCEEDED = 1
#: Added to the thread's command stack, nothing sent yet.
STACKED = 2
#: Stopped before the line: an argument, no such port, or another thread's reservation.
NOT_SENT = 3
#: The transfer or the port failed: ``result`` says how.
LINE_FAILED = 4
#: The unit refused: ``unit_error`` is its reason (0: CMD_FAIL).
REFUSED = 5
#: An answer without every value it must carry.
BAD_ANSWER = 6
#: The library failed inside (out of memory).
INTERNAL_ERROR = 7


@dataclass(frozen=True)
class Outcome:
    """The library's record of one call.

    :ivar status: :data:`~kelcmd.outcome.SUCCEEDED`, :data:`~kelcmd.outcome.REFUSED`, ... (the constants of this module).
    :ivar result: communication result code of the transfer.
    :ivar message_type: the request's; a failed batch's failing member.
    :ivar batch: the request was a batch.
    :ivar unit_error: with REFUSED, the unit's reason, 0 to 6.
    :ivar unit_warning: with REFUSED, the unit's warning, 0 for none.
    :ivar trials: receptions of the answer, more than 1 after resend requests.
    :ivar duration_ms: how long the call took, in ms.
    :ivar os_errno: errno of a failed port, else 0.
    :ivar os_reason: its text, else "".
    :ivar may_have_executed: the unit executed the request or may have (it acknowledged, or its
        answer began).
    :ivar line_errors: framing, parity, overrun and break counts of the line during the call.
    """

    status: int
    result: int
    message_type: int
    batch: bool
    unit_error: int
    unit_warning: int
    trials: int
    duration_ms: int
    os_errno: int
    os_reason: str
    may_have_executed: bool
    line_errors: Tuple[int, int, int, int]

    @property
    def refused(self) -> bool:
        """Whether the unit refused the request."""
        return self.status == REFUSED

