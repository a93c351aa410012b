#!/usr/bin/env python3
"""Prints the benchmark's medians as MB/s and as ratios to the baselines of the same run."""
import json
import statistics
import sys
from pathlib import Path

results, bin_size, txt_size = Path(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])


def median(name):
    return statistics.median(json.loads((results / f"{name}.json").read_text())["results"][0]["times"])


def line(name, size, baseline=None):
    seconds = median(name)
    text = f"{name:22s} {seconds * 1000:9.1f} ms  {size / seconds / 1e6:8.0f} MB/s"
    if baseline:
        text += f"   {median(baseline) / seconds:5.2f} x {baseline} throughput"
    print(text)


def relative(name, reference):
    print(f"{'':22s} time {median(name) / median(reference):.2f} x {reference}")


print(f"binary log {bin_size / 2**20:.0f} MiB, text log {txt_size / 2**20:.0f} MiB; medians")
line("bin_wc", bin_size)
line("bin_analyze", bin_size, "bin_wc")
for mode in ("keep", "remove", "details", "outside"):
    line(f"bin_export_{mode}", bin_size, "bin_wc")
    relative(f"bin_export_{mode}", "bin_analyze")
line("txt_wc", txt_size)
line("txt_xxd", txt_size)
line("txt_analyze", txt_size, "txt_wc")
print(f"{'':22s} throughput {median('txt_xxd') / median('txt_analyze'):.2f} x txt_xxd")
for mode in ("remove", "outside"):
    line(f"txt_export_{mode}", txt_size, "txt_wc")
    relative(f"txt_export_{mode}", "txt_analyze")
pane_runs = [line.split() for line in (results / "pane.txt").read_text().splitlines()]
pane = statistics.median(int(fields[3]) for fields in pane_runs)
engine = statistics.median(int(fields[7]) for fields in pane_runs)
print(f"largest report into the pane (65,819 lines): {pane} ms median; "
      f"engine over a 100 MiB log, by turns with it: {engine} ms")
print((results / "peak.txt").read_text().strip())
