#!/usr/bin/env python3
"""Every C export of the library runs its whole body inside the export guard.

A function goes through the guard when its body is one statement, `Guarded(...)` or
`return Guarded(...)`, or the same with a helper of src/api that goes through the guard itself.
Outside the lambdas handed to the guard that statement may call only such helpers and functions
declared noexcept (argument builders, family getters): nothing evaluated before the guard is
entered may throw. An export never counts as a helper, so a plain form that calls its MP_ form
with a port name it has just built is caught.

Usage: check_export_guard.py <src/api> <exports.txt> [generated sources...]
"""
import pathlib
import re
import sys

ROOT_GUARD = "Guarded"
# Names followed by "(" that are no function calls, or cannot throw.
NOT_CALLS = {"return", "sizeof", "alignof", "decltype", "static_cast", "reinterpret_cast",
             "const_cast", "if", "while", "for", "switch"}
NAME_KEYWORDS = {"requires", "noexcept", "decltype", "alignas", "__attribute__", "sizeof"}

LITERALS = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
CALL = re.compile(r"(\.|->)?\s*\b([A-Za-z_]\w*)\s*(?:<[^<>();{}]*>)?\s*\(")


def strip(text):
    """Source without comments, preprocessor lines and the contents of literals."""
    text = re.sub(r'extern\s+"C"', "extern_C", text)
    text = LITERALS.sub(lambda m: '""' if m.group(0)[0] in "\"'" else " ", text)
    return re.sub(r"^\s*#(?:[^\n]*\\\n)*[^\n]*", "", text, flags=re.M)


def closing(text, start):
    """Index of the bracket that closes the one at `start`."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    stack = []
    for i in range(start, len(text)):
        if text[i] in pairs:
            stack.append(pairs[text[i]])
        elif stack and text[i] == stack[-1]:
            stack.pop()
            if not stack:
                return i
    raise ValueError("unbalanced brackets")


def without_templates(header):
    header = header.strip()
    while header.startswith("template"):
        depth, i = 0, header.index("<")
        for i in range(i, len(header)):
            depth += {"<": 1, ">": -1}.get(header[i], 0)
            if depth == 0:
                break
        header = header[i + 1:].strip()
    return header


def function_name(header):
    """(name, noexcept) of a function header, or None for anything else."""
    header = without_templates(header)
    if re.match(r"(class|struct|union|enum|using|typedef|friend)\b", header):
        return None
    for m in re.finditer(r"([\w:~]+)\s*\(", header):
        name = m.group(1)
        if name in NAME_KEYWORDS:
            continue
        if "=" in header[:m.start()]:
            return None
        after = header[closing(header, m.end() - 1) + 1:]
        noexcept = re.search(r"\bnoexcept\b(?!\s*\(\s*false)", after) is not None
        return name, noexcept
    return None


def scan(text, functions, declarations, in_extern_c=False):
    """Collects free function definitions (name, header, body, exported) and noexcept flags."""
    start = 0
    i = 0
    while i < len(text):
        c = text[i]
        if c == "(":  # default arguments may hold braces
            i = closing(text, i) + 1
            continue
        if c == ";":
            found = function_name(text[start:i])
            if found:
                declarations.setdefault(found[0], []).append(found[1])
            start = i + 1
        elif c == "{":
            header = text[start:i]
            end = closing(text, i)
            if re.search(r"\bnamespace\b", header):
                scan(text[i + 1:end], functions, declarations, in_extern_c)
            elif re.search(r"\bextern_C\s*$", header):
                scan(text[i + 1:end], functions, declarations, True)
            else:
                found = function_name(header)
                if found is None:  # a class, an enum or an initializer: on to its ";"
                    i = end + 1
                    continue
                name, noexcept = found
                declarations.setdefault(name, []).append(noexcept)
                if "::" not in name:
                    exported = in_extern_c or "KELCMD_API" in header
                    functions.append((name, header, text[i + 1:end], exported))
            i = end + 1
            start = i
            continue
        i += 1


def without_lambda_bodies(statement):
    """The statement with the bodies of its lambdas blanked out: they run inside the guard."""
    out = statement
    for m in re.finditer(r"\[", statement):
        close = closing(statement, m.start())
        rest = statement[close + 1:]
        head = re.match(r"\s*(\([^{};]*?\))?\s*((mutable|noexcept|constexpr)\s*)*(->\s*[\w:<>\s*&]+?)?\s*\{",
                        rest)
        if head:
            body_start = close + 1 + head.end() - 1
            body_end = closing(statement, body_start)
            out = out[:body_start + 1] + " " * (body_end - body_start - 1) + out[body_end:]
    return out


def statements(body):
    """The top-level statements of a function body."""
    parts, depth, start = [], 0, 0
    for i, c in enumerate(body):
        depth += {"(": 1, "[": 1, "{": 1, ")": -1, "]": -1, "}": -1}.get(c, 0)
        if c == ";" and depth == 0:
            parts.append(body[start:i].strip())
            start = i + 1
    if body[start:].strip():
        parts.append(body[start:].strip())
    return parts


def fault(body, guarded, nothrow):
    """Why a body does not go through the guard, or None when it does."""
    parts = statements(body)
    if len(parts) != 1:
        return "its body is not a single guarded statement"
    statement = without_lambda_bodies(parts[0])
    m = re.match(r"(return\s+)?([A-Za-z_]\w*)\s*(<[^<>();{}]*>)?\s*\(", statement)
    if not m:
        return "its body is no call of the guard"
    if m.group(2) not in guarded:
        return f"its body calls {m.group(2)}(), which does not go through the guard"
    for call in CALL.finditer(statement):
        member, name = call.group(1), call.group(2)
        if member:
            return f"it calls .{name}() before the guard is entered"
        if name not in guarded and name not in nothrow and name not in NOT_CALLS:
            return f"it calls {name}() before the guard is entered"
    return None


def main(api_dir, export_list, generated=()):
    functions, declarations = [], {}
    sources = sorted(pathlib.Path(api_dir).glob("*.[ch]*")) + [pathlib.Path(g) for g in generated]
    for path in sources:
        scan(strip(path.read_text()), functions, declarations)
    nothrow = {name for name, flags in declarations.items() if all(flags)}
    exports = [f for f in functions if f[3]]
    helpers = [f for f in functions if not f[3]]

    if not any(name == ROOT_GUARD and "catch" in body for name, _, body, _ in helpers):
        print(f"no {ROOT_GUARD} with a catch found in {api_dir}")
        return 1
    # The guarded helpers, grown until nothing changes: a name counts when every definition of it
    # goes through the guard.
    guarded = {ROOT_GUARD}
    while True:
        candidates = {name for name, _, _, _ in helpers} - guarded
        grown = {name for name in candidates
                 if all(fault(body, guarded, nothrow) is None
                        for other, _, body, _ in helpers if other == name)}
        if not grown:
            break
        guarded |= grown

    failures = [f"{name}: {why}" for name, _, body, _ in exports
                if (why := fault(body, guarded, nothrow))]
    # Every export of the list must have been found, so that none escapes the check unseen.
    listed = {line.strip() for line in open(export_list) if line.strip()}
    listed = {name for name in listed if not name.endswith("Dlg")}
    found = {name for name, _, _, _ in exports}
    failures += [f"{name}: listed as an export but no definition found in {api_dir}"
                 for name in sorted(listed - found)]
    for line in failures:
        print(line)
    if failures:
        print(f"{len(failures)} export(s) not guarded; see src/api/export_guard.h")
        return 1
    print(f"all {len(found)} exports go through the guard")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
