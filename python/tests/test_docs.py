"""The package explains itself: every public name has a docstring."""

import importlib
import inspect
import pkgutil
from typing import Iterator, Tuple

import kelcmd


def _public_names() -> Iterator[Tuple[str, object]]:
    modules = [kelcmd] + [importlib.import_module(f"kelcmd.{info.name}")
                          for info in pkgutil.iter_modules(kelcmd.__path__)
                          if not info.name.startswith("_")]
    for module in modules:
        yield module.__name__, module
        for name, value in vars(module).items():
            if name.startswith("_") or not (inspect.isclass(value) or inspect.isfunction(value)):
                continue
            if not getattr(value, "__module__", "").startswith("kelcmd"):
                continue  # imported from elsewhere
            yield f"{module.__name__}.{name}", value
            if inspect.isclass(value):
                for attribute in dir(value):
                    member = inspect.getattr_static(value, attribute)
                    if attribute.startswith("_") or not callable(member) and \
                            not isinstance(member, property):
                        continue
                    yield f"{module.__name__}.{name}.{attribute}", getattr(value, attribute)


def test_every_public_name_has_a_docstring() -> None:
    names = dict(_public_names())
    assert "kelcmd.unit.Unit.read_position" in names and "kelcmd.batch.Batch.move_absolute" in names
    missing = sorted(name for name, value in names.items() if not inspect.getdoc(value))
    assert not missing, f"without a docstring: {missing}"


def test_the_units_help_documents_parameters_with_their_units() -> None:
    text = inspect.getdoc(kelcmd.Unit.move_absolute) or ""
    assert "qc" in text and ":param timeout:" in text and "ms" in text
    stacked = inspect.getdoc(getattr(kelcmd.Batch, "read_position")) or ""
    assert "Unit.read_position" in stacked and "Stacked" in stacked
