"""Texts of the communication result codes and of the unit's error and warning numbers, as
libkelcmd knows them."""

from __future__ import annotations

import ctypes
from typing import Any

from . import _convert
from ._library import library
from .status import UnitMessage

_NAME_SIZE = 64
_TEXT_SIZE = 256


def result_text(code: int) -> str:
    """``"NAME / description"`` of a communication result code: ``result_text(17)`` starts with
    ``"XMT_ERR_TACK"``; ``"Unknown error!"`` for codes without one."""
    if isinstance(code, bool) or not isinstance(code, int) or not 0 <= code <= 255:
        return "Unknown error!"
    text = ctypes.create_string_buffer(_TEXT_SIZE)
    library().KEB_GetResultText(code, text, _TEXT_SIZE)
    return text.value.decode(errors="replace")


def _lookup(function: Any, code: int) -> UnitMessage:
    _convert.integer(code, "i16", "code")
    name = ctypes.create_string_buffer(_NAME_SIZE)
    text = ctypes.create_string_buffer(_TEXT_SIZE)
    function(code, name, _NAME_SIZE, text, _TEXT_SIZE)
    return UnitMessage(code, name.value.decode("latin-1"), text.value.decode("latin-1"))


def error_text(code: int) -> UnitMessage:
    """The :class:`UnitMessage` of a unit error number: ``error_text(23).name == "ERROR_HOME"``."""
    return _lookup(library().GetErrorText, code)


def warning_text(code: int) -> UnitMessage:
    """The :class:`UnitMessage` of a unit warning number:
    ``warning_text(170).name == "WARN_NOMOVE"``."""
    return _lookup(library().GetWarningText, code)
