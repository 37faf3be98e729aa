#!/usr/bin/env python3
"""Writes PelmiraTelugu.xml, PelmiraKannada.xml and PelmiraTamil.xml into
data/pelmira (the folder above this one). Run after editing the tables."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from southcentral import kannada, telugu  # noqa: E402
from tamil import tamil  # noqa: E402

OUT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

for name, make in (("PelmiraTelugu.xml", telugu), ("PelmiraKannada.xml", kannada), ("PelmiraTamil.xml", tamil)):
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        f.write(make())
    print("wrote", name)
