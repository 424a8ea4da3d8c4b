"""One command export call made ready: its C arguments, the storage of the values it writes, and
every object that must outlive the library's use of its memory."""

from __future__ import annotations

import ctypes
from typing import Any, Dict, List, Optional, Sequence

from . import _convert, _memory
from ._catalogue import C_TYPES, COMMANDS, STACK_EXPORTS, Argument, Command
from ._library import library


def find_command(name: str) -> Command:
    """The command export of that plain name, else ValueError."""
    library()  # fills the catalogue
    command = COMMANDS.get(name)
    if command is None:
        raise ValueError(f"no command export named {name!r}")
    if name in STACK_EXPORTS:
        raise ValueError(f"{name} manages the command stack: collect commands with unit.batch()")
    return command


def _parameter_width(number: int) -> int:
    return int(library().SystemParameterWidth(number))


class PreparedCall:
    """A command's C arguments, checked and converted; `values()` reads what it wrote.

    `given` are the inputs (every argument but the written values) in order; `names` the Python
    names to use in errors (the catalogue's where None).
    """

    def __init__(self, command: Command, given: Sequence[object],
                 names: Optional[Sequence[str]] = None) -> None:
        inputs = command.inputs
        if len(given) != len(inputs):
            listed = ", ".join(argument.name for argument in inputs) or "none"
            raise TypeError(f"{command.name} takes {len(inputs)} arguments ({listed}), "
                            f"not {len(given)}")
        self.command = command
        self._outputs: List[Any] = []
        self._keep: List[object] = []
        input_names = list(names) if names is not None else [a.name for a in inputs]
        labels: Dict[int, str] = {}
        values: Dict[int, object] = {}
        position = 0
        for index, argument in enumerate(command.arguments):
            if not argument.is_output:
                labels[index] = input_names[position]
                values[index] = given[position]
                position += 1
        self.arguments: List[object] = []
        for index, argument in enumerate(command.arguments):
            if argument.is_output:
                output = C_TYPES[argument.code[1:]]()
                self._outputs.append(output)
                self.arguments.append(ctypes.byref(output))
            elif argument.is_memory:
                self.arguments.append(self._memory(argument, values, labels, index))
            elif argument.code == "f32":
                self.arguments.append(_convert.real(values[index], labels[index]))
            else:
                self.arguments.append(self._integer(argument, values[index], labels[index]))

    @staticmethod
    def _integer(argument: Argument, value: object, label: str) -> int:
        if argument.limit is not None:
            return _convert.in_range(value, 0, argument.limit, label)
        return _convert.integer(value, argument.code, label, "ms" if argument.wait else "")

    def _memory(self, argument: Argument, values: Dict[int, object], labels: Dict[int, str],
                index: int) -> ctypes.c_void_p:
        value, label = values[index], labels[index]
        offered = _memory.memory_size(value, argument.code == "buf", label)
        needed = self._needed(argument, values, labels)
        if offered < needed:
            raise ValueError(f"{label} must hold at least {needed} bytes for "
                             f"{self.command.name}, got {offered}")
        address, keep = _memory.pointer(value)
        self._keep.append(keep)
        return address

    def _needed(self, argument: Argument, values: Dict[int, object],
                labels: Dict[int, str]) -> int:
        """The bytes the library reads or writes at most through `argument`."""
        if argument.length_from is not None:
            length_argument = self.command.arguments[argument.length_from]
            return self._integer(length_argument, values[argument.length_from],
                                 labels[argument.length_from])
        if argument.width_from is not None:
            number = values[argument.width_from]
            width = _parameter_width(_convert.integer(number, "u8", labels[argument.width_from]))
            if width == 0:
                raise ValueError(f"{labels[argument.width_from]} {number} names no system "
                                 "parameter")
            return width
        if argument.size is not None:
            return argument.size
        raise ValueError(f"{self.command.name}: the library does not say how much memory "
                         f"{argument.name} needs, so it is not passed")

    @property
    def stackable(self) -> bool:
        """Whether every value the command writes arrives when it runs in a batch."""
        return not any(argument.unstacked for argument in self.command.arguments)

    def values(self) -> Any:
        """What the command wrote: None, one value, or a tuple in argument order."""
        values = [output.value for output in self._outputs]
        if not values:
            return None
        return values[0] if len(values) == 1 else tuple(values)
