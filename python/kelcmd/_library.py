"""Finding and loading libkelcmd, and the C prototypes of the exports this package calls."""

import ctypes
import ctypes.util
import glob
import os
import threading

from ._signatures import COMMANDS, parse
from .errors import KelCmdError, LibraryNotFoundError

ENVIRONMENT_VARIABLE = "KELCMD_LIBRARY"

# The C types behind the codes of the signature table.
C_TYPES = {
    "u8": ctypes.c_uint8,
    "u16": ctypes.c_uint16,
    "u32": ctypes.c_uint32,
    "i16": ctypes.c_int16,
    "i32": ctypes.c_int32,
    "f32": ctypes.c_float,
}


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
        + [("port", ctypes.c_char * 64), ("bytes", ctypes.c_uint8 * 2048)])


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
_BUS_PROTOTYPES = {
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
_PRIVATE_PROTOTYPES = {
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


def _argument_type(code):
    if code.startswith("*"):
        return ctypes.POINTER(C_TYPES[code[1:]])
    if code in ("in", "buf"):
        return ctypes.c_void_p
    return C_TYPES[code]


# The library's table of its command exports (kelcmd::CommandSignatureText(), C++).
_SIGNATURE_TEXT = "_ZN6kelcmd20CommandSignatureTextEv"


def _declare(cdll):
    signature_text = getattr(cdll, _SIGNATURE_TEXT)
    signature_text.restype = ctypes.c_char_p
    signature_text.argtypes = []
    COMMANDS.update(parse(signature_text().decode()))
    for name, (result, arguments) in _BUS_PROTOTYPES.items():
        function = getattr(cdll, name)
        function.restype = result
        function.argtypes = arguments
    for name, (mangled, result, arguments) in _PRIVATE_PROTOTYPES.items():
        function = getattr(cdll, mangled)
        function.restype = result
        function.argtypes = arguments
        setattr(cdll, name, function)
    for command, codes in COMMANDS.items():
        function = getattr(cdll, "MP_" + command)
        function.restype = ctypes.c_int32
        function.argtypes = [_STRING, ctypes.c_uint8] + [_argument_type(c) for c in codes]
    return cdll


def _candidates():
    """(description, path or name) in the order they are tried."""
    explicit = os.environ.get(ENVIRONMENT_VARIABLE)
    if explicit:
        # An explicit choice is final: falling back would hide that it is wrong.
        return [(f"{ENVIRONMENT_VARIABLE}={explicit}", explicit)]
    here = os.path.dirname(os.path.abspath(__file__))
    bundled = sorted(glob.glob(os.path.join(here, "libkelcmd.so*")), key=len)
    found = [("beside the package", path) for path in bundled]
    system = ctypes.util.find_library("kelcmd")
    if system:
        found.append(("on the system", system))
    found.append(("on the system", "libkelcmd.so.1"))
    return found


_lock = threading.Lock()
_loaded = None


def load_library(path=None):
    """Loads libkelcmd (from `path`, or as described in `library`) and returns it; the first
    library loaded stays in use for the whole process."""
    global _loaded
    with _lock:
        if _loaded is not None:
            if path and os.path.realpath(path) != os.path.realpath(_loaded._name):
                raise KelCmdError(f"libkelcmd is already loaded from {_loaded._name}")
            return _loaded
        candidates = [("given path", path)] if path else _candidates()
        reasons = []
        for where, candidate in candidates:
            try:
                _loaded = _declare(ctypes.CDLL(candidate))
                return _loaded
            except (OSError, AttributeError) as error:
                reasons.append(f"{candidate} ({where}): {error}")
        raise LibraryNotFoundError(
            "libkelcmd not found. Set KELCMD_LIBRARY to the path of libkelcmd.so, copy it into "
            f"the kelcmd package folder, or install it on the system. Tried: {'; '.join(reasons)}")


def library():
    """The loaded libkelcmd as a ctypes.CDLL, loading it on first use: the file named by the
    environment variable KELCMD_LIBRARY if set, else a libkelcmd.so* in the package folder, else
    the system's libkelcmd (ld.so search path)."""
    return _loaded if _loaded is not None else load_library()
