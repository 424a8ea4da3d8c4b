"""One unit on a bus: its commands as methods, each sent with explicit port and slave address."""

from __future__ import annotations

import ctypes
import inspect
import time
from typing import TYPE_CHECKING, Any, Callable, List, Optional, Tuple, TypeVar, cast

from . import _convert, parameters
from ._call import PreparedCall, find_command
from ._target import SendingCommands, stackable
from .batch import Batch, Stacked
from .recording import RecordedVector, RecorderState
from .status import (AxisInfo, AxisStatus, MotionFlags, MotionInfo, PredefinedInputs,
                     UnitMessage, Version)
from .texts import error_text, warning_text

if TYPE_CHECKING:
    from ._port import Port

T = TypeVar("T")

FIRST_UNIT = 1
LAST_UNIT = 127
_RECORDING_POLL = 0.02  # s


def _profile(values: Any) -> Tuple[int, float, float, float]:
    profile_type, accel, decel, ceiling = values
    return int(profile_type), float(accel), float(decel), float(ceiling)


def _motion_info(values: Any) -> MotionInfo:
    flags, duration = values
    return MotionInfo(MotionFlags(flags), duration)


def _axis_info(values: Any) -> AxisInfo:
    status, user, predefined, position, velocity, current = values
    return AxisInfo(AxisStatus(status), user, PredefinedInputs(predefined), position, velocity,
                    current)


def _recorder_state(values: Any) -> RecorderState:
    terminated, samples, period = values
    return RecorderState(terminated != 0, samples, period)


