#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Estimates the speaker adaptation that the command decoder applies to the speech model.

The US English model learned adults reading aloud into desk microphones. This moves its Gaussian
means towards the many voices the recogniser meets (maximum a posteriori adaptation: each mean
moves as far as the data it saw asks, weighed against the model's own): the development voices
of tools/devset say everyday sentences that are no command (tools/adapt/sentences.txt), as they
are and under the development set's conditions, each conditioned as the decoder conditions what
it hears (zumbrel_listen_condition: steady noise reduced, a room tone under silent pauses);
sphinxtrain's Baum-Welch counts and map_adapt do the rest. Only the means change: adapting the
variances too made real recorded speech far worse, and adapting the mixture weights as well
gained on synthesised voices but lost on real recordings against the means alone. The held-out
voices never take part, so their benchmark figures say how far the adaptation carries over.

The Debian model ships its mixture weights only in the decoder's compact form; they are written
back out as the trainer's float array first. Every step is a fixed program on fixed input, so
the same means come out on every run.

Usage: make_adaptation.py OUTPUT_FILE [--tool CONDITION_PROGRAM] [--workdir DIR]
Needs: sox, flite, espeak-ng, festival (scripts/setup.sh test), sphinxtrain, sphinxbase-utils
and pocketsphinx (scripts/setup.sh adapt).
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "devset"))
import make_devset as devset  # noqa: E402

MODEL = "/usr/share/pocketsphinx/model/en-us/en-us"
DICTIONARY = "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"
TRAINER = "/usr/lib/sphinxtrain"
DEFAULT_TOOL = os.path.join(HERE, "..", "..", "build", "bench", "zumbrel_listen_condition")
# The decoder's log base and the shift of its 8-bit mixture weights.
LOG_BASE = 1.0001
WEIGHT_SHIFT = 10


def run(args, log):
    with open(log, "a") as out:
        subprocess.run(args, check=True, stdout=out, stderr=subprocess.STDOUT)


def write_mixture_weights(sendump, path):
    """The 8-bit log mixture weights of the compact file as the trainer's normalised floats."""
    data = open(sendump, "rb").read()
    offset = 0
    while True:
        (length,) = struct.unpack_from("<i", data, offset)
        offset += 4
        if length == 0:
            break
        header = data[offset:offset + length].rstrip(b"\0").decode("ascii", "replace")
        if header.startswith("cluster_count ") and header != "cluster_count 0":
            raise SystemExit("clustered mixture weights are not supported")
        offset += length
    densities, senones = struct.unpack_from("<ii", data, offset)
    offset += 8
    streams = (len(data) - offset) // (densities * senones)
    step = (1 << WEIGHT_SHIFT) * math.log(LOG_BASE)
    table = [math.exp(-q * step) for q in range(256)]
    weights = data[offset:]
    out = bytearray(b"s3\nversion 1.0\nendhdr\n")
    out += struct.pack("<I", 0x11223344)
    out += struct.pack("<iiii", senones, streams, densities, senones * streams * densities)
    for senone in range(senones):
        for stream in range(streams):
            base = stream * densities * senones + senone
            row = [table[weights[base + d * senones]] for d in range(densities)]
            total = sum(row)
            out += struct.pack("<%df" % densities, *[w / total for w in row])
    with open(path, "wb") as f:
        f.write(out)


def trainer_model(work, log):
    """A copy of the model that the trainer can read: text phone definitions, float weights."""
    model = os.path.join(work, "model")
    os.makedirs(model)
    for name in ("feat.params", "mdef", "means", "variances", "transition_matrices", "noisedict"):
        shutil.copy(os.path.join(MODEL, name), model)
    run(["pocketsphinx_mdef_convert", "-text", os.path.join(MODEL, "mdef"), os.path.join(model, "mdef.txt")], log)
    write_mixture_weights(os.path.join(MODEL, "sendump"), os.path.join(model, "mixture_weights"))
    return model


def sentences():
    with open(os.path.join(HERE, "sentences.txt")) as f:
        return [line.strip() for line in f if line.strip()]


