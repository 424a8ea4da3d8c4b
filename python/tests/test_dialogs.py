import pytest

import kelcmd
from kelcmd import dialogs


def test_dialogs_share_the_core_and_refuse_without_a_display(
        unit: kelcmd.Unit, monkeypatch: pytest.MonkeyPatch,
        capfd: pytest.CaptureFixture[str]) -> None:
    for variable in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        monkeypatch.delenv(variable, raising=False)
    assert unit.dialog("ReadPosition") is False
    assert "MP_ReadPositionDlg" in capfd.readouterr().err
    # The refused dialog left the shared library working.
    assert unit.read_position() == 0


def test_an_unknown_dialog_is_named(unit: kelcmd.Unit) -> None:
    with pytest.raises(ValueError, match="MP_NoSuchCommandDlg"):
        unit.dialog("NoSuchCommand")


def test_a_missing_dialogs_library_says_where_it_looked(
        monkeypatch: pytest.MonkeyPatch) -> None:
    monkeypatch.setattr(dialogs, "_loaded", None)
    monkeypatch.setenv(dialogs.ENVIRONMENT_VARIABLE, "/nonexistent/libkelcmd-dialogs.so")
    with pytest.raises(kelcmd.LibraryNotFoundError, match="nonexistent"):
        dialogs.dialogs_library()
