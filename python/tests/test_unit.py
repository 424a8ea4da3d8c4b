import threading
from typing import Callable, Dict, List, Optional, Set, Tuple, Type

import pytest

import kelcmd
from kelcmd import outcome


def test_moves_arrive_and_read_back(unit: kelcmd.Unit) -> None:
    steps: List[Callable[[], None]] = [
        lambda: unit.move_absolute(1500),
        lambda: unit.move_relative(-2000),
        lambda: unit.define_position(0),
    ]
    seen = []
    for step in steps:
        step()
        seen.append((unit.read_position(), unit.read_axis_status()))
    assert seen == [(1500, 0xC00), (-500, 0xC00), (0, 0xC00)]  # at rest, regulating


def test_axis_status_names_the_bits_the_unit_sets(unit: kelcmd.Unit) -> None:
    unit.set_velocity(5.0)
    turning = unit.read_axis_status()
    assert (turning.moving, turning.vel_mode, turning.pos_reg, turning.cur_reg) == (
        True, True, True, True)
    unit.stop_motion()
    stopped = unit.read_axis_status()
    assert not stopped.moving and not stopped.vel_mode and stopped.pos_reg


@pytest.mark.parametrize("word, names, attributes", [
    (0x0010, ["CmdActive"], ["cmd_active"]),
    (0x8001, ["Moving", "Left"], ["moving", "left"]),
    (0x3100, ["Error", "Referenced", "Home"], ["error", "referenced", "home"]),
])
def test_axis_status_bits_by_name(word: int, names: List[str], attributes: List[str]) -> None:
    status = kelcmd.AxisStatus(word)
    assert status.set_names() == names
    every = ("moving cte_vel sinus vel_mode cmd_active wait_end lo_limit hi_limit error warning "
             "cur_reg pos_reg referenced home right left").split()
    assert [name for name in every if getattr(status, name)] == attributes


def test_a_missing_unit_raises_with_result_code_and_text(bus: kelcmd.Bus) -> None:
    with pytest.raises(kelcmd.CommunicationError) as caught:
        bus.unit(9).read_position()
    error = caught.value
    assert (error.result_code, error.command, error.slave, error.message_type) == (
        17, "ReadPosition", 9, 48)
    assert error.result_text == (
        "XMT_ERR_TACK / Timeout while waiting for ACK! (KEL is switched off!)")
    assert "XMT_ERR_TACK" in str(error)


def test_a_refusal_carries_the_units_reason_and_warning(bus: kelcmd.Bus) -> None:
    unit = bus.unit(2)
    unit.set_reg_mode(kelcmd.REGULATION_OFF)
    with pytest.raises(kelcmd.UnitRefusedError) as caught:
        unit.move_absolute(100)
    error = caught.value
    assert (error.result_code, error.warning, error.warning_name) == (0, 180, "WARN_POSREFOFF")
    assert error.warning_text == "Position regulation is switched off"
    # CMD_FAIL is 0, as success is: the library's outcome tells the refusal apart.
    assert error.outcome is not None
    assert error.outcome.status == outcome.REFUSED and error.outcome.unit_error == 0
    assert (error.outcome.result, error.outcome.message_type) == (0, 36)


def test_a_failed_exchange_carries_its_outcome_and_a_good_one_leaves_its_own(
        bus: kelcmd.Bus) -> None:
    with pytest.raises(kelcmd.CommunicationError) as caught:
        bus.unit(9).read_position()
    failed = caught.value.outcome
    assert failed is not None
    assert (failed.status, failed.result, failed.trials) == (outcome.LINE_FAILED, 17, 1)
    assert failed.duration_ms > 0
    bus.unit(1).read_position()
    assert kelcmd.last_outcome().status == outcome.SUCCEEDED


def test_each_thread_hears_only_its_own_failures(bus: kelcmd.Bus) -> None:
    """Two threads whose commands fail for different reasons on one port: each exception must
    carry its own command's reason, never the other thread's."""
    bus.unit(2).set_reg_mode(kelcmd.REGULATION_OFF)
    attempts: Dict[str, Callable[[], object]] = {
        "move": lambda: bus.unit(2).move_absolute(100),  # refused: CMD_FAIL, WARN_POSREFOFF
        "autotune": lambda: bus.unit(1).call("Autotune"),  # refused: BAD_PRM, WARN_DEF
    }
    heard: Dict[str, Set[Tuple[str, Optional[int], Optional[int]]]] = {
        name: set() for name in attempts}

    def fail_repeatedly(name: str) -> None:
        for _ in range(150):
            try:
                attempts[name]()
            except kelcmd.KelCmdError as error:
                heard[name].add((type(error).__name__, error.result_code, error.warning))

    threads = [threading.Thread(target=fail_repeatedly, args=(name,)) for name in attempts]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert heard == {"move": {("UnitRefusedError", 0, 180)},
                     "autotune": {("UnitRefusedError", 2, 140)}}


@pytest.mark.parametrize("number, value", [(15, 2.5), (21, -5), (12, 65535), (1, 7)])
def test_parameters_keep_their_types(unit: kelcmd.Unit, number: int, value: float) -> None:
    unit.set_temp_param(number, value)
    assert unit.read_temp_param(number) == value


@pytest.mark.parametrize("call, error", [
    (lambda u: u.set_temp_param(1, 300), ValueError),  # a Byte parameter
    (lambda u: u.set_temp_param(79, 1), ValueError),
    (lambda u: u.set_reg_mode(256), ValueError),
    (lambda u: u.move_absolute(1.5), TypeError),
    (lambda u: u.call("NoSuchCommand"), ValueError),
    (lambda u: u.call("MoveAbsolute", 1), TypeError),
    (lambda u: u.call("PutString", "text", 4), TypeError),
])
def test_bad_arguments_are_refused_before_sending(
        unit: kelcmd.Unit, call: Callable[[kelcmd.Unit], object],
        error: Type[Exception]) -> None:
    unit.move_absolute(300)
    with pytest.raises(error):
        call(unit)
    assert unit.read_position() == 300
    assert unit.read_temp_param(1) == 1


def test_the_escape_hatch_returns_what_the_command_writes(unit: kelcmd.Unit) -> None:
    unit.call("SetProfile", 2, 0.25, 0.5)
    assert unit.call("ReadProfile")[:3] == (2, 0.25, 0.5)
    assert unit.call("MoveAbsolute", 10, 5000) is None
