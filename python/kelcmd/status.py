"""The words a unit reports its state in, with their bits by name."""

from __future__ import annotations

from dataclasses import dataclass
from typing import Any, List, Tuple


def _bit(number: int, name: str) -> Any:
    return property(lambda self: bool(self >> number & 1), doc=f"Bit {number}: {name}.")


class _Bits(int):
    """An int whose bits have names; NAMES lists them from bit 0 up."""

    NAMES: Tuple[str, ...] = ()

    def set_names(self) -> List[str]:
        """The names of the bits that are set, bit 0 first."""
        return [name for number, name in enumerate(self.NAMES) if self >> number & 1]

    def __repr__(self) -> str:
        return f"{type(self).__name__}(0x{int(self):X}: {' '.join(self.set_names()) or '-'})"


class AxisStatus(_Bits):
    """The axis status word of ReadAxisStatus and ReadAxisInfo."""

    NAMES = ("Moving", "CteVel", "Sinus", "VelMode", "CmdActive", "WaitEnd", "LoLimit",
             "HiLimit", "Error", "Warning", "CurReg", "PosReg", "Referenced", "Home", "Right",
             "Left")
    moving = _bit(0, "Moving")
    cte_vel = _bit(1, "CteVel")
    sinus = _bit(2, "Sinus")
    vel_mode = _bit(3, "VelMode")
    cmd_active = _bit(4, "CmdActive")
    wait_end = _bit(5, "WaitEnd")
    lo_limit = _bit(6, "LoLimit")
    hi_limit = _bit(7, "HiLimit")
    error = _bit(8, "Error")
    warning = _bit(9, "Warning")
    cur_reg = _bit(10, "CurReg")
    pos_reg = _bit(11, "PosReg")
    referenced = _bit(12, "Referenced")
    home = _bit(13, "Home")
    right = _bit(14, "Right")
    left = _bit(15, "Left")


class PredefinedInputs(_Bits):
    """The predefined inputs byte of ReadAxisInfo."""

    NAMES = ("ENABLE", "LEFT", "RIGHT", "HOME", "ENCODER_INDEX", "STOP", "DIG_OVLD")
    enable = _bit(0, "ENABLE")
    left = _bit(1, "LEFT")
    right = _bit(2, "RIGHT")
    home = _bit(3, "HOME")
    encoder_index = _bit(4, "ENCODER_INDEX")
    stop = _bit(5, "STOP")
    dig_ovld = _bit(6, "DIG_OVLD")


class MotionFlags(_Bits):
    """The flags of the Info moves: how the unit planned the motion."""

    NAMES = ("Done", "Overshoot", "Trapez", "VmaxNeg", "UpLimit", "LoLimit")
    done = _bit(0, "Done")
    overshoot = _bit(1, "Overshoot")
    trapez = _bit(2, "Trapez")
    vmax_neg = _bit(3, "VmaxNeg")
    up_limit = _bit(4, "UpLimit")
    lo_limit = _bit(5, "LoLimit")


@dataclass(frozen=True)
class AxisInfo:
    """What :meth:`Unit.read_axis_info` reads at once.

    :ivar status: the axis status word.
    :ivar user_inputs: bit i is user input i + 1.
    :ivar predefined_inputs: the predefined inputs.
    :ivar position: in qc.
    :ivar velocity_mean: in qc/ms.
    :ivar current_mean: in mA.
    """

    status: AxisStatus
    user_inputs: int
    predefined_inputs: PredefinedInputs
    position: int
    velocity_mean: float
    current_mean: int


@dataclass(frozen=True)
class MotionInfo:
    """How the unit planned a motion.

    :ivar flags: the plan's flags.
    :ivar duration: the motion's duration in ms.
    """

    flags: MotionFlags
    duration: int


@dataclass(frozen=True)
class UnitMessage:
    """A number of the unit's error or warning register with its mnemonic and text; false when
    the number is 0 (no error or warning).

    :ivar code: the number.
    :ivar name: its mnemonic (``"ERROR_HOME"``).
    :ivar text: its description.
    """

    code: int
    name: str
    text: str

    def __bool__(self) -> bool:
        return self.code != 0


@dataclass(frozen=True)
class Version:
    """The versions :meth:`Unit.read_version` reads.

    :ivar cmd_ver: of the command set.
    :ivar lib_ver: of the unit's library.
    :ivar hard_rev: the hardware revision.
    :ivar boot_ver: of the boot loader.
    :ivar app_nb: the application's number.
    :ivar app_ver: the application's version.
    """

    cmd_ver: int
    lib_ver: int
    hard_rev: int
    boot_ver: int
    app_nb: int
    app_ver: int
