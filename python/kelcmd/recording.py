"""What the unit's recorder reports: its progress and the samples of one vector. Signal names
and scales are libkelcmd's."""

import ctypes
from dataclasses import dataclass, field

from ._library import library

_NAME_SIZE = 64

# dataType of SetupRecorder: which signals the four vectors record.
POSITION_AND_VELOCITY = 1
POSITION_AND_CURRENT = 2
VELOCITY_AND_CURRENT = 3
POSITION_AND_MEAN_CURRENT = 4
VELOCITY_AND_MEAN_CURRENT = 5
POSITION_AND_MEAN_VELOCITY = 6


def signal_name(signal):
    """"velocity is" for signal 3; "" for None and numbers without a name."""
    if signal is None or not 0 <= signal <= 0xFFFFFFFF:
        return ""
    text = ctypes.create_string_buffer(_NAME_SIZE)
    library().RecordedSignalNameText(signal, text, _NAME_SIZE)
    return text.value.decode("latin-1")


def signal_scale(signal):
    """The factor a sample is shown with: 1/32 for the velocity signals (recorded in 1/32 qc/ms),
    else 1."""
    if signal is None or not 0 <= signal <= 0xFFFFFFFF:
        return 1.0
    return library().RecordedSignalScale(signal)


@dataclass(frozen=True)
class RecorderState:
    terminated: bool  # the recording is complete
    samples: int  # samples per vector so far
    period_us: int  # time between two samples


@dataclass
class RecordedVector:
    """Samples of one vector as the unit sent them (16-bit integers)."""

    vector: int
    signal: int  # None when no sample was read
    samples: list = field(default_factory=list)

    @property
    def name(self):
        return signal_name(self.signal)

    @property
    def values(self):
        """The samples in the signal's unit: velocities in qc/ms, others as they are."""
        scale = signal_scale(self.signal)
        if scale != 1.0:
            return [sample * scale for sample in self.samples]
        return list(self.samples)