def condition(tool, src, dst):
    """The audio as the decoder hears it: steady noise reduced, a room tone under silent pauses."""
    raw_in, raw_out = dst + ".in.raw", dst + ".out.raw"
    devset.run(["sox", "-R", src, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r", str(devset.RATE), raw_in])
    devset.run([tool, raw_in, raw_out])
    devset.run(["sox", "-R", "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r", str(devset.RATE), raw_out, dst])
    os.remove(raw_in)
    os.remove(raw_out)


def corpus(work, tool):
    """Every development voice says every sentence, once as it is and once under one of the
    development set's conditions (noise, a child's pitch, a room, a telephone); returns the
    utterance names and texts."""
    audio = os.path.join(work, "audio")
    os.makedirs(audio)
    texts = sentences()
    voices = [v for v in devset.VOICES if v[0] == "dev"]
    conditions = [c for c in devset.CONDITIONS["dev"] if c[0] != "clean"]
    babble = os.path.join(work, "babble")
    os.makedirs(babble)
    babble_files = []
    for i, text in enumerate(devset.BABBLE_TEXT):
        _, engine, voice = voices[i % len(voices)]
        path = os.path.join(babble, "babble%d.wav" % i)
        devset.synthesise(engine, voice, [(text, path)], work)
        babble_files.append(path)
    utterances = []
    for _, _, voice in voices:
        tag = voice.replace("+", "_")
        utterances += [("%s-s%02d" % (tag, i), text) for i, text in enumerate(texts)]
        utterances += [("%s-s%02dx" % (tag, i), text) for i, text in enumerate(texts)]

    def speak(entry):
        _, engine, voice = entry
        tag = voice.replace("+", "_")
        items = [(text, os.path.join(audio, "%s-s%02d.tts.wav" % (tag, i))) for i, text in enumerate(texts)]
        devset.synthesise(engine, voice, items, work)
        for text, path in items:
            condition(tool, path, path.replace(".tts.wav", ".wav"))
            key = devset.stable(voice + text)
            mixed = path.replace(".tts.wav", "x.mix.wav")
            devset.apply_condition(path, mixed, conditions[key % len(conditions)], key, babble_files)
            condition(tool, mixed, path.replace(".tts.wav", "x.wav"))
            os.remove(mixed)
            os.remove(path)

    with ThreadPoolExecutor(max_workers=2) as pool:
        list(pool.map(speak, voices))
    return audio, utterances


def main():
    if len(sys.argv) < 2 or sys.argv[1].startswith("-"):
        print(__doc__)
        return 2
    output = os.path.abspath(sys.argv[1])
    for program in ("sox", "flite", "espeak-ng", "festival", "sphinx_fe", "pocketsphinx_mdef_convert",
                    os.path.join(TRAINER, "bw"), os.path.join(TRAINER, "map_adapt")):
        if not shutil.which(program):
            print("missing program: %s (scripts/setup.sh test adapt installs it)" % program, file=sys.stderr)
            return 1
    tool = sys.argv[sys.argv.index("--tool") + 1] if "--tool" in sys.argv else DEFAULT_TOOL
    if not os.access(tool, os.X_OK):
        print("missing program: %s (cmake --build build --target zumbrel_listen_condition)" % tool, file=sys.stderr)
        return 1
    keep = "--workdir" in sys.argv
    work = sys.argv[sys.argv.index("--workdir") + 1] if keep else tempfile.mkdtemp(prefix="adapt-")
    os.makedirs(work, exist_ok=True)
    log = os.path.join(work, "adapt.log")
    try:
        model = trainer_model(work, log)
        audio, utterances = corpus(work, tool)
        fileids = os.path.join(work, "adapt.fileids")
        transcription = os.path.join(work, "adapt.transcription")
        with open(fileids, "w") as f:
            f.writelines("%s\n" % name for name, _ in utterances)
        with open(transcription, "w") as f:
            f.writelines("<s> %s </s> (%s)\n" % (text.lower(), name) for name, text in utterances)
        run(["sphinx_fe", "-argfile", os.path.join(model, "feat.params"), "-samprate", str(devset.RATE),
             "-c", fileids, "-di", audio, "-do", audio, "-ei", "wav", "-eo", "mfc", "-mswav", "yes"], log)
        counts = os.path.join(work, "counts")
        os.makedirs(counts)
        # The decoder's feature settings: batch mean normalisation over each utterance.
        run([os.path.join(TRAINER, "bw"), "-hmmdir", model, "-moddeffn", os.path.join(model, "mdef.txt"),
             "-ts2cbfn", ".ptm.", "-feat", "1s_c_d_dd", "-svspec", "0-12/13-25/26-38", "-cmn", "current",
             "-agc", "none", "-dictfn", DICTIONARY, "-fdictfn", os.path.join(model, "noisedict"),
             "-ctlfn", fileids, "-lsnfn", transcription, "-cepdir", audio, "-accumdir", counts], log)
        run([os.path.join(TRAINER, "map_adapt"), "-moddeffn", os.path.join(model, "mdef.txt"), "-ts2cbfn", ".ptm.",
             "-meanfn", os.path.join(model, "means"), "-varfn", os.path.join(model, "variances"),
             "-mixwfn", os.path.join(model, "mixture_weights"),
             "-tmatfn", os.path.join(model, "transition_matrices"), "-accumdir", counts, "-mapmeanfn", output], log)
    except subprocess.CalledProcessError as error:
        print("%s failed; see %s" % (error.cmd[0], log), file=sys.stderr)
        return 1
    finally:
        if not keep:
            shutil.rmtree(work, ignore_errors=True)
    print("%d utterances: %s" % (len(utterances), output))
    return 0


if __name__ == "__main__":
    sys.exit(main())
