#!/usr/bin/env python3
"""Checks that the sources keep their layers: a file includes only files of its own folder or of
the folders layers.txt lets it include (the table CMake builds the layers from), and only the
folders that draw or show windows include Qt.

    model <- analysis <- charts <- charts/qt; model <- storage; storage, charts <- app <- ui, cli

Run from anywhere; exits 1 and lists every include that breaks the rule."""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "src"

TABLE = ROOT.parent / "layers.txt"


def read_table() -> dict[str, set[str]]:
    """Each folder of layers.txt with the folders it may include: itself, the ones its line
    names, and whatever those may include."""
    direct = {}
    for line in TABLE.read_text(encoding="utf-8").splitlines():
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        name, _, below = line.removeprefix("core ").partition(":")
        direct[name.strip()] = set(below.split())
    allowed = {}
    for folder in direct:
        seen, todo = {folder}, list(direct[folder])
        while todo:
            other = todo.pop()
            if other not in seen:
                seen.add(other)
                todo += direct.get(other, [])
        allowed[folder] = seen
    return allowed


ALLOWED = read_table()
# Folders whose files may include Qt (the command line renders pictures with QtGui).
QT_FOLDERS = {"charts/qt", "ui", "ui/pages", "cli"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path: str) -> str:
    parts = path.split("/")[:-1]
    for n in range(len(parts), 0, -1):
        name = "/".join(parts[:n])
        if name in ALLOWED:
            return name
    return ""


def check(path: pathlib.Path) -> list[str]:
    own = folder_of(str(path.relative_to(ROOT)))
    problems = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        kind, target = match.groups()
        where = f"{path.relative_to(ROOT.parent)}:{number}"
        if kind == "<" and target.startswith("Q") and own not in QT_FOLDERS:
            problems.append(f"{where}: {own} must not use Qt ({target})")
            continue
        if kind != '"':
            continue
        other = folder_of(target)
        if not other:
            continue
        if other not in ALLOWED[own]:
            problems.append(f"{where}: {own} must not include {target} ({other})")
    return problems


def main() -> int:
    problems = []
    for path in sorted(ROOT.rglob("*")):
        if path.suffix in {".h", ".cpp"}:
            if not folder_of(str(path.relative_to(ROOT))):
                problems.append(f"{path.relative_to(ROOT.parent)}: in no known layer")
                continue
            problems += check(path)
    for problem in problems:
        print(problem)
    if problems:
        print(f"layers: {len(problems)} include(s) break the layering", file=sys.stderr)
        return 1
    print("layers: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
