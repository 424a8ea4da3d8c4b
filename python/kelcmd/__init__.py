"""Control of KelBus motor-control units through libkelcmd.

    import kelcmd
    with kelcmd.Bus("Com5", device="sim:1-3") as bus:
        unit = bus.unit(1)
        unit.set_reg_mode(kelcmd.POSITION_MODE)
        unit.move_absolute(1000)
        print(unit.read_position(), unit.read_axis_status())
"""

from ._library import library, load_library
from .bus import AUTO_CONTROL, RTS_CONTROL, Bus, Packet
from .errors import (CommandError, CommunicationError, KelCmdError, LibraryNotFoundError,
                     PortError, UnitRefusedError)
from .monitor import BusEvent, Monitor
from .outcome import Outcome, last_outcome
from .recording import RecordedVector, RecorderState
from .status import (AxisInfo, AxisStatus, MotionFlags, MotionInfo, PredefinedInputs,
                     UnitMessage, Version)
from .texts import error_text, result_text, warning_text
from .unit import (CURRENT_MODE, FOLLOW_ENCODER, POSITION_MODE, REGULATION_OFF, WAIT_FOR_BOTH,
                   WAIT_FOR_HOMING, WAIT_FOR_NEITHER, WAIT_FOR_TRAJECTORY, Unit)

__version__ = "1.6.0"
__all__ = [
    "AUTO_CONTROL", "CURRENT_MODE", "FOLLOW_ENCODER", "POSITION_MODE", "REGULATION_OFF",
    "RTS_CONTROL", "WAIT_FOR_BOTH", "WAIT_FOR_HOMING", "WAIT_FOR_NEITHER", "WAIT_FOR_TRAJECTORY",
    "AxisInfo", "AxisStatus", "Bus", "BusEvent", "CommandError", "CommunicationError",
    "KelCmdError", "LibraryNotFoundError", "Monitor", "MotionFlags", "MotionInfo", "Outcome",
    "Packet", "PortError", "PredefinedInputs", "RecordedVector", "RecorderState", "Unit",
    "UnitMessage",
    "UnitRefusedError", "Version", "error_text", "last_outcome", "library", "load_library",
    "result_text", "warning_text",
]
