"""The dialogs' part of the catalogue: each command's forms and its dialog exports.

Reads the "form KEY TEXT" lines of the commands (syntax at the top of commands.kcat) and writes
the forms table of the dialogs library and the MP_<command>Dlg exports that run them. Behaviour
that is code is named here and written in C++ (dialogs/families/form_hooks.h).
"""
import re
import shlex

FIELD_KINDS = {"number": "kNumber", "timeout": "kNumber", "choice": "kChoice", "list": "kList",
               "bits": "kBits", "check": "kCheck", "text": "kText"}
FIELD_OPTIONS = ("unit", "first", "range", "group", "from", "numbered", "char-codes")
UNIT_TEXTS = {"error": "kError", "warning": "kWarning"}


class FormError(Exception):
    pass


def _literal(text):
    """A C++ string literal; a backslash sequence written in the catalogue (\\n) is kept."""
    return '"' + text.replace('"', '\\"') + '"'


def _words(command, key, text):
    try:
        return shlex.split(text)
    except ValueError as error:
        raise FormError(f"line {command.line}: {command.name}: form {key}: {error}") from None


class Field:
    def __init__(self, command, words):
        if len(words) < 3 or words[0] not in FIELD_KINDS:
            raise FormError(f"line {command.line}: {command.name}: a field is "
                            f"'KIND PARAM LABEL ...' with KIND one of {', '.join(FIELD_KINDS)}")
        self.kind, self.parameter, self.label = words[0], words[1], words[2]
        if self.parameter == "-":
            self.parameter = ""
        self.options, self.choices, self.codes = {}, [], []
        for word in words[3:]:
            key, equals, value = word.partition("=")
            if equals and key in FIELD_OPTIONS:
                self.options[key] = value
            elif equals and re.fullmatch(r"\d+", key):
                self.codes.append((int(key), value))
            else:
                self.choices.append(word)
        if self.codes and self.kind != "bits":
            raise FormError(f"line {command.line}: {command.name}: numbered labels belong "
                            f"to bits")
        try:
            self.first = int(self.options.get("first", "0"))
            self.range = [int(v) for v in self.options["range"].split("..", 1)] \
                if "range" in self.options else None
            self.numbered = self.options["numbered"].rsplit(":", 2) \
                if "numbered" in self.options else None
            if self.numbered:
                self.numbered[1:] = [int(v) for v in self.numbered[1:]]
        except (ValueError, IndexError):
            raise FormError(f"line {command.line}: {command.name}: a bad number in "
                            f"'{' '.join(words)}'") from None

    def cpp(self):
        items = [f".parameter = {_literal(self.parameter)}", f".label = {_literal(self.label)}",
                 f".kind = FieldKind::{FIELD_KINDS[self.kind]}"]
        unit = self.options.get("unit", "ms" if self.kind == "timeout" else "")
        if unit:
            items.append(f".unit = {_literal(unit)}")
        source = self._source()
        if self.kind in ("choice", "list"):
            items.append(f".choices = {source}")
            if self.first:
                items.append(f".firstCode = {self.first}")
            if "char-codes" in self.options:
                codes = ", ".join(str(ord(c)) for c in self.options["char-codes"])
                items.append(f".codes = {{{codes}}}")
        elif self.kind == "bits":
            items.append(f".bits = {source}")
        if self.kind == "timeout":
            items.append(".timeout = true")
        if self.range:
            low, high = self.range
            items.append(f".range = std::pair<int64_t, int64_t>{{{low}, {high}}}")
        if "group" in self.options:
            items.append(f".group = {_literal(self.options['group'])}")
        return "FieldLayout{" + ", ".join(items) + "}"

    def _source(self):
        if "from" in self.options:
            return self.options["from"] + "()"
        if self.numbered:
            prefix, first, count = self.numbered
            builder = "NumberedBits" if self.kind == "bits" else "NumberedNames"
            return f"{builder}({_literal(prefix)}, {first}, {count})"
        if self.kind == "bits":
            return "std::vector<BitLabel>{" + ", ".join(
                f"{{{bit}, {_literal(label)}}}" for bit, label in self.codes) + "}"
        return "std::vector<std::string>{" + ", ".join(_literal(c) for c in self.choices) + "}"


