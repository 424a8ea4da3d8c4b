"""A group address: every unit listening acts on a command, none answers."""

from __future__ import annotations

from typing import TYPE_CHECKING

from . import _convert
from ._call import PreparedCall, find_command
from ._target import SendingCommands

if TYPE_CHECKING:
    from ._port import Port

FIRST_GROUP = 128
LAST_GROUP = 255
#: The broadcast that every unit acts on and acknowledges (but does not answer).
ACKNOWLEDGED_BROADCAST = 254


class Group(SendingCommands):
    """A group address (128 to 255) on an open :class:`~kelcmd.Bus`; get one with
    ``bus.group(address)``.

    Units never answer a group, so a group takes only the commands that ask for nothing back:
    the setting and moving methods below, and :meth:`call` for other such exports. A command
    returns once it is sent; nothing tells whether a unit acted on it. Units: positions in qc,
    velocities in qc/ms, accelerations in qc/ms², currents in mA, times in ms.
    """

    def __init__(self, bus: Port, address: int) -> None:
        _convert.in_range(address, FIRST_GROUP, LAST_GROUP, "group address")
        super().__init__(bus, address)

    def __repr__(self) -> str:
        return f"Group({self.bus.port!r}, {self.address})"

    def call(self, command: str, *arguments: object) -> None:
        """Sends any command export that asks for no values back, by its plain name.

        :param command: the export's name without ``MP_`` (``"SetOutput"``).
        :param arguments: its arguments, in the export's order.
        :raises ValueError: no such command, or one that reads an answer (units never answer a
            group).
        :raises KelCmdError: the command could not be sent.
        """
        found = find_command(command)
        if found.reads_answer:
            raise ValueError(f"{command} reads an answer, but group address {self.address} "
                             "never answers: send it to a unit (bus.unit(1 to 127))")
        self.bus._run(PreparedCall(found, arguments), self.address)

    def move_absolute(self, position: int) -> None:
        """Makes every unit of the group move to `position` (qc)."""
        return self._send("MoveAbsolute", {"position": position, "timeout": 0})

    def move_relative(self, distance: int) -> None:
        """Makes every unit of the group move by `distance` (qc)."""
        return self._send("MoveRelative", {"distance": distance, "timeout": 0})
