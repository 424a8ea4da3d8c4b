"""A port with the units on it, and the raw packet layer."""

from __future__ import annotations

import ctypes
import re
import threading
import warnings
from dataclasses import dataclass
from typing import Any, Dict, Optional, Union

from . import _convert
from ._library import KebPacket, last_outcome, library
from ._port import Port
from .bus_batch import BusBatch
from .errors import CommunicationError, PortError
from .group import FIRST_GROUP, LAST_GROUP, Group
from .monitor import Monitor
from .texts import result_text
from .unit import FIRST_UNIT, LAST_UNIT, Unit

#: Bus control of :class:`Bus`: the RTS line switches the transmitter.
RTS_CONTROL = 0
#: Bus control of :class:`Bus`: the adapter switches its transmitter itself.
AUTO_CONTROL = 1
MAX_PACKET_DATA = 1023
# The names a command accepts as its port; raw packets go to any open port.
_COMMAND_PORT = re.compile(r"com([1-9]|[1-9][0-9])", re.IGNORECASE)

# The devices this package mapped port names to, by port name in lower case, so that a mapping
# whose port does not open can be put back.
_mappings: Dict[str, bytes] = {}
_mappings_lock = threading.Lock()


@dataclass(frozen=True)
class Packet:
    """A raw frame as received.

    :ivar dest: its destination address (0: the PC).
    :ivar send: its sender's address.
    :ivar mtype: its message type.
    :ivar data: its data bytes.
    :ivar crc: its checksum.
    """

    dest: int
    send: int
    mtype: int
    data: bytes
    crc: int = 0


