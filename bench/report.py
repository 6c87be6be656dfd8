#!/usr/bin/env python3
"""Runs the benchmark programs and prints one Markdown table: each figure, the peer it is
measured against in the same run, their ratio and the goal.

    python3 bench/report.py [BUILD_DIR]      (default build/bench; `make bench` runs it)

Each row names a figure and, where the goal is a ratio, a peer: a benchmark of a program
(`bench/<program>.cpp`, run with --benchmark_format=json) or of the scipy script, and which
of its numbers to read: "cpu" (CPU time of the benchmark's thread, or of the whole process
where the benchmark measures that), "real" (wall or manual time) or the name of one of its
counters in milliseconds. A later stage adds a benchmark
to a program and a row to ROWS; nothing else changes. Rows whose program is not built, or
whose peer cannot run here, are listed with the reason instead of numbers.
"""

import json
import os
import platform
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent


@dataclass(frozen=True)
class Figure:
    label: str
    program: str  # bench_<program>, or "scipy_curves" for the Python peer
    benchmark: str
    measure: str  # "cpu", "real" or a counter in milliseconds


@dataclass(frozen=True)
class Goal:
    kind: str  # "at most" (figure / peer, or the figure itself in seconds), "times faster" or "none"
    value: float
    text: str


@dataclass(frozen=True)
class Row:
    figure: Figure
    peer: Figure | None
    goal: Goal


ROWS = [
    Row(
        Figure("20 curve slots of one preset, CPU", "response_curves", "BM_TwentyCurveSlotsOfOnePreset", "cpu"),
        Figure("scipy `freqs` on the same sections, CPU", "scipy_curves", "scipy_freqs_twenty_slots", "cpu"),
        Goal("times faster", 50, "≥ 50× faster"),
    ),
    Row(
        Figure("curves of a marker-drag step with the DSP overlay, CPU", "response_curves",
               "BM_DragStepCurves/overlay:1", "cpu"),
        Figure("the same step without it, CPU", "response_curves", "BM_DragStepCurves/overlay:0", "cpu"),
        Goal("none", 0, "— (≤ 1.2× is for the whole redraw with the page's overlay)"),
    ),
    Row(
        Figure("auto-EQ: one 8-band fit over 420 points", "autoeq_fit", "BM_EightBandFitOverTheWholeGrid", "real"),
        None,
        Goal("at most", 1.0, "≤ 1 s"),
    ),
    Row(
        Figure("graph redraw 900×500, one stale slot, CPU", "ui_graph_redraw", "BM_MarkerDragRedraw", "cpu"),
        Figure("full redraw (every slot stale), CPU", "ui_graph_redraw", "BM_FullRedraw", "cpu"),
        Goal("at most", 1 / 3, "≤ 1/3"),
    ),
    Row(
        Figure("graph redraw 900×500, one stale slot, CPU", "ui_graph_redraw", "BM_MarkerDragRedraw", "cpu"),
        Figure("the same redraw painted whole, CPU", "ui_graph_redraw", "BM_MarkerDragRedrawWhole", "cpu"),
        Goal("at most", 1 / 3, "≤ 1/3"),
    ),
    Row(
        Figure("graph redraw 900×500, one stale slot, measurement and prediction shown, CPU", "ui_graph_redraw",
               "BM_MarkerDragRedrawMeasured", "cpu"),
        Figure("the same redraw without a measurement, CPU", "ui_graph_redraw", "BM_MarkerDragRedraw", "cpu"),
        Goal("at most", 1.2, "≤ 1.2×"),
    ),
    Row(
        Figure("graph redraw 900×500, one stale slot, DSP response shown, CPU", "ui_graph_redraw",
               "BM_MarkerDragRedrawDspResponse", "cpu"),
        Figure("the same redraw without it, CPU", "ui_graph_redraw", "BM_MarkerDragRedraw", "cpu"),
        Goal("at most", 1.2, "≤ 1.2×"),
    ),
    Row(
        Figure("marker-drag step, graph 900×500, a hand's sweep, CPU", "ui_drag_step", "BM_DragStepGraph900x500",
               "cpu"),
        None,
        Goal("at most", 1.0e-3, "≤ 1.0 ms"),
    ),
    Row(
        Figure("marker-drag step, graph 900×500, jumps across the plot, CPU", "ui_drag_step",
               "BM_DragStepGraph900x500Jumps", "cpu"),
        None,
        Goal("none", 0, "— (the hardest case)"),
    ),
    Row(
        Figure("marker-drag step on the page (graph 674×390), offline, CPU", "ui_drag_step", "BM_DragStepOffline",
               "cpu"),
        None,
        Goal("at most", 1.0e-3, "≤ 1.0 ms"),
    ),
    Row(
        Figure("marker-drag step on the page (graph 674×390), online, CPU", "ui_drag_step", "BM_DragStepOnline",
               "cpu"),
        None,
        Goal("none", 0, "— (also counts the simulated unit's thread, which runs in the same process)"),
    ),
    Row(
        Figure("`sendAllParameters` at 115200 baud", "link_transfer", "BM_SendAllParameters", "real"),
        Figure("pure wire time", "link_transfer", "BM_SendAllParameters", "wire_ms"),
        Goal("at most", 1.03, "≤ 1.03×"),
    ),
    Row(
        Figure("store all ten presets at 115200 baud", "link_transfer", "BM_StoreAllTenPresets", "real"),
        Figure("pure wire time", "link_transfer", "BM_StoreAllTenPresets", "wire_ms"),
        Goal("at most", 1.02, "≤ 1.02×"),
    ),
    Row(
        Figure("one-byte round trip over a pseudo-terminal (host, unit thread)", "link_transfer",
               "BM_PtyRoundTrip", "real"),
        None,
        Goal("none", 0, "— (the floor an exchange adds to the wire time)"),
    ),
    Row(
        Figure("start-up to the first painted main window, with a bank", "app_startup", "BM_StartupToFirstPaint",
               "program_ms"),
        Figure("bare Qt main window with a status line", "app_startup", "BM_StartupToFirstPaint",
               "bare_ms"),
        Goal("at most", 1.15, "≤ 1.15×"),
    ),
]

