"""Finding and loading libkelcmd, and the C prototypes of the exports this package calls."""

from __future__ import annotations

import ctypes
import ctypes.util
import glob
import os
import threading
from typing import Any, List, Optional, Tuple

from ._catalogue import C_TYPES, COMMANDS, parse
from .errors import KelCmdError, LibraryNotFoundError
from .outcome import Outcome

ENVIRONMENT_VARIABLE = "KELCMD_LIBRARY"


class KebPacket(ctypes.Structure):
    """The raw frame of the packet exports (1032 bytes, packed)."""

    _pack_ = 1
    _fields_ = [
        ("dest", ctypes.c_uint8),
        ("length", ctypes.c_uint16),
        ("send", ctypes.c_uint8),
        ("mtype", ctypes.c_uint8),
        ("data", ctypes.c_uint8 * 1025),
        ("crc", ctypes.c_uint16),
    ]


class BusEventRecord(ctypes.Structure):
    """One event of the bus tap as the library hands it out (kelcmd::BusEventRecord)."""

    _fields_ = (
        [(name, ctypes.c_uint8)
         for name in ("kind", "direction", "result", "refused", "unit_error", "failed_member")]
        + [("warning", ctypes.c_int16), ("trials", ctypes.c_uint32), ("length", ctypes.c_uint32)]
        + [(name, ctypes.c_uint64) for name in ("time_ns", "elapsed_ns", "exchange")]
        + [("port", ctypes.c_char * 4096), ("bytes", ctypes.c_uint8 * 2048)])


class KebOutcome(ctypes.Structure):
    """How the calling thread's last call ended (KEB_GetLastOutcome)."""

    _fields_ = [
        ("size", ctypes.c_uint32),
        ("status", ctypes.c_uint32),
        ("result", ctypes.c_uint8),
        ("messageType", ctypes.c_uint8),
        ("batch", ctypes.c_uint8),
        ("unitError", ctypes.c_uint8),
        ("unitWarning", ctypes.c_int32),
        ("trials", ctypes.c_uint32),
        ("durationMs", ctypes.c_uint32),
        ("systemErrorNumber", ctypes.c_int32),
        ("systemErrorText", ctypes.c_char * 128),
        ("mayHaveExecuted", ctypes.c_uint32),
        ("lineFramingErrors", ctypes.c_uint32),
        ("lineParityErrors", ctypes.c_uint32),
        ("lineOverruns", ctypes.c_uint32),
        ("lineBreaks", ctypes.c_uint32),
    ]


_STRING = ctypes.c_char_p
_PORT_AND_SLAVE = [_STRING, ctypes.c_uint8]
_BUS_PROTOTYPES: dict[str, tuple[Any, list[Any]]] = {
    "MP_StartStackingCommands": (None, _PORT_AND_SLAVE),
    "MP_StopStackingCommands": (ctypes.c_int32, _PORT_AND_SLAVE),
    "MP_ExecuteCommandStack": (ctypes.c_int32, _PORT_AND_SLAVE),
    "MP_ExecuteQuietCommandStack": (ctypes.c_int32, _PORT_AND_SLAVE),
    "MP_ReadLastQuietCommandStack": (ctypes.c_int32, _PORT_AND_SLAVE),
    "KEB_MapPort": (ctypes.c_int32, [_STRING, _STRING]),
    "KEB_InitKelBus": (ctypes.c_uint8, [ctypes.c_uint32, _STRING, ctypes.c_uint8,
                                        ctypes.c_uint32, ctypes.c_uint32]),
    "KEB_CloseKelBusPort": (ctypes.c_uint8, [_STRING]),
    "KEB_GetKelBusSettings": (ctypes.c_int32, [_STRING, ctypes.POINTER(ctypes.c_uint32),
                                               ctypes.POINTER(ctypes.c_uint8),
                                               ctypes.POINTER(ctypes.c_uint32),
                                               ctypes.POINTER(ctypes.c_uint32)]),
    "KEB_GetLastOutcome": (ctypes.c_int32, [ctypes.POINTER(KebOutcome)]),
    "KEB_GetResultText": (ctypes.c_int32, [ctypes.c_uint8, ctypes.c_char_p, ctypes.c_uint32]),
    "MP_KEB_SendPacket": (ctypes.c_uint8, [_STRING, ctypes.POINTER(KebPacket)]),
    "MP_KEB_SendPacketRetry": (ctypes.c_uint8, [_STRING, ctypes.POINTER(KebPacket)]),
    "MP_KEB_ReceivePacket": (ctypes.c_uint8, [_STRING, ctypes.POINTER(KebPacket),
                                              ctypes.c_uint32]),
    "MP_KEB_ReceivePacketRetry": (ctypes.c_uint8, [_STRING, ctypes.POINTER(KebPacket),
                                                   ctypes.c_uint32]),
    "GetErrorText": (ctypes.c_int32, [ctypes.c_int16, ctypes.c_char_p, ctypes.c_uint32,
                                      ctypes.c_char_p, ctypes.c_uint32]),
    "GetWarningText": (ctypes.c_int32, [ctypes.c_int16, ctypes.c_char_p, ctypes.c_uint32,
                                        ctypes.c_char_p, ctypes.c_uint32]),
}

