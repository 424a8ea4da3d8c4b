"""An open port as units, groups and batches use it: commands run and stacked on it, and their
failures turned into exceptions."""

from __future__ import annotations

import ctypes
from typing import Optional

from ._call import PreparedCall
from ._library import last_outcome
from .errors import (CommandError, CommunicationError, KelCmdError, MayHaveExecutedError,
                     PortError, UnitRefusedError)
from .outcome import NOT_SENT, REFUSED, STACKED, Outcome
from .texts import result_text, warning_text


class Port:
    """A port name and the library it is open in (see :class:`kelcmd.Bus`)."""

    def __init__(self, name: bytes, lib: ctypes.CDLL) -> None:
        self._name = name
        #: The port's name.
        self.port = name.decode(errors="replace")
        self._lib = lib
        self._open = False

    @property
    def is_open(self) -> bool:
        """Whether the port is in the library's port table (another program part may close it)."""
        return bool(self._lib.KEB_GetKelBusSettings(self._name, None, None, None, None) == 1)

    def _refuse_if_stacking(self, slave: int, command: str) -> None:
        """Refuses to run `command` while this thread stacks commands for `slave`: the library
        would keep pointers to memory that ends with the call and write it later."""
        if self._lib.IsStackingCommands(self._name, slave):
            raise KelCmdError(
                f"{command} on {self.port} unit {slave} was not run: this thread is collecting "
                "a batch for the unit, so the command would be stacked; use the batch's methods "
                "inside its with block", command=command, port=self.port, slave=slave)

    def _run(self, prepared: PreparedCall, slave: int) -> None:
        command = prepared.command.name
        self._refuse_if_stacking(slave, command)
        function = getattr(self._lib, "MP_" + command)
        if function(self._name, slave, *prepared.arguments) != 1:
            raise self._command_error(command, slave)

    def _stack(self, prepared: PreparedCall, slave: int) -> None:
        """Adds the command to this thread's batch for `slave`."""
        command = prepared.command.name
        function = getattr(self._lib, "MP_" + command)
        if function(self._name, slave, *prepared.arguments) != 1:
            raise self._command_error(command, slave)
        if last_outcome().status != STACKED:
            raise KelCmdError(f"{command} was sent instead of stacked", command=command,
                              port=self.port, slave=slave)

    def _command_error(self, command: str, slave: int,
                       outcome: Optional[Outcome] = None) -> KelCmdError:
        """The KelCmdError of `command` to `slave` that just failed on this thread."""
        outcome = outcome or last_outcome()
        where = f"{command} on {self.port} unit {slave}"
        if outcome.status == NOT_SENT:
            if not self.is_open:
                return PortError(f"{where} failed: the port is not open", command=command,
                                 port=self.port, slave=slave, outcome=outcome)
            return CommandError(f"{where} failed: refused before sending (an argument the "
                                "library does not take, or the port is reserved by another "
                                "thread)", command=command, port=self.port, slave=slave,
                                outcome=outcome)
        # A refusal's code is the unit's reason; CMD_FAIL is 0, as a success's result is.
        code = outcome.unit_error if outcome.refused else outcome.result
        warning = warning_text(outcome.unit_warning)
        text = result_text(code)
        message = f"{where} failed: {code} {text}"
        if outcome.unit_warning:
            message += f"; warning {warning.code} {warning.name}: {warning.text}"
        if outcome.os_reason:
            message += f" ({outcome.os_reason})"
        if outcome.refused and outcome.batch:
            message += f" (batch member with message type {outcome.message_type})"
        kind: type[KelCmdError] = CommunicationError
        if outcome.status == REFUSED:
            kind = UnitRefusedError
        elif outcome.may_have_executed:
            kind = MayHaveExecutedError
            message += "; the unit may have executed it"
        return kind(message, result_code=code, result_text=text, warning=outcome.unit_warning,
                    warning_name=warning.name, warning_text=warning.text, command=command,
                    port=self.port, slave=slave, message_type=outcome.message_type,
                    batch=outcome.batch, outcome=outcome)
