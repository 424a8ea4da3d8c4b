"""The reference of the command exports, from the command catalogue (commands.kcat).

Run through generate_catalogue.py (its "reference" part). Writes one Doxygen block per command
export (the MP_ form and the plain form) and per dialog export that a command's form lines make. A command's "about" line is its summary; an argument's
text comes from the command's "describe" line, else from the field of its form (label, unit,
choices), else from the catalogue's "term" line. An export whose command or argument has no text
stops the build with the file's line number, so that the reference stays complete.
"""
import generate_forms
from generate_forms import FormError

UNITS = {"qc/ms^2": "qc/ms²", "us": "µs"}
RETURN = ("1 on success; 0 on failure, with the reason in KEB_GetLastOutcome and the error "
          "callback. Output arguments are written only on success.")


def _field_text(field):
    text = " ".join(field.label.replace("\\n", " ").split()).rstrip(":")
    unit = field.options.get("unit")
    if unit:
        text += f" in {UNITS.get(unit, unit)}"
    if field.range:
        text += f", {field.range[0]} to {field.range[1]}"
    if field.kind in ("choice", "list") and field.choices:
        codes = field.options.get("char-codes")
        items = []
        for i, choice in enumerate(field.choices):
            code = f"'{codes[i]}'" if codes and i < len(codes) else str(field.first + i)
            items.append(f"{code} {' '.join(choice.split())}")
        text += ": " + ", ".join(items)
    elif field.kind == "bits" and field.codes:
        text += ": " + ", ".join(f"bit {bit} {label}" for bit, label in field.codes)
    elif field.kind == "check":
        text += ": 1 yes, 0 no"
    return text


def _fields(command):
    forms = generate_forms.Forms(command)
    return {side: {f.parameter: f for f in forms.fields[side] if f.parameter}
            for side in ("in", "out")}, forms


def _parameter(argument, prefix):
    for role in argument.roles:
        if role.startswith(prefix):
            return role[1:]
    return argument.name


def _argument_text(catalogue, export, argument, fields):
    command = export.command
    incoming = argument.kind in ("value", "in")
    parameter = _parameter(argument, ">" if incoming else "<")
    text = command.describe.get(argument.name)
    if text is None:
        field = fields["in" if incoming else "out"].get(parameter)
        text = _field_text(field) if field else None
    if text is None:
        text = catalogue.terms.get(argument.name) or catalogue.terms.get(parameter)
    if text is None and getattr(argument, "size_of", None) is not None:
        text = f"the number of bytes of {export.arguments[argument.size_of].name}"
        if argument.limit:
            text += f", at most {argument.limit}"
    if "wait" in argument.roles:
        wait = "how long the call waits for the answer in ms (0: without limit)"
        text = f"{text}; also {wait}" if text and parameter in [p.name for p in command.send] \
            else wait[0].upper() + wait[1:]
    if text is None:
        raise FormError(f"line {export.line}: argument {argument.name} of {export.name} "
                             f"has no text: give it a form field, a describe or a term line")
    if argument.kind == "out":
        text += " (may be null when not wanted)"
    return text[0].upper() + text[1:]


def _direction(argument):
    return "[in]" if argument.kind in ("value", "in") else "[out]"


def _signature(name, export, with_target):
    arguments = [f"{a.c_type} {a.name}" for a in export.arguments]
    if with_target:
        arguments = ["const char* portName", "uint8_t slave"] + arguments
    return f"int32_t {name}({', '.join(arguments) or 'void'})"


def _command_block(catalogue, export, with_target, dialogs):
    command = export.command
    if not command.about:
        raise FormError(f"line {command.line}: {command.name} has no about line")
    fields, _ = _fields(command)
    name = ("MP_" if with_target else "") + export.name
    lines = [f"\\fn {_signature(name, export, with_target)}",
             f"\\brief {command.about}", ""]
    details = f"Command {command.code} of the {command.family} family."
    if command.timeout is not None:
        details += f" The answer is awaited {command.timeout} ms unless an argument says otherwise."
    if export.complete:
        details += " The values reach the caller only when the answer carried all of them."
    lines.append(details)
    if with_target:
        lines += ["", "Runs on the calling thread; exchanges on one port never interleave, so "
                  "several threads may use one port. While the calling thread stacks commands "
                  "for this port and slave (MP_StartStackingCommands), the command is collected "
                  "and 1 returned at once; its output arguments are written when the batch is "
                  "executed and must still exist then.",
                  "\\param portName the port's name (KEB_InitKelBus), without regard to case",
                  "\\param slave the unit's address: 1 to 127, or 128 to 255 for a group, "
                  "which never answers"]
    else:
        lines += ["", f"MP_{export.name} on the current port (KEB_InitKelBus) and the current "
                  "slave (SelectSlave), which all threads share."]
    for argument in export.arguments:
        lines.append(f"\\param{_direction(argument)} {argument.name} "
                     f"{_argument_text(catalogue, export, argument, fields)}")
    lines.append(f"\\return {RETURN}")
    see = [f"MP_{export.name}" if not with_target else export.name]
    dialog = f"MP_{command.name}Dlg"
    if dialog in dialogs:
        see.append(dialog)
    lines.append(f"\\see {', '.join(see)}")
    return lines


def _labels(fields):
    return ", ".join(f'"{_field_text(f).split(":")[0]}"' for f in fields)


def _dialog_block(name, summary):
    return [f"\\fn int32_t {name}(const char* portName, uint8_t slave)", f"\\brief {summary}", "",
            "Asks for the command's parameters, executes it and shows its result; the dialog "
            "opens with the values last entered. Call it on the thread that showed the first "
            "dialog (the GUI thread of a Qt host); elsewhere, or without a display, it returns "
            "0 and writes the reason on standard error.",
            "\\param portName the port's name; an empty name is asked for first",
            "\\param slave the unit's address; 0 is asked for first",
            "\\return 1 when the command was executed and its result shown; 0 when cancelled, "
            "when the command failed (\"Command failed!\" is shown) or when no dialog can be "
            "shown"]


def _dialog_blocks(catalogue):
    blocks = {}
    for command in catalogue.commands:
        forms = generate_forms.Forms(command)
        if forms.dialog:
            summary = f"The dialog of {command.name}: {command.about[0].lower()}{command.about[1:]}"
            inputs, outputs = forms.fields["in"], forms.fields["out"]
            if inputs:
                summary += f" Asks for {_labels(inputs)}."
            if outputs:
                summary += f" Shows {_labels(outputs)}."
            blocks[f"MP_{command.name}Dlg"] = _dialog_block(f"MP_{command.name}Dlg", summary)
        for words in forms.read_edit_write:
            export, read = words[0], words[1]
            summary = (f"Reads the values with {read}, shows them in the input form of "
                       f"{command.name} for editing and writes the confirmed ones with "
                       f"{command.name}.")
            blocks[f"MP_{export}Dlg"] = _dialog_block(f"MP_{export}Dlg", summary)
    return blocks


def _comment(lines):
    return ["/**"] + [(" * " + line).rstrip() for line in lines] + [" */", ""]


def reference(catalogue):
    dialogs = _dialog_blocks(catalogue)
    out = ["/* Generated from commands.kcat by generate_reference.py: edit those, not this. */", ""]
    for export in catalogue.exports:
        if export.command is None:
            continue
        out += _comment(_command_block(catalogue, export, True, dialogs))
        out += _comment(_command_block(catalogue, export, False, dialogs))
    for lines in dialogs.values():
        out += _comment(lines)
    return "\n".join(out)
