#!/usr/bin/env python3
"""Random sessions of every tool window, run by `treva --drive` on the real Qt
widgets and by `treva-cli drive` on the in-memory windows: both must print the
same JSON (or the same one-line error), end with the same exit status and
leave the same scenario file bytes.

What the windows hold is read off treva-cli itself (every control and its
kind, which click opens a modal box, which input ends a window), so the
sessions follow the templates as they change. A failure prints each session
that differs and the --seed that replays the whole run.
"""

import argparse
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor

TEMPLATES = [101, 102, 103, 114, 115, 128]


def cli_argv(exe, options, template, tokens):
    return [exe] + options + ["drive", str(template)] + tokens


def desktop_argv(exe, options, template, tokens):
    return [exe, "--drive"] + options + [str(template)] + tokens


def run(argv):
    done = subprocess.run([a if isinstance(a, bytes) else os.fsencode(a) for a in argv],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    return done.returncode, done.stdout, done.stderr


def message(stderr):
    """The error without the program's name before it."""
    return stderr.split(b": ", 1)[1] if b": " in stderr else stderr


# ---------------------------------------------------------------------------
# What the windows hold, as treva-cli reports it


class Window:
    def __init__(self):
        self.controls = {}  # id -> {"kind": ..., "items": count}
        self.closers = set()  # clicks that end the window
        self.opener = None  # (control, Window): a click that opens a modal box
        self.close_box = False

    def ids(self, kind=None):
        return [c for c, v in self.controls.items() if kind is None or v["kind"] == kind]


def kind_of(control):
    if "items" in control:
        return "list"
    if "checked" in control:
        return "check"
    if "image" in control:
        return "picture"
    return "plain"  # push buttons, texts and edit boxes: told apart below


def drive_cli(cli, template, tokens):
    status, out, err = run(cli_argv(cli, [], template, tokens))
    return json.loads(out) if status == 0 else None


def survey(cli):
    """Every tool window, and the modal box a click in one of them opens."""
    windows = {}
    for template in TEMPLATES:
        shown = drive_cli(cli, template, [])
        assert shown, "treva-cli cannot open window %d" % template
        windows[template] = w = read_window(cli, template, [], shown)
        for control in w.ids("plain"):
            shown = drive_cli(cli, template, [str(control)])
            if shown and shown["modal"]:
                w.opener = (control, read_window(cli, template, [str(control)], shown["modal"]))
    return windows


def read_window(cli, template, prefix, shown):
    def still_open(after):
        return after is not None and (after["modal"] is not None if prefix else after["open"])

    w = Window()
    for key, control in shown["controls"].items():
        w.controls[int(key)] = {"kind": kind_of(control), "items": len(control.get("items", []))}
    for control in w.ids("plain"):
        if drive_cli(cli, template, prefix + [str(control) + ":"]):
            w.controls[control]["kind"] = "edit"
    for control in w.ids():
        after = drive_cli(cli, template, prefix + [str(control)])
        if after is not None and not still_open(after):
            w.closers.add(control)
    after = drive_cli(cli, template, prefix + ["close"])
    w.close_box = after is not None and not still_open(after)
    return w


# ---------------------------------------------------------------------------
# Random sessions

# What a player might type into an edit box: numbers, signs, spaces, letters,
# the code page's upper half, and now and then a control character (which no
# key types into an edit box).
TYPED = (list(b"0123456789") * 4 + list(b"+- ") * 3 + list(b"abcXYZ.,") + list(range(0x80, 0x100)) +
         [0x09, 0x0A, 0x0D, 0x1B, 0x08, 0x7F, 0x01])


def random_text(rng):
    return bytes(rng.choice(TYPED) for _ in range(rng.choice([0, 1, 2, 3, 4, 6, 9, 12, 20])))


def token(rng, w):
    """One input for window w: a click, a choice, typing; now and then a bad one."""
    roll = rng.random()
    if roll < 0.01:
        return rng.choice([b"abc", b"", b"=1", b"1000=", b"1:x=y", b"close2"])
    if roll < 0.02:
        return str(rng.choice([rng.randrange(70000), 65535, 65536])).encode()
    if roll < 0.035:  # a choice or typing on a control of any kind
        return ("%d%s" % (rng.choice(w.ids()), rng.choice(["=0", ":7"]))).encode()
    lists, edits = w.ids("list"), w.ids("edit")
    if roll < 0.30 and lists:
        control = rng.choice(lists)
        count = w.controls[control]["items"]
        item = rng.randrange(count) if rng.random() < 0.95 else rng.choice([count, count + 3, "x", ""])
        return ("%d=%s" % (control, item)).encode()
    if roll < 0.55 and edits:
        return str(rng.choice(edits)).encode() + b":" + random_text(rng)
    return str(rng.choice(w.ids())).encode()


def session(rng, windows):
    """(template, tokens): mostly inputs the windows take, in the window that
    has the input; a few after a window has ended."""
    template = rng.choice(TEMPLATES)
    main = windows[template]
    current, main_open = main, True
    tokens = []
    for _ in range(rng.choice([0, 1, 2, 3, 5, 8, 12, 20])):
        if not main_open and rng.random() < 0.8:
            break
        if current is main and main.opener and rng.random() < 0.25:
            control, current = main.opener
            tokens.append(str(control).encode())
            continue
        if current.close_box and rng.random() < 0.04:
            t = b"close"
        else:
            t = token(rng, current)
        tokens.append(t)
        if t == b"close" or (t.isdigit() and int(t) in current.closers):
            if current is main:
                main_open = False
            else:
                current = main
    return template, tokens


def scenario_pool(cli, corpus, windows, scratch, rng):
    """Scenario files to start from: those of the corpus, and fresh ones that
    random sessions of treva-cli have played on."""
    pool = sorted(os.path.join(corpus, f) for f in os.listdir(corpus)) if corpus else []
    for i in range(6):
        path = os.path.join(scratch, "played-%d.trv" % i)
        status, _, err = run([cli, "new", path])
        assert status == 0, err
        for _ in range(4):
            template, tokens = session(rng, windows)
            run(cli_argv(cli, ["--scenario", path, "--seed", str(rng.randrange(2**32))], template, tokens))
        pool.append(path)
    return pool


def one(programs, windows, pool, scratch, number, rng):
    """Runs one session in both programs: (what differs or None, treva-cli's status)."""
    template, tokens = session(rng, windows)
    options = ["--seed", str(rng.randrange(2**32))]
    source = rng.choice(pool) if pool and rng.random() < 0.3 else None
    if source:
        scenario = ["--scenario", os.path.join(scratch, "s%d.trv" % number)]  # one name: errors name the file
        options = scenario + options if rng.random() < 0.5 else options + scenario
    results = []
    for kind, exe in programs:
        if source:
            shutil.copyfile(source, options[options.index("--scenario") + 1])
        status, out, err = run((cli_argv if kind == "cli" else desktop_argv)(exe, options, template, tokens))
        written = open(options[options.index("--scenario") + 1], "rb").read() if source else None
        results.append((status, out, message(err), written))
    if results[0] == results[1]:
        return None, results[0][0]
    shown = " ".join(options + [str(template)] + [repr(t)[2:-1] for t in tokens])
    lines = ["session %d: %s%s" % (number, shown, " (from %s)" % os.path.basename(source) if source else "")]
    for what, index in (("exit status", 0), ("output", 1), ("error", 2), ("scenario file", 3)):
        if results[0][index] != results[1][index]:
            lines.append("  %s differs:" % what)
            for (kind, exe), r in zip(programs, results):
                lines.append("    %s: %r" % (os.path.basename(exe), r[index]))
    return "\n".join(lines), results[0][0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", required=True, help="treva-cli")
    parser.add_argument("--desktop", help="treva, run as treva --drive")
    parser.add_argument("--other-cli", help="another treva-cli to compare with (before and after a change)")
    parser.add_argument("--corpus", help="a folder of scenario files to start sessions from")
    parser.add_argument("--sessions", type=int, default=400)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--seed", type=int, help="replays a run")
    args = parser.parse_args()
    if bool(args.desktop) == bool(args.other_cli):
        parser.error("give --desktop or --other-cli")
    programs = [("cli", args.cli), ("desktop", args.desktop) if args.desktop else ("cli", args.other_cli)]
    seed = args.seed if args.seed is not None else random.randrange(2**32)
    print("drive sessions --seed %d" % seed, flush=True)
    rng = random.Random(seed)
    started = time.monotonic()
    windows = survey(args.cli)
    # The survey found what the sessions are to exercise.
    assert all(w.ids() for w in windows.values())
    assert any(w.ids("list") for w in windows.values()), "no drop-down list"
    assert any(w.opener and w.opener[1].ids("edit") for w in windows.values()), "no modal box with edit boxes"
    with tempfile.TemporaryDirectory(prefix="treva-drive-") as scratch:
        pool = scenario_pool(args.cli, args.corpus, windows, scratch, rng)
        rngs = [random.Random(rng.randrange(2**64)) for _ in range(args.sessions)]
        with ThreadPoolExecutor(max_workers=args.jobs) as jobs:
            done = list(jobs.map(lambda n: one(programs, windows, pool, scratch, n, rngs[n]), range(args.sessions)))
    failures = [f for f, _ in done if f]
    succeeded = sum(1 for _, status in done if status == 0)
    for f in failures:
        print(f)
    print("%d sessions (%d ended without an error), %d differ, %.1f s" %
          (args.sessions, succeeded, len(failures), time.monotonic() - started))
    if succeeded < args.sessions // 2:
        print("too few sessions got through to compare the windows")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
