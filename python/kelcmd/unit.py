"""One unit on a bus: its commands as methods, each sent with explicit port and slave address."""

import ctypes
import time

from . import _convert, parameters
from ._library import C_TYPES
from ._signatures import COMMANDS
from .recording import RecordedVector, RecorderState
from .status import AxisInfo, AxisStatus, MotionFlags, MotionInfo, PredefinedInputs, Version
from .texts import error_text, warning_text

# regmode of SetRegMode
REGULATION_OFF = 0
CURRENT_MODE = 1
POSITION_MODE = 2
FOLLOW_ENCODER = 3
# waitMode of SetWaitMode: whether a move's answer waits for the trajectory and a home search's
# for the homing.
WAIT_FOR_HOMING = 0
WAIT_FOR_BOTH = 1
WAIT_FOR_NEITHER = 2
WAIT_FOR_TRAJECTORY = 3

_RECORDING_POLL = 0.02  # s


class Unit:
    """A unit at an address on an open Bus. Every method raises KelCmdError when the command
    fails; units: positions qc, velocities qc/ms, accelerations qc/ms^2, currents mA, times ms."""

    def __init__(self, bus, address):
        self.bus = bus
        self.address = _convert.integer(address, "u8", "address")
        if address == 0:
            raise ValueError("address 0 is the PC's own; units are 1 to 255")

    def __repr__(self):
        return f"Unit({self.bus.port!r}, {self.address})"

    def call(self, command, *arguments):
        """Runs any command export by its plain name, with the plain form's arguments minus
        the values it writes: call("ReadProfile") returns (profiletype, accel, decel, ceilVel);
        call("MoveAbsolute", 1000, 5000) returns None. Buffers ("in"/"buf" in
        kelcmd._signatures) are passed as bytes, bytearray or ctypes objects."""
        codes = COMMANDS.get(command)
        if codes is None:
            raise ValueError(f"no command export named {command!r}")
        inputs = [code for code in codes if not code.startswith("*")]
        if len(arguments) != len(inputs):
            raise TypeError(f"{command} takes {len(inputs)} arguments ({' '.join(inputs)}), "
                            f"not {len(arguments)}")
        given = iter(arguments)
        c_arguments, outputs = [], []
        for number, code in enumerate(codes, 1):
            if code.startswith("*"):
                output = C_TYPES[code[1:]]()
                outputs.append(output)
                c_arguments.append(ctypes.byref(output))
            else:
                c_arguments.append(
                    _convert.argument(code, next(given), f"{command} argument {number}"))
        self.bus._execute(command, self.address, c_arguments)
        values = [output.value for output in outputs]
        return values[0] if len(values) == 1 else tuple(values) if values else None

    # ---- motion control ---------------------------------------------------------------------

    def dialog(self, command):
        """The command's dialog (from libkelcmd-dialogs) on this unit: True when the user
        confirmed and the command ran; False when cancelled, failed or without a display."""
        from .dialogs import command_dialog
        return command_dialog(self.bus.port, self.address, command)

    def set_reg_mode(self, mode):
        """REGULATION_OFF, CURRENT_MODE, POSITION_MODE or FOLLOW_ENCODER."""
        self.call("SetRegMode", mode)

    def set_wait_mode(self, mode):
        """WAIT_FOR_HOMING, WAIT_FOR_BOTH, WAIT_FOR_NEITHER or WAIT_FOR_TRAJECTORY."""
        self.call("SetWaitMode", mode)

    def set_profile(self, profile_type, accel, decel):
        """profile_type 1 constant, 2 sinusoidal acceleration."""
        self.call("SetProfile", profile_type, accel, decel)

    def read_profile(self):
        """(profile_type, accel, decel, ceiling velocity)."""
        return self.call("ReadProfile")

    def set_pos_velocity(self, velocity):
        self.call("SetPosVelocity", velocity)

    def move_absolute(self, position, timeout=5000):
        """Moves to `position`, waiting up to `timeout` ms for the unit's answer."""
        self.call("MoveAbsolute", position, timeout)

    def move_relative(self, distance, timeout=5000):
        self.call("MoveRelative", distance, timeout)

    def move_absolute_info(self, position, timeout=5000):
        """Moves to `position`; MotionInfo with the planned motion's flags and duration."""
        flags, duration = self.call("MoveAbsoluteInfo", position, timeout)
        return MotionInfo(MotionFlags(flags), duration)

    def wait_for_target_pos(self, timeout=5000):
        self.call("WaitForTargetPos", timeout)

    def set_velocity(self, velocity):
        """Turns at `velocity` until stopped."""
        self.call("SetVelocity", velocity)

    def stop_motion(self, decelerate=False):
        """Stops at once, or decelerating with the current profile."""
        self.call("StopMotion", 1 if decelerate else 0)

    def find_home(self, home_type=8, current=200, velocity=10.0, offset=0, timeout=5000):
        self.call("FindHome", home_type, current, velocity, offset, timeout)

    def find_home_sys(self, timeout=5000):
        """Home search with the unit's own home parameters."""
        self.call("FindHomeSys", timeout)

    def define_position(self, position):
        self.call("DefinePosition", position)

    # ---- motion info and status -------------------------------------------------------------

    def read_position(self):
        return self.call("ReadPosition")

    def read_velocity(self):
        return self.call("ReadVelocity")

    def read_current(self):
        return self.call("ReadCurrent")

    def read_axis_status(self):
        return AxisStatus(self.call("ReadAxisStatus"))

    def read_axis_info(self):
        status, user, predefined, position, velocity, current = self.call("ReadAxisInfo")
        return AxisInfo(AxisStatus(status), user, PredefinedInputs(predefined), position,
                        velocity, current)

    def read_error(self):
        """The unit's error register as UnitMessage(code, name, text); false when no error."""
        return error_text(self.call("ReadError"))

    def read_warning(self):
        return warning_text(self.call("ReadWarning"))

    def clear_error(self):
        self.call("ClearError")

    def clear_warning(self):
        self.call("ClearWarning")

    # ---- inputs, outputs, versions, parameters ----------------------------------------------

    def read_input(self, number):
        return self.call("ReadInput", number) != 0

    def read_input_byte(self, port_number=0):
        return self.call("ReadInputByte", port_number)

    def set_output(self, number, state):
        self.call("SetOutput", number, 1 if state else 0)

    def read_analog_input(self, channel):
        return self.call("ReadAnalogInput", channel)

    def read_version(self):
        return Version(*self.call("ReadVersion"))

    def read_temp_param(self, number):
        """The temporary (RAM) value of system parameter `number` (0 to 78)."""
        return self._read_parameter("ReadTempParam", number)

    def read_permanent_param(self, number):
        return self._read_parameter("ReadPermanentParam", number)

    def set_temp_param(self, number, value):
        self.call("SetTempParam", number, parameters.encode(number, value))

    def _read_parameter(self, command, number):
        parameters.parameter_format(number)
        raw = (ctypes.c_uint8 * 4)()  # the widest parameter
        self.call(command, number, raw)
        return parameters.decode(number, raw)

    # ---- recorder ---------------------------------------------------------------------------

    def setup_recorder(self, period=1, data_type=1, auto_record=True):
        """Every `period` ms, the signals of `data_type` (recording.POSITION_AND_VELOCITY ...);
        auto_record starts a recording at each movement command."""
        self.call("SetupRecorder", period, data_type, 1 if auto_record else 0)

    def record(self, regulator=0):
        """Starts a recording, sampled in the position (0) or current (1) regulator."""
        self.call("RecordData", regulator)

    def read_nb_of_samples(self):
        terminated, samples, period = self.call("ReadNbOfSamples")
        return RecorderState(terminated != 0, samples, period)

    def wait_for_recording(self, samples=None, timeout=10.0):
        """Polls until the recording is complete or holds `samples` per vector; RecorderState.
        Raises TimeoutError after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while True:
            state = self.read_nb_of_samples()
            if state.terminated or (samples is not None and state.samples >= samples):
                return state
            if time.monotonic() > deadline:
                raise TimeoutError(f"unit {self.address} recorded {state.samples} samples in "
                                   f"{timeout} s")
            time.sleep(_RECORDING_POLL)

    def read_recorded_data(self, vector, first=0, count=None):
        """RecordedVector with samples first .. first + count - 1 of `vector` (0 to 3), read in
        pieces; count None: all samples the unit holds from `first` on."""
        if count is None:
            count = max(self.read_nb_of_samples().samples - first, 0)
        _convert.integer(vector, "u8", "vector")
        _convert.integer(first, "u16", "first")
        _convert.integer(count, "u16", "count")
        if count == 0:
            return RecordedVector(vector, None)
        samples = (ctypes.c_int16 * count)()
        signal = ctypes.c_uint8()
        if self.bus._lib.ReadRecordedVectorOf(self.bus._name, self.address, vector, first, count,
                                              samples, ctypes.byref(signal)) != 1:
            raise self.bus._command_error("ReadRecordedData", self.address)
        return RecordedVector(vector, signal.value, list(samples))

    def read_recording(self, count=None):
        """The four vectors of the recording, each a RecordedVector."""
        if count is None:
            count = self.read_nb_of_samples().samples
        return [self.read_recorded_data(vector, 0, count) for vector in range(4)]
