"""What the unit's recorder reports: its progress and the samples of one vector."""

from dataclasses import dataclass, field

SIGNAL_NAMES = ("position must", "position is", "velocity must", "velocity is", "current must",
                "current is", "PWM duty cycle", "current integrator", "mean velocity",
                "mean current", "P gain", "I gain", "D gain", "performace index",
                "analog input 1", "analog input 2")
# Velocities are recorded in 1/32 qc/ms.
VELOCITY_SIGNALS = (2, 3, 8)
VELOCITY_SCALE = 0.03125

# The most samples one ReadRecordedData answer carries.
SAMPLES_PER_READ = 511

# dataType of SetupRecorder: which signals the four vectors record.
POSITION_AND_VELOCITY = 1
POSITION_AND_CURRENT = 2
VELOCITY_AND_CURRENT = 3
POSITION_AND_MEAN_CURRENT = 4
VELOCITY_AND_MEAN_CURRENT = 5
POSITION_AND_MEAN_VELOCITY = 6


def signal_name(signal):
    return SIGNAL_NAMES[signal] if signal is not None and 0 <= signal < len(SIGNAL_NAMES) else ""


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
        if self.signal in VELOCITY_SIGNALS:
            return [sample * VELOCITY_SCALE for sample in self.samples]
        return list(self.samples)
