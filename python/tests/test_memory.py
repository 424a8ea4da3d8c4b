"""Buffers handed to the library: too small ones are refused before any pointer is made."""

import ctypes
import os
import subprocess
import sys
import textwrap

import kelcmd
from kelcmd._catalogue import COMMANDS

HERE = os.path.dirname(os.path.abspath(__file__))

# Every command export with a memory argument, each buffer one byte: a length argument asks for
# 4 bytes and parameter 3 is 4 bytes wide, so every buffer is short. A crash ends the process
# with a signal instead of the final line.
_SHORT_BUFFERS = textwrap.dedent("""
    import kelcmd
    from kelcmd._catalogue import COMMANDS
    kelcmd.library()
    refused = []
    with kelcmd.Bus("Com30", device="sim:1,bus=short-buffers") as bus:
        unit = bus.unit(1)
        for command in COMMANDS.values():
            if not any(argument.is_memory for argument in command.arguments):
                continue
            arguments = []
            for argument in command.inputs:
                if argument.code == "in":
                    arguments.append(b"x")
                elif argument.code == "buf":
                    arguments.append(bytearray(1))
                elif argument.code == "f32":
                    arguments.append(1.0)
                else:
                    arguments.append(3 if argument.name == "paramNb" else 4)
            try:
                unit.call(command.name, *arguments)
            except ValueError as error:
                refused.append(command.name)
                print(error)
            else:
                print("ACCEPTED", command.name)
    print("refused", len(refused))
""")


def test_every_short_buffer_is_refused_and_nothing_crashes() -> None:
    run = subprocess.run([sys.executable, "-c", _SHORT_BUFFERS], cwd=os.path.join(HERE, os.pardir),
                         capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    kelcmd.library()
    with_memory = [name for name, command in COMMANDS.items()
                   if any(argument.is_memory for argument in command.arguments)]
    assert f"refused {len(with_memory)}" in run.stdout, run.stdout
    assert "ACCEPTED" not in run.stdout
    # The message says what the command needs.
    for needed in ("sysParam must hold at least 110 bytes for ReadAllTempParam, got 1",
                   "sysParamEx must hold at least 256 bytes for SetAllPermParamEx, got 1",
                   "data must hold at least 1022 bytes for ReadRecordedData, got 1",
                   "value must hold at least 4 bytes for ReadTempParam, got 1",
                   "string must hold at least 4 bytes for PutString, got 1",
                   "buffer must hold at least 4 bytes for ReadAllTempUsr1Param, got 1"):
        assert needed in run.stdout


def test_buffers_of_the_needed_size_are_filled(unit: kelcmd.Unit) -> None:
    whole = bytearray(110)
    unit.call("ReadAllTempParam", whole)
    single = ctypes.c_uint8()
    unit.call("ReadTempParam", 6, single)  # the group address, a Byte at offset 1 of the set
    assert whole[1] == single.value == unit.read_temp_param(6) == 128
    unit.call("SetAllTempParam", bytes(whole))
    recorded = (ctypes.c_int16 * 511)()
    unit.call("ReadRecordedData", 0, 0, 0, recorded)


def test_memory_that_is_no_buffer_is_refused(unit: kelcmd.Unit) -> None:
    for wrong, kind in ((ctypes.c_char_p(b"x" * 200), TypeError),
                        (bytes(110), TypeError),  # written by the command: must be writable
                        ("text", TypeError)):
        try:
            unit.call("ReadAllTempParam", wrong)
        except kind:
            continue
        raise AssertionError(f"{wrong!r} was accepted")
