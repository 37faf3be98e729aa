#!/usr/bin/env python3
"""Scores how well a listener tells English words apart by their final stop.

Thirty-nine words that differ only in their last consonant (cap cat cab cad,
rip rick rib rid rig, ...) are spoken alone ("cap.") and inside a sentence
("I said cap to you."), each five times with a different duration jitter
(Festival: once, its timing has no jitter here). pocketsphinx recognises them
with a grammar that allows just these words, so what it hears depends on the
sounds alone, not on which word a language model expects.

Usage: score_final_stops.py [--vorsan build/cli/vorsan] [--systems vorsan,text2wave]
"""
import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import score_devset as devset  # noqa: E402

WORDS = ("cap cat cab cad tap tack tab tad tag rip rick rib rid rig lap lack lab lad lag map mat mad "
         "hop hot hock hog cup cut cub puck pub pug sip sit sick bit bid big bib").split()
CARRIERS = ("{}.", "I said {} to you.")


def heard_words(wavs, folder, carrier):
    """The grammar word pocketsphinx heard in each file ("" for none)."""
    before, after = (part.strip(" .").lower() for part in carrier.split("{}"))
    grammar = os.path.join(folder, "words.jsgf")
    with open(grammar, "w") as f:
        f.write(f"#JSGF V1.0;\ngrammar words;\npublic <s> = {before} ({' | '.join(WORDS)}) {after};\n")
    control = os.path.join(folder, "words.ctl")
    names = [os.path.splitext(os.path.basename(w))[0] for w in wavs]
    with open(control, "w") as f:
        f.write("".join(name + "\n" for name in names))
    hyp = os.path.join(folder, "words.hyp")
    subprocess.run(["pocketsphinx_batch", "-adcin", "yes", "-cepdir", folder, "-cepext", ".wav", "-ctl", control,
                    "-hyp", hyp, "-hmm", devset.MODEL + "/en-us", "-jsgf", grammar,
                    "-dict", devset.MODEL + "/cmudict-en-us.dict", "-logfn", "/dev/null"], check=True)
    heard = {}
    with open(hyp) as f:
        for line in f:
            text, _, tag = line.rpartition("(")
            heard[tag.split()[0].rstrip(")")] = next((w for w in text.split() if w in WORDS), "")
    return [heard.get(name, "") for name in names]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--vorsan", default=os.path.join(devset.ROOT, "build", "cli", "vorsan"))
    parser.add_argument("--systems", default="vorsan,text2wave")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        profile = os.path.join(folder, "profile")
        os.makedirs(profile)
        env = dict(os.environ, USERPROFILE=profile, HOME=profile)
        subprocess.run(["bash", os.path.join(devset.ROOT, "data", "tolvane", "install.sh")], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        for system in args.systems.split(","):
            for n, carrier in enumerate(CARRIERS):
                wavs, said = [], []
                for seed in (range(1, 6) if system == "vorsan" else [0]):
                    for word in WORDS:
                        wav = os.path.join(folder, f"w{n}{system[0]}{seed}{word}.wav")
                        text = carrier.format(word)
                        if system == "vorsan":
                            devset.speak_vorsan(args.vorsan, text, wav, env, seed)
                        else:
                            devset.speak_festival(text, wav, folder, seed)
                        wavs.append(wav)
                        said.append(word)
                heard = heard_words(wavs, folder, carrier)
                right = sum(h == w for h, w in zip(heard, said))
                print(f"{system:9} {carrier:20} {right}/{len(said)} words right ({100.0 * right / len(said):.1f} %)")


if __name__ == "__main__":
    main()
