"""The types of the unit's system parameters by number, and their values as exports pass them."""

from __future__ import annotations

import struct
from typing import Sequence, Union

# struct formats: B Byte, H Word, h Int, i LInt, f Float; ten numbers a group.
_TYPES = ("hBhihiBHhh"  # 0 to 9
          "hhHhhffffh"  # 10 to 19
          "iihihhhhhh"  # 20 to 29
          "hfhihhfhhh"  # 30 to 39
          "iiH" + "i" * 36)  # 40 to 42, the 36 extended parameters 43 to 78
#: The number of system parameters (0 to 78).
PARAMETER_COUNT = len(_TYPES)


def parameter_format(number: object) -> str:
    """The :mod:`struct` format of parameter `number` (``"B"`` Byte, ``"H"`` Word, ``"h"`` Int,
    ``"i"`` LInt, ``"f"`` Float).

    :raises ValueError: no parameter of that number.
    """
    if isinstance(number, bool) or not isinstance(number, int) or \
            not 0 <= number < PARAMETER_COUNT:
        raise ValueError(f"number must be 0 to {PARAMETER_COUNT - 1}, got {number!r}")
    return _TYPES[number]


def decode(number: int, raw: Sequence[int]) -> Union[int, float]:
    """The value of parameter `number` from the bytes the read exports write (host order)."""
    fmt = parameter_format(number)
    value: Union[int, float] = struct.unpack("=" + fmt, bytes(raw[:struct.calcsize(fmt)]))[0]
    return value


def encode(number: int, value: float) -> int:
    """The 32-bit argument of SetTempParam: an integer parameter's value, a Float parameter's bit
    pattern.

    :raises ValueError: `value` lies outside the parameter's type (it is refused, not cut).
    """
    fmt = parameter_format(number)
    try:
        packed = struct.pack("=" + fmt, value)
    except struct.error as error:
        raise ValueError(f"value {value!r} does not fit parameter {number}: {error}") from None
    if fmt == "f":
        bits: int = struct.unpack("=i", packed)[0]
        return bits
    return int(value)
