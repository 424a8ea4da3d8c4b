"""Watching a bus: everything on the wire and the result of each exchange, from the bus tap."""

import ctypes
from dataclasses import dataclass

from ._library import BusEventRecord, library
from .errors import KelCmdError
from .texts import result_text

# In the order of the library's event kinds and directions.
KINDS = ("request", "acknowledge", "answer", "resend", "purge", "timeout", "result")
DIRECTIONS = ("out", "in", "")


@dataclass(frozen=True)
class BusEvent:
    """One thing on the wire, or the judged result of an exchange (kind "result").

    kind: "request", "acknowledge", "answer", "resend", "purge", "timeout" or "result".
    data: the bytes as on the wire, CRC included (the acknowledge byte, what a purge dropped).
    result: 0, or the result code of what went wrong; for "result" the exchange's transport code.
    refused, unit_error, warning, failed_member: the unit's refusal, in a "result" only (a refusal
    with CMD_FAIL has unit_error 0 and refused True).
    time_ns is monotonic; elapsed_ns counts from the start of the exchange.
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
    def ok(self):
        """Nothing went wrong: no failure, and (for a result) no refusal."""
        return self.result == 0 and not self.refused

    @property
    def text(self):
        return "OK" if self.result == 0 else result_text(self.result)


def _event(record):
    return BusEvent(KINDS[record.kind], DIRECTIONS[record.direction],
                    record.port.decode(errors="replace"), bytes(record.bytes[:record.length]),
                    record.result, record.time_ns, record.elapsed_ns, record.exchange,
                    bool(record.refused), record.unit_error, record.warning, record.failed_member,
                    record.trials)


class Monitor:
    """The events of one port (or, with port None, of every port) from the moment it starts:

        with bus.monitor() as events:
            unit.read_position()
        [e.kind for e in events]  # ['request', 'acknowledge', 'answer', 'result']

    Events wait in the library (up to `capacity`; `dropped` counts what did not fit) until they
    are taken: take() returns those that came since the last take; the monitor itself lists every
    event taken so far, and takes the rest when the `with` block ends.
    """

    def __init__(self, port=None, capacity=0):
        self._lib = library()
        self._port = port.encode() if isinstance(port, str) else port
        self._capacity = capacity
        self._handle = 0
        self._events = []
        self._dropped = 0

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, exc_type, exc, traceback):
        self.stop()

    def start(self):
        if self._handle:
            return
        self._handle = self._lib.OpenBusMonitor(self._port, self._capacity)
        if not self._handle:
            raise KelCmdError("cannot start watching the bus")

    def take(self, wait=0):
        """The events that came since the last take, waiting up to `wait` ms for the first."""
        taken = []
        record = BusEventRecord()
        while self._handle and self._lib.ReadBusMonitor(self._handle, wait, ctypes.byref(record)):
            taken.append(_event(record))
            wait = 0
        self._events.extend(taken)
        return taken

    @property
    def dropped(self):
        """Events lost because they were not taken before `capacity` more had come."""
        return self._lib.BusMonitorDropped(self._handle) if self._handle else self._dropped

    def stop(self):
        if not self._handle:
            return
        self.take()
        self._dropped = self._lib.BusMonitorDropped(self._handle)
        self._lib.CloseBusMonitor(self._handle)
        self._handle = 0

    def __iter__(self):
        return iter(self._events)

    def __len__(self):
        return len(self._events)

    def __getitem__(self, index):
        return self._events[index]
