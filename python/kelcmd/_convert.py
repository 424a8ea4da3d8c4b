"""Python values to the C arguments of the exports, refused when they do not fit rather than cut.

Errors name the Python parameter: ``timeout must be 0 to 4294967295 ms, got -1``.
"""

from __future__ import annotations

from typing import Union

INTEGER_RANGES = {
    "u8": (0, 0xFF),
    "u16": (0, 0xFFFF),
    "u32": (0, 0xFFFFFFFF),
    "i16": (-0x8000, 0x7FFF),
    "i32": (-0x80000000, 0x7FFFFFFF),
}


def integer(value: object, code: str, what: str, unit: str = "") -> int:
    """`value` as an integer of the C type `code`; `what` names it and `unit` follows the range
    in the error."""
    low, high = INTEGER_RANGES[code]
    return in_range(value, low, high, what, unit)


def in_range(value: object, low: int, high: int, what: str, unit: str = "") -> int:
    """`value` as an integer from `low` to `high`, else TypeError or ValueError naming `what`."""
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{what} must be an integer, not {type(value).__name__}")
    if not low <= value <= high:
        suffix = f" {unit}" if unit else ""
        raise ValueError(f"{what} must be {low} to {high}{suffix}, got {value}")
    return value


def real(value: object, what: str) -> float:
    """`value` as a float, else TypeError naming `what`."""
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise TypeError(f"{what} must be a number, not {type(value).__name__}")
    return float(value)


def name(text: Union[str, bytes], what: str) -> bytes:
    """A port name or device as the exports take it: bytes without a zero."""
    if isinstance(text, str):
        text = text.encode()
    if not isinstance(text, bytes) or not text or b"\0" in text:
        raise ValueError(f"{what} must be a non-empty text without NUL, got {text!r}")
    return text