class Unit(SendingCommands):
    """A unit at an address (1 to 127) on an open :class:`~kelcmd.Bus`; get one with
    ``bus.unit(address)``.

    Every method sends its command with the bus's port and this address and waits for the answer,
    so units on one or several buses can be driven from several threads. Units: positions in qc,
    velocities in qc/ms, accelerations in qc/ms², currents in mA, times in ms.

    :raises KelCmdError: from every method when the command fails: :class:`UnitRefusedError`
        (the unit refused), :class:`CommunicationError` (the exchange failed),
        :class:`MayHaveExecutedError` (it failed after the unit took the request),
        :class:`PortError` (the port is not open).
    """

    def __init__(self, bus: Port, address: int) -> None:
        _convert.in_range(address, FIRST_UNIT, LAST_UNIT, "address")
        super().__init__(bus, address)

    def __repr__(self) -> str:
        return f"Unit({self.bus.port!r}, {self.address})"

    def call(self, command: str, *arguments: object) -> Any:
        """Runs any command export by its plain name.

        The arguments are those of the C export after port and slave, minus the values it
        writes, which are returned: ``call("ReadProfile")`` returns ``(profiletype, accel, decel,
        ceilVel)``; ``call("MoveAbsolute", 1000, 5000)`` returns None. Memory arguments take
        ``bytes`` (read only), a ``bytearray`` or a ctypes object, and must hold what the command
        reads or writes: ``call("ReadAllTempParam", bytearray(110))``.

        :param command: the export's name without ``MP_`` (``"ReadPosVelCur"``).
        :param arguments: its arguments, in the export's order.
        :returns: None, the one value written, or a tuple of them in argument order.
        :raises ValueError: no such command, a value out of range, or a buffer too small (the
            message says how many bytes it needs).
        :raises TypeError: the wrong number or kind of arguments.
        :raises KelCmdError: the command failed.
        """
        prepared = PreparedCall(find_command(command), arguments)
        self.bus._run(prepared, self.address)
        return prepared.values()

    def batch(self, *, quiet: bool = False) -> Batch:
        """Collects commands for this unit and sends them as one batch when the ``with`` block
        ends; see :class:`~kelcmd.Batch`::

            with unit.batch() as batch:
                batch.move_absolute(1000)
                position = batch.read_position()
            print(position.value)

        :param quiet: send as a quiet batch: the unit executes and answers without results,
            which :meth:`Batch.read_results` fetches later.
        """
        batch = Batch(self, quiet=quiet)
        batch._stacker = _StackingUnit(batch, self)
        return batch

    def dialog(self, command: str) -> bool:
        """Opens the command's dialog (from libkelcmd-dialogs) on this unit.

        :param command: the command's name (``"MoveAbsolute"``).
        :returns: True when the user confirmed and the command ran; False when cancelled, failed
            or without a display.
        :raises ValueError: no dialog of that name.
        """
        from .dialogs import command_dialog

        self.bus._refuse_if_stacking(self.address, command)
        return command_dialog(self.bus.port, self.address, command)

    # ---- motion control ---------------------------------------------------------------------

    @stackable
    def read_profile(self) -> Tuple[int, float, float, float]:
        """The trajectory's profile.

        :returns: (profile type, acceleration in qc/ms², deceleration in qc/ms², ceiling
            velocity in qc/ms).
        """
        return self._issue("ReadProfile", {}, _profile)

    @stackable
    def move_absolute(self, position: int, timeout: int = 5000) -> None:
        """Moves to `position`.

        :param position: the target in qc.
        :param timeout: how long to wait for the answer, in ms (with
            :data:`~kelcmd.WAIT_FOR_BOTH` the unit answers on arrival).
        """
        return self._send("MoveAbsolute", {"position": position, "timeout": timeout})

    @stackable
    def move_relative(self, distance: int, timeout: int = 5000) -> None:
        """Moves by `distance` from the current target.

        :param distance: in qc; negative moves back.
        :param timeout: how long to wait for the answer, in ms.
        """
        return self._send("MoveRelative", {"distance": distance, "timeout": timeout})

    @stackable
    def move_absolute_info(self, position: int, timeout: int = 5000) -> MotionInfo:
        """Moves to `position` and tells how the unit planned the motion.

        :param position: the target in qc.
        :param timeout: how long to wait for the answer, in ms.
        :returns: the plan's flags and duration in ms.
        """
        return self._issue("MoveAbsoluteInfo", {"position": position, "timeout": timeout},
                           _motion_info)

    @stackable
    def wait_for_target_pos(self, timeout: int = 5000) -> None:
        """Waits until the unit reaches its target.

        :param timeout: how long to wait for the answer, in ms.
        """
        return self._send("WaitForTargetPos", {"timeout": timeout})

    @stackable
    def find_home(self, home_type: int, current: int, velocity: float, offset: int,
                  timeout: int) -> None:
        """Searches the home position with these parameters (the unit's own:
        :meth:`find_home_sys`).

        :param home_type: the procedure, 1 to 9 (8: against the mechanical end).
        :param current: the current threshold in mA that marks a mechanical end.
        :param velocity: the search velocity in qc/ms; its sign gives the direction.
        :param offset: where the home position lies from the reference found, in qc.
        :param timeout: how long the search may take, in ms (0: no limit).
        """
        return self._send("FindHome", {"home_type": home_type, "current": current,
                                       "velocity": velocity, "offset": offset,
                                       "timeout": timeout})

    @stackable
    def find_home_sys(self, timeout: int = 0) -> None:
        """Searches the home position with the unit's own home parameters.

        :param timeout: how long the search may take, in ms (0: no limit).
        """
        return self._send("FindHomeSys", {"timeout": timeout})

    # ---- motion info and status -------------------------------------------------------------

    @stackable
    def read_position(self) -> int:
        """The actual position in qc."""
        return self._issue("ReadPosition", {}, int)

    @stackable
    def read_velocity(self) -> float:
        """The actual velocity in qc/ms."""
        return self._issue("ReadVelocity", {}, float)

    @stackable
    def read_current(self) -> int:
        """The actual motor current in mA."""
        return self._issue("ReadCurrent", {}, int)

    @stackable
    def read_axis_status(self) -> AxisStatus:
        """The axis status word, its bits by name (``moving``, ``pos_reg``, ...)."""
        return self._issue("ReadAxisStatus", {}, AxisStatus)

    @stackable
    def read_axis_info(self) -> AxisInfo:
        """Status, inputs, position (qc), mean velocity (qc/ms) and mean current (mA) at once."""
        return self._issue("ReadAxisInfo", {}, _axis_info)

    @stackable
    def read_error(self) -> UnitMessage:
        """The unit's error register: its number, mnemonic and text; false when no error."""
        return self._issue("ReadError", {}, error_text)

    @stackable
    def read_warning(self) -> UnitMessage:
        """The unit's warning register: its number, mnemonic and text; false when none."""
        return self._issue("ReadWarning", {}, warning_text)

    # ---- inputs, outputs, versions, parameters ----------------------------------------------

    @stackable
    def read_input(self, number: int) -> bool:
        """Whether user input `number` is on."""
        return self._issue("ReadInput", {"number": number}, bool)

    @stackable
    def read_input_byte(self, port_number: int = 0) -> int:
        """Eight user inputs as the bits of one byte.

        :param port_number: which eight inputs (0: the first).
        """
        return self._issue("ReadInputByte", {"port_number": port_number}, int)

    @stackable
    def read_analog_input(self, channel: int) -> int:
        """The raw value of analog input `channel`."""
        return self._issue("ReadAnalogInput", {"channel": channel}, int)

    @stackable
    def read_version(self) -> Version:
        """The unit's command set, library, hardware, boot and application versions."""
        return self._issue("ReadVersion", {}, lambda values: Version(*values))

    @stackable
    def read_temp_param(self, number: int) -> float:
        """The temporary (RAM) value of a system parameter.

        :param number: the parameter's number, 0 to 78.
        :returns: its value in the parameter's type (an int, or a float for Float parameters).
        :raises ValueError: no parameter of that number.
        """
        return self._read_parameter("ReadTempParam", number)

    @stackable
    def read_permanent_param(self, number: int) -> float:
        """The permanent (non-volatile) value of a system parameter.

        :param number: the parameter's number, 0 to 78.
        :returns: its value in the parameter's type.
        :raises ValueError: no parameter of that number.
        """
        return self._read_parameter("ReadPermanentParam", number)

    def _read_parameter(self, command: str, number: int) -> float:
        parameters.parameter_format(number)
        raw = (ctypes.c_uint8 * 4)()  # the widest parameter
        return self._issue(command, {"number": number, "value": raw},
                           lambda values: parameters.decode(number, bytes(raw)))

    # ---- recorder ---------------------------------------------------------------------------

    @stackable
    def setup_recorder(self, period: int = 1, data_type: int = 1,
                       auto_record: bool = True) -> None:
        """Sets what the recorder samples, and how often.

        :param period: the time between samples, in ms.
        :param data_type: which signals the four vectors record
            (``kelcmd.recording.POSITION_AND_VELOCITY`` ...).
        :param auto_record: start a recording at each movement command.
        """
        return self._send("SetupRecorder", {"period": period, "data_type": data_type,
                                            "auto_record": 1 if auto_record else 0})

    @stackable
    def record(self, regulator: int = 0) -> None:
        """Starts a recording.

        :param regulator: sample in the position (0) or the current (1) regulator.
        """
        return self._send("RecordData", {"regulator": regulator})

    @stackable
    def read_nb_of_samples(self) -> RecorderState:
        """The recorder's progress: complete or not, samples per vector, sample period in µs."""
        return self._issue("ReadNbOfSamples", {}, _recorder_state)

    def wait_for_recording(self, samples: Optional[int] = None,
                           timeout: float = 10.0) -> RecorderState:
        """Polls until the recording is complete or holds `samples` per vector.

        :param samples: enough samples per vector; None waits for the end.
        :param timeout: how long to poll, in seconds.
        :raises TimeoutError: the recording did not get there in time.
        """
        deadline = time.monotonic() + timeout
        while True:
            state = self.read_nb_of_samples()
            if state.terminated or (samples is not None and state.samples >= samples):
                return state
            if time.monotonic() > deadline:
                raise TimeoutError(f"unit {self.address} recorded {state.samples} samples in "
                                   f"{timeout} s")
            time.sleep(_RECORDING_POLL)

    def read_recorded_data(self, vector: int, first: int = 0,
                           count: Optional[int] = None) -> RecordedVector:
        """Samples ``first`` to ``first + count - 1`` of one vector, read in pieces.

        :param vector: 0 to 3.
        :param first: the first sample's number.
        :param count: how many; None reads all the unit holds from `first` on.
        """
        if count is None:
            count = max(self.read_nb_of_samples().samples - first, 0)
        _convert.integer(vector, "u8", "vector")
        _convert.integer(first, "u16", "first")
        _convert.integer(count, "u16", "count")
        if count == 0:
            return RecordedVector(vector, None)
        samples = (ctypes.c_int16 * count)()
        signal = ctypes.c_uint8()
        self.bus._refuse_if_stacking(self.address, "ReadRecordedData")
        if self.bus._lib.ReadRecordedVectorOf(self.bus._name, self.address, vector, first, count,
                                              samples, ctypes.byref(signal)) != 1:
            raise self.bus._command_error("ReadRecordedData", self.address)
        return RecordedVector(vector, signal.value, list(samples))

    def read_recording(self, count: Optional[int] = None) -> List[RecordedVector]:
        """The four vectors of the recording.

        :param count: samples per vector; None reads all the unit holds.
        """
        if count is None:
            count = self.read_nb_of_samples().samples
        return [self.read_recorded_data(vector, 0, count) for vector in range(4)]


