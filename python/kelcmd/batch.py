"""Batches: commands collected for a unit and sent to it as one message.

The library keeps a thread's stacked commands per port and unit, with pointers to the memory
their values go to, until the batch is executed and decoded. A :class:`Batch` owns that memory
for as long as the library may write it, so no stacked value ever lands in freed memory.
"""

from __future__ import annotations

import ctypes
import threading
from typing import (TYPE_CHECKING, Any, Callable, Dict, Generic, Iterator, List, Optional,
                    Tuple, TypeVar, cast)

from ._call import PreparedCall, find_command
from ._library import last_outcome
from ._port import Port
from ._target import CommandTarget
from .errors import KelCmdError, NotExecutedError
from .outcome import SUCCEEDED

T = TypeVar("T")

# Member states of the library's batch after a decode.
_SUCCEEDED = 2
_FAILED = 3
_MAX_MEMBERS = 1024  # more than a 1023-byte message can carry

# The batches whose library entries may still point into their memory, per thread:
# {(port in lower case, slave): Batch}. A batch leaves when its entry is retired.
_threads = threading.local()


def _pending() -> Dict[Tuple[str, int], "Batch"]:
    if not hasattr(_threads, "batches"):
        _threads.batches = {}
    return cast(Dict[Tuple[str, int], Batch], _threads.batches)


class Stacked(Generic[T]):
    """One command of a batch. Once the batch has run, :attr:`value` is what the command's
    :class:`~kelcmd.Unit` method returns, or raises the member's exception."""

    def __init__(self, command: str, prepared: PreparedCall,
                 finish: Callable[[Any], T]) -> None:
        #: The command's name (``"ReadPosition"``).
        self.command = command
        self._prepared = prepared  # owns the memory the library writes the values to
        self._finish = finish
        self._value: Optional[T] = None
        self._error: Optional[KelCmdError] = None
        self._done = False

    def __repr__(self) -> str:
        if not self._done:
            return f"Stacked({self.command}: not run yet)"
        if self._error is not None:
            return f"Stacked({self.command}: {type(self._error).__name__})"
        return f"Stacked({self.command}: {self._value!r})"

    @property
    def done(self) -> bool:
        """Whether the batch has run (for a quiet batch: its results were read)."""
        return self._done

    @property
    def error(self) -> Optional[KelCmdError]:
        """The member's exception once the batch has run, None when it succeeded."""
        return self._error

    @property
    def value(self) -> T:
        """The command's result.

        :raises KelCmdError: the member failed (:class:`UnitRefusedError` when the unit refused
            it, :class:`NotExecutedError` when the batch stopped before it), or the batch has not
            run yet.
        """
        if not self._done:
            raise KelCmdError(f"{self.command} has not run yet: its batch runs when its with "
                              "block ends (a quiet batch's results come with read_results())",
                              command=self.command)
        if self._error is not None:
            raise self._error
        return cast(T, self._value)

    def _succeed(self) -> None:
        self._value = self._finish(self._prepared.values())
        self._done = True

    def _fail(self, error: KelCmdError) -> None:
        self._error = error
        self._done = True


