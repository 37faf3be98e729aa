#!/usr/bin/env python3
"""Scores English speech with a speech recogniser as the listener.

Every sentence of the development set (devset.tsv beside this script) is
spoken by the vorsan program and by Festival's text2wave with the same diphone
voice (kal), recognised by pocketsphinx with the US-English model, and
compared word by word with the words a reader says. Prints the word error
rate of each system per kind of sentence (number and symbol sentences, plain
sentences).

Needs: the vorsan program (built), festival with festvox-kallpc16k, sox, and
pocketsphinx's program (Debian package pocketsphinx) with pocketsphinx-en-us.
The speech is made with a temporary profile folder set up by the user
set-up (data/tolvane/install.sh), so the user's own files are neither used nor touched.

Usage: score_devset.py [--vorsan build/cli/vorsan] [--set devset.tsv]
                       [--dictionary english.dat] [--only number|plain]
                       [--systems vorsan,text2wave] [--keep FOLDER] [--verbose]
(--dictionary: speak with this english.dat instead of the build's, which the
set-up copies from the build tree's installation folder, for example to score
an older build.)
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
MODEL = "/usr/share/pocketsphinx/model/en-us"


# The recogniser's dictionary writes some spoken words as their abbreviation
# ("mister" heard is written "mr"); such a word counts as the word it stands for.
WRITTEN_AS = {"mr": {"mister"}, "mrs": {"missus"}, "dr": {"doctor", "drive"}, "st": {"saint", "street"}}


def words(text):
    """Lower-case words without punctuation; "don't" stays one word. Letters
    said by name one after another count as one word ("F B I" and the
    recogniser's "fbi", "A M" and "am" are alike)."""
    text = text.lower().replace("\u2019", "'")
    out = []
    for word in re.findall(r"[a-z0-9]+(?:'[a-z]+)?", text):
        if len(word) == 1 and word.isalpha() and out and out[-1].endswith("\x1f"):
            out[-1] = out[-1][:-1] + word + "\x1f"
        elif len(word) == 1 and word.isalpha():
            out.append(word + "\x1f")
        else:
            out.append(word)
    # A lone letter ("a", "i") is a word; a run of two or more is one word.
    return [w[:-1] if w.endswith("\x1f") else w for w in out]


def same(ref, hyp):
    return ref == hyp or ref in WRITTEN_AS.get(hyp, ())


def edit_distance(ref, hyp):
    row = list(range(len(hyp) + 1))
    for i, r in enumerate(ref, 1):
        prev, row[0] = row[0], i
        for j, h in enumerate(hyp, 1):
            prev, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, prev + (not same(r, h)))
    return row[-1]


def recognise_all(wavs, folder):
    """Hypotheses for the sound files, recognised in one pocketsphinx run."""
    names = []
    for n, wav in enumerate(wavs):
        name = f"asr{n:04d}"
        subprocess.run(["sox", wav, "-r", "16000", "-c", "1", "-b", "16", os.path.join(folder, name + ".wav")],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        names.append(name)
    control = os.path.join(folder, "asr.ctl")
    with open(control, "w") as f:
        f.write("".join(name + "\n" for name in names))
    hyp = os.path.join(folder, "asr.hyp")
    subprocess.run(["pocketsphinx_batch", "-adcin", "yes", "-cepdir", folder, "-cepext", ".wav", "-ctl", control,
                    "-hyp", hyp, "-hmm", MODEL + "/en-us", "-lm", MODEL + "/en-us.lm.bin",
                    "-dict", MODEL + "/cmudict-en-us.dict", "-logfn", "/dev/null"], check=True)
    heard = {}
    with open(hyp) as f:
        for line in f:
            match = re.match(r"(.*)\((asr\d+)[^)]*\)\s*$", line)
            if match:
                heard[match.group(2)] = match.group(1)
    return [heard.get(name, "") for name in names]


def speak_vorsan(program, text, wav, env):
    subprocess.run([program, "tofile", "-o", wav, text], check=True, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def speak_festival(text, wav, folder):
    source = os.path.join(folder, "text.txt")
    with open(source, "w", encoding="utf-8") as f:
        f.write(text + "\n")
    subprocess.run(["text2wave", "-eval", "(voice_kal_diphone)", "-o", wav, source], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def read_set(path, only):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            kind, text, said = line.rstrip("\n").split("\t")[:3]
            if only is None or kind == only:
                rows.append((kind, text, said))
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--vorsan", default=os.path.join(ROOT, "build", "cli", "vorsan"))
    parser.add_argument("--set", default=os.path.join(HERE, "devset.tsv"))
    parser.add_argument("--dictionary", help="english.dat to use instead of the build's")
    parser.add_argument("--only", choices=["number", "plain"])
    parser.add_argument("--keep", help="folder to keep the sound files in")
    parser.add_argument("--systems", default="vorsan,text2wave", help="vorsan, text2wave or both")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    for tool in ("sox", "text2wave", "pocketsphinx_batch"):
        if shutil.which(tool) is None:
            sys.exit(f"{tool} not found (packages sox, festival, pocketsphinx)")

    with tempfile.TemporaryDirectory() as folder:
        profile = os.path.join(folder, "profile")
        os.makedirs(profile)
        env = dict(os.environ, USERPROFILE=profile, HOME=profile)
        subprocess.run(["bash", os.path.join(ROOT, "data", "tolvane", "install.sh")], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        if args.dictionary:
            os.makedirs(os.path.join(profile, "Speechfiles", "English"), exist_ok=True)
            shutil.copy(args.dictionary, os.path.join(profile, "Speechfiles", "English", "english.dat"))
        rows = read_set(args.set, args.only)
        runs = []  # (row, system, sound file)
        for n, (kind, text, said) in enumerate(rows):
            for system in args.systems.split(","):
                wav = os.path.join(args.keep or folder, f"{n:03d}-{system}.wav")
                if system == "vorsan":
                    speak_vorsan(args.vorsan, text, wav, env)
                else:
                    speak_festival(text, wav, folder)
                runs.append((n, system, wav))
        totals = {}
        for (n, system, wav), heard in zip(runs, recognise_all([r[2] for r in runs], folder)):
            kind, text, said = rows[n]
            ref, hyp = words(said), words(heard)
            errors = edit_distance(ref, hyp)
            t = totals.setdefault((kind, system), [0, 0])
            t[0] += errors
            t[1] += len(ref)
            if args.verbose:
                print(f"{system:9} {errors:2}/{len(ref):2} {text}\n          heard: {' '.join(hyp)}")
        for (kind, system), (errors, count) in sorted(totals.items()):
            print(f"{kind:6} {system:9} WER {100.0 * errors / count:5.1f} % ({errors}/{count} words)")


if __name__ == "__main__":
    main()
