#!/usr/bin/env python3
"""Word error rate of recognised sentences against their reference.

Usage: word_errors.py REFERENCE NAME=HYPOTHESES [NAME=HYPOTHESES ...] [--verbose]
Each file holds one sentence a line, in the same order. Prints, for each
named set of hypotheses, "NAME: word error rate E/N = P %" (with --verbose,
every sentence's reference and recognised words first).
"""
import re
import sys


def words(line):
    return re.findall(r"[a-z']+", line.lower())


def distance(a, b):
    d = list(range(len(b) + 1))
    for i, x in enumerate(a, 1):
        prev, d[0] = d[0], i
        for j, y in enumerate(b, 1):
            prev, d[j] = d[j], min(d[j] + 1, d[j - 1] + 1, prev + (x != y))
    return d[len(b)]


def main(argv):
    verbose = "--verbose" in argv
    args = [a for a in argv if a != "--verbose"]
    if len(args) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    ref = [words(l) for l in open(args[0], encoding="utf-8")]
    total = sum(len(r) for r in ref)
    for named in args[1:]:
        name, path = named.split("=", 1)
        hyp = [words(l) for l in open(path, encoding="utf-8")]
        errors = sum(distance(r, h) for r, h in zip(ref, hyp))
        if verbose:
            print(f"== {name}")
            for r, h in zip(ref, hyp):
                print(f"  {' '.join(r)}  ->  {' '.join(h)}")
        print(f"{name}: word error rate {errors}/{total} = {100 * errors / total:.1f} %")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
