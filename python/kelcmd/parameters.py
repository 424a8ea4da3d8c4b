"""The types of the unit's system parameters by number, and their values as exports pass them."""

import struct

# struct formats: B Byte, H Word, h Int, i LInt, f Float; ten numbers a group.
_TYPES = ("hBhihiBHhh"  # 0 to 9
          "hhHhhffffh"  # 10 to 19
          "iihihhhhhh"  # 20 to 29
          "hfhihhfhhh"  # 30 to 39
          "iiH" + "i" * 36)  # 40 to 42, the 36 extended parameters 43 to 78
PARAMETER_COUNT = len(_TYPES)  # 0 to 78


def parameter_format(number):
    if not isinstance(number, int) or not 0 <= number < PARAMETER_COUNT:
        raise ValueError(f"parameter number {number!r} is not 0 to {PARAMETER_COUNT - 1}")
    return _TYPES[number]


def decode(number, raw):
    """The value of parameter `number` from the bytes the read exports write (host order)."""
    fmt = parameter_format(number)
    return struct.unpack("=" + fmt, bytes(raw[:struct.calcsize(fmt)]))[0]


def encode(number, value):
    """The 32-bit argument of SetTempParam: an integer parameter's value, a Float parameter's bit
    pattern. Values outside the parameter's type are refused rather than cut."""
    fmt = parameter_format(number)
    try:
        packed = struct.pack("=" + fmt, value)
    except struct.error as error:
        raise ValueError(f"parameter {number}: {value!r} does not fit: {error}") from None
    if fmt == "f":
        return struct.unpack("=i", packed)[0]
    return int(value)
