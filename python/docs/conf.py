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
