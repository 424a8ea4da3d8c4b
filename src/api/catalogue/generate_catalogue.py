#!/usr/bin/env python3
"""Turns the command catalogue (commands.kcat) into C++.

    generate_catalogue.py CATALOGUE rows OUT.cpp      the families' catalogue rows
    generate_catalogue.py CATALOGUE exports OUT.cpp   the command exports and their table
    generate_catalogue.py CATALOGUE dialogs OUT.cpp   the command forms and dialog exports
    generate_catalogue.py CATALOGUE dialog-exports OUT.txt HAND_WRITTEN.txt
                                                      the names of all dialog exports
    generate_catalogue.py CATALOGUE reference OUT.dox the reference of the command exports and
                                                      their dialogs (generate_reference.py)

The syntax of the catalogue is described at the top of commands.kcat. Any mistake in it (an
unknown type, a role naming no parameter) stops the build with the file's line number.
"""
import re
import sys

TYPES = {
    "Byte": "TYPE_BYTE", "Word": "TYPE_WORD", "Int": "TYPE_INT", "LWord": "TYPE_LWORD",
    "LInt": "TYPE_LINT", "Float": "TYPE_FLOAT", "T_SysParam": "TYPE_SYSPARAM",
    "T_SysParamEx": "TYPE_SYSPARAM_EX", "Bits8": "TYPE_BITS8", "Bits16": "TYPE_BITS16",
    "Bits32": "TYPE_BITS32", "Bool": "TYPE_BOOL",
}
ARRAY_TYPES = {"Byte": "TYPE_BYTE_ARRAY", "Int": "TYPE_INT_ARRAY"}
C_VALUES = {"u8": "uint8_t", "u16": "uint16_t", "u32": "uint32_t", "i16": "int16_t",
            "i32": "int32_t", "f32": "float"}


class CatalogueError(Exception):
    pass


class Parameter:
    def __init__(self, name, type_text, default, line):
        self.name, self.default = name, default
        array = re.fullmatch(r"(\w+)\[(\d+)\]", type_text)
        if array and array.group(1) in ARRAY_TYPES:
            self.type, self.size = ARRAY_TYPES[array.group(1)], int(array.group(2))
        elif type_text in TYPES:
            self.type, self.size = TYPES[type_text], 0
        else:
            raise CatalogueError(f"line {line}: unknown type '{type_text}'")


class Argument:
    """One C argument of an export: name, C type code, roles."""

    def __init__(self, text, line):
        parts = text.split(":", 2)
        if len(parts) < 2:
            raise CatalogueError(f"line {line}: argument '{text}' needs NAME:CTYPE")
        self.name, self.code = parts[0], parts[1]
        self.roles = parts[2].split("+") if len(parts) == 3 else []
        self.line = line
        pointee = re.fullmatch(r"(in|buf)\((\w+)\)", self.code)
        if self.code in C_VALUES:
            self.kind, self.c_type = "value", C_VALUES[self.code]
        elif self.code.startswith("*") and self.code[1:] in C_VALUES:
            self.kind, self.c_type = "out", C_VALUES[self.code[1:]] + "*"
        elif pointee:
            self.kind = pointee.group(1)
            self.pointee = pointee.group(2)
            self.c_type = ("const " if self.kind == "in" else "") + self.pointee + "*"
        else:
            raise CatalogueError(f"line {line}: unknown C type '{self.code}'")

    def signature_code(self):
        """The code Python and kelcmd read: u8 ... f32, *u8 ... *f32, in, buf."""
        return self.kind if self.kind in ("in", "buf") else self.code


class Export:
    def __init__(self, name, command, family, arguments, options, line):
        self.name, self.command, self.family = name, command, family
        self.arguments, self.line = arguments, line
        self.complete = "complete" in options
        self.via = options.get("via")


class Command:
    def __init__(self, name, code, family, line):
        self.name, self.code, self.family, self.line = name, code, family, line
        self.send, self.returns, self.extra_send, self.extra_returns = [], [], [], []
        self.timeout = None
        self.defaults_by = None
        self.forms = []  # (key, text) in file order
        self.exports = []
        self.about = None  # one line for the reference
        self.describe = {}  # argument name -> its text in the reference


