"""Builds the package from a copy of the source tree, so that installing it (``pip install
./python``) leaves no build output (``build/``, ``*.egg-info``) in the tree. Otherwise it is
setuptools' own backend."""

import os
import shutil
import tempfile
from typing import Any, Callable, TypeVar

from setuptools import build_meta as _setuptools

T = TypeVar("T")
_LEFT_OUT = shutil.ignore_patterns("build", "*.egg-info", "__pycache__", ".mypy_cache", "docs",
                                   "tests")


def _in_a_copy(step: Callable[..., T], *arguments: Any, **keywords: Any) -> T:
    source = os.getcwd()
    with tempfile.TemporaryDirectory(prefix="kelcmd-build-") as scratch:
        copy = os.path.join(scratch, "source")
        shutil.copytree(source, copy, ignore=_LEFT_OUT)
        os.chdir(copy)
        try:
            return step(*arguments, **keywords)
        finally:
            os.chdir(source)


def get_requires_for_build_wheel(config_settings: Any = None) -> Any:
    return _in_a_copy(_setuptools.get_requires_for_build_wheel, config_settings)


def get_requires_for_build_sdist(config_settings: Any = None) -> Any:
    return _in_a_copy(_setuptools.get_requires_for_build_sdist, config_settings)


def prepare_metadata_for_build_wheel(metadata_directory: str, config_settings: Any = None) -> Any:
    return _in_a_copy(_setuptools.prepare_metadata_for_build_wheel,
                      os.path.abspath(metadata_directory), config_settings)


def build_wheel(wheel_directory: str, config_settings: Any = None,
                metadata_directory: Any = None) -> Any:
    if metadata_directory is not None:
        metadata_directory = os.path.abspath(metadata_directory)
    return _in_a_copy(_setuptools.build_wheel, os.path.abspath(wheel_directory), config_settings,
                      metadata_directory)


def build_sdist(sdist_directory: str, config_settings: Any = None) -> Any:
    return _in_a_copy(_setuptools.build_sdist, os.path.abspath(sdist_directory), config_settings)
