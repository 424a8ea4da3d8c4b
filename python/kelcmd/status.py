"""The words a unit reports its state in, with their bits by name."""

from dataclasses import dataclass


def _bit(number):
    return property(lambda self: bool(self >> number & 1), doc=f"bit {number}")


class _Bits(int):
    """An int whose bits have names; NAMES lists them from bit 0 up."""

    NAMES = ()

    def set_names(self):
        """The names of the bits that are set, bit 0 first."""
        return [name for number, name in enumerate(self.NAMES) if self >> number & 1]

    def __repr__(self):
        return f"{type(self).__name__}(0x{int(self):X}: {' '.join(self.set_names()) or '-'})"


class AxisStatus(_Bits):
    """The axis status word of ReadAxisStatus and ReadAxisInfo."""

    NAMES = ("Moving", "CteVel", "Sinus", "VelMode", "CmdActive", "WaitEnd", "LoLimit",
             "HiLimit", "Error", "Warning", "CurReg", "PosReg", "Referenced", "Home", "Right",
             "Left")
    moving = _bit(0)
    cte_vel = _bit(1)
    sinus = _bit(2)
    vel_mode = _bit(3)
    cmd_active = _bit(4)
    wait_end = _bit(5)
    lo_limit = _bit(6)
    hi_limit = _bit(7)
    error = _bit(8)
    warning = _bit(9)
    cur_reg = _bit(10)
    pos_reg = _bit(11)
    referenced = _bit(12)
    home = _bit(13)
    right = _bit(14)
    left = _bit(15)


class PredefinedInputs(_Bits):
    """The predefined inputs byte of ReadAxisInfo."""

    NAMES = ("ENABLE", "LEFT", "RIGHT", "HOME", "ENCODER_INDEX", "STOP", "DIG_OVLD")
    enable = _bit(0)
    left = _bit(1)
    right = _bit(2)
    home = _bit(3)
    encoder_index = _bit(4)
    stop = _bit(5)
    dig_ovld = _bit(6)


class MotionFlags(_Bits):
    """The flags of the Info moves: how the unit planned the motion."""

    NAMES = ("Done", "Overshoot", "Trapez", "VmaxNeg", "UpLimit", "LoLimit")
    done = _bit(0)
    overshoot = _bit(1)
    trapez = _bit(2)
    vmax_neg = _bit(3)
    up_limit = _bit(4)
    lo_limit = _bit(5)


@dataclass(frozen=True)
class AxisInfo:
    status: AxisStatus
    user_inputs: int  # bit i: user input i + 1
    predefined_inputs: PredefinedInputs
    position: int  # qc
    velocity_mean: float  # qc/ms
    current_mean: int  # mA


@dataclass(frozen=True)
class MotionInfo:
    flags: MotionFlags
    duration: int  # ms


@dataclass(frozen=True)
class UnitMessage:
    """A number of the unit's error or warning register with its mnemonic and text."""

    code: int
    name: str
    text: str

    def __bool__(self):
        return self.code != 0


@dataclass(frozen=True)
class Version:
    cmd_ver: int
    lib_ver: int
    hard_rev: int
    boot_ver: int
    app_nb: int
    app_ver: int