class Catalogue:
    def __init__(self):
        self.families = []  # keys in file order
        self.commands = []  # in file order
        self.exports = []  # in file order, hand-written ones included (command None)
        self.terms = {}  # argument name -> its text in the reference, for every command


def _default(text, line):
    try:
        return float(text) if re.search(r"[.eE]", text) else int(text, 0)
    except ValueError:
        raise CatalogueError(f"line {line}: '{text}' is no number") from None


def _export(words, command, family, line):
    name = command.name if command else None
    arguments, options = [], {}
    for word in words:
        if word.startswith("@"):
            key, _, value = word[1:].partition("=")
            options[key] = value
        elif ":" in word:
            arguments.append(Argument(word, line))
        elif name is None or (command and name == command.name and not arguments):
            name = word
        else:
            raise CatalogueError(f"line {line}: unexpected '{word}'")
    return Export(name, command, family, arguments, options, line)


def parse(path):
    catalogue = Catalogue()
    family, command = None, None
    with open(path, encoding="utf-8") as source:
        for number, raw in enumerate(source, 1):
            words = raw.split("#", 1)[0].split()
            if not words:
                continue
            keyword, rest = words[0], words[1:]
            if keyword == "family":
                family, command = rest[0], None
                catalogue.families.append(family)
            elif keyword == "command":
                if family is None or len(rest) != 2:
                    raise CatalogueError(f"line {number}: 'command NAME CODE' inside a family")
                command = Command(rest[0], int(rest[1], 0), family, number)
                catalogue.commands.append(command)
            elif keyword == "term" and len(rest) >= 2:
                catalogue.terms[rest[0]] = " ".join(rest[1:])
            elif keyword == "hand-written":
                command = None
                catalogue.exports.append(_export(rest, None, None, number))
            elif command is None:
                raise CatalogueError(f"line {number}: '{keyword}' outside a command")
            elif keyword in ("send", "return", "extra-send", "extra-return"):
                default = None
                if len(rest) == 4 and rest[2] == "=":
                    default = _default(rest[3], number)
                elif len(rest) != 2:
                    raise CatalogueError(f"line {number}: '{keyword} NAME TYPE [= DEFAULT]'")
                target = {"send": command.send, "return": command.returns,
                          "extra-send": command.extra_send,
                          "extra-return": command.extra_returns}[keyword]
                target.append(Parameter(rest[0], rest[1], default, number))
            elif keyword == "timeout":
                command.timeout = int(rest[0])
            elif keyword == "about" and rest:
                command.about = " ".join(rest)
            elif keyword == "describe" and len(rest) >= 2:
                command.describe[rest[0]] = " ".join(rest[1:])
            elif keyword == "defaults-by":
                command.defaults_by = rest[0]
            elif keyword == "form":
                text = raw.split("#", 1)[0].strip()[len("form"):].strip()
                key, _, value = text.partition(" ")
                command.forms.append((key, value.strip()))
            elif keyword == "export":
                export = _export(rest, command, family, number)
                command.exports.append(export)
                catalogue.exports.append(export)
            else:
                raise CatalogueError(f"line {number}: unknown keyword '{keyword}'")
    _check(catalogue)
    return catalogue


def _check(catalogue):
    names = [export.name for export in catalogue.exports]
    for name in set(names):
        if names.count(name) > 1:
            raise CatalogueError(f"export {name} is described twice")
    for export in catalogue.exports:
        if export.command is not None and export.via is None:
            _resolve_roles(export)


def _resolve_roles(export):
    """Fills each argument's send index, return index, answer timeout and length target."""
    command = export.command
    send = [p.name for p in command.send]
    returns = [p.name for p in command.returns]
    by_name = {a.name: i for i, a in enumerate(export.arguments)}
    for argument in export.arguments:
        argument.send_index = argument.return_index = None
        argument.wait = False
        argument.size_of, argument.limit = None, 0
        roles = argument.roles or [(">" if argument.kind in ("value", "in") else "<") +
                                   argument.name]
        for role in roles:
            size = re.fullmatch(r"size-of\((\w+)\)(?:(<=|<)(\d+))?", role)
            if role == "wait":
                argument.wait = True
            elif role.startswith(">") and role[1:] in send:
                argument.send_index = send.index(role[1:])
            elif role.startswith("<") and role[1:] in returns:
                argument.return_index = returns.index(role[1:])
            elif size and size.group(1) in by_name:
                argument.size_of = by_name[size.group(1)]
                if size.group(3):
                    limit = int(size.group(3))
                    argument.limit = limit - 1 if size.group(2) == "<" else limit
            else:
                raise CatalogueError(f"line {argument.line}: role '{role}' of {argument.name} "
                                     f"names nothing of {command.name}")


