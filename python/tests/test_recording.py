import kelcmd
from kelcmd.recording import POSITION_AND_VELOCITY


def test_a_recording_reads_back_into_lists_in_pieces(unit: kelcmd.Unit) -> None:
    # Started by the move itself, so that the host's own pace does not shift the samples.
    unit.setup_recorder(period=1, data_type=POSITION_AND_VELOCITY, auto_record=True)
    unit.move_absolute(800)
    assert unit.wait_for_recording(samples=600).samples >= 600

    vectors = unit.read_recording(count=600)  # more than one answer carries
    assert [len(vector.samples) for vector in vectors] == [600] * 4
    position = vectors[1]
    assert (position.signal, position.name) == (1, "position is")
    # The move from 0 to 800, in time order (the first sample may come a moment after the start).
    assert position.samples == sorted(position.samples)
    assert position.samples[0] < 100 and position.samples[-1] == 800
    velocity = vectors[3]
    assert velocity.name == "velocity is"
    assert max(velocity.values) == max(velocity.samples) / 32 > 0

    # A stretch that starts inside the second piece reads the same samples.
    assert unit.read_recorded_data(1, first=505, count=20).samples == position.samples[505:525]


def test_record_starts_a_recording_and_reading_nothing_sends_nothing(
        unit: kelcmd.Unit) -> None:
    unit.setup_recorder(period=1, data_type=POSITION_AND_VELOCITY, auto_record=False)
    unit.record()
    assert unit.wait_for_recording(samples=50).samples >= 50
    assert len(unit.read_recorded_data(0, count=50).samples) == 50
    assert unit.read_recorded_data(0, count=0) == kelcmd.RecordedVector(0, None, [])
