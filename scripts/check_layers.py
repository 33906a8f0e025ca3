#!/usr/bin/env python3
"""Checks that the sources keep their layers: a file includes only files of its own layer or of
the layers below it, the core layers include no Qt, and the two front ends stay apart.

    model <- analysis <- charts <- charts/qt, storage <- app <- ui, cli

Run from anywhere; exits 1 and lists every include that breaks the rule."""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "src"

# Layer of each folder under src/: a file may include a file of a layer not above its own.
# charts/qt and storage both sit on charts; ui and cli on app, and neither sees the other.
RANKS = {
    "model": 0,
    "analysis": 1,
    "charts": 2,
    "charts/qt": 3,
    "storage": 3,
    "app": 4,
    "ui": 5,
    "ui/pages": 5,
    "cli": 5,
}
# Pairs at one rank that must not include each other.
APART = {("charts/qt", "storage"), ("storage", "charts/qt"), ("ui", "cli"), ("cli", "ui"),
         ("ui/pages", "cli"), ("cli", "ui/pages")}
# Folders whose files may include Qt (the command line renders pictures with QtGui).
QT_FOLDERS = {"charts/qt", "ui", "ui/pages", "cli"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path: str) -> str:
    parts = path.split("/")[:-1]
    for n in range(len(parts), 0, -1):
        name = "/".join(parts[:n])
        if name in RANKS:
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
        if RANKS[other] > RANKS[own] or (own, other) in APART:
            problems.append(f"{where}: {own} must not include {target} ({other})")
        elif RANKS[other] == RANKS[own] and other != own and (own, other) not in {
                ("ui/pages", "ui"), ("ui", "ui/pages")}:
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
