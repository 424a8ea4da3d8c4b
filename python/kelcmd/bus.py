"""A port with the units on it, and the raw packet layer."""

import ctypes
import re
from dataclasses import dataclass

from . import _convert
from ._library import KebPacket, library
from .errors import CommandError, CommunicationError, PortError, UnitRefusedError
from .monitor import Monitor
from .outcome import NOT_SENT, REFUSED, last_outcome
from .texts import result_text, warning_text
from .unit import Unit

RTS_CONTROL = 0
AUTO_CONTROL = 1
MAX_PACKET_DATA = 1023
# The names a command accepts as its port; raw packets go to any open port.
_COMMAND_PORT = re.compile(r"com([1-9]|[1-9][0-9])", re.IGNORECASE)


@dataclass(frozen=True)
class Packet:
    """A raw frame as received: destination, sender, message type and data."""

    dest: int
    send: int
    mtype: int
    data: bytes
    crc: int = 0


class Bus:
    """An open port: Bus("Com5", device="sim:1-3") maps the port to the device and opens it;
    close() or the end of a `with` block closes it. Units are reached with unit(address).

    port: "Com1" to "Com99" for units; raw packets also work on ports with other names.
    device: "/dev/ttyUSB0", "sim" or "sim:1-3"; None keeps the port's usual device (KELCMD_PORTS,
    or "ComN" as /dev/ttyS(N-1)). The mapping stays for the rest of the process.
    """

    def __init__(self, port, device=None, baudrate=19200, *, bus_control=RTS_CONTROL,
                 timeout=100, receive_trials=4):
        self._name = _convert.name(port, "port name")
        self.port = self._name.decode(errors="replace")
        self._lib = library()
        self._open = False
        arguments = (_convert.integer(baudrate, "u32", "baudrate"), self._name,
                     _convert.integer(bus_control, "u8", "bus_control"),
                     _convert.integer(timeout, "u32", "timeout"),
                     _convert.integer(receive_trials, "u32", "receive_trials"))
        if device is not None:
            device_name = _convert.name(device, "device")
            if self._lib.KEB_MapPort(self._name, device_name) != 1:
                raise PortError(f"cannot map port {self.port} to device {device!r}",
                                port=self.port)
        code = self._lib.KEB_InitKelBus(*arguments)
        if code != 0:
            outcome = last_outcome()
            errno, reason = outcome.os_errno or None, outcome.os_reason or None
            text = result_text(code)
            message = f"cannot open {self.port}: {code} {text}"
            raise PortError(f"{message}; {reason}" if reason else message, result_code=code,
                            result_text=text, port=self.port, os_errno=errno, os_reason=reason,
                            outcome=outcome)
        self._open = True

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, traceback):
        try:
            self.close()
        except PortError:
            if exc_type is None:
                raise

    def __repr__(self):
        return f"Bus({self.port!r}, {'open' if self._open else 'closed'})"

    @property
    def is_open(self):
        """Whether the port is in the library's port table (another program part may close it)."""
        return self._lib.KEB_GetKelBusSettings(self._name, None, None, None, None) == 1

    def close(self):
        """Closes and removes the port; closing twice does nothing."""
        if not self._open:
            return
        self._open = False
        code = self._lib.KEB_CloseKelBusPort(self._name)
        if code != 0:
            text = result_text(code)
            raise PortError(f"cannot close {self.port}: {text}", result_code=code,
                            result_text=text, port=self.port)

    def unit(self, address):
        """The unit at `address` (1 to 255; 128 and above are group and broadcast addresses)."""
        if not _COMMAND_PORT.fullmatch(self.port):
            raise ValueError(f"commands go only to ports named Com1 to Com99, not {self.port!r}: "
                             "map such a name to the device instead")
        return Unit(self, address)

    def monitor(self, capacity=0):
        """Watches this bus through the library's bus tap: `with bus.monitor() as events:` (see
        kelcmd.monitor.Monitor)."""
        return Monitor(self.port, capacity)

    # ---- raw packets ------------------------------------------------------------------------

    def send_packet(self, dest, mtype, data=b"", *, retry=False):
        """Sends one frame and waits for the unit's acknowledge (not for its answer)."""
        data = bytes(data)
        if len(data) > MAX_PACKET_DATA:
            raise ValueError(f"a packet carries at most {MAX_PACKET_DATA} data bytes, "
                             f"not {len(data)}")
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

    def receive_packet(self, timeout=100, *, retry=False):
        """The next frame from the line, waiting up to `timeout` ms for its first byte (0: no
        limit). A failure raises CommunicationError whose `packet` holds what arrived."""
        frame = KebPacket()
        receive = self._lib.MP_KEB_ReceivePacketRetry if retry else self._lib.MP_KEB_ReceivePacket
        code = receive(self._name, ctypes.byref(frame), _convert.integer(timeout, "u32", "timeout"))
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

    # ---- command execution, for Unit --------------------------------------------------------

    def _execute(self, command, slave, arguments):
        function = getattr(self._lib, "MP_" + command)
        if function(self._name, slave, *arguments) == 1:
            return
        raise self._command_error(command, slave)

    def _command_error(self, command, slave):
        """The KelCmdError of `command` to `slave` that just failed on this thread."""
        outcome = last_outcome()
        where = f"{command} on {self.port} unit {slave}"
        if outcome.status == NOT_SENT:
            if not self.is_open:
                return PortError(f"{where} failed: the port is not open", command=command,
                                 port=self.port, slave=slave, outcome=outcome)
            return CommandError(f"{where} failed: refused before sending (the port is reserved "
                                "by another thread)", command=command, port=self.port, slave=slave,
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
        kind = UnitRefusedError if outcome.status == REFUSED else CommunicationError
        return kind(message, result_code=code, result_text=text, warning=outcome.unit_warning,
                    warning_name=warning.name, warning_text=warning.text, command=command,
                    port=self.port, slave=slave, message_type=outcome.message_type,
                    batch=outcome.batch, outcome=outcome)
