"""The interactive twins of the commands, from libkelcmd-dialogs (Qt): a dialog asks for the
parameters, executes the command on the unit and shows the result.

    bus.unit(1).dialog("MoveAbsolute")   # True when the user confirmed and the command ran
    kelcmd.dialogs.port_configuration()  # the port table editor

The dialogs library shares libkelcmd with this package (it links libkelcmd.so.1, which is the
library already loaded). Without a display a dialog returns False and says why on stderr."""

from __future__ import annotations

import ctypes
import glob
import os
import threading
from typing import Any, List, Optional

from ._library import library
from .errors import LibraryNotFoundError

ENVIRONMENT_VARIABLE = "KELCMD_DIALOGS_LIBRARY"

_lock = threading.Lock()
_loaded: Optional[ctypes.CDLL] = None


def _candidates() -> List[str]:
    explicit = os.environ.get(ENVIRONMENT_VARIABLE)
    if explicit:
        return [explicit]
    # Beside the core library in use (a build tree keeps it in src/dialogs/).
    core = os.path.dirname(os.path.realpath(library()._name))
    found = []
    for folder in (core, os.path.join(core, "dialogs")):
        found += sorted(glob.glob(os.path.join(folder, "libkelcmd-dialogs.so*")), key=len)
    return found + ["libkelcmd-dialogs.so.1"]


def dialogs_library() -> ctypes.CDLL:
    """libkelcmd-dialogs as a :class:`ctypes.CDLL`, loaded on first use after libkelcmd: the file
    named by ``KELCMD_DIALOGS_LIBRARY``, else one beside the core library, else the system's.

    :raises LibraryNotFoundError: none loads; the message names every place tried.
    """
    global _loaded
    with _lock:
        if _loaded is not None:
            return _loaded
        reasons = []
        for candidate in _candidates():
            try:
                _loaded = ctypes.CDLL(candidate)
                return _loaded
            except OSError as error:
                reasons.append(f"{candidate}: {error}")
        raise LibraryNotFoundError(
            f"libkelcmd-dialogs not found. Set {ENVIRONMENT_VARIABLE} or install the "
            f"kelcmd-dialogs package. Tried: {'; '.join(reasons)}")


def _export(name: str) -> Any:
    try:
        function = getattr(dialogs_library(), name)
    except AttributeError:
        raise ValueError(f"no dialog {name} in libkelcmd-dialogs") from None
    function.restype = ctypes.c_int32
    return function


def command_dialog(port: str, slave: int, command: str) -> bool:
    """Runs the dialog ``MP_<command>Dlg`` on `port` and `slave`.

    :returns: True when the user confirmed and the command ran.
    :raises ValueError: no dialog of that name.
    """
    function = _export(f"MP_{command}Dlg")
    function.argtypes = [ctypes.c_char_p, ctypes.c_uint8]
    return bool(function(port.encode(), slave) == 1)


def port_configuration() -> bool:
    """Opens "Communication Port Info & Test": the table of ports with their settings.

    :returns: True when the user closed it with OK.
    """
    function = _export("KEB_MultiPortConfigurationDlg")
    function.argtypes = []
    return bool(function() == 1)