# Repetitions per program: the median of them is the figure. Repetitions of the
# benchmarks of one program run in random interleaved order, so a figure and its peer
# in the same program see the same machine (a busy spell does not fall on one of them
# alone). The link transfers take
# seconds each and run a fixed number of iterations already; the start-up benchmark
# takes its own medians over alternating starts.
REPETITIONS = {"link_transfer": 1, "app_startup": 1}
DEFAULT_REPETITIONS = 9
SCIPY_RUNS = 7

# What Google Benchmark appends to a name for the way it runs (not for its arguments).
DECORATIONS = r"/(iterations|repeats|threads|min_time):[^/]*|/(manual|real|process)_time"

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


class Unavailable(Exception):
    """A figure that cannot be measured here; the message says why."""


def log(message):
    print(message, file=sys.stderr, flush=True)


def last_line(text):
    lines = text.strip().splitlines()
    return lines[-1] if lines else "no message"


def program_path(build_dir, program):
    return build_dir / "bench" / f"bench_{program}"


def run_benchmark_program(build_dir, program, benchmarks):
    path = program_path(build_dir, program)
    if not path.exists():
        raise Unavailable(f"`bench_{program}` is not built")
    repetitions = REPETITIONS.get(program, DEFAULT_REPETITIONS)
    names = "|".join(re.escape(name) for name in sorted(benchmarks))
    command = [str(path), "--benchmark_format=json", f"--benchmark_filter=^({names})(/|$)"]
    if repetitions > 1:
        command += [
            f"--benchmark_repetitions={repetitions}",
            "--benchmark_enable_random_interleaving=true",
            "--benchmark_report_aggregates_only=true",
        ]
    log(f"running {path.name} ({', '.join(sorted(benchmarks))})")
    environment = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    done = subprocess.run(command, capture_output=True, text=True, env=environment)
    if done.returncode != 0:
        raise Unavailable(f"`bench_{program}` failed: {last_line(done.stderr)}")
    results = {}
    for entry in json.loads(done.stdout)["benchmarks"]:
        name = re.sub(DECORATIONS, "", entry.get("run_name", entry["name"]))
        aggregate = entry.get("aggregate_name")
        if aggregate == "median" or (aggregate is None and name not in results):
            results[name] = entry
    return results


def scipy_interpreter():
    """A Python that can import scipy: Debian's python3-scipy installs into /usr/bin/python3."""
    for candidate in ["/usr/bin/python3", shutil.which("python3"), sys.executable]:
        if candidate and Path(candidate).exists():
            probe = subprocess.run([candidate, "-c", "import scipy.signal"], capture_output=True)
            if probe.returncode == 0:
                return candidate
    return None


def run_scipy_curves(build_dir):
    sections_program = program_path(build_dir, "response_curves")
    if not sections_program.exists():
        raise Unavailable("`bench_response_curves` is not built")
    python = scipy_interpreter()
    if python is None:
        raise Unavailable("python3-scipy is not installed (`bash scripts/install-deps.sh --bench`)")
    log("running scipy_curves.py")
    sections = subprocess.run([str(sections_program), "--print-sections"], capture_output=True, text=True, check=True)
    done = subprocess.run(
        [python, str(HERE / "scipy_curves.py"), "--runs", str(SCIPY_RUNS)],
        input=sections.stdout,
        capture_output=True,
        text=True,
    )
    if done.returncode != 0:
        raise Unavailable(f"scipy_curves.py failed: {last_line(done.stderr)}")
    result = json.loads(done.stdout)
    return {result["name"]: {"cpu_time": result["cpu_time_us"], "time_unit": "us", "note": result}}


