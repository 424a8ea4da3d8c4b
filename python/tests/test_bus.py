import dataclasses
import errno
import gc
import os
import pathlib
import subprocess
import sys
import threading

import pytest

import kelcmd
from kelcmd import outcome

HERE = os.path.dirname(os.path.abspath(__file__))


def test_a_device_that_does_not_open_raises_with_the_systems_reason() -> None:
    with pytest.raises(kelcmd.PortError) as caught:
        kelcmd.Bus("Com39", device="/dev/kelcmd-no-such-device")
    error = caught.value
    assert (error.result_code, error.os_errno) == (128, errno.ENOENT)
    assert error.os_reason == "open /dev/kelcmd-no-such-device: No such file or directory"


def test_a_long_by_id_link_opens_directly_and_the_monitor_names_it_whole(
        tmp_path: pathlib.Path) -> None:
    master, slave = os.openpty()
    try:
        by_id = tmp_path / "serial" / "by-id"
        by_id.mkdir(parents=True)
        link = by_id / "usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0"
        link.symlink_to(os.ttyname(slave))
        name = str(link) + "?lines=keep"
        assert len(name) > 64
        with kelcmd.Bus(name, bus_control=kelcmd.AUTO_CONTROL) as raw, raw.monitor() as events:
            def acknowledge() -> None:
                os.read(master, 7)
                os.write(master, b"\x01")

            unit = threading.Thread(target=acknowledge)
            unit.start()
            raw.send_packet(1, 48)
            unit.join()
        assert events and all(event.port == name for event in events)
        with kelcmd.Bus("PyById", device=str(link)):
            pass
    finally:
        os.close(master)
        os.close(slave)


def test_a_closed_bus_raises_port_error(bus: kelcmd.Bus) -> None:
    unit = bus.unit(1)
    bus.close()
    bus.close()  # closing twice is harmless
    assert not bus.is_open
    with pytest.raises(kelcmd.PortError, match="not open"):
        unit.read_position()


def test_units_need_a_command_port_name() -> None:
    with kelcmd.Bus("PyRaw", device="sim:1,bus=pyraw") as raw:
        with pytest.raises(ValueError, match="Com1 to Com99"):
            raw.unit(1)
        raw.send_packet(1, 200, b"ok")
        assert raw.receive_packet().data == b"ok"


@pytest.mark.parametrize("mtype, data, answer_type, answer_data", [
    (200, b"\x01\x02\x03", 200, b"\x01\x02\x03"),  # echo
    (200, bytes(range(256)) * 3 + bytes(255), 200, bytes(range(256)) * 3 + bytes(255)),
    (200, b"", 200, b""),
    (201, b"\x02\x00\xaa", 2, b"\x00\xaa"),  # refused: reason 2, warning 0x00AA
])
def test_raw_packets_round_trip(bus: kelcmd.Bus, mtype: int, data: bytes, answer_type: int,
                                answer_data: bytes) -> None:
    bus.send_packet(1, mtype, data)
    answer = bus.receive_packet(timeout=200)
    assert (answer.dest, answer.send, answer.mtype, answer.data) == (0, 1, answer_type,
                                                                      answer_data)


def test_raw_packet_failures_raise_with_their_result_code(bus: kelcmd.Bus) -> None:
    with pytest.raises(kelcmd.CommunicationError) as caught:
        bus.receive_packet(timeout=10)
    assert caught.value.result_code == 14 and caught.value.packet.data == b""
    with pytest.raises(kelcmd.CommunicationError) as caught:
        bus.send_packet(9, 200, b"x")
    assert caught.value.result_code == 17
    with pytest.raises(ValueError):
        bus.send_packet(1, 200, bytes(1024))


def test_an_unloadable_library_is_named_in_the_error() -> None:
    environment = dict(os.environ, KELCMD_LIBRARY="/nonexistent/libkelcmd.so")
    run = subprocess.run(
        [sys.executable, "-c", "import kelcmd; kelcmd.Bus('Com1')"], env=environment,
        cwd=os.path.join(HERE, os.pardir), capture_output=True, text=True, timeout=60)
    assert run.returncode != 0
    assert "LibraryNotFoundError" in run.stderr and "/nonexistent/libkelcmd.so" in run.stderr


def test_the_catalogue_matches_the_header_and_the_export_list() -> None:
    sys.path.insert(0, os.path.join(HERE, os.pardir, "tools"))
    from header_signatures import command_signatures  # type: ignore[import]

    from kelcmd._library import library
    from kelcmd._catalogue import COMMANDS

    library()
    with open(os.path.join(HERE, os.pardir, os.pardir, "include", "kelcmd", "kelcmd.h")) as header:
        expected = {name: tuple(codes) for name, codes in command_signatures(header.read()).items()}
    assert {name: command.codes for name, command in COMMANDS.items()} == expected, \
        "the catalogue's exports differ from kelcmd.h"
    with open(os.path.join(HERE, os.pardir, os.pardir, "src", "api", "exports.txt")) as listed:
        exported = {line.strip() for line in listed}
    missing = [n for command in COMMANDS for n in ("MP_" + command, command) if n not in exported]
    assert not missing, f"catalogue exports missing from exports.txt: {missing}"


