#!/usr/bin/env python3
"""Plots frame time over the timeline from kv17-bench-frames' CSV as a PNG.

    scripts/plot-frame-times.py frames.csv docs/frame-times.png

Needs matplotlib (Debian: python3-matplotlib, which make benchmarks installs).
"""
import csv
import sys

try:
    import matplotlib
except ImportError:
    sys.exit("plot-frame-times.py: no matplotlib for this python3 (Debian: python3-matplotlib)")

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt  # noqa: E402

PHASES = {  # name in the CSV: (legend label, colour)
    "cube": ("cube (frames 1-1000)", "#4682dc"),
    "flash": ("white flash", "#f0aa14"),
    "pyramids": ("pyramids (frame 1001 on)", "#28aa5a"),
}


def read(path):
    with open(path, newline="") as stream:
        return [(int(r["frame"]), r["phase"], float(r["ms"])) for r in csv.DictReader(stream)]


def main(source, target):
    samples = read(source)
    figure, axes = plt.subplots(figsize=(9, 3.6), dpi=100)
    for phase, (label, colour) in PHASES.items():
        points = [(frame, ms) for frame, name, ms in samples if name == phase]
        if not points:
            continue
        frames, times = zip(*points)
        # The two flashes would vanish among 2,600 small dots.
        size = 30 if phase == "flash" else 3
        axes.scatter(frames, times, s=size, color=colour, label=label, linewidths=0)
    axes.set_title("kv17 frame time over the timeline (640 x 480, Mesa llvmpipe)")
    axes.set_xlabel("frame number")
    axes.set_ylabel("frame time (ms, draw to glFinish)")
    axes.set_xlim(0, samples[-1][0] + 1)
    axes.set_ylim(bottom=0)
    axes.grid(True, color="#e0e0e0", linewidth=0.6)
    axes.set_axisbelow(True)
    axes.legend(loc="upper left", markerscale=2, frameon=False)
    figure.tight_layout()
    figure.savefig(target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
