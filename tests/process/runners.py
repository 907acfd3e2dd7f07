"""How the process tests start Gridsaw and hear its message.

The program under test comes from the environment: GRIDSAW names the Linux
binary; GRIDSAW_EXE, with GRIDSAW_LAUNCHER, the Windows one, run under Wine.
"""

import os
import re
import signal
import subprocess
import tempfile
from dataclasses import dataclass


@dataclass
class Outcome:
    status: int
    message: str   # the message text, without the caption
    kind: str      # "error" or "information"


VALGRIND = ["valgrind", "-q", "--error-exitcode=99", "--leak-check=full",
            "--show-leak-kinds=definite,indirect,possible",
            "--errors-for-leak-kinds=definite,indirect,possible"]


class PosixRunner:
    """gridsaw on Linux: the message is one line, "Gridsaw: " and the text.
    The tail is the arguments joined with spaces, taken verbatim. Under
    valgrind, any memory error or leak fails the run."""

    strips_enclosing_quotes = False

    def __init__(self, program, valgrind=False):
        self.program = program
        self.valgrind = valgrind

    def run(self, tail, cwd, preexec_fn=None, timeout=60, extra_env=None):
        return self.run_args([tail] if tail else [], cwd, preexec_fn, timeout, extra_env)

    def run_args(self, args, cwd, preexec_fn=None, timeout=60, extra_env=None):
        with tempfile.NamedTemporaryFile(prefix="gridsaw-valgrind-") as log:
            os.chmod(log.name, 0o666)  # also for a run as another user
            checker = VALGRIND + [f"--log-file={log.name}"] if self.valgrind else []
            done = subprocess.run(checker + [self.program] + args, cwd=cwd, capture_output=True,
                                  timeout=timeout, preexec_fn=preexec_fn,
                                  env=dict(os.environ, **(extra_env or {})))
            report = log.read().decode(errors="replace")
        assert done.returncode != 99 and not report, f"valgrind: {report}"
        out, err = done.stdout.decode(), done.stderr.decode()
        lines = (out + err).splitlines()
        if not args:  # the usage follows the message
            assert lines[1:] == ["usage: gridsaw MAP-DESCRIPTION"], lines
            lines = lines[:1]
        assert len(lines) == 1, f"expected one message line, got {lines!r}"
        caption, _, text = lines[0].partition(": ")
        assert caption == "Gridsaw", lines[0]
        return Outcome(done.returncode, text, "error" if err else "information")


# Wine's relay trace of the one call that shows the message.
MESSAGE_BOX_CALL = re.compile(
    r'Call user32\.MessageBoxW\((\w+),\w+ L"((?:[^"\\]|\\.)*)",\w+ L"((?:[^"\\]|\\.)*)",(\w+)\)')
MB_ICONERROR = 0x10
# The Wine loader: wine for the 32-bit program, wine64 for a 64-bit build.
WINE = os.environ.get("GRIDSAW_WINE", "wine")
MB_ICONINFORMATION = 0x40


def unescape(text):
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m[1], m[1]), text)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def launch_environment(program, command_line):
    """What the launcher needs to start `program` with exactly `command_line`."""
    return {"GRIDSAW_PROGRAM": windows_path(program),
            "GRIDSAW_COMMAND_LINE_HEX": command_line.encode("utf-8").hex()}


class WineRunner:
    """gridsaw.exe under Wine, started by a launcher with an exact command
    line. Without a display MessageBoxW returns at once; the relay trace
    shows its owner, text, caption and style."""

    strips_enclosing_quotes = True

    def __init__(self, program, launcher):
        self.program = program
        self.launcher = launcher

    def run(self, tail, cwd, preexec_fn=None, timeout=60):
        return self.run_command_line("gridsaw.exe" + (" " + tail if tail else ""), cwd,
                                     preexec_fn, timeout)

    def run_args(self, args, cwd, preexec_fn=None, timeout=60):
        return self.run(" ".join(args), cwd, preexec_fn, timeout)

    def run_command_line(self, command_line, cwd, preexec_fn=None, timeout=60):
        env = dict(os.environ, WINEDEBUG="-all,+relay", **launch_environment(self.program,
                                                                               command_line))
        env.pop("DISPLAY", None)

        def prepare():
            # Wine does not ignore SIGXFSZ for the program; Windows has no such signal.
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            if preexec_fn:
                preexec_fn()

        # A file, not a pipe: Wine's helper processes would hold a pipe open
        # for a second after the program has ended.
        with tempfile.TemporaryFile() as trace:
            done = subprocess.run([WINE, self.launcher], cwd=cwd, env=env, timeout=timeout,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=trace, preexec_fn=prepare)
            trace.seek(0)
            text = trace.read().decode("latin-1")
            calls = MESSAGE_BOX_CALL.findall(text)
        assert len(calls) == 1, (f"expected one MessageBoxW call, got {calls!r}; status "
                                 f"{done.returncode}, trace ends {text[-600:]!r}")
        owner, text, caption, style = calls[0]
        assert int(owner, 16) == 0, f"the box has an owner: {owner}"
        assert unescape(caption) == "Gridsaw", caption
        kinds = {MB_ICONERROR: "error", MB_ICONINFORMATION: "information"}
        assert int(style, 16) in kinds, f"style {style}"
        return Outcome(done.returncode, unescape(text), kinds[int(style, 16)])


def runner_from_environment():
    if "GRIDSAW_EXE" in os.environ:
        return WineRunner(os.environ["GRIDSAW_EXE"], os.environ["GRIDSAW_LAUNCHER"])
    return PosixRunner(os.environ["GRIDSAW"], valgrind="GRIDSAW_VALGRIND" in os.environ)