class Batch:
    """Commands collected for one unit, sent as one batch when the ``with`` block ends::

        with unit.batch() as batch:
            batch.move_absolute(1000)
            position = batch.read_position()
            status = batch.read_axis_status()
        print(position.value, status.value)

    Every stackable method of :class:`~kelcmd.Unit` exists on the batch with the same
    parameters; it checks the arguments, stacks the command and returns a :class:`Stacked`
    whose ``value`` is what the Unit method returns, once the batch has run. :meth:`call` stacks
    any other command export.

    The unit executes the members in order and stops at the first that fails: the members before
    it keep their values, the failing one raises its :class:`UnitRefusedError` from ``value``,
    the rest :class:`NotExecutedError`. The end of the ``with`` block raises the first failure
    too, after every value is in place. When the block itself raises, nothing is sent.

    A quiet batch (``unit.batch(quiet=True)``) is executed without results in the answer;
    :meth:`read_results` fetches them later, from the same thread.

    While a batch collects, the unit's own methods refuse to run on that thread (their commands
    would land in the batch). Stacking is per thread: use a batch in the thread that made it.
    """

    def __init__(self, unit: CommandTarget, *, quiet: bool = False) -> None:
        #: The unit the batch goes to.
        self.unit = unit
        #: Whether the batch is sent quietly.
        self.quiet = quiet
        self._members: List[Stacked[Any]] = []
        self._state = "new"  # collecting, sent (quiet), done, discarded, superseded
        self._thread = 0
        self._key = (unit.bus.port.lower(), unit.address)
        # The unit whose methods stack instead of send (set by Unit.batch()).
        self._stacker: Optional[CommandTarget] = None

    if TYPE_CHECKING:
        def __getattr__(self, name: str) -> Callable[..., Stacked[Any]]: ...

    def __repr__(self) -> str:
        return f"Batch({self.unit!r}, {len(self._members)} commands, {self._state})"

    def __enter__(self) -> Batch:
        self.start()
        return self

    def __exit__(self, exc_type: Any, exc: Any, traceback: Any) -> None:
        if exc_type is not None:
            self.discard()
            return
        self.execute()

    def __iter__(self) -> Iterator[Stacked[Any]]:
        return iter(self._members)

    def __len__(self) -> int:
        return len(self._members)

    @property
    def members(self) -> List[Stacked[Any]]:
        """The stacked commands, in order."""
        return list(self._members)

    @property
    def _bus(self) -> Port:
        return self.unit.bus

    def start(self) -> None:
        """Starts collecting (the ``with`` statement does this).

        :raises KelCmdError: this thread already collects commands for the unit.
        """
        if self._state != "new":
            raise KelCmdError(f"{self!r} was started already")
        bus, slave = self._bus, self.unit.address
        if bus._lib.IsStackingCommands(bus._name, slave):
            raise KelCmdError(f"{self.unit!r} is collecting a batch in this thread already",
                              port=bus.port, slave=slave)
        earlier = _pending().pop(self._key, None)
        if earlier is not None:
            earlier._supersede()
        bus._lib.MP_StartStackingCommands(bus._name, slave)
        self._thread = threading.get_ident()
        self._state = "collecting"
        _pending()[self._key] = self

    def call(self, command: str, *arguments: object) -> Stacked[Any]:
        """Stacks any command export, with the arguments of :meth:`Unit.call`.

        :returns: the member; its ``value`` is what :meth:`Unit.call` returns.
        :raises ValueError: as :meth:`Unit.call`, or a command whose values a batch cannot
            deliver.
        """
        return self._stack(PreparedCall(find_command(command), arguments), lambda v: v)

    def _stack(self, prepared: PreparedCall, finish: Callable[[Any], T]) -> Stacked[T]:
        self._expect("collecting", "stack commands")
        if not prepared.stackable:
            raise ValueError(f"{prepared.command.name} gives values that a batch does not "
                             "deliver: call it on the unit outside the batch")
        member = Stacked(prepared.command.name, prepared, finish)
        self._bus._stack(prepared, self.unit.address)
        self._members.append(member)
        return member

    def _stack_method(self, method: Callable[..., Any], arguments: Tuple[Any, ...],
                      keywords: Dict[str, Any]) -> Stacked[Any]:
        count = len(self._members)
        method(self._stacker, *arguments, **keywords)
        if len(self._members) != count + 1:
            raise KelCmdError(f"{method.__name__} did not stack one command")
        return self._members[-1]

    def execute(self) -> None:
        """Sends the batch (the end of the ``with`` block does this) and gives every member its
        value or exception; a quiet batch's values come with :meth:`read_results`.

        :raises KelCmdError: the first failure: the failing member's exception, or the batch's
            when it did not get through.
        """
        self._expect("collecting", "execute")
        bus, slave = self._bus, self.unit.address
        send = bus._lib.MP_ExecuteQuietCommandStack if self.quiet else bus._lib.MP_ExecuteCommandStack
        send(bus._name, slave)
        if self.quiet and last_outcome().status == SUCCEEDED:
            self._state = "sent"
            return
        self._settle()

    def read_results(self) -> None:
        """Reads a quiet batch's results from the unit and gives every member its value or
        exception.

        :raises KelCmdError: the first failure, as :meth:`execute`; or a later batch on the
            same unit replaced this one.
        """
        self._expect("sent", "read results")
        bus = self._bus
        bus._lib.MP_ReadLastQuietCommandStack(bus._name, self.unit.address)
        self._settle()

    def discard(self) -> None:
        """Drops a collecting batch without sending it; its members raise
        :class:`NotExecutedError`."""
        if self._state not in ("collecting", "sent"):
            return
        self._check_thread()
        self._bus._lib.MP_StopStackingCommands(self._bus._name, self.unit.address)
        self._retire()
        self._end_members(NotExecutedError(f"the batch for {self.unit!r} was not sent",
                                           port=self._bus.port, slave=self.unit.address))
        self._state = "discarded"

    def _settle(self) -> None:
        """Gives the members what the library decoded, then retires the library's entry."""
        outcome = last_outcome()
        bus, slave = self._bus, self.unit.address
        statuses = (ctypes.c_uint32 * _MAX_MEMBERS)()
        count = bus._lib.StackedCommandStatuses(bus._name, slave, statuses, _MAX_MEMBERS)
        self._retire()
        self._state = "done"
        ok = outcome.status == SUCCEEDED
        failure = None if ok else bus._command_error("batch", slave, outcome)
        if count != len(self._members):
            # Commands stacked through the library itself joined the batch: which state is
            # whose cannot be told.
            failure = failure or KelCmdError(
                f"the batch for {self.unit!r} held {count} commands, not the "
                f"{len(self._members)} stacked here: no value can be trusted")
            self._end_members(failure)
        else:
            failure = self._give(list(statuses[:count]), outcome, failure)
        if failure is not None:
            raise failure

    def _give(self, statuses: List[int], outcome: Any,
              failure: Optional[KelCmdError]) -> Optional[KelCmdError]:
        """Each member's value or exception by its state; the first failure."""
        bus, slave = self._bus, self.unit.address
        stopped_at = None
        first = None
        for member, status in zip(self._members, statuses):
            if status == _SUCCEEDED:
                member._succeed()
                continue
            if status == _FAILED:
                error = (bus._command_error(member.command, slave, outcome) if outcome.refused
                         else failure)
                stopped_at = stopped_at or member.command
            elif stopped_at is not None:
                error = NotExecutedError(f"{member.command} was not executed: the batch stopped "
                                         f"at {stopped_at}", command=member.command,
                                         port=bus.port, slave=slave)
            else:
                error = failure  # the batch never got to the unit
            member._fail(error or KelCmdError(f"{member.command} was not executed"))
            first = first or member.error
        return first or failure

    def _end_members(self, error: KelCmdError) -> None:
        for member in self._members:
            if not member.done:
                member._fail(error)

    def _retire(self) -> None:
        """Replaces the library's entry by an empty one, so nothing points here any more."""
        self._check_thread()
        bus, slave = self._bus, self.unit.address
        bus._lib.MP_StartStackingCommands(bus._name, slave)
        bus._lib.MP_StopStackingCommands(bus._name, slave)
        if _pending().get(self._key) is self:
            del _pending()[self._key]

    def _supersede(self) -> None:
        """A later batch on the same unit replaced this one's library entry."""
        if self._state in ("collecting", "sent"):
            self._end_members(NotExecutedError(
                f"a later batch for {self.unit!r} replaced this one before its results were read",
                port=self._bus.port, slave=self.unit.address))
            self._state = "superseded"

    def _check_thread(self) -> None:
        if threading.get_ident() != self._thread:
            raise KelCmdError("a batch is used only in the thread that started it: the "
                              "library stacks commands per thread")

    def _expect(self, state: str, action: str) -> None:
        if self._state != state:
            raise KelCmdError(f"cannot {action}: {self!r}")
        self._check_thread()
