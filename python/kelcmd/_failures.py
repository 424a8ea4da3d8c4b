"""Hears why a command failed: one error callback per port name, kept for the whole process.

The library calls a port's callback on the thread that executes the failing command, so each
thread keeps its own last failure per port and concurrent threads never see each other's.
"""

import threading
from dataclasses import dataclass

from ._library import ERROR_CALLBACK


@dataclass(frozen=True)
class Failure:
    message_type: int
    error: int  # result code or the unit's refusal reason
    warning: int
    batch: bool


_local = threading.local()
_lock = threading.Lock()
# A callback stays alive as long as the process: a port may still hold it after its Bus is gone.
_callbacks = {}


def _slots():
    slots = getattr(_local, "slots", None)
    if slots is None:
        slots = _local.slots = {}
    return slots


def callback_for(key):
    with _lock:
        callback = _callbacks.get(key)
        if callback is None:

            def report(message_type, error, warning, batch):
                _slots()[key] = Failure(message_type, error, warning, bool(batch))

            callback = _callbacks[key] = ERROR_CALLBACK(report)
        return callback


def take(key):
    """The failure reported on this thread for the port since the last take, or None."""
    return _slots().pop(key, None)
