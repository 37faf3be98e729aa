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
                       [--dictionary english.dat] [--only KIND]
                       [--systems vorsan,text2wave] [--jitter N]
                       [--phone-table] [--tolvane FILE] [--keep FOLDER] [--verbose]
(--dictionary: speak with this english.dat instead of the build's, which the
set-up copies from the build tree's installation folder, for example to score
an older build.
--jitter N: the recogniser's score moves by a few points with small changes
of timing, so every sentence is spoken N times, each phone's duration changed
at random by up to a tenth with seeds 1 to N (vorsan --jitter; for
text2wave the same change made after Festival's duration module), and the
word error rates are averaged; the spread over the seeds is printed too.
listening.tsv beside this script holds Harvard sentences and everyday ones.)
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


def speak_vorsan(program, text, wav, env, seed):
    jitter = ["--jitter", str(seed)] if seed else []
    subprocess.run([program, "tofile", "-q", "-o", wav] + jitter + ["--", text], check=True, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Festival with the kal voice, each segment's duration from its duration
# module changed by a random factor from 0.9 to 1.1 (seed SEED).
FESTIVAL_JITTER = """(voice_kal_diphone)
(srand SEED)
(set! duration_before_jitter (Parameter.get 'Duration_Method))
(Parameter.set 'Duration_Method
  (lambda (utt)
    (duration_before_jitter utt)
    (let ((prev 0.0) (shift 0.0))
      (mapcar
       (lambda (seg)
         (let ((end (item.feat seg 'end)) (dur 0) (new 0))
           (set! dur (- end prev))
           (set! new (* dur (+ 0.9 (* 0.2 (rand)))))
           (set! prev end)
           (set! shift (+ shift (- new dur)))
           (item.set_feat seg 'end (+ end shift))))
       (utt.relation.items utt 'Segment)))
    utt))
"""


def speak_festival(text, wav, folder, seed):
    source = os.path.join(folder, "text.txt")
    with open(source, "w", encoding="utf-8") as f:
        f.write(text + "\n")
    setup = "(voice_kal_diphone)"
    if seed:
        setup = os.path.join(folder, "jitter.scm")
        with open(setup, "w") as f:
            f.write(FESTIVAL_JITTER.replace("SEED", str(seed)))
    subprocess.run(["text2wave", "-eval", setup, "-o", wav, source], check=True,
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
    parser.add_argument("--set", default=os.path.join(HERE, "devset.tsv"), help="sentence files, separated by commas")
    parser.add_argument("--dictionary", help="english.dat to use instead of the build's")
    parser.add_argument("--tolvane", help="tolvane.xml to speak with instead of the one the set-up writes "
                        "(its files named by full paths)")
    parser.add_argument("--phone-table", action="store_true",
                        help="time English phones by the phone table: the English entry's Rhythm taken out")
    parser.add_argument("--only", help="only the sentences of this kind (number, plain, harvard, everyday)")
    parser.add_argument("--jitter", type=int, default=0, help="average over this many duration jitters")
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
        if args.tolvane:
            shutil.copy(args.tolvane, os.path.join(profile, "tolvane.xml"))
        if args.phone_table:
            configuration = os.path.join(profile, "tolvane.xml")
            with open(configuration, encoding="utf-8") as f:
                xml = f.read()
            with open(configuration, "w", encoding="utf-8") as f:
                f.write(re.sub(r"\s*<Rhythm>[^<]*</Rhythm>", "", xml))
        rows = [row for path in args.set.split(",") for row in read_set(path, args.only)]
        seeds = list(range(1, args.jitter + 1)) or [0]
        runs = []  # (seed, row, system, sound file)
        for seed in seeds:
            for n, (kind, text, said) in enumerate(rows):
                for system in args.systems.split(","):
                    wav = os.path.join(args.keep or folder, f"{n:03d}-{system}-{seed}.wav")
                    if system == "vorsan":
                        speak_vorsan(args.vorsan, text, wav, env, seed)
                    else:
                        speak_festival(text, wav, folder, seed)
                    runs.append((seed, n, system, wav))
        totals = {}  # (kind, system) -> {seed: [errors, words]}
        for (seed, n, system, wav), heard in zip(runs, recognise_all([r[3] for r in runs], folder)):
            kind, text, said = rows[n]
            ref, hyp = words(said), words(heard)
            errors = edit_distance(ref, hyp)
            t = totals.setdefault((kind, system), {}).setdefault(seed, [0, 0])
            t[0] += errors
            t[1] += len(ref)
            if args.verbose:
                print(f"{system:9} {errors:2}/{len(ref):2} {text}\n          heard: {' '.join(hyp)}")
        for (kind, system), by_seed in sorted(totals.items()):
            rates = [100.0 * e / c for e, c in by_seed.values()]
            errors = sum(e for e, _ in by_seed.values())
            count = sum(c for _, c in by_seed.values())
            spread = f", {min(rates):.1f}-{max(rates):.1f} over {len(rates)} jitters" if len(rates) > 1 else ""
            print(f"{kind:8} {system:9} WER {sum(rates) / len(rates):5.1f} % ({errors}/{count} words{spread})")


if __name__ == "__main__":
    main()
