"""Reads the C signatures of the command exports from kelcmd.h.

Run as a program it writes kelcmd/_signatures.py to standard output:

    python3 tools/header_signatures.py ../include/kelcmd/kelcmd.h > kelcmd/_signatures.py

The tests use it to check that the shipped table still matches the header.
"""

import re
import sys

_SCALARS = {
    "uint8_t": "u8",
    "uint16_t": "u16",
    "uint32_t": "u32",
    "int16_t": "i16",
    "int32_t": "i32",
    "float": "f32",
}

# Pointer parameters that are buffers rather than one value: the caller passes them. Constant
# pointers ("in") are read by the command, the others ("buf") written.
_BUFFER_NAMES = {"buffer", "string", "bytes", "name", "text"}
_DECLARATION = re.compile(r"KELCMD_API\s+(\w+)\s+(\w+)\s*\(([^)]*)\);", re.S)


def _parameter_code(function, parameter):
    parameter = " ".join(parameter.split())
    match = re.fullmatch(r"(const\s+)?(\w+)\s*(\*?)\s*(\w+)", parameter)
    if match is None:
        raise ValueError(f"{function}: cannot read parameter '{parameter}'")
    const, type_name, pointer, name = match.groups()
    if type_name == "char" and pointer and name == "portName":
        return "str"
    if not pointer:
        if type_name not in _SCALARS:
            raise ValueError(f"{function}: unknown type '{type_name}'")
        return _SCALARS[type_name]
    if const:
        return "in"
    if name in _BUFFER_NAMES or type_name not in _SCALARS:
        return "buf"
    if function.endswith("ReadRecordedData") and name == "data":
        return "buf"  # 511 samples, not one value
    return "*" + _SCALARS[type_name]


def command_signatures(header_text):
    """{export name: [parameter codes]} of every export that returns a 32-bit 1 or 0 for a
    command and names its port and slave (the MP_ forms other than the bus-level ones)."""
    table = {}
    for result, function, parameters in _DECLARATION.findall(header_text):
        if not function.startswith("MP_") or function.startswith("MP_KEB_"):
            continue
        if result != "int32_t" or function == "MP_InitKelCommander":
            continue
        codes = [_parameter_code(function, p) for p in parameters.split(",")]
        if codes[:2] != ["str", "u8"]:
            continue  # not a command on a port and slave
        table[function[3:]] = codes[2:]
    return table


def format_table(table):
    return "\n".join(f"{name} {' '.join(codes)}".rstrip() for name, codes in sorted(table.items()))


_MODULE = '''"""C signatures of the command exports, by plain command name (generated from
kelcmd.h by tools/header_signatures.py).

Each line: the command, then its arguments after port name and slave address. u8 ... i32 and f32
are values of that C type; *u8 ... *f32 point to one value that the command writes; "in" points to
memory the command reads, "buf" to memory it writes (both provided by the caller). Every export
returns a 32-bit 1 or 0.
"""

_TABLE = """
%s
"""

COMMANDS = {line.split()[0]: tuple(line.split()[1:]) for line in _TABLE.strip().splitlines()}
'''

if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8") as header:
        sys.stdout.write(_MODULE % format_table(command_signatures(header.read())))
