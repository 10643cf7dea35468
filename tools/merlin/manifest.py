#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Merlin's manifest: his parts, voice, animations and states.

A keyframe lists every part that is out of its neutral place, so a pose held over several
keyframes would be repeated by hand many times; here poses are built from small named pieces
instead. Run it and commit its output:

    python3 tools/merlin/manifest.py > data/characters/merlin/merlin.json
"""

import json
import sys

import art

CX = art.CX

# ----------------------------------------------------------------------------------------------
# Parts, in drawing order. Props held in a hand come before the arms, so the hand closes over them.

EYES = ["open", "closed", "left", "right", "up", "down", "wide", "happy", "half"]
BROWS = ["neutral", "raised", "sad", "frown", "puzzled"]
MOUTHS = ["closed", "wide1", "wide2", "wide3", "wide4", "medium", "narrow", "smile", "grin", "sad", "o", "wavy"]
ARMS = ["down", "up", "out", "hold", "ear", "beard", "point", "hip", "palm", "write", "grip", "trumpet", "wand"]


def part(pid, variants, pivot=None, parent=None, opacity=None):
    p = {"id": pid}
    if parent:
        p["parent"] = parent
    p["variants"] = variants
    if pivot:
        p["pivot"] = art.to_frame(pivot)
    if opacity is not None:
        p["opacity"] = opacity
    return p


PARTS = [
    part("body", ["robe"], pivot=(CX, 170)),
    part("head", ["head"], pivot=art.NECK, parent="body"),
    part("eyes", [f"eyes-{k}" for k in EYES], parent="head"),
    part("brows", [f"brows-{k}" for k in BROWS], parent="head"),
    part("mouth", [f"mouth-{k}" for k in MOUTHS], parent="head"),
    part("tear", ["prop-tear"], parent="head", opacity=0),
    part("hat", ["hat"], pivot=(CX, 59), parent="head"),
    part("book", ["prop-book"], parent="body", opacity=0),
    part("scroll", ["prop-scroll"], parent="body", opacity=0),
    part("crystal", ["prop-crystal"], parent="body", opacity=0),
    part("quill", ["prop-quill"], parent="armRight", opacity=0),
    part("magnifier", ["prop-magnifier"], parent="armRight", opacity=0),
    part("trumpet", ["prop-trumpet"], parent="head", opacity=0),
    part("armLeft", [f"arm-left-{k}" for k in ARMS], pivot=art.SHOULDER_L, parent="body"),
    part("armRight", [f"arm-right-{k}" for k in ARMS], pivot=art.SHOULDER_R, parent="body"),
    part("notes", ["prop-notes"], pivot=(CX + 68, 60), parent="body", opacity=0),
    part("hearts", ["prop-hearts"], pivot=(CX, 52), parent="body", opacity=0),
    part("bulb", ["prop-bulb"], pivot=(CX + 34, 30), parent="head", opacity=0),
    part("question", ["prop-question"], pivot=(CX + 41, 36), parent="head", opacity=0),
    part("exclaim", ["prop-exclaim"], pivot=(CX - 40, 30), parent="head", opacity=0),
    part("zzz", ["prop-zzz"], pivot=(CX + 36, 54), parent="head", opacity=0),
    part("sparkles", ["prop-sparkles"], pivot=(CX, 90), opacity=0),
    part("puff", ["prop-puff"], pivot=(CX, 165), opacity=0),
]

# ----------------------------------------------------------------------------------------------
# Pose pieces


def pose(*pieces):
    merged = {}
    for piece in pieces:
        for pid, t in piece.items():
            merged.setdefault(pid, {}).update(t)
    return merged


def T(pid, **t):
    return {pid: t}


def eyes(k):
    return {"eyes": {"variant": f"eyes-{k}"}}


def brows(k):
    return {"brows": {"variant": f"brows-{k}"}}


def mouth(k):
    return {"mouth": {"variant": f"mouth-{k}"}}


def arm_l(k, **t):
    return {"armLeft": {"variant": f"arm-left-{k}", **t}}


def arm_r(k, **t):
    return {"armRight": {"variant": f"arm-right-{k}", **t}}


def show(pid, **t):
    return {pid: {"opacity": 1, **t}}


def head(rotate=0, dx=0, dy=0):
    t = {}
    if rotate:
        t["rotate"] = rotate
    if dx or dy:
        t["offset"] = [dx, dy]
    return {"head": t}


HAPPY = pose(eyes("happy"), mouth("smile"), brows("raised"))
BEAM = pose(eyes("happy"), mouth("grin"), brows("raised"))


def kf(duration, *pieces, steps=None, ease=None, label=None, branches=None, exit=None):
    k = {}
    if label:
        k["label"] = label
    k["duration"] = duration
    if steps and steps > 1:
        k["steps"] = steps
    if ease:
        k["ease"] = ease
    p = pose(*pieces)
    if p:
        k["pose"] = p
    if branches:
        k["branches"] = [{"to": to, "probability": pr} for to, pr in branches]
    if exit is not None:
        k["exit"] = exit
    return k


def move(duration, *pieces, steps=None, **kw):
    """A keyframe that moves smoothly towards the next one, one frame per 100 ms."""
    return kf(duration, *pieces, steps=steps or max(1, duration // 100), ease="smooth", **kw)


NEUTRAL_END = kf(100)

A = {}

# ----------------------------------------------------------------------------------------------
# The neutral pose, and the program's greeting and farewell

A["RestPose"] = {"keyframes": [kf(100)]}

A["Greet"] = {"keyframes": [
    move(300),
    # a little bow, hand on heart, hat tipped
    move(500, arm_r("beard"), head(dy=3, rotate=-3), T("hat", rotate=-8), eyes("happy"), mouth("smile"),
         T("body", scale=[1, 0.97])),
    move(200, arm_r("beard"), head(dy=3, rotate=-3), T("hat", rotate=-8), eyes("happy"), mouth("smile"),
         T("body", scale=[1, 0.97])),
    # then up with a wave
    move(300, arm_r("up"), BEAM),
    move(250, arm_r("up", rotate=14), BEAM, head(rotate=3)),
    move(250, arm_r("up", rotate=-6), BEAM, head(rotate=-2)),
    move(250, arm_r("up", rotate=14), BEAM, head(rotate=3)),
    move(300, arm_r("up"), HAPPY),
    NEUTRAL_END,
]}


def wave_keyframes():
    return [
        move(200),
        move(250, arm_r("up"), HAPPY, label="wave"),
        move(250, arm_r("up", rotate=16), HAPPY, head(rotate=3), exit="down"),
        move(250, arm_r("up", rotate=-8), HAPPY, head(rotate=-2), exit="down"),
        move(250, arm_r("up", rotate=16), HAPPY, head(rotate=3), exit="down"),
        move(250, arm_r("up", rotate=-8), HAPPY, head(rotate=-2), exit="down"),
        move(300, arm_r("up"), HAPPY, label="down"),
        NEUTRAL_END,
    ]


A["Wave"] = {"keyframes": wave_keyframes()}

# Ends leaning in with a finger raised; GetAttentionReturn brings him back.
ATTENTION = pose(arm_r("point"), eyes("wide"), brows("raised"), mouth("grin"), show("exclaim"),
                 T("body", scale=1.04))
A["GetAttention"] = {"return": "GetAttentionReturn", "keyframes": [
    move(200),
    move(250, arm_l("up"), arm_r("up"), eyes("wide"), brows("raised"), mouth("grin"), T("body", scale=1.06),
         show("exclaim", scale=0.6)),
    move(250, arm_l("up", rotate=-12), arm_r("up", rotate=12), eyes("wide"), brows("raised"), mouth("grin"),
         T("body", scale=1.06, offset=[0, -4]), show("exclaim", scale=1.2)),
    move(250, arm_l("up", rotate=6), arm_r("up", rotate=-6), eyes("wide"), brows("raised"), mouth("grin"),
         T("body", scale=1.06), show("exclaim")),
    move(250, arm_l("up", rotate=-12), arm_r("up", rotate=12), eyes("wide"), brows("raised"), mouth("grin"),
         T("body", scale=1.06, offset=[0, -4]), show("exclaim", scale=1.2)),
    move(300, arm_r("point"), eyes("wide"), brows("raised"), mouth("grin"), show("exclaim"), T("body", scale=1.04)),
    kf(100, ATTENTION),
]}

A["GetAttentionReturn"] = {"keyframes": [
    move(300, ATTENTION),
    move(300, arm_r("point", rotate=-6), eyes("open"), brows("raised"), mouth("smile"), T("body", scale=1.02)),
    move(300, eyes("happy"), mouth("smile"), head(rotate=3, dy=2)),
    move(200, eyes("happy"), mouth("smile")),
    NEUTRAL_END,
]}

A["Pleased"] = {"keyframes": [
    move(300),
    move(300, arm_l("hip"), arm_r("hip"), HAPPY, show("hearts", scale=0.5)),
    move(350, arm_l("hip"), arm_r("hip"), HAPPY, head(rotate=6), show("hearts", offset=[0, -4])),
    move(350, arm_l("hip"), arm_r("hip"), HAPPY, head(rotate=-6), show("hearts", offset=[0, -8], scale=1.1)),
    move(300, arm_l("hip"), arm_r("hip"), HAPPY, head(rotate=4), T("hearts", opacity=0.6, offset=[0, -12])),
    move(300, arm_l("hip"), arm_r("hip"), eyes("happy"), mouth("smile")),
    NEUTRAL_END,
]}

# ----------------------------------------------------------------------------------------------
# Praise

A["Announce"] = {"keyframes": [
    move(200),
    # "Listen!": the wand held high, eyebrows up
    move(300, arm_r("wand"), eyes("wide"), brows("raised"), mouth("o")),
    move(300, arm_r("wand", rotate=-8), eyes("wide"), brows("raised"), mouth("o"), head(rotate=-3)),
    kf(100, arm_r("wand", rotate=-8), eyes("wide"), brows("raised"), mouth("o"), head(rotate=-3)),
    # "Ta-da!": both arms out, sparkles
    move(300, arm_l("out"), arm_r("out"), BEAM, show("sparkles", scale=0.7), T("body", scale=1.04)),
    move(400, arm_l("out", rotate=-6), arm_r("out", rotate=6), BEAM, show("sparkles", scale=1.05),
         T("body", scale=1.04)),
    move(300, arm_l("out"), arm_r("out"), HAPPY, T("sparkles", opacity=0.4, scale=1.15)),
    NEUTRAL_END,
]}

A["Congratulate"] = {"keyframes": [
    move(300),
    # the trumpet comes up to his lips
    move(300, arm_r("trumpet"), show("trumpet"), eyes("closed"), brows("raised"), mouth("closed")),
    move(300, arm_r("trumpet"), show("trumpet"), eyes("happy"), brows("raised"), arm_l("up"),
         show("notes", scale=0.6, offset=[-6, 6]), head(rotate=-3)),
    move(300, arm_r("trumpet"), show("trumpet"), eyes("happy"), brows("raised"), arm_l("up", rotate=-10),
         show("notes", scale=1.0), show("sparkles", scale=0.8), head(rotate=2)),
    move(300, arm_r("trumpet"), show("trumpet"), eyes("happy"), brows("raised"), arm_l("up", rotate=6),
         show("notes", scale=1.1, offset=[4, -6]), show("sparkles", scale=1.05), head(rotate=-3)),
    move(300, arm_r("trumpet"), show("trumpet"), eyes("happy"), brows("raised"), arm_l("up", rotate=-10),
         T("notes", opacity=0.5, offset=[8, -12]), show("sparkles", scale=1.15), head(rotate=2)),
    move(300, BEAM, T("sparkles", opacity=0.3, scale=1.2)),
    NEUTRAL_END,
]}

A["Congratulate_2"] = {"keyframes": [
    move(200),
    # crouch, then a cheering jump with both arms up
    move(200, T("body", scale=[1.03, 0.94]), eyes("happy"), mouth("grin"), arm_l("out"), arm_r("out")),
    move(300, T("body", offset=[0, -10]), T("hat", offset=[0, -4], rotate=6), arm_l("up"), arm_r("up"), BEAM,
         show("sparkles", scale=0.8)),
    move(200, T("body", offset=[0, -12]), T("hat", offset=[0, -4], rotate=-4), arm_l("up", rotate=-8),
         arm_r("up", rotate=8), BEAM, show("sparkles", scale=1.1)),
    move(200, T("body", scale=[1.03, 0.95]), arm_l("up"), arm_r("up"), BEAM, show("sparkles", scale=1.15)),
    move(300, T("body", offset=[0, -6]), arm_l("up", rotate=8), arm_r("up", rotate=-8), BEAM,
         T("sparkles", opacity=0.5, scale=1.2)),
    move(300, HAPPY),
    NEUTRAL_END,
]}

A["Surprised"] = {"keyframes": [
    kf(100),
    # a jolt: he hops, his hat pops up, palms out
    move(200, T("body", offset=[0, -8]), T("hat", offset=[0, -6], rotate=8), arm_l("palm"), arm_r("palm"),
         eyes("wide"), brows("raised"), mouth("o"), show("exclaim", scale=1.2)),
    move(300, T("body", offset=[0, -2]), T("hat", offset=[0, -4], rotate=-4), arm_l("palm"), arm_r("palm"),
         eyes("wide"), brows("raised"), mouth("o"), show("exclaim")),
    move(500, arm_l("palm"), arm_r("palm"), eyes("wide"), brows("raised"), mouth("o"), show("exclaim"),
         T("body", scale=[0.98, 1.03])),
    move(300, arm_l("palm"), arm_r("palm"), eyes("wide"), brows("raised"), mouth("grin"), show("exclaim")),
    move(300, HAPPY),
    NEUTRAL_END,
]}

WRITING = pose(arm_l("hold"), arm_r("write"), show("scroll"), show("quill"), eyes("down"), brows("neutral"))
A["Write"] = {"keyframes": [
    move(300),
    kf(200, WRITING),
    move(200, WRITING, T("armRight", offset=[-6, -1]), head(rotate=-2)),
    move(200, WRITING, T("armRight", offset=[-2, 1])),
    move(200, WRITING, T("armRight", offset=[2, -1]), head(rotate=2)),
    move(200, WRITING, T("armRight", offset=[-5, 4])),
    move(200, WRITING, T("armRight", offset=[0, 5]), head(rotate=-2)),
    move(200, WRITING, T("armRight", offset=[4, 4])),
    # done: a look up with a smile, the quill raised
    move(400, WRITING, T("armRight", offset=[4, -4]), eyes("happy"), mouth("smile"), brows("raised")),
    move(300, eyes("happy"), mouth("smile")),
    NEUTRAL_END,
]}

# ----------------------------------------------------------------------------------------------
# Correction

A["Confused"] = {"keyframes": [
    move(300),
    move(400, arm_l("beard"), eyes("up"), brows("puzzled"), mouth("wavy"), head(rotate=-6), show("question", scale=0.6)),
    move(400, arm_l("beard", offset=[0, 3]), eyes("up"), brows("puzzled"), mouth("wavy"), head(rotate=-7),
         show("question", rotate=-8)),
    move(400, arm_l("beard"), eyes("left"), brows("puzzled"), mouth("wavy"), head(rotate=6), show("question", rotate=8)),
    move(400, arm_l("beard", offset=[0, 3]), eyes("up"), brows("puzzled"), mouth("wavy"), head(rotate=5),
         show("question")),
    move(300, arm_l("beard"), eyes("up"), brows("puzzled"), mouth("closed"), T("question", opacity=0.4)),
    NEUTRAL_END,
]}

NO = pose(arm_r("palm"), brows("sad"), mouth("sad"))
A["Decline"] = {"keyframes": [
    move(200),
    move(200, NO),
    move(200, NO, head(rotate=-8), eyes("closed")),
    move(200, NO, head(rotate=8), eyes("closed")),
    move(200, NO, head(rotate=-8), eyes("closed")),
    move(200, NO, head(rotate=8), eyes("closed")),
    move(300, NO, T("armRight", rotate=-6)),
    move(200, brows("sad")),
    NEUTRAL_END,
]}

A["Explain"] = {"keyframes": [
    move(300),
    move(400, arm_l("out"), brows("raised"), head(rotate=-3), eyes("left")),
    move(300, arm_l("out", rotate=-8), brows("raised"), head(rotate=-3), eyes("left")),
    move(400, arm_r("out"), brows("neutral"), head(rotate=3), eyes("right")),
    move(300, arm_r("out", rotate=8), brows("raised"), head(rotate=3), eyes("right")),
    move(400, arm_l("out"), arm_r("out"), brows("raised"), mouth("smile")),
    move(300, arm_l("out", rotate=-5), arm_r("out", rotate=5), brows("raised"), mouth("smile")),
    NEUTRAL_END,
]}

READING = pose(arm_l("hold"), arm_r("hold"), show("book"), eyes("down"))
A["Read"] = {"keyframes": [
    move(300),
    move(400, READING, head(dy=2)),
    move(500, READING, head(rotate=-4, dy=2)),
    move(500, READING, head(rotate=4, dy=2)),
    move(400, READING, head(rotate=-4, dy=2)),
    # found it
    move(300, READING, brows("raised"), eyes("open"), mouth("o")),
    move(300, READING, brows("raised"), eyes("happy"), mouth("smile")),
    move(300, eyes("happy"), mouth("smile")),
    NEUTRAL_END,
]}

SAD = pose(eyes("down"), brows("sad"), mouth("sad"), T("hat", rotate=6))
A["Sad"] = {"keyframes": [
    move(300),
    move(500, SAD, head(rotate=4, dy=3), T("body", scale=[1, 0.98]), T("armLeft", rotate=4), T("armRight", rotate=-4)),
    move(400, SAD, eyes("closed"), head(rotate=5, dy=4), T("body", scale=[1, 0.98]), show("tear"),
         T("armLeft", rotate=4), T("armRight", rotate=-4)),
    move(500, SAD, eyes("closed"), head(rotate=5, dy=4), T("body", scale=[1, 0.98]), show("tear", offset=[0, 6]),
         T("armLeft", rotate=4), T("armRight", rotate=-4)),
    move(400, SAD, head(rotate=3, dy=2), T("tear", opacity=0, offset=[0, 10])),
    move(300, brows("sad"), mouth("closed")),
    NEUTRAL_END,
]}

LOOKING = pose(arm_r("grip"), show("magnifier"), brows("raised"))
A["Search"] = {"keyframes": [
    move(300),
    move(400, LOOKING, eyes("right")),
    move(400, LOOKING, eyes("right"), T("armRight", variant="arm-right-grip", rotate=8), head(rotate=3)),
    # peering through the lens at the viewer
    move(500, LOOKING, eyes("wide"), T("armRight", variant="arm-right-grip", rotate=-40, offset=[-6, 13])),
    move(400, LOOKING, eyes("wide"), T("armRight", variant="arm-right-grip", rotate=-40, offset=[-6, 13])),
    move(400, LOOKING, eyes("left"), T("armRight", variant="arm-right-grip", rotate=-20), head(rotate=-4)),
    move(300, LOOKING, eyes("open")),
    NEUTRAL_END,
]}

A["Suggest"] = {"keyframes": [
    move(300),
    move(300, arm_r("beard"), eyes("up"), brows("puzzled"), mouth("wavy")),
    # ding!
    kf(100, arm_r("point"), eyes("wide"), brows("raised"), mouth("o"), show("bulb", scale=0.4)),
    move(300, arm_r("point"), eyes("wide"), brows("raised"), mouth("o"), show("bulb", scale=1.2)),
    move(500, arm_r("point", rotate=-4), BEAM, show("bulb")),
    move(400, arm_r("point"), HAPPY, show("bulb", scale=1.05)),
    move(300, HAPPY, T("bulb", opacity=0.5)),
    NEUTRAL_END,
]}

# ----------------------------------------------------------------------------------------------
# States the engine plays by itself

A["Showing"] = {"keyframes": [
    # a puff of smoke, and out of it Merlin grows from the floor
    move(300, T("body", opacity=0, scale=0.2), show("puff", scale=0.3), T("sparkles", scale=0.4)),
    move(300, T("body", opacity=0.3, scale=0.6), show("puff", scale=1.1), show("sparkles", scale=0.8)),
    move(400, T("body", opacity=1, scale=1.05), T("puff", opacity=0.3, scale=1.3), show("sparkles", scale=1.1),
         HAPPY),
    move(300, HAPPY, T("sparkles", opacity=0.3, scale=1.2)),
    NEUTRAL_END,
]}

A["Hiding"] = {"keyframes": [
    move(300),
    # a flick of the wand, a puff, and he is gone
    move(300, arm_r("wand", rotate=10), eyes("happy"), mouth("smile")),
    move(200, arm_r("wand", rotate=-15), eyes("happy"), mouth("smile"), show("sparkles", scale=0.6)),
    move(300, arm_r("wand", rotate=-15), eyes("closed"), show("puff", scale=0.8), show("sparkles", scale=1.0),
         T("body", opacity=0.8)),
    move(300, T("body", opacity=0.2, scale=0.6), show("puff", scale=1.2), show("sparkles", scale=1.15)),
    move(200, T("body", opacity=0, scale=0.3), T("puff", opacity=0.3, scale=1.3), show("sparkles", scale=1.2)),
    kf(100, T("body", opacity=0, scale=0.3), T("sparkles", opacity=0.4, scale=1.25)),
]}

A["Speaking"] = {"keyframes": [
    move(600, label="talk", exit="end"),
    move(700, head(rotate=2), exit="end"),
    move(700, head(rotate=-1), brows("raised"), exit="end"),
    move(600, head(rotate=-2), exit="end", branches=[("talk", 95)]),
    kf(100, label="end"),
]}

A["Blink"] = {"keyframes": [kf(150, eyes("closed")), kf(100)]}
A["GlanceLeft"] = {"keyframes": [
    kf(100),
    kf(800, eyes("left")),
    kf(150, eyes("closed")),
    NEUTRAL_END,
]}
A["GlanceRight"] = {"keyframes": [
    kf(100),
    kf(800, eyes("right")),
    kf(150, eyes("closed")),
    NEUTRAL_END,
]}
A["LookUp"] = {"keyframes": [
    kf(100),
    move(300, eyes("up")),
    kf(700, eyes("up"), head(rotate=-2)),
    move(200, eyes("up"), head(rotate=-2)),
    NEUTRAL_END,
]}

A["LookAround"] = {"keyframes": [
    move(300),
    move(700, eyes("left"), head(rotate=-5)),
    kf(150, eyes("closed"), head(rotate=-2)),
    move(300, eyes("right"), head(rotate=5)),
    move(700, eyes("right"), head(rotate=5), brows("raised")),
    move(300, eyes("right"), head(rotate=5)),
    NEUTRAL_END,
]}

BEARD = pose(arm_l("beard"), eyes("up"), brows("raised"))
A["StrokeBeard"] = {"keyframes": [
    move(300),
    move(400, BEARD, head(rotate=-3)),
    move(400, BEARD, T("armLeft", offset=[0, 6]), head(rotate=-3)),
    move(400, BEARD, head(rotate=-3)),
    move(400, BEARD, T("armLeft", offset=[0, 6]), head(rotate=-3), mouth("wavy")),
    move(400, BEARD, head(rotate=-3)),
    move(300, eyes("happy"), mouth("smile")),
    NEUTRAL_END,
]}

A["ReadBook"] = {"keyframes": [
    move(300),
    move(600, READING, head(dy=2)),
    move(800, READING, head(rotate=-4, dy=2)),
    move(800, READING, head(rotate=4, dy=2)),
    kf(150, READING, eyes("closed"), head(rotate=4, dy=2)),
    move(800, READING, head(rotate=-4, dy=2)),
    move(800, READING, head(rotate=4, dy=2), mouth("smile")),
    move(300, eyes("open")),
    NEUTRAL_END,
]}

GAZING = pose(arm_l("hold"), arm_r("hold"), show("crystal"), eyes("down"), brows("raised"))
A["CrystalGaze"] = {"keyframes": [
    move(300),
    move(600, GAZING, head(dy=2)),
    move(600, GAZING, head(dy=2, rotate=-3), T("crystal", scale=1.04)),
    move(600, GAZING, head(dy=2, rotate=3), mouth("o"), T("crystal", scale=0.98)),
    move(600, GAZING, head(dy=2), mouth("smile"), eyes("happy")),
    move(300, eyes("happy"), mouth("smile")),
    NEUTRAL_END,
]}

DOZE = pose(eyes("closed"), mouth("closed"), T("hat", rotate=5))
A["Doze"] = {"keyframes": [
    move(400),
    move(600, eyes("half"), head(rotate=2, dy=1)),
    move(800, DOZE, head(rotate=5, dy=3), exit="wake"),
    move(900, DOZE, head(rotate=5, dy=3), show("zzz", scale=0.6, offset=[-4, 6]), label="snore", exit="wake"),
    move(900, DOZE, head(rotate=3, dy=2), show("zzz", scale=1.0), T("body", scale=[1.01, 1.01]), exit="wake"),
    move(600, DOZE, head(rotate=5, dy=3), T("zzz", opacity=0.3, scale=1.1, offset=[4, -6]), exit="wake",
         branches=[("snore", 85)]),
    # wakes with a start
    kf(200, eyes("wide"), brows("raised"), mouth("o"), T("hat", offset=[0, -4], rotate=-3), label="wake"),
    move(300, eyes("wide"), brows("raised")),
    kf(150, eyes("closed")),
    NEUTRAL_END,
]}


def ear_keyframes(k_eyes, k_brows, nod, loop_probability):
    EAR = pose(arm_l("ear"), eyes(k_eyes), brows(k_brows))
    return [
        move(300, exit="end"),
        move(600, EAR, head(rotate=-5), label="listen", exit="end"),
        move(600, EAR, head(rotate=-5 + nod, dy=1), exit="end"),
        move(600, EAR, head(rotate=-5), exit="end", branches=[("listen", loop_probability)]),
        move(300, EAR, label="end"),
        NEUTRAL_END,
    ]


A["Listening"] = {"keyframes": ear_keyframes("left", "neutral", -2, 90)}
A["Hearing"] = {"keyframes": ear_keyframes("wide", "raised", 5, 90)}

STATES = {
    "Showing": ["Showing"],
    "Hiding": ["Hiding"],
    "Speaking": ["Speaking"],
    "IdlingLevel1": ["Blink", "GlanceLeft", "GlanceRight", "LookUp"],
    "IdlingLevel2": ["LookAround", "StrokeBeard", "ReadBook", "CrystalGaze"],
    "IdlingLevel3": ["Doze"],
    "Listening": ["Listening"],
    "Hearing": ["Hearing"],
}

MANIFEST_HEAD = {
    "comment": "Generated by tools/merlin/manifest.py (the art by tools/merlin/art.py): edit those and rerun them.",
    "format": 1,
    "name": "Merlin",
    "art": "merlin.svg",
    # a gentle male voice, a little slower than natural for young listeners
    "voice": {"voice": "cmu_us_rms", "rate": 0.9, "pitch": 1.0},
    "balloonAnchor": art.to_frame((CX, 92)),
}

MOUTH = {"part": "mouth", "shapes": {k: f"mouth-{k}" for k in MOUTHS[:7]}}


def to_frame_offsets(animations):
    # Offsets are written on the drawing grid like everything else; the manifest wants frame units.
    for a in animations.values():
        for k in a["keyframes"]:
            for t in k.get("pose", {}).values():
                if "offset" in t:
                    t["offset"] = art.to_frame_offset(t["offset"])


def one_line(v):
    return json.dumps(v, separators=(", ", ": "))


def main():
    to_frame_offsets(A)
    o = ["{"]
    for k, v in MANIFEST_HEAD.items():
        o.append(f'  "{k}": {one_line(v)},')
    o.append('  "parts": [')
    o.append(",\n".join(f"    {one_line(p)}" for p in PARTS))
    o.append("  ],")
    o.append(f'  "mouth": {one_line(MOUTH)},')
    o.append('  "animations": {')
    anims = []
    for name, a in A.items():
        lines = [f'    "{name}": {{']
        if "return" in a:
            lines.append(f'      "return": {one_line(a["return"])},')
        lines.append('      "keyframes": [')
        lines.append(",\n".join(f"        {one_line(k)}" for k in a["keyframes"]))
        lines.append("      ]")
        lines.append("    }")
        anims.append("\n".join(lines))
    o.append(",\n".join(anims))
    o.append("  },")
    o.append('  "states": {')
    o.append(",\n".join(f'    "{k}": {one_line(v)}' for k, v in STATES.items()))
    o.append("  }")
    o.append("}")
    text = "\n".join(o) + "\n"
    json.loads(text)  # never write a manifest that does not parse
    sys.stdout.write(text)


if __name__ == "__main__":
    main()
