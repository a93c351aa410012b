#!/usr/bin/env python3
"""Times commands round-robin, so that a machine whose speed drifts during the benchmark
slows all of them alike and their ratios hold. Writes RESULTS/NAME.json per command, with
the wall times of its runs in seconds.

  interleave.py RESULTS RUNS NAME COMMAND [NAME COMMAND ...]
"""
import json
import shlex
import subprocess
import sys
import time
from pathlib import Path


def run(command):
    started = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.perf_counter() - started


def main():
    results, runs = Path(sys.argv[1]), int(sys.argv[2])
    pairs = sys.argv[3:]
    commands = {pairs[i]: shlex.split(pairs[i + 1]) for i in range(0, len(pairs), 2)}
    for command in commands.values():  # warm-up
        run(command)
    times = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            times[name].append(run(command))
    for name, command in commands.items():
        record = {"results": [{"command": shlex.join(command), "times": times[name]}]}
        (results / f"{name}.json").write_text(json.dumps(record))


main()
