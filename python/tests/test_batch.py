"""Batches: every member's value or exception, memory that outlives the library's use of it,
and no stacking behind a method's back."""

import ctypes
import threading
from typing import Any, List

import pytest

import kelcmd
from kelcmd import outcome


def test_a_mixed_batch_gives_every_value_and_the_refused_members_exception(
        unit: kelcmd.Unit) -> None:
    with pytest.raises(kelcmd.UnitRefusedError) as raised:
        with unit.batch() as batch:
            batch.move_absolute(700)
            position = batch.read_position()
            status = batch.read_axis_status()
            parameter = batch.read_temp_param(6)
            refused = batch.call("SetCurrent", 100)  # refused while regulating position
            after = batch.read_position()
    assert (position.value, status.value.pos_reg, parameter.value) == (700, True, 128)
    with pytest.raises(kelcmd.UnitRefusedError) as member:
        refused.value
    assert member.value is raised.value and member.value.warning == 181
    assert member.value.command == "SetCurrent"
    with pytest.raises(kelcmd.NotExecutedError, match="stopped at SetCurrent"):
        after.value
    assert len(batch) == 6 and unit.read_position() == 700


def test_twenty_stacked_commands_over_three_units_return_all_values(bus: kelcmd.Bus) -> None:
    for address in (1, 2, 3):
        bus.unit(address).set_reg_mode(kelcmd.POSITION_MODE)
        bus.unit(address).set_wait_mode(kelcmd.WAIT_FOR_BOTH)
    with bus.batch() as batch:
        for address in (1, 2, 3):
            batch.unit(address).define_position(1000 * address)
        positions = [batch.unit(address).read_position()
                     for address in (1, 2, 3) for _ in range(5)]
        versions = [batch.unit(address).read_version() for address in (1, 2)]
    assert len(positions) + len(versions) + 3 == 20
    assert [p.value for p in positions] == [1000] * 5 + [2000] * 5 + [3000] * 5
    assert all(version.value.cmd_ver > 0 for version in versions)
    assert [len(each) for each in batch.batches] == [7, 7, 6]


def test_a_quiet_batch_gives_its_values_when_read_back(unit: kelcmd.Unit) -> None:
    with unit.batch(quiet=True) as batch:
        batch.move_absolute(250)
        position = batch.read_position()
    with pytest.raises(kelcmd.KelCmdError, match="not run yet"):
        position.value
    batch.read_results()
    assert position.value == 250
    # A later batch on the unit replaces an unread one: its values never arrive.
    with unit.batch(quiet=True) as unread:
        lost = unread.read_position()
    with unit.batch():
        pass
    with pytest.raises(kelcmd.NotExecutedError, match="replaced"):
        lost.value


def test_nothing_is_sent_when_the_block_raises(unit: kelcmd.Unit) -> None:
    with pytest.raises(RuntimeError):
        with unit.batch() as batch:
            batch.move_absolute(900)
            raise RuntimeError("changed my mind")
    assert unit.read_position() == 0
    with pytest.raises(kelcmd.NotExecutedError):
        batch.members[0].value


def test_a_failed_batch_gives_each_member_the_batchs_error(bus: kelcmd.Bus) -> None:
    with pytest.raises(kelcmd.CommunicationError) as raised:
        with bus.unit(9).batch() as batch:  # no unit at 9
            first = batch.read_position()
            second = batch.read_axis_status()
    assert raised.value.result_code == 17
    for member in (first, second):
        with pytest.raises(kelcmd.CommunicationError):
            member.value


def test_commands_are_not_stacked_behind_a_methods_back(unit: kelcmd.Unit) -> None:
    """Memory that a plain call hands the library ends with the call, so a call that would be
    stacked is refused: inside a batch, and after stacking started through the raw library."""
    with unit.batch() as batch:
        with pytest.raises(kelcmd.KelCmdError, match="collecting a batch"):
            unit.read_position()
        with pytest.raises(kelcmd.KelCmdError, match="collecting a batch"):
            unit.read_recorded_data(0, count=10)
        batch.read_position()
    lib = kelcmd.library()
    name = unit.bus.port.encode()
    lib.MP_StartStackingCommands(name, unit.address)
    try:
        with pytest.raises(kelcmd.KelCmdError, match="collecting a batch"):
            unit.read_axis_status()
    finally:
        lib.MP_StopStackingCommands(name, unit.address)
    with pytest.raises(ValueError, match="unit.batch"):
        unit.call("ExecuteCommandStack")
    # The stopped raw stack is empty: executing it writes nowhere.
    assert lib.MP_ExecuteCommandStack(name, unit.address) == 1
    assert unit.read_position() == 0


def test_a_batch_stays_in_its_thread(unit: kelcmd.Unit) -> None:
    errors: List[BaseException] = []
    with unit.batch() as batch:
        def stack_elsewhere() -> None:
            try:
                batch.read_position()
            except kelcmd.KelCmdError as error:
                errors.append(error)
        other = threading.Thread(target=stack_elsewhere)
        other.start()
        other.join()
    assert len(errors) == 1 and "thread" in str(errors[0]) and len(batch) == 0


def test_values_land_in_memory_the_batch_owns(unit: kelcmd.Unit) -> None:
    """The library writes a stacked call's values when the batch's answer is decoded; the
    members hold that memory until then, whatever the caller keeps."""
    def stack(batch: kelcmd.Batch) -> None:
        batch.call("ReadAllTempParam", bytearray(110))
        batch.read_temp_param(6)
    with unit.batch() as batch:
        stack(batch)
        # Its received length is written by the call itself, never by the batch's answer.
        with pytest.raises(ValueError, match="does not deliver"):
            batch.call("ReadAllTempUsr1Param", bytearray(8), 8)
        for _ in range(3):
            ctypes.create_string_buffer(4096)  # reuse what was freed, were anything freed
    values: List[Any] = [member.value for member in batch]
    assert values == [None, 128]
    assert kelcmd.last_outcome().status == outcome.SUCCEEDED
