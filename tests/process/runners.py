"""How the process tests start Gridsaw and hear its message.

The program under test comes from the environment: GRIDSAW names the Linux
binary.
"""

import os
import subprocess
from dataclasses import dataclass


@dataclass
class Outcome:
    status: int
    message: str   # the message text, without the caption
    kind: str      # "error" or "information"


class PosixRunner:
    """gridsaw on Linux: the message is one line, "Gridsaw: " and the text."""

    def __init__(self, program):
        self.program = program

    def run(self, tail, cwd, preexec_fn=None, timeout=60):
        args = [self.program] + ([tail] if tail else [])
        done = subprocess.run(args, cwd=cwd, capture_output=True, timeout=timeout,
                              preexec_fn=preexec_fn)
        out, err = done.stdout.decode(), done.stderr.decode()
        lines = (out + err).splitlines()
        assert len(lines) == 1, f"expected one message line, got {lines!r}"
        caption, _, text = lines[0].partition(": ")
        assert caption == "Gridsaw", lines[0]
        return Outcome(done.returncode, text, "error" if err else "information")

    def run_args(self, args, cwd):
        done = subprocess.run([self.program] + args, cwd=cwd, capture_output=True, timeout=60)
        return done.returncode, (done.stdout + done.stderr).decode()


def runner_from_environment():
    return PosixRunner(os.environ["GRIDSAW"])
