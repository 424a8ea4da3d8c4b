"""The command exports as the library's catalogue describes them (filled when it is loaded).

Each argument after port name and slave address has a code: ``u8`` ... ``i32`` and ``f32`` are
values of that C type; ``*u8`` ... ``*f32`` point to one value the command writes; ``in`` points to
memory the command reads and ``buf`` to memory it writes, both provided by the caller.
"""

from __future__ import annotations

import ctypes
from dataclasses import dataclass, field
from typing import Any, Dict, List, Optional, Tuple

#: The C types behind the value codes.
C_TYPES: Dict[str, Any] = {
    "u8": ctypes.c_uint8,
    "u16": ctypes.c_uint16,
    "u32": ctypes.c_uint32,
    "i16": ctypes.c_int16,
    "i32": ctypes.c_int32,
    "f32": ctypes.c_float,
}


@dataclass
class Argument:
    """One C argument of a command export after port name and slave address."""

    name: str
    code: str
    #: For memory: the index of the argument that gives its length in bytes.
    length_from: Optional[int] = None
    #: For memory: its fixed size in bytes.
    size: Optional[int] = None
    #: For memory: the index of the argument whose system parameter's width it needs.
    width_from: Optional[int] = None
    #: The largest value a length accepts.
    limit: Optional[int] = None
    #: The value is the answer timeout in ms.
    wait: bool = False
    #: An out-value that a stacked call leaves unwritten.
    unstacked: bool = False

    @property
    def is_memory(self) -> bool:
        """Whether the argument points to memory the caller provides."""
        return self.code in ("in", "buf")

    @property
    def is_output(self) -> bool:
        """Whether the argument points to one value the command writes."""
        return self.code.startswith("*")


@dataclass
class Command:
    """A command export by its plain name and its arguments."""

    name: str
    arguments: List[Argument] = field(default_factory=list)

    @property
    def codes(self) -> Tuple[str, ...]:
        """The codes of the arguments, in order."""
        return tuple(argument.code for argument in self.arguments)

    @property
    def inputs(self) -> List[Argument]:
        """The arguments the caller gives (everything but the written values)."""
        return [argument for argument in self.arguments if not argument.is_output]

    @property
    def reads_answer(self) -> bool:
        """Whether the command gives values back (which group addresses never do)."""
        return any(argument.is_output or argument.code == "buf" for argument in self.arguments)


COMMANDS: Dict[str, Command] = {}

# The exports that manage the thread's command stack: Unit.batch() does that for Python.
STACK_EXPORTS = frozenset({"StopStackingCommands", "ExecuteCommandStack",
                           "ExecuteQuietCommandStack", "ReadLastQuietCommandStack"})


def parse(signature_text: str, argument_text: str) -> Dict[str, Command]:
    """{name: Command} from the library's signature table (one export a line, its codes) and its
    argument table (one argument a line: export, index, name, code, then its properties)."""
    commands = {}
    for line in signature_text.splitlines():
        words = line.split()
        if words:
            commands[words[0]] = Command(words[0], [Argument(f"argument {number}", code)
                                                    for number, code in enumerate(words[1:], 1)])
    for line in argument_text.splitlines():
        words = line.split()
        if len(words) < 4 or words[0] not in commands:
            continue
        arguments = commands[words[0]].arguments
        index = int(words[1])
        if index >= len(arguments) or arguments[index].code != words[3]:
            continue  # the two tables disagree: keep what the signature says
        argument = arguments[index]
        argument.name = words[2]
        for word in words[4:]:
            key, _, value = word.partition("=")
            if key == "length":
                argument.length_from = int(value)
            elif key == "bytes":
                argument.size = int(value)
            elif key == "width-of":
                argument.width_from = int(value)
            elif key == "limit":
                argument.limit = int(value)
            elif key == "wait":
                argument.wait = True
            elif key == "unstacked":
                argument.unstacked = True
    return commands
