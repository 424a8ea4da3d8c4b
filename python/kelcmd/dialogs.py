"""The interactive twins of the commands, from libkelcmd-dialogs (Qt): a dialog asks for the
parameters, executes the command on the unit and shows the result.

    bus.unit(1).dialog("MoveAbsolute")   # True when the user confirmed and the command ran
    kelcmd.dialogs.port_configuration()  # the port table editor

The dialogs library shares libkelcmd with this package (it links libkelcmd.so.1, which is the
library already loaded). Without a display a dialog returns False and says why on stderr."""

import ctypes
import glob
import os
import threading

from ._library import library
from .errors import LibraryNotFoundError

ENVIRONMENT_VARIABLE = "KELCMD_DIALOGS_LIBRARY"

_lock = threading.Lock()
_loaded = None


def _candidates():
    explicit = os.environ.get(ENVIRONMENT_VARIABLE)
    if explicit:
        return [explicit]
    # Beside the core library in use (a build tree keeps it in src/dialogs/).
    core = os.path.dirname(os.path.realpath(library()._name))
    found = []
    for folder in (core, os.path.join(core, "dialogs")):
        found += sorted(glob.glob(os.path.join(folder, "libkelcmd-dialogs.so*")), key=len)
    return found + ["libkelcmd-dialogs.so.1"]


def dialogs_library():
    """libkelcmd-dialogs as a ctypes.CDLL, loaded on first use after libkelcmd."""
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


def _export(name):
    try:
        function = getattr(dialogs_library(), name)
    except AttributeError:
        raise ValueError(f"no dialog {name} in libkelcmd-dialogs") from None
    function.restype = ctypes.c_int32
    return function


def command_dialog(port, slave, command):
    """Runs MP_<command>Dlg on `port` and `slave`: True when confirmed and executed."""
    function = _export(f"MP_{command}Dlg")
    function.argtypes = [ctypes.c_char_p, ctypes.c_uint8]
    return function(port.encode(), slave) == 1


def port_configuration():
    """"Communication Port Info & Test": the table of ports with their settings."""
    function = _export("KEB_MultiPortConfigurationDlg")
    function.argtypes = []
    return function() == 1
