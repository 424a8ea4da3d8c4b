import itertools
import os
import sys
from typing import Iterator

import pytest

# The tests run against the package in this source tree, whatever is installed.
sys.path.insert(0, os.path.join(os.path.dirname(__file__), os.pardir))

import kelcmd  # noqa: E402

# Commands take only ports Com1 to Com99; every test gets one of its own (tests that need a port
# without a mapping use those below 40).
_numbers = itertools.cycle(range(40, 100))

# Simulated time runs fast; the line keeps its usual timeouts, so a loaded machine does not fail.
SIM_OPTIONS = "speed=20"


def fresh_port() -> str:
    """A command port name that no other test uses at the same time."""
    return f"Com{next(_numbers)}"


@pytest.fixture
def bus() -> Iterator[kelcmd.Bus]:
    """A fresh simulated bus with units 1 to 3 on a port of its own."""
    port = fresh_port()
    with kelcmd.Bus(port, device=f"sim:1-3,{SIM_OPTIONS},bus=pytest{port}") as opened:
        yield opened


@pytest.fixture
def unit(bus: kelcmd.Bus) -> kelcmd.Unit:
    """Unit 1, regulating position, whose moves answer when the target is reached."""
    first = bus.unit(1)
    first.set_reg_mode(kelcmd.POSITION_MODE)
    first.set_wait_mode(kelcmd.WAIT_FOR_BOTH)
    return first
