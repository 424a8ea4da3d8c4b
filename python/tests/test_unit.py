import threading

import pytest

import kelcmd


def test_moves_arrive_and_read_back(unit):
    unit.move_absolute(1500)
    assert unit.read_position() == 1500
    unit.move_relative(-2000)
    assert unit.read_position() == -500
    unit.define_position(0)
    assert unit.read_position() == 0
    assert not unit.read_axis_status().moving


def test_axis_status_names_the_bits_the_unit_sets(unit):
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
def test_axis_status_bits_by_name(word, names, attributes):
    status = kelcmd.AxisStatus(word)
    assert status.set_names() == names
    every = ("moving cte_vel sinus vel_mode cmd_active wait_end lo_limit hi_limit error warning "
             "cur_reg pos_reg referenced home right left").split()
    assert [name for name in every if getattr(status, name)] == attributes


def test_a_missing_unit_raises_with_result_code_and_text(bus):
    with pytest.raises(kelcmd.CommunicationError) as caught:
        bus.unit(9).read_position()
    error = caught.value
    assert (error.result_code, error.command, error.slave, error.message_type) == (
        17, "ReadPosition", 9, 48)
    assert error.result_text == (
        "XMT_ERR_TACK / Timeout while waiting for ACK! (KEL is switched off!)")
    assert "XMT_ERR_TACK" in str(error)


def test_a_refusal_carries_the_units_reason_and_warning(bus):
    unit = bus.unit(2)
    unit.set_reg_mode(kelcmd.REGULATION_OFF)
    with pytest.raises(kelcmd.UnitRefusedError) as caught:
        unit.move_absolute(100)
    error = caught.value
    assert (error.result_code, error.warning, error.warning_name) == (0, 180, "WARN_POSREFOFF")
    assert error.warning_text == "Position regulation is switched off"


def test_each_thread_hears_only_its_own_failures(bus):
    """A thread whose commands fail must not lend its reason to another thread's failure."""
    refusals = []

    def refused_moves():
        unit = bus.unit(2)
        unit.set_reg_mode(kelcmd.REGULATION_OFF)
        for _ in range(20):
            try:
                unit.move_absolute(100)
            except kelcmd.KelCmdError as error:
                refusals.append(error.result_code)

    worker = threading.Thread(target=refused_moves)
    worker.start()
    for _ in range(3):
        with pytest.raises(kelcmd.CommunicationError) as caught:
            bus.unit(9).read_position()
        assert caught.value.result_code == 17
    worker.join()
    assert refusals == [0] * 20


@pytest.mark.parametrize("number, value", [(15, 2.5), (21, -5), (12, 65535), (1, 7)])
def test_parameters_keep_their_types(unit, number, value):
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
def test_bad_arguments_are_refused_before_sending(unit, call, error):
    unit.move_absolute(300)
    with pytest.raises(error):
        call(unit)
    assert unit.read_position() == 300
    assert unit.read_temp_param(1) == 1


def test_the_escape_hatch_returns_what_the_command_writes(unit):
    unit.call("SetProfile", 2, 0.25, 0.5)
    assert unit.call("ReadProfile")[:3] == (2, 0.25, 0.5)
    assert unit.call("MoveAbsolute", 10, 5000) is None