# --- rows -----------------------------------------------------------------------------------

def _value(value):
    return repr(float(value)) if isinstance(value, float) else str(value)


def _parameters(parameters):
    items = []
    for p in parameters:
        size = f", {p.size}" if p.size else ""
        items.append(f'{{"{p.name}", {p.type}{size}}}')
    return "{" + ", ".join(items) + "}"


def _defaults(parameters):
    values = [p.default for p in parameters]
    while values and values[-1] is None:
        values.pop()
    if None in values:
        raise CatalogueError("a parameter without a default precedes one with a default")
    return "{" + ", ".join(_value(v) for v in values) + "}"


def _row(command):
    has_defaults = any(p.default is not None for p in command.send)
    has_extra_defaults = any(p.default is not None for p in command.extra_send)
    # In the order of CatalogueCommand's members, as designated initializers need; empty ones left
    # out.
    members = [
        ("name", f'"{command.name}"'),
        ("code", str(command.code)),
        ("send", command.send and _parameters(command.send)),
        ("returns", command.returns and _parameters(command.returns)),
        ("defaults", has_defaults and _defaults(command.send)),
        ("answerTimeout", command.timeout is not None and str(command.timeout)),
        ("extraSend", command.extra_send and _parameters(command.extra_send)),
        ("extraReturns", command.extra_returns and _parameters(command.extra_returns)),
        ("extraDefaults", has_extra_defaults and _defaults(command.extra_send)),
        ("customDefaults", command.defaults_by),
    ]
    return "        {" + ", ".join(f".{m} = {v}" for m, v in members if v) + "},"


def rows(catalogue):
    out = ["// Generated from commands.kcat by generate_catalogue.py: edit those, not this.",
           '#include "api/catalogue_defaults.h"', '#include "api/catalogue_rows.h"',
           '#include "command/parameter_types.h"', "", "namespace kelcmd {", "",
           "std::vector<CatalogueCommand> CatalogueRows(std::string_view family) {"]
    for family in catalogue.families:
        out.append(f'    if (family == "{family}") {{')
        out.append("        return {")
        out += ["    " + _row(c) for c in catalogue.commands if c.family == family]
        out.append("        };")
        out.append("    }")
    out += ["    return {};", "}", "", "}  // namespace kelcmd", ""]
    return "\n".join(out)


# --- exports --------------------------------------------------------------------------------

def _c_parameters(export):
    return ", ".join(f"{a.c_type} {a.name}" for a in export.arguments)


def _export_parameters(export, index):
    items = []
    for a in export.arguments:
        fields = [f'"{a.name}"', f'"{a.signature_code()}"']
        if export.command is not None and export.via is None:
            fields += [str(-1 if a.send_index is None else a.send_index),
                       str(-1 if a.return_index is None else a.return_index),
                       "true" if a.wait else "false",
                       str(-1 if a.size_of is None else a.size_of), f"{a.limit}u",
                       f"sizeof({a.pointee})" if a.kind == "in" else "0u"]
        items.append("{" + ", ".join(fields) + "}")
    if not items:
        return None
    return f"const ExportParameter kParameters{index}[] = {{{', '.join(items)}}};"


def _invoker(export):
    arguments = ["port", "slave"]
    for i, a in enumerate(export.arguments):
        arguments.append(f"arguments[{i}].As<{a.c_type}>()")
    name = " arguments" if export.arguments else ""
    return (f"[](const char* port, uint8_t slave, std::span<const ExportArgument>{name}) "
            f"-> int32_t {{ return MP_{export.name}({', '.join(arguments)}); }}")