def test_the_readme_example_runs_as_shown() -> None:
    with open(os.path.join(HERE, os.pardir, "README.md")) as readme:
        example = readme.read().split("```python\n", 1)[1].split("```", 1)[0]
    run = subprocess.run([sys.executable, "-c", example], cwd=os.path.join(HERE, os.pardir),
                         capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    assert "position 2000" in run.stdout


def test_a_monitor_sees_each_exchange_once_with_its_judged_result(bus: kelcmd.Bus) -> None:
    unit = bus.unit(1)
    with bus.monitor() as events:
        unit.read_position()
        with pytest.raises(kelcmd.UnitRefusedError):
            unit.call("SetCurrent", 100)  # refused with CMD_FAIL (0) while regulating position
    kinds = [event.kind for event in events]
    assert kinds == ["request", "acknowledge", "answer", "result"] * 2
    request, _, answer, result = events[:4]
    assert (request.direction, answer.direction, result.ok) == ("out", "in", True)
    assert request.data[0] == 1 and len(request.data) == 5 + 2  # header and CRC, no data
    assert answer.data[4] == request.data[4]
    refusal = events[7]
    assert refusal.refused and not refusal.ok
    assert (refusal.result, refusal.unit_error, refusal.warning) == (0, 0, 181)
    assert all(event.port == bus.port for event in events)
    assert events.dropped == 0


def test_group_addresses_take_only_commands_that_ask_for_nothing_back(bus: kelcmd.Bus) -> None:
    with pytest.raises(ValueError, match=r"group address \(128 to 255\).*bus.group\(200\)"):
        bus.unit(200)
    group = bus.group(200)
    assert not hasattr(group, "read_position")
    with pytest.raises(ValueError, match="never answers"):
        group.call("ReadPosition")
    with pytest.raises(ValueError, match="never answers"):
        group.call("ReadAllTempParam", bytearray(110))
    with bus.monitor() as events:
        group.stop_motion()
        group.call("SetOutput", 1, 1)
    requests = [event.data for event in events if event.kind == "request"]
    assert [request[0] for request in requests] == [200, 200]
    for wrong in (127, 256):
        with pytest.raises(ValueError, match="group address must be 128 to 255"):
            bus.group(wrong)
    for wrong in (0, 300):
        with pytest.raises(ValueError, match=f"address must be 1 to 127, got {wrong}"):
            bus.unit(wrong)


def test_a_collected_bus_frees_its_port_with_a_warning() -> None:
    port = "Com38"
    opened = kelcmd.Bus(port, device="sim:1,bus=collected")
    lib = kelcmd.library()
    assert lib.KEB_GetKelBusSettings(port.encode(), None, None, None, None) == 1
    with pytest.warns(ResourceWarning, match="unclosed Bus"):
        del opened
        gc.collect()
    assert lib.KEB_GetKelBusSettings(port.encode(), None, None, None, None) == 0


def test_a_mapping_whose_port_does_not_open_is_undone() -> None:
    with pytest.raises(kelcmd.PortError):
        kelcmd.Bus("Com37", device="/dev/kelcmd-no-such-device")
    with pytest.raises(kelcmd.PortError) as caught:
        kelcmd.Bus("Com37")  # the port's usual device again
    assert "/dev/ttyS36" in str(caught.value.os_reason)
    with kelcmd.Bus("Com37", device="sim:1,bus=remapped"):
        pass
    with pytest.raises(kelcmd.PortError):
        kelcmd.Bus("Com37", device="/dev/kelcmd-no-such-device")
    with kelcmd.Bus("Com37") as reopened:  # the mapping that worked is back
        assert reopened.is_open


def test_a_failure_after_the_unit_took_the_request_may_have_executed(bus: kelcmd.Bus) -> None:
    failed = outcome.Outcome(outcome.LINE_FAILED, 14, 36, False, 0, 0, 1, 50, 0, "", True,
                             (0, 0, 0, 0))
    error = bus._command_error("MoveRelative", 1, failed)
    assert isinstance(error, kelcmd.MayHaveExecutedError)
    assert isinstance(error, kelcmd.CommunicationError) and "may have executed" in str(error)
    untaken = dataclasses.replace(failed, may_have_executed=False)
    assert type(bus._command_error("MoveRelative", 1, untaken)) is kelcmd.CommunicationError


def test_a_missing_library_names_every_place_tried() -> None:
    environment = dict(os.environ, KELCMD_LIBRARY="", LD_LIBRARY_PATH="")
    run = subprocess.run(
        [sys.executable, "-c", "import kelcmd; kelcmd.library()"], env=environment,
        cwd=os.path.join(HERE, os.pardir), capture_output=True, text=True, timeout=60)
    if run.returncode == 0:
        pytest.skip("a libkelcmd is installed on this system")
    package = os.path.join(os.path.dirname(os.path.abspath(kelcmd.__file__)), "libkelcmd.so*")
    assert "LibraryNotFoundError" in run.stderr and package in run.stderr
    assert "libkelcmd.so.1" in run.stderr