class _StackingUnit(Unit):
    """A batch's unit: its methods stack their command instead of sending it."""

    def __init__(self, batch: Batch, unit: Unit) -> None:
        super().__init__(unit.bus, unit.address)
        self._batch = batch

    def _issue(self, command: str, arguments: Any, finish: Callable[[Any], T]) -> T:
        prepared = PreparedCall(find_command(command), list(arguments.values()),
                                list(arguments))
        return cast(T, self._batch._stack(prepared, finish))


def _stacker(name: str) -> Callable[..., Stacked[Any]]:
    """The batch's twin of the Unit method `name`."""
    method = getattr(Unit, name)

    def stack(self: Batch, *arguments: Any, **keywords: Any) -> Stacked[Any]:
        return self._stack_method(method, arguments, keywords)

    stack.__name__ = name
    stack.__qualname__ = f"Batch.{name}"
    summary = (inspect.getdoc(method) or "").split("\n\n")[0]
    stack.__doc__ = (f"Stacks :meth:`Unit.{name}`: {summary}\n\n:returns: a :class:`Stacked` "
                     f"whose ``value`` is what :meth:`Unit.{name}` returns, once the batch ran.")
    setattr(stack, "__signature__",
            inspect.signature(method).replace(return_annotation="Stacked"))
    return stack


#: The Unit methods a batch offers: each issues exactly one command.
STACKABLE = sorted(name for name in dir(Unit)
                   if getattr(getattr(Unit, name), "kelcmd_stackable", False))
for _name in STACKABLE:
    setattr(Batch, _name, _stacker(_name))
