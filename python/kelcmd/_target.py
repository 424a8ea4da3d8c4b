"""What units and groups share: an address on a bus, and commands issued by name."""

from __future__ import annotations

from typing import TYPE_CHECKING, Any, Callable, Mapping, TypeVar

from . import parameters
from ._call import PreparedCall, find_command

if TYPE_CHECKING:
    from ._port import Port

T = TypeVar("T")
F = TypeVar("F", bound=Callable[..., Any])

# regmode of set_reg_mode
#: No regulation: the motor is free.
REGULATION_OFF = 0
#: The unit regulates the motor current.
CURRENT_MODE = 1
#: The unit regulates the position.
POSITION_MODE = 2
#: The position follows an encoder input.
FOLLOW_ENCODER = 3
# waitMode of set_wait_mode: whether a move's answer waits for the trajectory and a home search's
# for the homing.
#: A home search answers once homed; a move answers at once.
WAIT_FOR_HOMING = 0
#: Moves and home searches answer once done.
WAIT_FOR_BOTH = 1
#: Moves and home searches answer at once.
WAIT_FOR_NEITHER = 2
#: A move answers once the target is reached; a home search at once.
WAIT_FOR_TRAJECTORY = 3


def stackable(method: F) -> F:
    """Marks a method that issues exactly one command as its last step, so that a batch can
    stack it (see :class:`kelcmd.Batch`)."""
    setattr(method, "kelcmd_stackable", True)
    return method


def _nothing(values: Any) -> None:
    return None


class CommandTarget:
    """An address on an open :class:`~kelcmd.Bus` that commands are sent to."""

    def __init__(self, bus: Port, address: int) -> None:
        #: The bus the commands go through.
        self.bus = bus
        #: The address the commands are sent to.
        self.address = address

    def _issue(self, command: str, arguments: Mapping[str, object],
               finish: Callable[[Any], T]) -> T:
        """Runs `command` with `arguments` (by their Python names, in the export's order) and
        returns `finish` of what it wrote."""
        prepared = PreparedCall(find_command(command), list(arguments.values()),
                                list(arguments))
        self.bus._run(prepared, self.address)
        return finish(prepared.values())

    def _send(self, command: str, arguments: Mapping[str, object]) -> None:
        return self._issue(command, arguments, _nothing)


class SendingCommands(CommandTarget):
    """The commands that ask for no values back: what units and groups both take."""

    @stackable
    def set_reg_mode(self, mode: int) -> None:
        """Sets what the unit regulates.

        :param mode: :data:`~kelcmd.REGULATION_OFF`, :data:`~kelcmd.CURRENT_MODE`,
            :data:`~kelcmd.POSITION_MODE` or :data:`~kelcmd.FOLLOW_ENCODER`.
        :raises KelCmdError: the command failed.
        """
        return self._send("SetRegMode", {"mode": mode})

    @stackable
    def set_wait_mode(self, mode: int) -> None:
        """Sets whether moves and home searches answer at once or once done.

        :param mode: :data:`~kelcmd.WAIT_FOR_HOMING`, :data:`~kelcmd.WAIT_FOR_BOTH`,
            :data:`~kelcmd.WAIT_FOR_NEITHER` or :data:`~kelcmd.WAIT_FOR_TRAJECTORY`.
        :raises KelCmdError: the command failed.
        """
        return self._send("SetWaitMode", {"mode": mode})

    @stackable
    def set_profile(self, profile_type: int, accel: float, decel: float) -> None:
        """Sets the trajectory's acceleration profile.

        :param profile_type: 1 constant acceleration, 2 sinusoidal acceleration.
        :param accel: acceleration in qc/ms².
        :param decel: deceleration in qc/ms².
        :raises KelCmdError: the command failed.
        """
        return self._send("SetProfile",
                          {"profile_type": profile_type, "accel": accel, "decel": decel})

    @stackable
    def set_pos_velocity(self, velocity: float) -> None:
        """Sets the ceiling velocity of position moves.

        :param velocity: in qc/ms.
        :raises KelCmdError: the command failed.
        """
        return self._send("SetPosVelocity", {"velocity": velocity})

    @stackable
    def set_velocity(self, velocity: float) -> None:
        """Turns at `velocity` until stopped.

        :param velocity: in qc/ms; negative turns the other way.
        :raises KelCmdError: the command failed.
        """
        return self._send("SetVelocity", {"velocity": velocity})

    @stackable
    def stop_motion(self, decelerate: bool = False) -> None:
        """Stops the motion.

        :param decelerate: False stops at once; True decelerates with the current profile.
        :raises KelCmdError: the command failed.
        """
        return self._send("StopMotion", {"decelerate": 1 if decelerate else 0})

    @stackable
    def define_position(self, position: int) -> None:
        """Declares the current position to be `position`.

        :param position: in qc.
        :raises KelCmdError: the command failed.
        """
        return self._send("DefinePosition", {"position": position})

    @stackable
    def set_output(self, number: int, state: bool) -> None:
        """Switches a user output.

        :param number: the output's number.
        :param state: True on, False off.
        :raises KelCmdError: the command failed.
        """
        return self._send("SetOutput", {"number": number, "state": 1 if state else 0})

    @stackable
    def clear_error(self) -> None:
        """Clears the unit's error register.

        :raises KelCmdError: the command failed.
        """
        return self._send("ClearError", {})

    @stackable
    def clear_warning(self) -> None:
        """Clears the unit's warning register.

        :raises KelCmdError: the command failed.
        """
        return self._send("ClearWarning", {})

    @stackable
    def set_temp_param(self, number: int, value: float) -> None:
        """Sets the temporary (RAM) value of a system parameter.

        :param number: the parameter's number, 0 to 78.
        :param value: its value, in the parameter's type (Float parameters take floats); a value
            outside the type is refused rather than cut.
        :raises ValueError: `number` or `value` does not fit.
        :raises KelCmdError: the command failed.
        """
        return self._send("SetTempParam",
                          {"number": number, "value": parameters.encode(number, value)})