class Bus(Port):
    """An open port with the units on it::

        with kelcmd.Bus("Com5", device="sim:1-3") as bus:
            print(bus.unit(1).read_position())

    The constructor maps the port to the device and opens it; :meth:`close` or the end of the
    ``with`` block closes it, and so does the garbage collector for a Bus dropped while open
    (with a :class:`ResourceWarning`).

    :param port: ``"Com1"`` to ``"Com99"`` for units; raw packets also work on ports with other
        names.
    :param device: ``"/dev/ttyUSB0"``, ``"sim"`` or ``"sim:1-3"``; None keeps the port's usual
        device (``KELCMD_PORTS``, or ``"ComN"`` as ``/dev/ttyS(N-1)``). The mapping stays for the
        rest of the process once the port opened; when it does not open, the port's earlier
        mapping is put back.
    :param baudrate: the line's rate in bit/s.
    :param bus_control: :data:`RTS_CONTROL` or :data:`AUTO_CONTROL`.
    :param timeout: the default answer timeout in ms.
    :param receive_trials: how often an answer is asked for again after a corrupted one.
    :raises PortError: the port did not open (``os_errno`` and ``os_reason`` say why).
    :raises ValueError: an argument out of range.
    """

    def __init__(self, port: Union[str, bytes], device: Optional[Union[str, bytes]] = None,
                 baudrate: int = 19200, *, bus_control: int = RTS_CONTROL, timeout: int = 100,
                 receive_trials: int = 4) -> None:
        self._open = False
        super().__init__(_convert.name(port, "port"), library())
        arguments = (_convert.integer(baudrate, "u32", "baudrate", "bit/s"), self._name,
                     _convert.integer(bus_control, "u8", "bus_control"),
                     _convert.integer(timeout, "u32", "timeout", "ms"),
                     _convert.integer(receive_trials, "u32", "receive_trials"))
        device_name = None if device is None else _convert.name(device, "device")
        with _mappings_lock:
            key = self.port.lower()
            earlier = _mappings.get(key)
            if device_name is not None:
                self._lib.KEB_MapPort(self._name, device_name)
            code = self._lib.KEB_InitKelBus(*arguments)
            if code == 0:
                if device_name is not None:
                    _mappings[key] = device_name
                self._open = True
                return
            outcome = last_outcome()
            if device_name is not None:
                # An empty device removes the mapping, so KELCMD_PORTS counts again.
                self._lib.KEB_MapPort(self._name, earlier or b"")
        errno, reason = outcome.os_errno or None, outcome.os_reason or None
        text = result_text(code)
        message = f"cannot open {self.port}: {code} {text}"
        raise PortError(f"{message}; {reason}" if reason else message, result_code=code,
                        result_text=text, port=self.port, os_errno=errno, os_reason=reason,
                        outcome=outcome)

    def __enter__(self) -> Bus:
        return self

    def __exit__(self, exc_type: Any, exc: Any, traceback: Any) -> None:
        try:
            self.close()
        except PortError:
            if exc_type is None:
                raise

    def __del__(self) -> None:
        if getattr(self, "_open", False):
            warnings.warn(f"unclosed {self!r}: closed by the garbage collector", ResourceWarning,
                          source=self)
            try:
                self.close()
            except Exception:  # noqa: BLE001 - nothing can be reported from a finalizer
                pass

    def __repr__(self) -> str:
        return f"Bus({self.port!r}, {'open' if self._open else 'closed'})"

    def close(self) -> None:
        """Closes and removes the port; closing twice does nothing.

        :raises PortError: the library could not close it.
        """
        if not self._open:
            return
        self._open = False
        code = self._lib.KEB_CloseKelBusPort(self._name)
        if code != 0:
            text = result_text(code)
            raise PortError(f"cannot close {self.port}: {text}", result_code=code,
                            result_text=text, port=self.port)

    def unit(self, address: int) -> Unit:
        """The unit at `address`.

        :param address: 1 to 127 (128 to 255 are group addresses: :meth:`group`).
        :raises ValueError: the address is out of range or a group's, or the port's name is not
            ``Com1`` to ``Com99``.
        """
        self._expect_command_port()
        if isinstance(address, int) and FIRST_GROUP <= address <= LAST_GROUP:
            raise ValueError(f"address {address} is a group address (128 to 255), and groups "
                             f"never answer: use bus.group({address}) for the commands that "
                             "ask for nothing back, or a unit address from 1 to 127")
        _convert.in_range(address, FIRST_UNIT, LAST_UNIT, "address")
        return Unit(self, address)

    def group(self, address: int) -> Group:
        """The group at `address`, which takes the commands that ask for nothing back.

        :param address: 128 to 255 (254: every unit, acknowledged).
        :raises ValueError: the address is out of range, or the port's name is not ``Com1`` to
            ``Com99``.
        """
        self._expect_command_port()
        return Group(self, address)

    def batch(self, *, quiet: bool = False) -> BusBatch:
        """Collects commands for several units and sends each unit's as one batch when the
        ``with`` block ends (see :class:`~kelcmd.BusBatch`).

        :param quiet: send quiet batches, whose results :meth:`BusBatch.read_results` fetches.
        """
        self._expect_command_port()
        return BusBatch(self, quiet=quiet)

    def monitor(self, capacity: int = 0) -> Monitor:
        """Watches this bus through the library's bus tap: ``with bus.monitor() as events:``
        (see :class:`~kelcmd.Monitor`).

        :param capacity: how many events wait in the library at most (0: its default).
        """
        return Monitor(self.port, capacity)

    def _expect_command_port(self) -> None:
        if not _COMMAND_PORT.fullmatch(self.port):
            raise ValueError(f"commands go only to ports named Com1 to Com99, not {self.port!r}: "
                             "map such a name to the device instead")

    # ---- raw packets ------------------------------------------------------------------------

    def send_packet(self, dest: int, mtype: int, data: bytes = b"", *,
                    retry: bool = False) -> None:
        """Sends one frame and waits for the unit's acknowledge (not for its answer).

        :param dest: the destination address, 0 to 255.
        :param mtype: the message type, 0 to 255.
        :param data: up to 1023 data bytes.
        :param retry: use the retrying transmit.
        :raises ValueError: too much data or a value out of range.
        :raises CommunicationError: the frame was not acknowledged.
        """
        data = bytes(data)
        if len(data) > MAX_PACKET_DATA:
            raise ValueError(f"data must be at most {MAX_PACKET_DATA} bytes, got {len(data)}")
        packet = KebPacket()
        packet.dest = _convert.integer(dest, "u8", "dest")
        packet.mtype = _convert.integer(mtype, "u8", "mtype")
        packet.length = len(data)
        ctypes.memmove(packet.data, data, len(data))
        send = self._lib.MP_KEB_SendPacketRetry if retry else self._lib.MP_KEB_SendPacket
        code = send(self._name, ctypes.byref(packet))
        if code != 0:
            text = result_text(code)
            raise CommunicationError(
                f"packet {mtype} to {dest} on {self.port} failed: {code} {text}",
                result_code=code, result_text=text, port=self.port, slave=dest,
                message_type=mtype, outcome=last_outcome())

    def receive_packet(self, timeout: int = 100, *, retry: bool = False) -> Packet:
        """The next frame from the line.

        :param timeout: how long to wait for its first byte, in ms (0: no limit).
        :param retry: ask for the frame again when it arrives corrupted.
        :raises CommunicationError: nothing or a corrupted frame came; its ``packet`` holds what
            arrived.
        """
        frame = KebPacket()
        receive = self._lib.MP_KEB_ReceivePacketRetry if retry else self._lib.MP_KEB_ReceivePacket
        code = receive(self._name, ctypes.byref(frame),
                       _convert.integer(timeout, "u32", "timeout", "ms"))
        length = min(frame.length, MAX_PACKET_DATA)
        packet = Packet(frame.dest, frame.send, frame.mtype, bytes(frame.data[:length]), frame.crc)
        if code != 0:
            text = result_text(code)
            error = CommunicationError(
                f"receiving on {self.port} failed: {code} {text}", result_code=code,
                result_text=text, port=self.port, outcome=last_outcome())
            error.packet = packet
            raise error
        return packet