# C++ functions of the library with C signatures, bound by their mangled names under a plain one.
_PRIVATE_PROTOTYPES: dict[str, tuple[str, Any, list[Any]]] = {
    "IsStackingCommands": ("_ZN6kelcmd18IsStackingCommandsEPKch", ctypes.c_bool,
                           _PORT_AND_SLAVE),
    "StackedCommandStatuses": ("_ZN6kelcmd22StackedCommandStatusesEPKchPjj", ctypes.c_uint32,
                               _PORT_AND_SLAVE + [ctypes.POINTER(ctypes.c_uint32),
                                                  ctypes.c_uint32]),
    "SystemParameterWidth": ("_ZN6kelcmd20SystemParameterWidthEj", ctypes.c_uint32,
                             [ctypes.c_uint32]),
    "RecordedSignalNameText": ("_ZN6kelcmd22RecordedSignalNameTextEjPcj", ctypes.c_int32,
                               [ctypes.c_uint32, ctypes.c_char_p, ctypes.c_uint32]),
    "RecordedSignalScale": ("_ZN6kelcmd19RecordedSignalScaleEj", ctypes.c_float,
                            [ctypes.c_uint32]),
    "ReadRecordedVectorOf": ("_ZN6kelcmd20ReadRecordedVectorOfEPKchhttPsPh", ctypes.c_int32,
                             [_STRING, ctypes.c_uint8, ctypes.c_uint8, ctypes.c_uint16,
                              ctypes.c_uint16, ctypes.POINTER(ctypes.c_int16),
                              ctypes.POINTER(ctypes.c_uint8)]),
    "OpenBusMonitor": ("_ZN6kelcmd14OpenBusMonitorEPKcj", ctypes.c_uint32,
                       [_STRING, ctypes.c_uint32]),
    "ReadBusMonitor": ("_ZN6kelcmd14ReadBusMonitorEjjPNS_14BusEventRecordE", ctypes.c_int32,
                       [ctypes.c_uint32, ctypes.c_uint32, ctypes.POINTER(BusEventRecord)]),
    "BusMonitorDropped": ("_ZN6kelcmd17BusMonitorDroppedEj", ctypes.c_uint64, [ctypes.c_uint32]),
    "CloseBusMonitor": ("_ZN6kelcmd15CloseBusMonitorEj", ctypes.c_int32, [ctypes.c_uint32]),
}


def _argument_type(code: str) -> Any:
    if code.startswith("*"):
        return ctypes.POINTER(C_TYPES[code[1:]])
    if code in ("in", "buf"):
        return ctypes.c_void_p
    return C_TYPES[code]


# The library's tables of its command exports (kelcmd::CommandSignatureText() and
# kelcmd::CommandArgumentText(), C++).
_SIGNATURE_TEXT = "_ZN6kelcmd20CommandSignatureTextEv"
_ARGUMENT_TEXT = "_ZN6kelcmd19CommandArgumentTextEv"


def _text(cdll: ctypes.CDLL, mangled: str) -> str:
    function = getattr(cdll, mangled)
    function.restype = ctypes.c_char_p
    function.argtypes = []
    return bytes(function()).decode()


