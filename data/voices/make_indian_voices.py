#!/usr/bin/env python3
"""Writes in1.xml, mr1.xml and tl1.xml: the shared Indian phone set on Festival's NSK diphone
database, with a fallback for every pair of phones the rule files can put side by side.

Usage: make_indian_voices.py [output folder, default: this folder] [NSKlpc.group]
"""
import os, sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import phones  # noqa: E402

INDEX = '/usr/share/festival/voices/hindi/hindi_NSK_diphone/group/NSKlpc.group'

# Our phone -> NSK phones (with shares in percent when there are several).
COMMON = {
    '_': 'pau',
    'a': 'a', 'aa': 'aa', 'i': 'ih', 'ii': 'iy', 'u': 'uh', 'uu': 'uw', 'e': 'eh', 'ee': 'ee',
    'o': 'oh', 'oo': 'oo', 'ae': 'eh', 'ao': 'oh',
    'aN': 'a 70 n 30', 'aaN': 'aa 75 n 25', 'iN': 'ih 70 n 30', 'iiN': 'iy 75 n 25', 'uN': 'uh 70 n 30',
    'uuN': 'uw 75 n 25', 'eeN': 'ee 75 n 25', 'ooN': 'oo 75 n 25',
    'k': 'k', 'kh': 'kh', 'g': 'g', 'gh': 'gh', 'ng': 'n',
    'ch': 'ch', 'chh': 'ch 60 h 40', 'j': 'j', 'jh': 'j 65 h 35', 'ny': 'n',
    'T': 'T', 'Th': 'td', 'D': 'D', 'Dh': 'D 60 h 40', 'N': 'N',
    't': 'th', 'th': 'tth', 'd': 'dh', 'dh': 'ddh', 'n': 'n',
    'p': 'p', 'ph': 'p 60 h 40', 'b': 'b', 'bh': 'bh', 'm': 'm',
    'y': 'y', 'r': 'r', 'l': 'l', 'v': 'v', 'sh': 'sh', 'Sh': 'sh', 's': 's', 'h': 'h',
    'L': 'L', 'R': 'R', 'Rh': 'R', 'q': 'k', 'x': 'kh', 'G': 'g', 'z': 'j', 'f': 'f',
    'zh': 'zh', 'rr': 'R', 'nn': 'n',
}
# Hindi and Gujarati say ai and au as long open monophthongs; Marathi and the Dravidian
# languages as diphthongs, which the database has.
MONO = {'ai': 'eh', 'au': 'oh', 'aiN': 'eh 75 n 25', 'auN': 'oh 75 n 25'}
DIPH = {'ai': 'ay', 'au': 'aw', 'aiN': 'ay 75 n 25', 'auN': 'aw 75 n 25'}
VOICES = {'in1': MONO, 'mr1': DIPH, 'tl1': DIPH}
for _extra in (MONO, DIPH):
    phones.assert_covers('NSK mapping', {**COMMON, **_extra}, extra=[phones.SILENCE])

# Close substitutes, best first, for a phone on one side of a pair the database lacks.
SIMILAR = {
    'bh': ['b'], 'gh': ['g'], 'kh': ['k'], 'ddh': ['dh'], 'tth': ['th'], 'td': ['T'],
    'R': ['D', 'r'], 'zh': ['L', 'l'], 'L': ['l'], 'N': ['n'], 'n': ['N'], 'r': ['l'],
    'b': ['p'], 'p': ['b'], 'sh': ['s'], 's': ['sh'], 'T': ['th'], 'D': ['dh'],
    'eh': ['ee'], 'uw': ['uh'], 'j': ['ch'], 'v': ['b'], 'y': ['iy'], 'h': ['a'],
}

def read_index(path):
    data = open(path, 'rb').read()
    body = data[data.index(b'EST_Header_End\n') + len(b'EST_Header_End\n'):]
    pairs = set()
    for line in body.split(b'\n'):
        parts = line.split()
        if len(parts) != 4 or b'-' not in parts[0]:
            break
        a, b = parts[0].decode('ascii').split('-', 1)
        pairs.add((a, b))
    return pairs

def seq(phones):
    t = phones.split()
    return t[0::2] if len(t) > 1 else t

def fallbacks(mapping, have):
    """Needed pairs the database lacks, each with a substitute (leftAs, rightAs)."""
    phones = list(mapping)
    needed = set()
    for a in phones:
        s = seq(mapping[a])
        needed.update(zip(s, s[1:]))
        for b in phones:
            needed.add((s[-1], seq(mapping[b])[0]))
    fixes, unfixed = {}, []
    for a, b in sorted(needed - have):
        options = [(None, rb) for rb in SIMILAR.get(b, [])] + [(la, None) for la in SIMILAR.get(a, [])]
        options += [(la, rb) for la in SIMILAR.get(a, []) for rb in SIMILAR.get(b, [])]
        for la, rb in options:
            if ((la or a), (rb or b)) in have:
                fixes[(a, b)] = (la, rb)
                break
        else:
            unfixed.append((a, b))
    return fixes, unfixed

def write(folder, name, mapping, have):
    fixes, unfixed = fallbacks(mapping, have)
    if unfixed:
        sys.exit('%s: no substitute for %s' % (name, unfixed))
    groups = {}
    for (a, b), (la, rb) in fixes.items():
        groups.setdefault((a, la, rb), []).append(b)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- The shared Indian phone set on Festival\'s NSK diphone database (recorded for Tamil).',
             '     Written by make_indian_voices.py; edit that rather than this file. -->',
             '<SynthVoice name="%s">' % name,
             '  <Festival voice="hindi_NSK_diphone" index="group/NSKlpc.group" rate="16000"',
             '            pause="pau" default="a-a" gain="1.6" pitch="120"/>']
    for p, v in mapping.items():
        lines.append('  <Phone name="%s" voice="%s"/>' % (p, v))
    lines.append('  <!-- Pairs the database has no diphone for: aspirates, flaps and retroflex laterals are')
    lines.append('       recorded only before vowels, so their nearest plain neighbour stands in. -->')
    for (a, la, rb), bs in sorted(groups.items(), key=lambda g: (g[0][0], str(g[0][1]), str(g[0][2]))):
        act = (' left-as="%s"' % la if la else '') + (' right-as="%s"' % rb if rb else '')
        lines.append('  <Fallback left="%s" right="%s"%s/>' % (a, ' '.join(sorted(bs)), act))
    lines.append('</SynthVoice>')
    open(os.path.join(folder, name + '.xml'), 'w').write('\n'.join(lines) + '\n')
    return len(fixes)

if __name__ == '__main__':
    folder = sys.argv[1] if len(sys.argv) > 1 else HERE
    have = read_index(sys.argv[2] if len(sys.argv) > 2 else INDEX)
    for name, extra in VOICES.items():
        n = write(folder, name, {**COMMON, **extra}, have)
        print('%s: %d pairs covered by fallbacks' % (name, n))
