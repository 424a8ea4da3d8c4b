"""C signatures of the command exports, by plain command name, as the library's catalogue gives
them (filled when the library is loaded).

Each entry: the command, then its arguments after port name and slave address. u8 ... i32 and f32
are values of that C type; *u8 ... *f32 point to one value that the command writes; "in" points to
memory the command reads, "buf" to memory it writes (both provided by the caller). Every export
returns a 32-bit 1 or 0.
"""

COMMANDS = {}


def parse(text):
    """{command: (codes...)} from the library's table, one command per line."""
    return {line.split()[0]: tuple(line.split()[1:]) for line in text.splitlines() if line.split()}
