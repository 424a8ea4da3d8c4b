"""Control of KelBus motor-control units through libkelcmd::

    import kelcmd
    with kelcmd.Bus("Com5", device="sim:1-3") as bus:
        unit = bus.unit(1)
        unit.set_reg_mode(kelcmd.POSITION_MODE)
        unit.move_absolute(1000)
        print(unit.read_position(), unit.read_axis_status())

Units: positions in qc (quadrature counts), velocities in qc/ms, accelerations in qc/ms²,
currents in mA, times in ms.
"""

from ._library import last_outcome, library, load_library
from ._target import (CURRENT_MODE, FOLLOW_ENCODER, POSITION_MODE, REGULATION_OFF, WAIT_FOR_BOTH,
                      WAIT_FOR_HOMING, WAIT_FOR_NEITHER, WAIT_FOR_TRAJECTORY)
from .batch import Batch, Stacked
from .bus import AUTO_CONTROL, RTS_CONTROL, Bus, Packet
from .bus_batch import BusBatch
from .errors import (CommandError, CommunicationError, KelCmdError, LibraryNotFoundError,
                     MayHaveExecutedError, NotExecutedError, PortError, UnitRefusedError)
from .group import Group
from .monitor import BusEvent, Monitor
from .outcome import Outcome
from .recording import RecordedVector, RecorderState
from .status import (AxisInfo, AxisStatus, MotionFlags, MotionInfo, PredefinedInputs,
                     UnitMessage, Version)
from .texts import error_text, result_text, warning_text
from .unit import Unit

__version__ = "1.6.0"
__all__ = [
    "AUTO_CONTROL", "CURRENT_MODE", "FOLLOW_ENCODER", "POSITION_MODE", "REGULATION_OFF",
    "RTS_CONTROL", "WAIT_FOR_BOTH", "WAIT_FOR_HOMING", "WAIT_FOR_NEITHER", "WAIT_FOR_TRAJECTORY",
    "AxisInfo", "AxisStatus", "Batch", "Bus", "BusBatch", "BusEvent", "CommandError",
    "CommunicationError", "Group", "KelCmdError", "LibraryNotFoundError", "MayHaveExecutedError",
    "Monitor", "MotionFlags", "MotionInfo", "NotExecutedError", "Outcome", "Packet", "PortError",
    "PredefinedInputs", "RecordedVector", "RecorderState", "Stacked", "Unit", "UnitMessage",
    "UnitRefusedError", "Version", "error_text", "last_outcome", "library", "load_library",
    "result_text", "warning_text",
]
