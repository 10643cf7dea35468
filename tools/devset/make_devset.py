#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generates the spoken-command sets that the listening benchmark decodes.

Every Debian voice at hand says each way of giving a command that the program's voice texts
allow, and sentences that are no command; the audio is then pitched up like a child's voice,
mixed with white, pink and babble noise, put in a reverberant room and sent through a telephone
band. Two sets come out: "dev", whose voices the recogniser may be tuned on, and "heldout",
whose voices and condition settings it never sees while tuning, so that its figures say how
well the tuning carries over.

Nothing random is left unseeded and every voice is a fixed program, so the same files come out
on every run. Usage: make_devset.py OUTPUT_DIR [--quick]
"""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

RATE = 16000

# (set, synthesiser, voice). The held-out voices differ in synthesiser method, sex and accent
# from the development ones.
VOICES = [
    ("dev", "flite", "slt"),
    ("dev", "flite", "rms"),
    ("dev", "flite", "awb"),
    ("dev", "flite", "kal16"),
    ("dev", "espeak", "en-us"),
    ("dev", "espeak", "en-us+f3"),
    ("dev", "espeak", "en-gb+m3"),
    ("dev", "espeak", "en-gb-scotland+f2"),
    ("dev", "festival", "kal_diphone"),
    ("heldout", "flite", "kal"),
    ("heldout", "festival", "ked_diphone"),
    ("heldout", "festival", "cmu_us_slt_arctic_hts"),
    ("heldout", "espeak", "en-gb-x-rp+f4"),
    ("heldout", "espeak", "en-029+m5"),
    ("heldout", "espeak", "en-gb-x-gbcwmd+f1"),
]

# Each way of giving a command that "Reset ...", "... One" .. "... Four" and "Exit ..." allow.
COMMANDS = [
    ("Reset", "reset"), ("Reset", "reset the game"), ("Reset", "reset please"), ("Reset", "reset everything"),
    ("LevelOne", "one"), ("LevelOne", "level one"), ("LevelOne", "go to level one"), ("LevelOne", "I want level one"),
    ("LevelTwo", "two"), ("LevelTwo", "level two"), ("LevelTwo", "go to level two"), ("LevelTwo", "I want level two"),
    ("LevelThree", "three"), ("LevelThree", "level three"), ("LevelThree", "go to level three"),
    ("LevelThree", "I want level three"),
    ("LevelFour", "four"), ("LevelFour", "level four"), ("LevelFour", "go to level four"),
    ("LevelFour", "I want level four"),
    ("Exit", "exit"), ("Exit", "exit please"), ("Exit", "exit now"), ("Exit", "exit the game"),
]

# No command: answers to sums, a command word where its voice text does not allow it, chatter.
# Sentences that end in a sound-alike of a level word ("me too", "before") are left out: they
# are that command as far as anyone listening can tell. So are sentences that end in a level word
# ("two plus two"): "... Two" allows any words before "two", so they are that command.
OTHERS = [
    "twelve", "seven", "nine", "eleven", "fourteen", "twenty", "eight", "thirteen", "five", "sixteen",
    "three little pigs", "level two please", "please reset", "one more time", "four is my favourite number",
    "what level is this", "I want to exit the room", "two and a half", "can we reset it later",
    "one two three go", "the exit is over there", "three cats and a dog",
    "yes", "no", "I like cats", "hello Merlin", "my dog is big", "can we play a game", "I do not know the answer",
    "what is five plus seven", "this is fun", "where is my pencil", "I am hungry", "look at the wizard",
    "that was easy", "my sister is eight", "let me think", "okay", "the cat sat on the mat", "is it lunch time",
    "thank you", "good morning", "I need the toilet", "can I have a sticker", "that is a big number",
]

BABBLE_TEXT = [
    "we went to the park and played on the swings all afternoon",
    "the teacher said that we should bring our books tomorrow",
    "my brother has a red bicycle with a bell on it",
    "after lunch we are going to paint pictures of animals",
]

# (name, sox effect or mix, kind). Development and held-out sets use different settings of each.
CONDITIONS = {
    "dev": [
        ("clean", []), ("pitch+3", ["pitch", "300"]), ("pitch+6", ["pitch", "600"]),
        ("white20", ("white", 20)), ("white15", ("white", 15)), ("white10", ("white", 10)),
        ("pink20", ("pink", 20)), ("pink15", ("pink", 15)), ("pink10", ("pink", 10)),
        ("babble20", ("babble", 20)), ("babble15", ("babble", 15)), ("babble10", ("babble", 10)),
        ("reverb", ["reverb", "50", "50", "100"]),
        ("phone", ["sinc", "300-3400", "rate", "8000", "rate", str(RATE)]),
    ],
    "heldout": [
        ("clean", []), ("pitch+4", ["pitch", "400"]), ("pitch+5", ["pitch", "500"]),
        ("white20", ("white", 20)), ("white15", ("white", 15)), ("white10", ("white", 10)),
        ("pink20", ("pink", 20)), ("pink15", ("pink", 15)), ("pink10", ("pink", 10)),
        ("babble20", ("babble", 20)), ("babble15", ("babble", 15)), ("babble10", ("babble", 10)),
        ("reverb", ["reverb", "70", "30", "80", "100", "20"]),
        ("phone", ["sinc", "350-3200", "rate", "8000", "rate", str(RATE)]),
    ],
}


def run(args, **kwargs):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)


def stable(text):
    return int(hashlib.sha1(text.encode()).hexdigest()[:8], 16)


def normalise(src, dst):
    """16 kHz mono 16-bit, 0.3 s of silence either side as a key held a little early."""
    run(["sox", "-R", src, "-r", str(RATE), "-c", "1", "-b", "16", dst, "gain", "-n", "-6",
         "pad", "0.3", "0.3"])


def synthesise(engine, voice, items, workdir):
    """items: list of (text, wav path). Writes every wav."""
    if engine == "flite":
        for text, path in items:
            raw = path + ".tts.wav"
            run(["flite", "-voice", voice, "-t", text, "-o", raw])
            normalise(raw, path)
            os.remove(raw)
    elif engine == "espeak":
        for text, path in items:
            raw = path + ".tts.wav"
            run(["espeak-ng", "-v", voice, "-w", raw, text])
            normalise(raw, path)
            os.remove(raw)
    else:
        # One festival process for all of a voice's texts: starting it costs seconds.
        script = os.path.join(workdir, voice + ".scm")
        with open(script, "w") as out:
            out.write("(voice_%s)\n" % voice)
            for text, path in items:
                out.write('(utt.save.wave (utt.synth (Utterance Text "%s")) "%s.tts.wav" \'riff)\n' % (text, path))
        run(["festival", "-b", script])
        for _, path in items:
            normalise(path + ".tts.wav", path)
            os.remove(path + ".tts.wav")


def rms(path):
    out = subprocess.run(["sox", path, "-n", "stat"], capture_output=True, text=True).stderr
    for line in out.splitlines():
        if line.startswith("RMS     amplitude"):
            return float(line.split(":")[1])
    return 0.0


def duration(path):
    return float(subprocess.run(["soxi", "-D", path], capture_output=True, text=True).stdout)


def make_noise(kind, seconds, seed, babble_files, path):
    if kind == "babble":
        # Four talkers at once, each started at a different point and looped.
        parts = []
        for i, src in enumerate(babble_files):
            part = path + ".b%d.wav" % i
            offset = (seed + i * 7) % 10 / 10.0
            run(["sox", "-R", src, part, "repeat", "6", "trim", "%.2f" % offset, "%.3f" % seconds])
            parts.append(part)
        run(["sox", "-R", "-m"] + parts + [path])
        for part in parts:
            os.remove(part)
    else:
        colour = "whitenoise" if kind == "white" else "pinknoise"
        # sox's generator has a fixed seed in repeatable mode; a different stretch of it for
        # each file comes from the seed-dependent lead that is trimmed away.
        lead = (seed % 97) / 100.0
        run(["sox", "-R", "-n", "-r", str(RATE), "-c", "1", "-b", "16", path, "synth", "%.3f" % (seconds + lead),
             colour, "trim", "%.2f" % lead])


def speech_rms(path, scratch):
    """Loudness of the speech alone, without the silent padding."""
    trimmed = scratch + ".speech.wav"
    run(["sox", "-R", path, trimmed, "silence", "1", "0.02", "1%", "reverse", "silence", "1", "0.02", "1%",
         "reverse"])
    value = rms(trimmed)
    os.remove(trimmed)
    return value


def apply_condition(src, dst, condition, seed, babble_files):
    name, effect = condition
    if isinstance(effect, list):
        if not effect:
            shutil.copyfile(src, dst)
        else:
            run(["sox", "-R", src, dst] + effect)
        return
    kind, snr = effect
    noise = dst + ".noise.wav"
    make_noise(kind, duration(src), seed, babble_files, noise)
    speech = speech_rms(src, dst)
    level = rms(noise)
    scale = speech / (10 ** (snr / 20.0)) / level if level > 0 else 0.0
    run(["sox", "-R", "-m", src, "-v", "%.5f" % scale, noise, dst])
    os.remove(noise)


def cough(path, seed):
    """A cough: a burst of shaped noise, then a shorter one."""
    run(["sox", "-R", "-n", "-r", str(RATE), "-c", "1", "-b", "16", path, "synth", "0.25", "brownnoise",
         "synth", "0.25", "pinknoise", "mix", "fade", "q", "0.01", "0.25", "0.2", "gain", "-%d" % (4 + seed % 5),
         "pad", "0.3", "0.15", "repeat", "1", "pad", "0", "0.3"])


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    out_dir = sys.argv[1]
    quick = "--quick" in sys.argv
    os.makedirs(out_dir, exist_ok=True)
    for tool in ("sox", "flite", "espeak-ng", "festival"):
        if not shutil.which(tool):
            print("missing program: %s (scripts/setup.sh installs it)" % tool, file=sys.stderr)
            return 1
    work = tempfile.mkdtemp(prefix="devset-", dir=out_dir)
    manifest = []
    jobs = []
    for set_name in ("dev", "heldout"):
        set_dir = os.path.join(out_dir, set_name)
        os.makedirs(set_dir, exist_ok=True)
        voices = [v for v in VOICES if v[0] == set_name]
        if quick:
            voices = voices[:3]
        # Babble talkers are the set's own voices, saying text that is no command.
        babble = []
        for i, text in enumerate(BABBLE_TEXT):
            _, engine, voice = voices[i % len(voices)]
            path = os.path.join(set_dir, "babble%d.wav" % i)
            babble.append((engine, voice, text, path))
        for engine, voice, text, path in babble:
            synthesise(engine, voice, [(text, path)], work)
        babble_files = [b[3] for b in babble]

        for _, engine, voice in voices:
            tag = voice.replace("+", "_")
            items = []
            for i, (command, text) in enumerate(COMMANDS):
                items.append((text, os.path.join(set_dir, "%s-c%02d.wav" % (tag, i)), command))
            for i, text in enumerate(OTHERS):
                items.append((text, os.path.join(set_dir, "%s-o%02d.wav" % (tag, i)), ""))
            synthesise(engine, voice, [(t, p) for t, p, _ in items], work)
            for index, (text, path, command) in enumerate(items):
                for c, condition in enumerate(CONDITIONS[set_name]):
                    name = condition[0]
                    key = stable(voice + "|" + text + "|" + name)
                    # Every utterance clean; under the other conditions a fixed share of them,
                    # chosen by a hash, keeps the set to a size one run can decode in minutes.
                    if name != "clean" and key % (5 if command else 12) != 0:
                        continue
                    dst = path[:-4] + "-" + name + ".wav"
                    jobs.append((path, dst, condition, key, babble_files))
                    manifest.append((set_name, name, engine + ":" + voice, command, text, os.path.relpath(dst, out_dir)))
        # Silence and coughs, under each set's clean condition: the key held with nobody speaking.
        for i in range(4):
            path = os.path.join(set_dir, "silence%d.wav" % i)
            jobs.append((None, path, ("silence", i), i, None))
            manifest.append((set_name, "clean", "none", "", "(silence)", os.path.relpath(path, out_dir)))
            path = os.path.join(set_dir, "cough%d.wav" % i)
            jobs.append((None, path, ("cough", i), i, None))
            manifest.append((set_name, "clean", "none", "", "(cough)", os.path.relpath(path, out_dir)))

    def work_one(job):
        src, dst, condition, key, babble_files = job
        if condition[0] == "silence":
            # Room tone: a faint hiss rather than digital zero, as a real microphone gives.
            run(["sox", "-R", "-n", "-r", str(RATE), "-c", "1", "-b", "16", dst, "synth", "%.1f" % (1 + key * 0.5),
                 "pinknoise", "gain", "-%d" % (50 + key * 3)])
        elif condition[0] == "cough":
            cough(dst, key)
        else:
            apply_condition(src, dst, condition, key, babble_files)

    with ThreadPoolExecutor(max_workers=2) as pool:
        list(pool.map(work_one, jobs))
    shutil.rmtree(work, ignore_errors=True)
    with open(os.path.join(out_dir, "manifest.tsv"), "w") as out:
        out.write("set\tcondition\tvoice\tcommand\ttext\tfile\n")
        for row in manifest:
            out.write("\t".join(row) + "\n")
    print("%d utterances in %s" % (len(manifest), out_dir))
    return 0


if __name__ == "__main__":
    sys.exit(main())
