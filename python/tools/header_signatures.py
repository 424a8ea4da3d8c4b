"""Reads the C signatures of the command exports from kelcmd.h.

The tests use it to check that the table the library gives (its catalogue) matches the header.
"""

import re

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
