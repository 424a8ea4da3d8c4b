"""A real mosquitto broker for a test: a free loopback port, a configuration of its own in a fresh
directory, and stop/start on the same port to play a broker that goes away.

    with MosquittoBroker() as broker:
        ... broker.host, broker.port, broker.url ...

The program is $KELCMD_MOSQUITTO, /usr/sbin/mosquitto or mosquitto on the PATH.
"""

import os
import shutil
import socket
import subprocess
import tempfile
import time
from typing import IO, Any, Optional


def _free_loopback_port() -> int:
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port: int = probe.getsockname()[1]
        return port


def _accepts(port: int) -> bool:
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.2):
            return True
    except OSError:
        return False


def _program() -> str:
    chosen = os.environ.get("KELCMD_MOSQUITTO")
    if chosen:
        return chosen
    if os.access("/usr/sbin/mosquitto", os.X_OK):
        return "/usr/sbin/mosquitto"
    return shutil.which("mosquitto") or "mosquitto"


class MosquittoBroker:
    host = "127.0.0.1"

    def __init__(self) -> None:
        self.port = _free_loopback_port()
        self.directory = tempfile.mkdtemp(prefix="kelcmd-broker-")
        self._process: Optional[subprocess.Popen[bytes]] = None
        self._console: Optional[IO[bytes]] = None
        # Started as root, mosquitto would switch to its own user and could not write here.
        with open(os.path.join(self.directory, "mosquitto.conf"), "w") as config:
            config.write(f"listener {self.port} 127.0.0.1\n"
                         "allow_anonymous true\npersistence false\n"
                         + ("user root\n" if os.geteuid() == 0 else "")
                         + f"log_dest file {self.directory}/mosquitto.log\nlog_type all\n")

    @property
    def url(self) -> str:
        return f"mqtt://{self.host}:{self.port}"

    @property
    def running(self) -> bool:
        return self._process is not None

    def start(self, timeout: float = 10.0) -> bool:
        """Starts the broker and waits until it accepts connections; False when it does not."""
        if self.running:
            return True
        self._console = open(os.path.join(self.directory, "console.log"), "ab")
        self._process = subprocess.Popen(
            [_program(), "-c", os.path.join(self.directory, "mosquitto.conf")],
            stdin=subprocess.DEVNULL, stdout=self._console, stderr=self._console)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if _accepts(self.port):
                return True
            if self._process.poll() is not None:  # it gave up (port taken, bad config)
                self._process = None
                return False
            time.sleep(0.02)
        self.stop()
        return False

    def stop(self) -> None:
        if self._process is not None:
            self._process.terminate()
            self._process.wait(timeout=10)
            self._process = None
        if self._console is not None:
            self._console.close()
            self._console = None

    def restart(self) -> bool:
        self.stop()
        return self.start()

    def log(self) -> str:
        try:
            with open(os.path.join(self.directory, "mosquitto.log")) as log:
                return log.read()
        except OSError:
            return ""

    def __enter__(self) -> "MosquittoBroker":
        if not self.start():
            raise RuntimeError("mosquitto did not start:\n" + self.log())
        return self

    def __exit__(self, *exc: Any) -> None:
        self.stop()
        shutil.rmtree(self.directory, ignore_errors=True)