def _declare(cdll: ctypes.CDLL) -> ctypes.CDLL:
    COMMANDS.update(parse(_text(cdll, _SIGNATURE_TEXT), _text(cdll, _ARGUMENT_TEXT)))
    for name, (result, arguments) in _BUS_PROTOTYPES.items():
        function = getattr(cdll, name)
        function.restype = result
        function.argtypes = arguments
    for name, (mangled, result, arguments) in _PRIVATE_PROTOTYPES.items():
        function = getattr(cdll, mangled)
        function.restype = result
        function.argtypes = arguments
        setattr(cdll, name, function)
    for command in COMMANDS.values():
        function = getattr(cdll, "MP_" + command.name)
        function.restype = ctypes.c_int32
        function.argtypes = _PORT_AND_SLAVE + [_argument_type(c) for c in command.codes]
    return cdll


def _candidates() -> Tuple[List[Tuple[str, str]], List[str]]:
    """(where, path or name) in the order they are tried, and the places that held nothing."""
    explicit = os.environ.get(ENVIRONMENT_VARIABLE)
    if explicit:
        # An explicit choice is final: falling back would hide that it is wrong.
        return [(f"{ENVIRONMENT_VARIABLE}={explicit}", explicit)], []
    here = os.path.dirname(os.path.abspath(__file__))
    pattern = os.path.join(here, "libkelcmd.so*")
    bundled = sorted(glob.glob(pattern), key=len)
    found = [("beside the package", path) for path in bundled]
    empty = [] if bundled else [f"{pattern} (beside the package): no such file"]
    system = ctypes.util.find_library("kelcmd")
    if system:
        found.append(("on the system", system))
    found.append(("on the system's library path", "libkelcmd.so.1"))
    return found, empty


_lock = threading.Lock()
_loaded: Optional[ctypes.CDLL] = None


def load_library(path: Optional[str] = None) -> ctypes.CDLL:
    """Loads libkelcmd and returns it; the first library loaded stays in use for the whole
    process.

    :param path: the file to load; None looks where :func:`library` says.
    :raises LibraryNotFoundError: nothing loaded; the message names every place tried and why
        each failed.
    :raises KelCmdError: `path` differs from the library already loaded.
    """
    global _loaded
    with _lock:
        if _loaded is not None:
            if path and os.path.realpath(path) != os.path.realpath(_loaded._name):
                raise KelCmdError(f"libkelcmd is already loaded from {_loaded._name}")
            return _loaded
        candidates, reasons = ([("given path", path)], []) if path else _candidates()
        for where, candidate in candidates:
            try:
                _loaded = _declare(ctypes.CDLL(candidate))
                return _loaded
            except (OSError, AttributeError) as error:
                reasons.append(f"{candidate} ({where}): {error}")
        raise LibraryNotFoundError(
            "libkelcmd not found. Set KELCMD_LIBRARY to the path of libkelcmd.so, copy it into "
            f"the kelcmd package folder, or install it on the system. Tried: {'; '.join(reasons)}")


def library() -> ctypes.CDLL:
    """The loaded libkelcmd as a :class:`ctypes.CDLL`, loaded on first use from the file named by
    the environment variable ``KELCMD_LIBRARY`` if set, else a ``libkelcmd.so*`` in the package
    folder, else the system's libkelcmd (ld.so search path).

    :raises LibraryNotFoundError: none of these loads.
    """
    return _loaded if _loaded is not None else load_library()


def last_outcome() -> Outcome:
    """The :class:`Outcome` of this thread's last command, packet function or port opening (the
    library keeps one record per thread)."""
    raw = KebOutcome()
    raw.size = ctypes.sizeof(raw)
    if library().KEB_GetLastOutcome(ctypes.byref(raw)) != 1:
        raise RuntimeError("libkelcmd refused its own outcome record")
    return Outcome(raw.status, raw.result, raw.messageType, raw.batch != 0, raw.unitError,
                   raw.unitWarning, raw.trials, raw.durationMs, raw.systemErrorNumber,
                   raw.systemErrorText.decode(errors="replace"), raw.mayHaveExecuted != 0,
                   (raw.lineFramingErrors, raw.lineParityErrors, raw.lineOverruns,
                    raw.lineBreaks))
