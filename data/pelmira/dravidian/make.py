#!/usr/bin/env python3
"""Writes PelmiraTelugu.xml, PelmiraKannada.xml and PelmiraTamil.xml. Run after
editing the tables.

Usage: make.py [output folder, default: data/pelmira, the folder above this one]"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from southcentral import kannada, telugu  # noqa: E402
from tamil import tamil  # noqa: E402

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

for name, make in (("PelmiraTelugu.xml", telugu), ("PelmiraKannada.xml", kannada), ("PelmiraTamil.xml", tamil)):
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        f.write(make())
    print("wrote", name)
