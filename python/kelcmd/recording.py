"""What the unit's recorder reports: its progress and the samples of one vector. Signal names
and scales are libkelcmd's."""

from __future__ import annotations

import ctypes
from dataclasses import dataclass, field
from typing import List, Optional

from ._library import library

_NAME_SIZE = 64

# dataType of Unit.setup_recorder: which signals the four vectors record.
#: Positions and velocities.
POSITION_AND_VELOCITY = 1
#: Positions and currents.
POSITION_AND_CURRENT = 2
#: Velocities and currents.
VELOCITY_AND_CURRENT = 3
#: Positions and mean currents.
POSITION_AND_MEAN_CURRENT = 4
#: Velocities and mean currents.
VELOCITY_AND_MEAN_CURRENT = 5
#: Positions and mean velocities.
POSITION_AND_MEAN_VELOCITY = 6


def signal_name(signal: Optional[int]) -> str:
    """The name of a recorded signal: ``"velocity is"`` for 3; ``""`` for None and numbers
    without a name."""
    if signal is None or not 0 <= signal <= 0xFFFFFFFF:
        return ""
    text = ctypes.create_string_buffer(_NAME_SIZE)
    library().RecordedSignalNameText(signal, text, _NAME_SIZE)
    return text.value.decode("latin-1")


def signal_scale(signal: Optional[int]) -> float:
    """The factor a sample is shown with: 1/32 for the velocity signals (recorded in 1/32 qc/ms),
    else 1."""
    if signal is None or not 0 <= signal <= 0xFFFFFFFF:
        return 1.0
    return float(library().RecordedSignalScale(signal))


@dataclass(frozen=True)
class RecorderState:
    """The recorder's progress.

    :ivar terminated: the recording is complete.
    :ivar samples: samples per vector so far.
    :ivar period_us: the time between two samples, in µs.
    """

    terminated: bool
    samples: int
    period_us: int


@dataclass
class RecordedVector:
    """Samples of one vector as the unit sent them (16-bit integers).

    :ivar vector: the vector's number, 0 to 3.
    :ivar signal: the recorded signal's number; None when no sample was read.
    :ivar samples: the samples.
    """

    vector: int
    signal: Optional[int]
    samples: List[int] = field(default_factory=list)

    @property
    def name(self) -> str:
        """The recorded signal's name (``"position is"``)."""
        return signal_name(self.signal)

    @property
    def values(self) -> List[float]:
        """The samples in the signal's unit: velocities in qc/ms, others as they are."""
        scale = signal_scale(self.signal)
        if scale != 1.0:
            return [sample * scale for sample in self.samples]
        return [float(sample) for sample in self.samples]
