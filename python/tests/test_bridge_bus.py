"""A Python program and the kelcmd program on one remote bus of a real kelcmd-bridge process."""

import os
import subprocess
import threading
import time
from typing import List

import pytest

import kelcmd
from mosquitto_broker import MosquittoBroker

BRIDGE = os.environ.get("KELCMD_BRIDGE_PROGRAM", "")
CLI = os.environ.get("KELCMD_CLI_PROGRAM", "")
pytestmark = pytest.mark.skipif(not (BRIDGE and CLI and os.environ.get("KELCMD_REMOTE_PLUGIN")),
                                reason="needs kelcmd-bridge, kelcmd and the remote plugin")


def _open_when_online(device: str) -> kelcmd.Bus:
    """The bus, once the bridge that was just started is on the broker."""
    for _ in range(100):
        try:
            return kelcmd.Bus("Com74", device=device)
        except kelcmd.PortError:
            time.sleep(0.1)
    return kelcmd.Bus("Com74", device=device)


def test_python_and_the_cli_share_a_bridged_bus_each_getting_its_own_answers() -> None:
    with MosquittoBroker() as broker:
        bridge = subprocess.Popen(
            [BRIDGE, "--broker", broker.url, "--port", "Com1", "--device", "sim:1-3",
             "--bus", "py", "--scan", "1-3", "--timeout", "50", "--poll", "0"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            device = f"{broker.url}/kelcmd/py"
            with _open_when_online(device) as bus:
                unit = bus.unit(2)
                done = threading.Event()
                rounds: List[float] = []
                failures: List[object] = []

                # Python works on unit 2 with accelerations from 1 up, the program on unit 1
                # below 1: an answer that reached the wrong program shows in its value.
                def python_loop() -> None:
                    while not done.is_set():
                        accel = 1.0 + (len(rounds) % 8) * 0.125
                        try:
                            unit.set_profile(1, accel, accel * 2)
                            profile = unit.read_profile()
                        except kelcmd.KelCmdError as error:
                            failures.append(error)
                            return
                        if profile[1:3] != (accel, accel * 2):
                            failures.append(profile)
                        rounds.append(accel)

                worker = threading.Thread(target=python_loop)
                worker.start()
                try:
                    for i in range(1, 6):
                        accel = f"{i * 0.125:g}"
                        cli = [CLI, "--device", device, "--slave", "1"]
                        subprocess.run(cli + ["SetProfile", "1", accel, f"{i * 0.0625:g}"],
                                       check=True, capture_output=True, timeout=20)
                        read = subprocess.run(cli + ["ReadProfile"], check=True,
                                              capture_output=True, text=True, timeout=20)
                        assert f"accel = {accel}\n" in read.stdout
                finally:
                    done.set()
                    worker.join()
                assert rounds and not failures
        finally:
            bridge.terminate()
            bridge.wait(timeout=10)
