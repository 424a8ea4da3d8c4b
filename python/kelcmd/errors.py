"""The exceptions of kelcmd. Every failure of the library or of a unit is a :class:`KelCmdError`;
bad arguments raise :class:`ValueError` or :class:`TypeError` before anything is sent."""

from __future__ import annotations

from typing import TYPE_CHECKING, Any, Optional

if TYPE_CHECKING:
    from .outcome import Outcome


class KelCmdError(Exception):
    """A failure of libkelcmd or of a unit. Attributes that do not apply are None.

    :ivar result_code: communication result code, or the unit's refusal reason (0 to 6).
    :ivar result_text: its text, ``"XMT_ERR_TACK / Timeout while waiting for ACK! ..."``.
    :ivar warning: the warning number the unit sent with a refusal (0: none).
    :ivar warning_name: its mnemonic (``"WARN_NOMOVE"``).
    :ivar warning_text: its text.
    :ivar command: the command that failed (``"MoveAbsolute"``).
    :ivar port: the port it was sent on.
    :ivar slave: the address it was sent to.
    :ivar message_type: the message type the failure was reported for (a batch's failing member).
    :ivar batch: True when the failing request was a batch.
    :ivar os_errno: the operating system's error number of a port that did not open.
    :ivar os_reason: its text.
    :ivar outcome: the library's record of the failed call (:class:`kelcmd.Outcome`): its status,
        trials and duration.
    """

    def __init__(self, message: str, *, result_code: Optional[int] = None,
                 warning: Optional[int] = None, warning_name: Optional[str] = None,
                 warning_text: Optional[str] = None, command: Optional[str] = None,
                 port: Optional[str] = None, slave: Optional[int] = None,
                 message_type: Optional[int] = None, batch: bool = False,
                 os_errno: Optional[int] = None, os_reason: Optional[str] = None,
                 outcome: Optional[Outcome] = None, result_text: Optional[str] = None) -> None:
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
    """libkelcmd could not be loaded; the message names every place tried."""


class PortError(KelCmdError):
    """A port did not open or close, or is not open."""


class CommandError(KelCmdError):
    """A command, or a raw packet, failed on the bus."""


class UnitRefusedError(CommandError):
    """The unit answered with a refusal: ``result_code`` is its reason, ``warning`` says why. The
    unit did not execute the command."""


class CommunicationError(CommandError):
    """The exchange on the line failed: no acknowledge, no or a corrupted answer.

    :ivar packet: from :meth:`Bus.receive_packet`, the frame as far as it arrived; else None.
    """

    packet: Any = None


class MayHaveExecutedError(CommunicationError):
    """The exchange failed after the unit had taken the request (it acknowledged, or its answer
    began): the unit may have executed the command. Check the unit's state before repeating a
    command that must not run twice (a relative move)."""


class NotExecutedError(CommandError):
    """A stacked command that the unit did not execute: its batch stopped at an earlier member,
    or was never sent."""