def measure_all(build_dir):
    """Runs every program the rows need once; returns program -> results or Unavailable."""
    wanted = {}
    for row in ROWS:
        for figure in filter(None, [row.figure, row.peer]):
            wanted.setdefault(figure.program, set()).add(figure.benchmark)
    measured = {}
    for program, benchmarks in wanted.items():
        try:
            if program == "scipy_curves":
                measured[program] = run_scipy_curves(build_dir)
            else:
                measured[program] = run_benchmark_program(build_dir, program, benchmarks)
        except (Unavailable, subprocess.CalledProcessError, json.JSONDecodeError) as error:
            measured[program] = Unavailable(str(error))
    return measured


def seconds(measured, figure):
    results = measured[figure.program]
    if isinstance(results, Unavailable):
        raise results
    entry = results.get(figure.benchmark)
    if entry is None:
        raise Unavailable(f"no result for {figure.benchmark}")
    if entry.get("error_occurred"):
        raise Unavailable(f"{figure.benchmark}: {entry.get('error_message', 'failed')}")
    if figure.measure in ("cpu", "real"):
        return entry[f"{figure.measure}_time"] * UNIT_SECONDS[entry["time_unit"]]
    return entry[figure.measure] * 1e-3


def time_text(value):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if value >= scale:
            return f"{value / scale:.3g} {unit}"
    return f"{value / 1e-9:.3g} ns"


def table_row(row, measured):
    peer_label = row.peer.label if row.peer else "—"
    try:
        figure = seconds(measured, row.figure)
    except Unavailable as why:
        return [row.figure.label, "—", peer_label, "—", "—", row.goal.text, f"skipped: {why}"]
    try:
        peer = seconds(measured, row.peer) if row.peer else None
    except Unavailable as why:
        return [row.figure.label, time_text(figure), peer_label, "—", "—", row.goal.text, f"skipped: {why}"]
    if row.goal.kind == "times faster":
        ratio = peer / figure
        ratio_text = f"{ratio:.1f}× faster"
        met = ratio >= row.goal.value
    elif peer is not None:
        ratio = figure / peer
        ratio_text = f"{ratio:.3f}×" if ratio >= 0.5 else f"{ratio:.2f}"
        met = None if row.goal.kind == "none" else ratio <= row.goal.value
    else:
        ratio_text = "—"
        met = None if row.goal.kind == "none" else figure <= row.goal.value
    peer_text = time_text(peer) if peer is not None else "—"
    return [row.figure.label, time_text(figure), peer_label, peer_text, ratio_text, row.goal.text,
            "—" if met is None else "met" if met else "**not met**"]


def markdown(rows):
    header = ["Figure", "Measured", "Peer (same run)", "Peer measured", "Ratio", "Goal", "Result"]
    lines = ["| " + " | ".join(header) + " |", "|---|---:|---|---:|---:|---|---|"]
    lines += ["| " + " | ".join(cells) + " |" for cells in rows]
    return "\n".join(lines)


def machine_note(load_before):
    cpu = platform.processor() or platform.machine()
    try:
        with open("/proc/cpuinfo") as info:
            cpu = next(line.split(":", 1)[1].strip() for line in info if line.startswith("model name"))
    except (OSError, StopIteration):
        pass
    load_after = os.getloadavg()[0]
    return (
        f"Measured {time.strftime('%Y-%m-%d')} on {cpu}, {os.cpu_count()} cores, load average "
        f"{load_before:.1f} before and {load_after:.1f} after the run (other work shares the machine, "
        "so absolute times vary; each ratio compares two figures of the same run). Times are medians "
        f"of {DEFAULT_REPETITIONS} repetitions (link transfers: one run of several transfers; start-up: the "
        "medians of 15 alternating starts of each)."
    )


def scipy_note(measured):
    results = measured.get("scipy_curves")
    if isinstance(results, Unavailable) or not results:
        return None
    note = next(iter(results.values()))["note"]
    return (
        f"The scipy peer evaluates the same {note['sections']} sections of {note['slots']} slots; its curves "
        f"differ from the program's by at most {note['max_difference_db']:.1e} dB."
    )


def main():
    build_dir = Path(sys.argv[1] if len(sys.argv) > 1 else "build/bench")
    load_before = os.getloadavg()[0]
    measured = measure_all(build_dir)
    rows = [table_row(row, measured) for row in ROWS]
    print()
    print(markdown(rows))
    print()
    print(machine_note(load_before))
    note = scipy_note(measured)
    if note:
        print(note)


if __name__ == "__main__":
    main()