def exports(catalogue):
    out = ["// Generated from commands.kcat by generate_catalogue.py: edit those, not this.",
           "// Each command export is the generic export path with the catalogue's description",
           "// of its arguments; the definitions meet the declarations of kelcmd.h, so any",
           "// difference in a signature stops the build.",
           '#include "api/command_export.h"', '#include "api/export_guard.h"',
           '#include "api/export_handlers.h"', '#include "api/families.h"',
           '#include "kelcmd/kelcmd.h"', "", "namespace kelcmd {", "namespace {", ""]
    for family in catalogue.families:
        out.append(f"CCommandFamily& Family{family}() noexcept {{")
        out.append(f"    return Families().{family}();")
        out.append("}")
    out.append("")
    for i, export in enumerate(catalogue.exports):
        declaration = _export_parameters(export, i)
        if declaration:
            out.append(declaration)
    out.append("")
    out.append("const CommandExport kCommandExports[] = {")
    for i, export in enumerate(catalogue.exports):
        parameters = f"kParameters{i}" if export.arguments else "{}"
        if export.command is None:
            family, command = "nullptr", "nullptr"
        else:
            family, command = f"&Family{export.family}", f'"{export.command.name}"'
        via = export.via if export.via else "nullptr"
        out.append(f'    {{"{export.name}", {command}, {family}, {parameters}, '
                   f'{"true" if export.complete else "false"}, {via},')
        out.append(f"     {_invoker(export)}}},")
    out.append("};")
    out.append("")
    out.append("}  // namespace")
    out.append("")
    out.append("std::span<const CommandExport> CommandExports() {")
    out.append("    return kCommandExports;")
    out.append("}")
    out.append("")
    lines = []
    for export in catalogue.exports:
        lines.append(" ".join([export.name] + [a.signature_code() for a in export.arguments]))
    out.append("const char* CommandSignatureText() {")
    out.append("    return")
    out += [f'        "{line}\\n"' for line in lines]
    out[-1] += ";"
    out.append("}")
    out.append("")
    out.append("}  // namespace kelcmd")
    out.append("")
    out.append("using namespace kelcmd;")
    out.append("")
    out.append('extern "C" {')
    for i, export in enumerate(catalogue.exports):
        if export.command is None:
            continue
        c_parameters = _c_parameters(export)
        mp_parameters = "const char* portName, uint8_t slave" + (
            ", " + c_parameters if c_parameters else "")
        arguments = ", ".join(f"Argument({a.name})" for a in export.arguments)
        out.append("")
        out.append(f"KELCMD_API int32_t MP_{export.name}({mp_parameters}) {{")
        out.append(f"    return RunCommandExport(kCommandExports[{i}], portName, slave, "
                   f"{{{arguments}}});")
        out.append("}")
        out.append("")
        plain = ", ".join([f"MP_{export.name}"] + [a.name for a in export.arguments])
        out.append(f"KELCMD_API int32_t {export.name}({c_parameters or 'void'}) {{")
        out.append(f"    return OnCurrentTarget({plain});")
        out.append("}")
    out.append("")
    out.append('}  // extern "C"')
    out.append("")
    return "\n".join(out)


def _dialogs_part(catalogue, argv):
    """The dialogs library's parts, written by generate_forms beside this file."""
    import generate_forms
    try:
        if argv[2] == "dialogs":
            return generate_forms.dialogs(catalogue)
        with open(argv[4], encoding="utf-8") as listed:
            hand_written = [line.strip() for line in listed
                            if line.strip() and not line.startswith("#")]
        return generate_forms.dialog_export_names(catalogue, hand_written)
    except generate_forms.FormError as error:
        raise CatalogueError(str(error)) from None


def _reference_part(catalogue):
    """The reference of the command exports, written by generate_reference beside this file."""
    import generate_forms
    import generate_reference
    try:
        return generate_reference.reference(catalogue)
    except generate_forms.FormError as error:
        raise CatalogueError(str(error)) from None


def main(argv):
    dialogs_part = len(argv) == 4 and argv[2] == "dialogs" or (
        len(argv) == 5 and argv[2] == "dialog-exports")
    if not dialogs_part and (len(argv) != 4 or argv[2] not in ("rows", "exports", "reference")):
        sys.stderr.write(__doc__)
        return 2
    try:
        catalogue = parse(argv[1])
        if dialogs_part:
            text = _dialogs_part(catalogue, argv)
        elif argv[2] == "reference":
            text = _reference_part(catalogue)
        else:
            text = rows(catalogue) if argv[2] == "rows" else exports(catalogue)
    except CatalogueError as error:
        sys.stderr.write(f"{argv[1]}: {error}\n")
        return 1
    with open(argv[3], "w", encoding="utf-8") as out:
        out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
