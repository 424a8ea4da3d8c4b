"""Caller memory for the buffer arguments of the exports: checked against the size the library
touches before any pointer is made, and kept alive with the call that uses it."""

from __future__ import annotations

import ctypes
from typing import Any, Tuple

# ctypes data whose own memory is the data (pointers are not: the library would write over them).
_CTYPES_DATA = (ctypes.Array, ctypes.Structure, ctypes.Union, ctypes._SimpleCData)
_POINTER_CODES = frozenset("zZPO")


def _is_ctypes_data(value: object) -> bool:
    if not isinstance(value, _CTYPES_DATA):
        return False
    return getattr(type(value), "_type_", "") not in _POINTER_CODES


def memory_size(value: object, writable: bool, what: str) -> int:
    """The number of bytes `value` offers; TypeError when it cannot serve as `what`."""
    if _is_ctypes_data(value):
        return ctypes.sizeof(value)  # type: ignore[arg-type]
    if isinstance(value, bytearray):
        return len(value)
    if isinstance(value, bytes) and not writable:
        return len(value)
    kinds = "a bytearray or a ctypes object (not a pointer)"
    if not writable:
        kinds = "bytes, " + kinds
    raise TypeError(f"{what} must be {kinds}, not {type(value).__name__}")


def pointer(value: Any) -> Tuple[ctypes.c_void_p, object]:
    """A pointer to the memory of `value` (checked by memory_size first) and the object that must
    stay alive as long as the library may use the pointer."""
    if isinstance(value, bytearray):
        view = (ctypes.c_char * len(value)).from_buffer(value) if value else None
        if view is None:
            return ctypes.c_void_p(), value
        return ctypes.cast(view, ctypes.c_void_p), view
    if isinstance(value, bytes):
        text = ctypes.c_char_p(value)
        return ctypes.cast(text, ctypes.c_void_p), (value, text)
    return ctypes.cast(ctypes.pointer(value), ctypes.c_void_p), value
