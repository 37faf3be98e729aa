#!/usr/bin/env python3
"""Checks that the data generators reproduce the checked-in data files.

Runs every generator under data/ into a temporary folder of its own and
compares each file it writes with the checked-in file of the same name, byte
for byte. Also fails when a generator writes a file that is not checked in,
or when a folder of generated files holds a file that no generator writes
and that is not known to be written by hand. The tree is left untouched.

Usage: check-data.py [data folder, default: the data/ folder of this checkout]
Exit status: 0 when everything matches, 1 otherwise (2 for a wrong argument);
each problem is named on standard error, a difference with its first
differing line.
"""
import os
import subprocess
import sys
import tempfile

# Each generator and the folder (under data/) its files belong in.
GENERATORS = [
    ("pelmira/make_hindi.py", "pelmira"),
    ("pelmira/make_marathi_gujarati.py", "pelmira"),
    ("pelmira/dravidian/make.py", "pelmira"),
    ("ruvetta/make_moods.py", "ruvetta"),
    ("oskalen/make_accents.py", "oskalen"),
    ("voices/make_indian_voices.py", "voices"),
]
# Files in those folders that are written by hand, not generated.
HAND_WRITTEN = {"voices/en1.xml"}
# Kinds of file a generated folder holds; anything else there (notes, scripts) is not data.
DATA_SUFFIXES = (".xml",)

SHOWN = 160  # characters of a differing line shown around the first difference


def first_difference(expected, actual):
    """(line number, column, expected line, actual line) of the first difference,
    counted in characters; a missing line reads "<end of file>"."""
    old = expected.decode("utf-8", "surrogateescape").splitlines(keepends=True)
    new = actual.decode("utf-8", "surrogateescape").splitlines(keepends=True)
    for number in range(1, max(len(old), len(new)) + 1):
        a = old[number - 1] if number <= len(old) else None
        b = new[number - 1] if number <= len(new) else None
        if a != b:
            if a is None or b is None:
                return number, 1, a or "<end of file>", b or "<end of file>"
            column = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
            return number, column + 1, a, b
    return None


def excerpt(line, column):
    """The part of a (possibly very long) line around a column, for display."""
    start = max(0, column - 1 - SHOWN // 2)
    text = line.rstrip("\r\n")[start:start + SHOWN]
    shown = ("..." if start else "") + text + ("..." if start + SHOWN < len(line.rstrip("\r\n")) else "")
    if line.endswith("\r\n"):
        shown += " [CR LF]"
    elif not line.endswith("\n") and line != "<end of file>":
        shown += " [no line end]"
    return shown.encode("utf-8", "backslashreplace").decode("utf-8")


def start(generator, folder, data):
    """Starts one generator writing into `folder`."""
    env = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
    return subprocess.Popen([sys.executable, os.path.join(data, generator), folder], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def finish(generator, process):
    """Waits for a generator; returns an error text, or None when it succeeded."""
    output, _ = process.communicate()
    if process.returncode != 0:
        return "%s failed (exit status %d):\n%s" % (generator, process.returncode,
                                                    output.decode("utf-8", "replace").rstrip())
    return None


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    data = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(here, "..", "data"))
    if not os.path.isdir(os.path.join(data, "pelmira")):
        sys.stderr.write("%s: not a data folder\n" % data)
        return 2
    problems = []
    generated = set()  # "folder/name" of every file a generator wrote
    compared = 0
    with tempfile.TemporaryDirectory(prefix="check-data-") as tmp:
        # The generators are independent: run them side by side.
        runs = []
        for index, (generator, target) in enumerate(GENERATORS):
            out = os.path.join(tmp, str(index))
            os.mkdir(out)
            runs.append((generator, target, out, start(generator, out, data)))
        for generator, target, out, process in runs:
            error = finish(generator, process)
            if error:
                problems.append(error)
                continue
            names = sorted(os.listdir(out))
            if not names:
                problems.append("%s wrote no file" % generator)
            for name in names:
                rel = target + "/" + name
                generated.add(rel)
                with open(os.path.join(out, name), "rb") as f:
                    actual = f.read()
                try:
                    with open(os.path.join(data, target, name), "rb") as f:
                        expected = f.read()
                except FileNotFoundError:
                    problems.append("data/%s: written by %s but not checked in" % (rel, generator))
                    continue
                compared += 1
                if actual != expected:
                    line, column, old, new = first_difference(expected, actual)
                    problems.append("data/%s differs from what %s writes, first at line %d, column %d:\n"
                                    "  checked in: %s\n  generated:  %s"
                                    % (rel, generator, line, column, excerpt(old, column), excerpt(new, column)))

    for target in sorted({t for _, t in GENERATORS}):
        for name in sorted(os.listdir(os.path.join(data, target))):
            rel = target + "/" + name
            if name.endswith(DATA_SUFFIXES) and rel not in generated and rel not in HAND_WRITTEN:
                problems.append("data/%s: no generator writes it (add it to its generator, or to the "
                                "hand-written files in %s)" % (rel, os.path.basename(__file__)))

    for p in problems:
        sys.stderr.write(p + "\n")
    if problems:
        sys.stderr.write("%d problem(s); regenerate with the generator named, or fix the generator\n" % len(problems))
        return 1
    print("%d generated data files match the checked-in files" % compared)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
