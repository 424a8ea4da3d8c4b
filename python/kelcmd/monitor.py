"""Watching a bus: everything on the wire and the result of each exchange, from the bus tap."""

from __future__ import annotations

import ctypes
from dataclasses import dataclass
from typing import Any, Iterator, List, Optional, Union, overload

from ._library import BusEventRecord, library
from .errors import KelCmdError
from .texts import result_text

# In the order of the library's event kinds and directions.
KINDS = ("request", "acknowledge", "answer", "resend", "purge", "timeout", "result")
DIRECTIONS = ("out", "in", "")


@dataclass(frozen=True)
class BusEvent:
    """One thing on the wire, or the judged result of an exchange (kind "result").

    :ivar kind: "request", "acknowledge", "answer", "resend", "purge", "timeout" or "result".
    :ivar direction: "out", "in", or "" for a result.
    :ivar port: the port's name.
    :ivar data: the bytes as on the wire, CRC included (the acknowledge byte, what a purge
        dropped).
    :ivar result: 0, or the result code of what went wrong; for "result" the exchange's transport
        code.
    :ivar time_ns: monotonic time of the event, in ns.
    :ivar elapsed_ns: time since the start of the exchange, in ns.
    :ivar exchange: the exchange's number.
    :ivar refused: in a "result": the unit refused (a refusal with CMD_FAIL has unit_error 0).
    :ivar unit_error: in a "result": the unit's reason.
    :ivar warning: in a "result": the unit's warning.
    :ivar failed_member: in a "result": the message type of a batch's failing member.
    :ivar trials: in a "result": receptions of the answer.
    """

    kind: str
    direction: str
    port: str
    data: bytes
    result: int
    time_ns: int
    elapsed_ns: int
    exchange: int
    refused: bool = False
    unit_error: int = 0
    warning: int = 0
    failed_member: int = 0
    trials: int = 0

    @property
    def ok(self) -> bool:
        """Nothing went wrong: no failure, and (for a result) no refusal."""
        return self.result == 0 and not self.refused

    @property
    def text(self) -> str:
        """``"OK"``, or the text of the result code."""
        return "OK" if self.result == 0 else result_text(self.result)


def _event(record: Any) -> BusEvent:
    return BusEvent(KINDS[record.kind], DIRECTIONS[record.direction],
                    record.port.decode(errors="replace"), bytes(record.bytes[:record.length]),
                    record.result, record.time_ns, record.elapsed_ns, record.exchange,
                    bool(record.refused), record.unit_error, record.warning, record.failed_member,
                    record.trials)


class Monitor:
    """The events of one port (or, with port None, of every port) from the moment it starts::

        with bus.monitor() as events:
            unit.read_position()
        [e.kind for e in events]  # ['request', 'acknowledge', 'answer', 'result']

    Events wait in the library (up to `capacity`; `dropped` counts what did not fit) until they
    are taken: take() returns those that came since the last take; the monitor itself lists every
    event taken so far, and takes the rest when the `with` block ends.
    """

    def __init__(self, port: Optional[Union[str, bytes]] = None, capacity: int = 0) -> None:
        self._lib = library()
        self._port = port.encode() if isinstance(port, str) else port
        self._capacity = capacity
        self._handle = 0
        self._events: List[BusEvent] = []
        self._dropped = 0

    def __enter__(self) -> Monitor:
        self.start()
        return self

    def __exit__(self, exc_type: Any, exc: Any, traceback: Any) -> None:
        self.stop()

    def start(self) -> None:
        """Starts watching (the ``with`` statement does this).

        :raises KelCmdError: the library could not start the monitor.
        """
        if self._handle:
            return
        self._handle = self._lib.OpenBusMonitor(self._port, self._capacity)
        if not self._handle:
            raise KelCmdError("cannot start watching the bus")

    def take(self, wait: int = 0) -> List[BusEvent]:
        """The events that came since the last take.

        :param wait: how long to wait for the first, in ms.
        """
        taken = []
        record = BusEventRecord()
        while self._handle and self._lib.ReadBusMonitor(self._handle, wait, ctypes.byref(record)):
            taken.append(_event(record))
            wait = 0
        self._events.extend(taken)
        return taken

    @property
    def dropped(self) -> int:
        """Events lost because they were not taken before `capacity` more had come."""
        if self._handle:
            return int(self._lib.BusMonitorDropped(self._handle))
        return self._dropped

    def stop(self) -> None:
        """Takes the remaining events and stops watching (the end of the ``with`` block does
        this)."""
        if not self._handle:
            return
        self.take()
        self._dropped = self._lib.BusMonitorDropped(self._handle)
        self._lib.CloseBusMonitor(self._handle)
        self._handle = 0

    def __iter__(self) -> Iterator[BusEvent]:
        return iter(self._events)

    def __len__(self) -> int:
        return len(self._events)

    @overload
    def __getitem__(self, index: int) -> BusEvent: ...

    @overload
    def __getitem__(self, index: slice) -> List[BusEvent]: ...

    def __getitem__(self, index: Union[int, slice]) -> Union[BusEvent, List[BusEvent]]:
        return self._events[index]
