# The reference of the Python package, built from its docstrings.
import os
import sys

sys.path.insert(0, os.path.abspath(os.path.join(os.path.dirname(__file__), os.pardir)))

project = "kelcmd for Python"
author = "KelCmd"
release = "1.6.0"
extensions = ["sphinx.ext.autodoc"]
autodoc_member_order = "bysource"
autodoc_typehints = "description"
autodoc_default_options = {"members": True, "show-inheritance": True}
html_theme = "alabaster"
exclude_patterns = ["_build"]
# Names without a page of their own: the standard library's (no network for its inventory) and
# the package's private helpers that signatures show.
nitpick_ignore = [("py:class", name) for name in (
    "ctypes.CDLL", "Port", "kelcmd._port.Port", "kelcmd.status._Bits", "kelcmd._target.SendingCommands",
    "kelcmd._target.CommandTarget", "CommandTarget", "T", "kelcmd.batch.T", "PreparedCall", "Stacked")] + [
    ("py:obj", "kelcmd.batch.T"), ("py:mod", "struct")]
