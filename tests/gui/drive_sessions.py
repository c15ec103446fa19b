#!/usr/bin/env python3
"""Random sessions of every tool window, run by `treva --drive` on the real
windows (Qt widgets, or Win32 controls under Wine), or by `web/drive` on the
browser version's controls in headless Chromium, and by `treva-cli drive` on
the in-memory windows: both must print the same JSON (or the same one-line
error), end with the same exit status and leave the same scenario file bytes.

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


# What runs the programs (Wine for Windows programs); nothing by default.
LAUNCHER = []

# Whether the programs take their arguments as Unicode (Windows programs, and
# web/drive, which Node hands them to as JavaScript strings).
UNICODE_ARGUMENTS = [False]


def cli_argv(exe, options, template, tokens):
    return LAUNCHER + [exe] + options + ["drive", str(template)] + tokens


def desktop_argv(exe, options, template, tokens):
    return LAUNCHER + [exe, "--drive"] + options + [str(template)] + tokens


def web_argv(exe, options, template, tokens):
    return [exe] + options + [str(template)] + tokens


ARGV = {"cli": cli_argv, "desktop": desktop_argv, "web": web_argv}

# How each second program takes its sessions many to a process.
BATCH_ARGV = {"desktop": lambda exe: LAUNCHER + [exe, "--drive-batch"], "web": lambda exe: [exe, "--batch"]}


def argument(a):
    if not isinstance(a, bytes):
        return os.fsencode(a)
    # Windows programs take their arguments as Unicode, which Wine decodes
    # from UTF-8, and so does Node: what is not UTF-8 goes as U+FFFD (Wine
    # reads on past an argument that ends in the middle of a sequence).
    return a.decode("utf-8", "replace").encode("utf-8") if UNICODE_ARGUMENTS[0] else a


# Seconds one program may take; a session takes well under one.
TIMEOUT = 30

# web/drive starts a browser and gives the page 30 s of its own before it
# says the page never finished: it is given the time to say so.
TIMEOUTS = {"web": TIMEOUT + 30}


def run(argv, request=None, timeout=TIMEOUT):
    """Exit status (None: the program did not end in time and was stopped),
    output and error. The launcher's own lines (a start it tried again) are
    shown, not taken for the program's error."""
    process = subprocess.Popen([argument(a) for a in argv], stdin=subprocess.PIPE if request else None,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        out, err = process.communicate(request, timeout=timeout)
        status = process.returncode
    except subprocess.TimeoutExpired:
        process.kill()
        out, err = process.communicate()
        status = None
    lines = err.splitlines(keepends=True)
    for line in lines:
        if line.startswith(b"wine-run: "):
            sys.stdout.write(line.decode(errors="replace"))
    return status, out, b"".join(line for line in lines if not line.startswith(b"wine-run: "))


def message(stderr):
    """The error without the program's name before it."""
    return stderr.split(b": ", 1)[1] if b": " in stderr else stderr


# ---------------------------------------------------------------------------
# What the windows hold, as treva-cli reports it


class Window:
    def __init__(self):
        self.controls = {}  # id -> {"kind": ..., "items": count}
        self.closers = set()  # clicks that end the window
        self.clicks = {}  # id -> what a click on it leaves (None: an error)
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


def survey(cli, jobs):
    """Every tool window, and the modal box a click in one of them opens."""
    windows = {}
    for template, shown in zip(TEMPLATES, jobs.map(lambda t: drive_cli(cli, t, []), TEMPLATES)):
        assert shown, "treva-cli cannot open window %d" % template
        windows[template] = w = read_window(cli, jobs, template, [], shown)
        for control in w.ids():
            after = w.clicks[control]
            if w.controls[control]["kind"] == "plain" and after and after["modal"]:
                w.opener = (control, read_window(cli, jobs, template, [str(control)], after["modal"]))
    return windows


def read_window(cli, jobs, template, prefix, shown):
    def still_open(after):
        return after is not None and (after["modal"] is not None if prefix else after["open"])

    w = Window()
    for key, control in shown["controls"].items():
        w.controls[int(key)] = {"kind": kind_of(control), "items": len(control.get("items", []))}
    plain = w.ids("plain")
    probes = [[str(c) + ":"] for c in plain] + [[str(c)] for c in w.ids()] + [["close"]]
    after = list(jobs.map(lambda tokens: drive_cli(cli, template, prefix + tokens), probes))
    for control, typed in zip(plain, after):
        if typed:
            w.controls[control]["kind"] = "edit"
    w.clicks = dict(zip(w.ids(), after[len(plain):-1]))  # what each click leaves
    w.closers = {c for c, shown in w.clicks.items() if shown is not None and not still_open(shown)}
    w.close_box = after[-1] is not None and not still_open(after[-1])
    return w


# ---------------------------------------------------------------------------
# Random sessions

# What a player might type into an edit box: numbers, signs, spaces, letters,
# the code page's upper half, and now and then a control character (which no
# key types into an edit box).
TYPED = (list(b"0123456789") * 4 + list(b"+- ") * 3 + list(b"abcXYZ.,") + list(range(0x80, 0x100)) +
         [0x09, 0x0A, 0x0D, 0x1B, 0x08, 0x7F, 0x01])


# Wine's edit box never returns from some texts that end in a small tilde
# (byte 0x98 of the code page) after certain letters, such as "\xeb\xac\x98"
# typed into the Special box: under Wine the sessions type no byte 0x98.
WINE_HANGS_ON = {0x98}


def random_text(rng):
    typed = [b for b in TYPED if b not in WINE_HANGS_ON] if LAUNCHER else TYPED
    return bytes(rng.choice(typed) for _ in range(rng.choice([0, 1, 2, 3, 4, 6, 9, 12, 20])))


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
        status, _, err = run(LAUNCHER + [cli, "new", path])
        assert status == 0, err
        for _ in range(4):
            template, tokens = session(rng, windows)
            run(cli_argv(cli, ["--scenario", path, "--seed", str(rng.randrange(2**32))], template, tokens))
        pool.append(path)
    return pool


class Session:
    """One session: the window, its tokens and the options of both runs."""

    def __init__(self, rng, windows, pool, scratch, number):
        self.number = number
        self.template, self.tokens = session(rng, windows)
        self.options = ["--seed", str(rng.randrange(2**32))]
        self.source = rng.choice(pool) if pool and rng.random() < 0.3 else None
        self.scenario = None
        if self.source:
            self.scenario = os.path.join(scratch, "s%d.trv" % number)  # one name: errors name the file
            where = ["--scenario", self.scenario]
            self.options = where + self.options if rng.random() < 0.5 else self.options + where

    def prepare(self):
        if self.source:
            shutil.copyfile(self.source, self.scenario)

    def result(self, status, out, err):
        """What a run shows: exit status, output, error and the file it leaves."""
        written = open(self.scenario, "rb").read() if self.source else None
        return status, out, message(err), written


def run_one(kind, exe, s):
    """The session in a program of its own. One that has not ended in time
    runs once more, and the log says so: a session that hangs every time
    still fails."""
    timeout = TIMEOUTS.get(kind, TIMEOUT)
    for attempt in range(2):
        s.prepare()
        status, out, err = run(ARGV[kind](exe, s.options, s.template, s.tokens), timeout=timeout)
        if status is not None:
            break
        print("session %d: %s did not end within %d s%s" %
              (s.number, os.path.basename(exe), timeout, ", once more" if attempt == 0 else ""), flush=True)
    return s.result(status, out, err)


def run_batch(kind, exe, sessions):
    """The sessions in one program, one after another (treva --drive-batch,
    web/drive --batch): each as a count of arguments and the arguments, each
    ended by a NUL byte; each answered by "STATUS OUTLEN ERRLEN\n", the
    output and the error."""
    request = b""
    for s in sessions:
        s.prepare()
        args = s.options + [str(s.template)] + s.tokens
        request += b"%d\0" % len(args) + b"".join(argument(a) + b"\0" for a in args)
    argv = BATCH_ARGV[kind](exe)
    ended, rest, err = run(argv, request, TIMEOUTS.get(kind, TIMEOUT) + 5 * len(sessions))
    if ended is None:
        print("%s %s did not end in time" % (os.path.basename(exe), argv[-1]), flush=True)
    answers = []
    while b"\n" in rest:
        head, rest = rest.split(b"\n", 1)
        status, out_length, err_length = (int(n) for n in head.split())
        answers.append((status, rest[:out_length], rest[out_length:out_length + err_length]))
        rest = rest[out_length + err_length:]
    lost = (ended, b"", b"no answer: " + err)  # the program ended before this session
    return [s.result(*(answers[i] if i < len(answers) else lost)) for i, s in enumerate(sessions)]


def compare(programs, s, results):
    """What differs between the two runs of a session, or None."""
    if results[0] == results[1]:
        return None
    shown = " ".join(s.options + [str(s.template)] + [repr(t)[2:-1] for t in s.tokens])
    lines = ["session %d: %s%s" % (s.number, shown, " (from %s)" % os.path.basename(s.source) if s.source else "")]
    for what, index in (("exit status", 0), ("output", 1), ("error", 2), ("scenario file", 3)):
        if results[0][index] != results[1][index]:
            lines.append("  %s differs:" % what)
            for (kind, exe), r in zip(programs, results):
                lines.append("    %s: %r" % (os.path.basename(exe), r[index]))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", required=True, help="treva-cli")
    parser.add_argument("--desktop", help="treva, run as treva --drive")
    parser.add_argument("--web", help="web/drive, the browser version in headless Chromium")
    parser.add_argument("--launcher", help="a program that runs the programs (such as Wine)")
    parser.add_argument("--batch", action="store_true",
                        help="the desktop or browser program takes its sessions many to a process "
                        "(treva --drive-batch, web/drive --batch), one process for each job; "
                        "one session in sixteen still runs in a process of its own")
    parser.add_argument("--other-cli", help="another treva-cli to compare with (before and after a change)")
    parser.add_argument("--corpus", help="a folder of scenario files to start sessions from")
    parser.add_argument("--sessions", type=int, default=400)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--seed", type=int, help="replays a run")
    args = parser.parse_args()
    seconds = [("desktop", args.desktop), ("web", args.web), ("cli", args.other_cli)]
    seconds = [(kind, exe) for kind, exe in seconds if exe]
    if len(seconds) != 1:
        parser.error("give one of --desktop, --web and --other-cli")
    if args.web and args.launcher:
        parser.error("web/drive runs without a launcher")
    if args.batch and args.other_cli:
        parser.error("--batch is for --desktop or --web")
    programs = [("cli", args.cli), seconds[0]]
    LAUNCHER[:] = [args.launcher] if args.launcher else []
    UNICODE_ARGUMENTS[0] = bool(args.launcher or args.web)
    seed = args.seed if args.seed is not None else random.randrange(2**32)
    print("drive sessions --seed %d" % seed, flush=True)
    rng = random.Random(seed)
    started = time.monotonic()
    with ThreadPoolExecutor(max_workers=args.jobs) as jobs, \
            tempfile.TemporaryDirectory(prefix="treva-drive-") as scratch:
        windows = survey(args.cli, jobs)
        # The survey found what the sessions are to exercise.
        assert all(w.ids() for w in windows.values())
        assert any(w.ids("list") for w in windows.values()), "no drop-down list"
        assert any(w.opener and w.opener[1].ids("edit") for w in windows.values()), "no modal box with edit boxes"
        pool = scenario_pool(args.cli, args.corpus, windows, scratch, rng)
        rngs = [random.Random(rng.randrange(2**64)) for _ in range(args.sessions)]
        sessions = [Session(rngs[n], windows, pool, scratch, n) for n in range(args.sessions)]
        # The second program first, then treva-cli: each run starts from its own copy of the scenario.
        kind, exe = programs[1]
        batched = [s for s in sessions if s.number % 16] if args.batch else []
        alone = [s for s in sessions if s not in batched]
        second = dict(zip(alone, jobs.map(lambda s: run_one(kind, exe, s), alone)))
        parts = [batched[part::args.jobs] for part in range(args.jobs)] if batched else []
        for part, results in zip(parts, jobs.map(lambda part: run_batch(kind, exe, part), parts)):
            second.update(zip(part, results))
        first = list(jobs.map(lambda s: run_one("cli", args.cli, s), sessions))
    done = [(compare(programs, s, [r, second[s]]), r[0]) for s, r in zip(sessions, first)]
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
