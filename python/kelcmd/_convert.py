"""Python values to the C arguments of the exports, refused when they do not fit rather than cut."""

import ctypes

_INTEGER_RANGES = {
    "u8": (0, 0xFF),
    "u16": (0, 0xFFFF),
    "u32": (0, 0xFFFFFFFF),
    "i16": (-0x8000, 0x7FFF),
    "i32": (-0x80000000, 0x7FFFFFFF),
}
_CTYPES_DATA = (ctypes.Array, ctypes.Structure, ctypes.Union, ctypes._SimpleCData)


def integer(value, code, what):
    low, high = _INTEGER_RANGES[code]
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{what} must be an integer, not {type(value).__name__}")
    if not low <= value <= high:
        raise ValueError(f"{what} {value} is out of range {low} to {high}")
    return value


def real(value, what):
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise TypeError(f"{what} must be a number, not {type(value).__name__}")
    return float(value)


def memory(value, writable, what):
    """A pointer for an "in" (read) or "buf" (written) argument."""
    if isinstance(value, _CTYPES_DATA):
        return ctypes.cast(ctypes.pointer(value), ctypes.c_void_p)
    if isinstance(value, bytearray):
        return ctypes.cast((ctypes.c_char * len(value)).from_buffer(value), ctypes.c_void_p)
    if isinstance(value, bytes) and not writable:
        return ctypes.cast(ctypes.c_char_p(value), ctypes.c_void_p)
    kinds = "a bytearray or a ctypes object"
    if not writable:
        kinds = "bytes, " + kinds
    raise TypeError(f"{what} must be {kinds}, not {type(value).__name__}")


def argument(code, value, what):
    if code == "f32":
        return real(value, what)
    if code in ("in", "buf"):
        return memory(value, code == "buf", what)
    return integer(value, code, what)


def name(text, what):
    """A port name or device as the exports take it: bytes without a zero."""
    if isinstance(text, str):
        text = text.encode()
    if not isinstance(text, bytes) or not text or b"\0" in text:
        raise ValueError(f"{what} must be a non-empty text without NUL, not {text!r}")
    return text
