"""Batches for several units of one bus."""

from __future__ import annotations

from typing import Any, Callable, Dict, List, Optional

from ._port import Port
from .batch import Batch
from .errors import KelCmdError
from .unit import Unit


class BusBatch:
    """Batches for several units of one bus, each unit's commands sent to it as one batch when
    the ``with`` block ends, unit after unit::

        with bus.batch() as batch:
            batch.unit(1).move_absolute(1000)
            positions = [batch.unit(address).read_position() for address in (1, 2, 3)]
        print([position.value for position in positions])

    :meth:`unit` gives the :class:`Batch` of one unit, started on first use. Every batch is
    sent even when an earlier one fails; then the first failure is raised.
    """

    def __init__(self, bus: Port, *, quiet: bool = False) -> None:
        #: The bus whose units the batches go to.
        self.bus = bus
        #: Whether the batches are sent quietly.
        self.quiet = quiet
        self._batches: Dict[int, Batch] = {}
        self._open = False

    def __enter__(self) -> BusBatch:
        self._open = True
        return self

    def __exit__(self, exc_type: Any, exc: Any, traceback: Any) -> None:
        self._open = False
        if exc_type is not None:
            for batch in self._batches.values():
                batch.discard()
            return
        self._each(Batch.execute)

    def unit(self, address: int) -> Batch:
        """The batch of the unit at `address` (1 to 127), started on first use.

        :raises KelCmdError: used outside the ``with`` block.
        """
        if address not in self._batches:
            if not self._open:
                raise KelCmdError("bus.batch() collects inside its with block only")
            batch = Unit(self.bus, address).batch(quiet=self.quiet)
            batch.start()
            self._batches[address] = batch
        return self._batches[address]

    @property
    def batches(self) -> List[Batch]:
        """The units' batches, in the order they were started."""
        return list(self._batches.values())

    def read_results(self) -> None:
        """Reads the results of every quiet batch (see :meth:`Batch.read_results`).

        :raises KelCmdError: the first failure, after every batch was read.
        """
        self._each(Batch.read_results)

    def _each(self, action: Callable[[Batch], None]) -> None:
        first: Optional[KelCmdError] = None
        for batch in self._batches.values():
            try:
                action(batch)
            except KelCmdError as error:
                first = first or error
        if first is not None:
            raise first