class Forms:
    """Everything the form lines of one command say."""

    def __init__(self, command):
        self.command = command
        self.titles = {"in": command.name, "out": command.name}
        self.fields = {"in": [], "out": []}
        self.check = self.message = self.unit_text = self.edit = self.show = None
        self.dialog = None  # None, "plain" or "recorder"
        self.read_edit_write = []
        for key, text in command.forms:
            self._read(key, text)

    def has_table_entry(self):
        return bool(self.fields["in"] or self.fields["out"] or self.message or self.unit_text
                    or self.edit or self.show)

    def _read(self, key, text):
        command = self.command
        words = _words(command, key, text)
        if key in ("in", "out"):
            self.fields[key].append(Field(command, words))
        elif key in ("in-title", "out-title") and len(words) == 1:
            self.titles[key[:-6]] = words[0]
        elif key == "in-check" and len(words) == 1:
            self.check = words[0]
        elif key == "message" and len(words) == 1:
            self.message = words[0]
        elif key == "unit-text" and len(words) == 1 and words[0] in UNIT_TEXTS:
            self.unit_text = UNIT_TEXTS[words[0]]
        elif key in ("edit", "show") and words:
            setattr(self, key, words)
        elif key == "dialog" and len(words) <= 1 and words in ([], ["recorder"]):
            self.dialog = words[0] if words else "plain"
        elif key == "read-edit-write" and len(words) >= 5:
            self.read_edit_write.append(words)
        else:
            raise FormError(f"line {command.line}: {command.name}: unknown form line "
                            f"'{key} {text}'")

    def _layout(self, side):
        fields = ", ".join(f.cpp() for f in self.fields[side])
        check = f", {self.check}" if side == "in" and self.check else ""
        return f"FormLayout{{{_literal(self.titles[side])}, {{{fields}}}{check}}}"

    def _hook(self, words):
        """A named hook of the command; the word "input" passes the input form."""
        name, arguments = words[0], words[1:]
        if not arguments:
            return name
        passed = ", ".join(arguments)
        capture = "input = *forms.input" if "input" in arguments else ""
        if capture and not self.fields["in"]:
            raise FormError(f"line {self.command.line}: {self.command.name}: {name} is given "
                            f"the input form, but there is none")
        return (f"[{capture}](CKelStandardCommand& command) {{ return {name}(command, "
                f"{passed}); }}")

    def table_entry(self):
        out = ["    {", "        CommandForms forms;"]
        if self.fields["in"]:
            out.append(f"        forms.input = {self._layout('in')};")
        if self.fields["out"]:
            out.append(f"        forms.result = {self._layout('out')};")
        if self.message:
            out.append(f"        forms.resultMessage = {self.message};")
        if self.unit_text:
            out.append(f"        forms.unitText = CommandForms::UnitText::{self.unit_text};")
        if self.edit:
            out.append(f"        forms.editInput = {self._hook(self.edit)};")
        if self.show:
            out.append(f"        forms.showResult = {self._hook(self.show)};")
        out.append(f"        table.emplace({_literal(self.command.name)}, std::move(forms));")
        out.append("    }")
        return out


def _dialog_export(name, body):
    return [f"KELCMD_DIALOGS_API int32_t MP_{name}Dlg(const char* portName, uint8_t slave) {{",
            f'    return RunDialogExport("MP_{name}Dlg", [&] {{',
            f"        {body}", "    });", "}", ""]


def _read_edit_write(forms, words):
    command = forms.command
    export, read, read_failed, write_failed = words[:4]
    feeds = []
    for word in words[4:]:
        source, equals, target = word.partition("=")
        if not equals:
            raise FormError(f"line {command.line}: {command.name}: read-edit-write feeds are "
                            f"READ=WRITE, not '{word}'")
        feeds.append(f"{{{_literal(source)}, {_literal(target)}}}")
    return [f"KELCMD_DIALOGS_API int32_t MP_{export}Dlg(const char* portName, uint8_t slave) {{",
            f'    return RunDialogExport("MP_{export}Dlg", [&] {{',
            f"        static const ReadEditWrite steps{{{_literal(read)}, "
            f"{_literal(command.name)},",
            f"                                         {{{', '.join(feeds)}}},",
            f"                                         {_literal(read_failed)}, "
            f"{_literal(write_failed)}}};",
            f"        return RunReadEditWrite(Families().{command.family}(), steps, portName, "
            f"slave);",
            "    });", "}", ""]


def dialogs(catalogue):
    all_forms = [Forms(command) for command in catalogue.commands]
    out = ["// Generated from commands.kcat by generate_forms.py: edit those, not this.",
           "// The forms of the commands and their dialog exports; the definitions meet the",
           "// declarations of kelcmd_dialogs.h, so any difference in a signature stops the build.",
           '#include "api/families.h"', '#include "command/kel_standard_command.h"',
           '#include "dialogs/bootstrap/dialog_export.h"',
           '#include "dialogs/families/form_hooks.h"', '#include "dialogs/families/form_table.h"',
           '#include "dialogs/families/read_edit_write.h"',
           '#include "dialogs/recorder/recorder_runs.h"',
           '#include "dialogs/toolkit/command_runner.h"', '#include "kelcmd/kelcmd_dialogs.h"',
           "", "namespace kelcmd::dialogs {", "", "FormTable CatalogueForms() {",
           "    FormTable table;"]
    for forms in all_forms:
        if forms.has_table_entry():
            out += forms.table_entry()
    out += ["    return table;", "}", "", "}  // namespace kelcmd::dialogs", "",
            "using namespace kelcmd;", "using namespace kelcmd::dialogs;", "", 'extern "C" {', ""]
    for forms in all_forms:
        command = forms.command
        family, name = f"Families().{command.family}()", _literal(command.name)
        if forms.dialog == "plain":
            out += _dialog_export(
                command.name, f"return RunCommandDialog({family}, {name}, portName, slave);")
        elif forms.dialog == "recorder":
            out += _dialog_export(
                command.name,
                f"return RunCommandDialogWith({family}, {name}, portName, slave, {{}});")
        for words in forms.read_edit_write:
            out += _read_edit_write(forms, words)
    out += ['}  // extern "C"', ""]
    return "\n".join(out)


def dialog_export_names(catalogue, hand_written=()):
    """The dialog exports: the catalogue's MP_...Dlg in file order, then those written by hand."""
    names = []
    for command in catalogue.commands:
        forms = Forms(command)
        if forms.dialog:
            names.append(f"MP_{command.name}Dlg")
        names += [f"MP_{words[0]}Dlg" for words in forms.read_edit_write]
    return "\n".join(names + list(hand_written)) + "\n"
