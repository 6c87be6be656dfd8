#!/usr/bin/env python3
"""The peer of BM_TwentyCurveSlotsOfOnePreset: the same twenty slots of one preset, each
the cascade of its analog sections evaluated with scipy.signal.freqs at w = f / fc on the
response grid, the section responses multiplied and turned into dB once per slot.

Reads what `bench_response_curves --print-sections` prints (a file, or standard input)
and prints one JSON object: the CPU time of one evaluation of all twenty slots (median
of several runs) and the largest difference from the curves the program computed.
"""

import argparse
import json
import statistics
import sys
import time
import timeit

import numpy as np
from scipy.signal import freqs


def twenty_slots(slots, hz):
    curves = []
    for sections in slots:
        response = np.ones(hz.size, dtype=complex)
        for a2, a1, a0, b2, b1, b0, fc in sections:
            _, h = freqs([a2, a1, a0], [b2, b1, b0], worN=hz / fc)
            response *= h
        curves.append(20.0 * np.log10(np.abs(response)))
    return curves


def largest_difference(curves, expected):
    worst = 0.0
    for ours, theirs in zip(curves, expected):
        theirs = np.asarray(theirs, dtype=float)
        both = np.isfinite(ours) & np.isfinite(theirs)
        if not np.array_equal(np.isfinite(ours), np.isfinite(theirs)):
            return float("inf")
        if both.any():
            worst = max(worst, float(np.max(np.abs(ours[both] - theirs[both]))))
    return worst


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("sections", nargs="?", help="JSON from --print-sections (default: standard input)")
    parser.add_argument("--runs", type=int, default=7, help="timed runs; the median is reported")
    args = parser.parse_args()

    data = json.load(open(args.sections) if args.sections else sys.stdin)
    hz = np.asarray(data["hz"], dtype=float)
    slots = [s["sections"] for s in data["slots"]]

    def evaluate():
        return twenty_slots(slots, hz)

    difference = largest_difference(evaluate(), [s["db"] for s in data["slots"]])
    timer = timeit.Timer(evaluate, timer=time.process_time)
    calls, _ = timer.autorange()  # enough calls for about 0.2 s a run
    per_call = [t / calls for t in timer.repeat(repeat=args.runs, number=calls)]
    json.dump(
        {
            "name": "scipy_freqs_twenty_slots",
            "cpu_time_us": 1e6 * statistics.median(per_call),
            "runs": args.runs,
            "calls_per_run": calls,
            "slots": len(slots),
            "sections": sum(len(s) for s in slots),
            "max_difference_db": difference,
        },
        sys.stdout,
    )
    print()


if __name__ == "__main__":
    main()
