#!/usr/bin/python3
"""Runs the benches and writes their figures into docs/benchmarks.md.

Builds the benches in build/ (configured as ./test.sh configures it when it
is not there yet), runs each with the arguments the targets name, and reads
the figures each bench appends to the file FENNIMO_BENCH_RECORD names. The
figures of this sitting are added to docs/benchmarks/sittings.tsv, beside
the machine and the load before and after each bench; docs/benchmarks.md
and the README's table of figures are then written again from that file and
docs/benchmarks/template.md. Nothing in them is typed by hand.

    tools/benchmarks.py [--files N] [--shares] [--only BENCH ...] [--render]
"""

import argparse
import datetime
import os
import platform
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DOCS = os.path.join(ROOT, "docs")
SITTINGS = os.path.join(DOCS, "benchmarks", "sittings.tsv")
TEMPLATE = os.path.join(DOCS, "benchmarks", "template.md")
OUTPUT = os.path.join(DOCS, "benchmarks.md")
README = os.path.join(ROOT, "README.md")
COLUMNS = ["sitting", "count", "machine", "commit", "bench", "load", "figure", "folder", "files", "value", "target"]
SHM = "/dev/shm"

# What a sitting runs, in this order: the bench and its arguments, given the
# sitting's file count n. The benches that take no folder measure where
# their targets say (bench_preview on /dev/shm alone, bench_main_window and
# the others on /dev/shm and on the disk).
def plan(n):
    return [
        ("bench_startup", [str(n)]),
        ("bench_browsing", []),
        ("bench_main_window", [str(n)]),
        ("bench_main_window", [str(10 * n), SHM]),
        ("bench_preview", [str(n)]),
        ("bench_command_line", [str(n)]),
        ("bench_name_shapes", [str(n), SHM]),
        ("bench_undo", [str(n)]),
        ("bench_journal", [str(10 * n)]),
    ]


def run(command, **kwargs):
    return subprocess.run(command, check=True, **kwargs)


def build(benches):
    build_dir = os.path.join(ROOT, "build")
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        run(["cmake", "-S", ROOT, "-B", build_dir, "-GNinja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
             "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG", "-DFENNIMO_WERROR=ON"],
            stdout=subprocess.DEVNULL)
    targets = sorted(set(benches) - {"bench_shares"})
    # The command line's benches time the program itself, which they build.
    run(["cmake", "--build", build_dir, f"-j{os.cpu_count()}", "--target", "fennimo", *targets])


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return f"{os.cpu_count()} × {model}, Linux {platform.release()}"


def load():
    return os.getloadavg()[0]


def commit():
    try:
        out = subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"], capture_output=True, text=True)
        dirty = subprocess.run(["git", "-C", ROOT, "status", "--porcelain", "--untracked-files=no"],
                               capture_output=True, text=True).stdout.strip()
        return out.stdout.strip() + ("+" if dirty else "")
    except OSError:
        return "-"


def read_sittings():
    rows = []
    with open(SITTINGS, encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        if header != COLUMNS:
            sys.exit(f"{SITTINGS}: unexpected columns {header}")
        for line in f:
            if line.strip():
                rows.append(dict(zip(COLUMNS, line.rstrip("\n").split("\t"))))
    return rows


def append_sittings(rows):
    with open(SITTINGS, "a", encoding="utf-8") as f:
        for row in rows:
            f.write("\t".join(str(row[c]).replace("\t", " ").replace("\n", " ") for c in COLUMNS) + "\n")


def sit(args):
    """Runs every bench of the plan, adding the figures of each to the
    sittings as soon as it ends, so that a sitting cut short keeps what it
    measured; answers how many figures it added."""
    n = args.files
    steps = [step for step in plan(n) if not args.only or step[0] in args.only]
    if args.shares and (not args.only or "bench_shares" in args.only):
        steps.append(("bench_shares", []))
    build([b for b, _ in steps])
    when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    where = machine()
    version = commit()
    added = 0
    for bench, arguments in steps:
        if bench == "bench_shares":
            command = [sys.executable, os.path.join(ROOT, "bench", "bench_shares.py")]
        else:
            command = [os.path.join(ROOT, "build", "bench", bench), *arguments]
        with tempfile.NamedTemporaryFile(prefix="fennimo-figures-", delete=False) as record:
            path = record.name
        before = load()
        print(f"\n$ {' '.join(command)}   (load {before:.1f})", flush=True)
        environment = dict(os.environ, FENNIMO_BENCH_RECORD=path)
        ended = subprocess.run(command, env=environment)
        after = load()
        with open(path, encoding="utf-8") as f:
            lines = [line.rstrip("\n").split("\t") for line in f if line.strip()]
        os.unlink(path)
        if ended.returncode != 0:
            print(f"{bench} ended with status {ended.returncode}; its figures are kept, marked so", flush=True)
        append_sittings([{"sitting": when, "count": n, "machine": where, "commit": version, "bench": name,
                          "load": f"{before:.1f} to {after:.1f}", "figure": figure, "folder": folder,
                          "files": files, "value": value,
                          "target": "-" if ended.returncode == 0 else f"ended with status {ended.returncode}"}
                         for name, figure, folder, files, value in lines])
        added += len(lines)
    return added


# The figures as the tables show them.

class Figures:
    """The latest value of each figure: the sitting that last measured a
    bench gives all of that bench's figures."""

    def __init__(self, rows):
        self.rows = [r for r in rows if r["files"] != "-"]
        self.latest = {}
        for r in self.rows:
            self.latest[r["bench"]] = r["sitting"]

    def get(self, bench, figure, folder=None, scale=1):
        """The value of `figure` measured at `scale` times the sitting's
        count (any count for 0), on /dev/shm (SHM), on the disk ("disk"),
        in a folder of that name, or where the bench chose (None); with its
        row, or (None, None)."""
        sitting = self.latest.get(bench)
        for r in reversed(self.rows):
            if r["bench"] != bench or r["sitting"] != sitting or r["figure"] != figure:
                continue
            if folder == SHM and r["folder"] != SHM:
                continue
            if folder == "disk" and r["folder"] in (SHM, "-"):
                continue
            if folder not in (None, SHM, "disk") and r["folder"] != folder:
                continue
            if scale and r["files"] != str(int(r["count"]) * scale):
                continue
            return float(r["value"]), r
        return None, None


def number(value, digits=2):
    return "?" if value is None else f"{value:.{digits}f}"


def count_text(files):
    return f"{int(files):,}"


def latest_rows(figures):
    """The table of the latest figures: what, command, latest, target, and
    whether it was met."""
    out = []

    def row(what, command, parts, target, met):
        """`parts` are texts, or None for a figure no sitting holds."""
        shown = [p for p in parts if p]
        if not shown:
            out.append((what, command, "not in a sitting written by the benches yet; see the sitting kept by hand",
                        target, None))
            return
        out.append((what, command, "; ".join(shown), target, met))

    def value(bench, figure, folder=None, scale=1):
        return figures.get(bench, figure, folder, scale)[0]

    def files_of(bench, figure, folder=None, scale=1):
        r = figures.get(bench, figure, folder, scale)[1]
        return count_text(r["files"]) if r else "?"

    def all_met(checks):
        known = [c for c in checks if c is not None]
        return all(known) if known else None

    def at_most(v, limit):
        return None if v is None else v <= limit

    # The main window.
    b = "bench_main_window"
    checks, parts = [], []
    for folder, name, limit in ((SHM, "`/dev/shm`", 1.15), ("disk", "the disk", 1.2)):
        v, own = value(b, "ratio", folder), value(b, "floor as a run", folder)
        checks.append(at_most(v, limit))
        parts.append(v is not None and f"{number(v)} × on {name}"
                     + (f" (floor as a run {number(own)} ×)" if own is not None else ""))
    row(f"Rename run of {files_of(b, 'ratio', SHM)} files in the main window, from the click on \"修改\" to both "
        "lists painted, against the floor", f"`build/bench/{b}`", parts, "≤ 1.15 × on `/dev/shm`, ≤ 1.2 × on the disk",
        all_met(checks))
    v, mb = value(b, "ratio", SHM, 10), value(b, "peak MB", SHM, 10)
    row(f"The same with {files_of(b, 'ratio', SHM, 10)} files on `/dev/shm`, and the peak memory",
        f"`build/bench/{b} {files_of(b, 'ratio', SHM, 10).replace(',', '')} /dev/shm`",
        [v is not None and f"{number(v)} ×, {mb:.0f} MB"], "≤ 1.2 ×, ≤ 300 MB",
        all_met([at_most(v, 1.2), at_most(mb, 300)]))
    gaps = [(value(b, "gap ms", SHM), "`/dev/shm`"), (value(b, "gap ms", "disk"), "the disk"),
            (value(b, "gap ms", SHM, 10), f"{files_of(b, 'gap ms', SHM, 10)} files")]
    row("Longest stretch between two turns of the event loop in those runs", f"`build/bench/{b}` (\"gap ms\")",
        [g is not None and f"{g:.1f} ms ({name})" for g, name in gaps], "≤ 16 ms",
        all_met([at_most(g, 16) for g, _ in gaps]))

    b = "bench_startup"
    v, ms = value(b, "ratio", None, 1), value(b, "ms", None, 1)
    row(f"First painted frame of the main window, folder of {files_of(b, 'ratio', None, 1)} files, against a bare "
        "window", f"`build/bench/{b}`", [v is not None and f"{number(v)} × ({ms:.1f} ms)"], "≤ 2 ×", at_most(v, 2))

    b = "bench_browsing"
    for figure, label in (("fill_file_lists ms", "`fill_file_lists`"), ("query run ms", "Query run")):
        v = value(b, figure, None, 0)
        row(f"{label}, {files_of(b, figure, None, 0)} files", f"`build/bench/{b}`",
            [v is not None and f"{v:.1f} ms"], "≤ 20 ms", at_most(v, 20))

    b = "bench_command_line"
    checks, parts = [], []
    for folder, name in ((SHM, "`/dev/shm`"), ("disk", "the disk")):
        v = value(b, "fennimo ratio", folder)
        if v is None:
            continue
        peers = [(p, value(b, f"{p} ratio", folder)) for p in ("perl rename", "util-linux rename", "mmv")]
        checks.append(v <= 1.1 and all(pv is None or v < pv for _, pv in peers))
        text = ", ".join(f"{p} {number(pv)} ×" for p, pv in peers if pv is not None) or "no peer installed"
        own = value(b, "floor as a run ratio", folder)
        own_text = f"floor as a run {number(own)} ×; " if own is not None else ""
        parts.append(f"{number(v)} × on {name} ({own_text}{text})")
    row(f"`fennimo --replace a b` on {files_of(b, 'fennimo ratio', SHM)} files, whole process, against the floor "
        "and beside its peers", f"`build/bench/{b}`", parts, "≤ 1.1 ×, below each of the others", all_met(checks))

    b = "bench_name_shapes"
    shapes = []
    for r in figures.rows:
        if r["bench"] == b and r["sitting"] == figures.latest.get(b) and r["figure"].endswith(" ratio"):
            shapes.append((r["figure"][: -len(" ratio")], float(r["value"])))
    runs = [(s, v) for s, v in shapes if s != "floor as a run"]
    checks = [(s, value(b, f"{s} check /best", SHM)) for s, _ in runs]
    own = dict(shapes).get("floor as a run")
    parts = [runs and ", ".join(f"{s} {number(v)}" for s, v in runs) + " ×"
             + (f" (floor as a run {number(own)} ×)" if own is not None else ""),
             checks and "the check against its best shape: "
             + ", ".join(f"{s} {number(v)}" for s, v in checks if v is not None) + " ×"]
    row(f"`fennimo --extension new` on {files_of(b, runs[0][0] + ' ratio', SHM) if runs else '?'} files of each of "
        "ten name shapes on `/dev/shm`; the order-free check, in processor time, against its best shape",
        f"`build/bench/{b}`", parts, "≤ 1.1 ×; ≤ 2 ×",
        all_met([at_most(v, 1.1) for _, v in runs] + [at_most(v, 2) for _, v in checks]))

    b = "bench_shares"
    parts, checks = [], []
    for share in ("sshfs", "smb"):
        v = value(b, "fennimo ratio", share, 0)
        if v is not None:
            checks.append(v <= 1.1)
            parts.append(f"{share} {number(v)} ×")
    row("Renames on a network share with 1 ms added each way, against the safe loop", "`sudo bench/bench_shares.py`",
        parts, "≤ 1.1 ×", all_met(checks))

    b = "bench_undo"
    vs = [(value(b, "undo ratio", SHM), "`/dev/shm`"), (value(b, "undo ratio", "disk"), "the disk")]
    row(f"Ctrl+Z after a run of {files_of(b, 'undo ratio', SHM)} renames in the main window, against the run",
        f"`build/bench/{b}`", [v is not None and f"{number(v)} × on {name}" for v, name in vs], "≤ 1.2 ×",
        all_met([at_most(v, 1.2) for v, _ in vs]))
    vs = [(value(b, "journal lines %", SHM), "`/dev/shm`"), (value(b, "journal lines %", "disk"), "the disk")]
    row(f"The journal's lines of a {files_of(b, 'journal lines %', SHM)}-file run of the command line's kind, in "
        "processor time, against the run without them", f"`build/bench/{b}`",
        [v is not None and f"{number(v)} % on {name}" for v, name in vs], "≤ 2 %",
        all_met([at_most(v, 2) for v, _ in vs]))
    v = value(b, "rounds with a file left", None, 1)
    row("`fennimo --replace a b` ended by SIGKILL, SIGTERM, SIGINT or SIGHUP at a random point, then "
        "`fennimo --undo --yes`: rounds of 30 with a file not back", f"`build/bench/{b}`",
        [v is not None and f"{v:.0f}"], "0", None if v is None else v == 0)

    b = "bench_journal"
    s, mb = value(b, "history s", None, 10), value(b, "history MB", None, 10)
    row(f"`fennimo --history` over 20 journals of {files_of(b, 'history s', None, 10)} renames each",
        f"`build/bench/{b}`", [s is not None and f"{s:.3f} s, {mb:.1f} MB at most"], "≤ 1 s, ≤ 50 MB",
        all_met([at_most(s, 1), at_most(mb, 50)]))
    vs = [(value(b, "undo ratio", SHM, 10), value(b, "undo MB", SHM, 10), "`/dev/shm`"),
          (value(b, "undo ratio", "disk", 10), value(b, "undo MB", "disk", 10), "the disk")]
    row(f"`fennimo --undo --yes` after `fennimo --replace a b` over {files_of(b, 'undo ratio', SHM, 10)} files, "
        "against the run, and the most memory either held", f"`build/bench/{b}`",
        [v is not None and f"{number(v)} × on {name}, {m:.0f} MB" for v, m, name in vs], "≤ 1.5 ×, ≤ 300 MB",
        all_met([c for v, m, _ in vs for c in (at_most(v, 1.5), at_most(m, 300))]))
    vs = [(value(b, "collision ratio", SHM, 0), "`/dev/shm`"), (value(b, "collision ratio", "disk", 0), "the disk")]
    row("`fennimo --replace JPG jpg` over 100,000 files of which 10,000 meet a name that differs only in case, "
        "against none meeting", f"`build/bench/{b}`",
        [v is not None and f"{number(v)} × on {name}" for v, name in vs], "≤ 1.2 ×",
        all_met([at_most(v, 1.2) for v, _ in vs]))

    b = "bench_preview"
    first, full = value(b, "F5 first ms", SHM), value(b, "F5 full ms", SHM)
    row(f"Preview of {files_of(b, 'F5 full ms', SHM)} files on `/dev/shm`: from F5 to the rows on the screen, and "
        "to every row planned", f"`build/bench/{b}`",
        [first is not None and f"{first:.1f} ms; {full:.1f} ms"], "≤ 150 ms to every row", at_most(full, 150))
    first, full = value(b, "edit first ms", SHM), value(b, "edit full ms", SHM)
    row("The same after an edit of the rule", f"`build/bench/{b}`",
        [first is not None and f"{first:.1f} ms; {full:.1f} ms"], "≤ 100 ms to every row", at_most(full, 100))
    gap, cpu = value(b, "gap ms", SHM), value(b, "gap cpu ms", SHM)
    row("Longest stretch between two turns of the event loop in both", f"`build/bench/{b}`",
        [gap is not None and f"{gap:.1f} ms on the clock, {cpu:.1f} ms of the window thread's processor time"],
        "≤ 16 ms", at_most(gap, 16))
    return out


def latest_table(figures, rows):
    lines = ["## Latest figures", "",
             "The latest sitting of each bench, against its target. \"Sitting\" names the sitting below that gave "
             "it, and the load beside it.", "",
             "| What | Command | Latest | Target | Met | Sitting |", "|---|---|---|---|---|---|"]
    for what, command, latest, target, met in rows:
        bench = re.search(r"bench_\w+", command).group(0)
        sitting = figures.latest.get(bench, "")
        loads = sorted({r["load"] for r in figures.rows if r["bench"] == bench and r["sitting"] == sitting})
        when = f"{sitting}, load {', '.join(loads)}" if sitting else ""
        mark = {True: "yes", False: "**no**", None: ""}[met]
        lines.append(f"| {what} | {command} | {latest} | {target} | {mark} | {when} |")
    return "\n".join(lines)


def sittings_text(rows):
    order = []
    for r in rows:
        if r["sitting"] not in order:
            order.append(r["sitting"])
    out = []
    for sitting in reversed(order):
        these = [r for r in rows if r["sitting"] == sitting]
        first = these[0]
        notes = [r["value"] for r in these if r["figure"] == "note"]
        figures = [r for r in these if r["figure"] != "note"]
        out.append(f"### {sitting}")
        out.append("")
        head = f"{first['machine']}"
        if first["commit"] != "-":
            head += f"; commit {first['commit']}"
        out.append(head + ".")
        out.append("")
        if any(r["files"] == "-" for r in figures):
            # Kept by hand before the benches wrote this file: the figures
            # as they were worded then.
            out += ["| What | Figures | Target |", "|---|---|---|"]
            for r in figures:
                what = r["figure"].replace(" — ", ", ")
                out.append(f"| {what} | {r['value']} | {r['target']} |")
        else:
            out += ["| Bench | Figure | Folder | Files | Value | Load |", "|---|---|---|---|---|---|"]
            for r in figures:
                value = f"{float(r['value']):.4g}" + ("" if r["target"] == "-" else f" ({r['target']})")
                files = count_text(r["files"]) if r["files"] not in ("0", "-") else ""
                folder = "" if r["folder"] == "-" else f"`{r['folder']}`"
                out.append(f"| {r['bench']} | {r['figure']} | {folder} | {files} | {value} | {r['load']} |")
        for note in notes:
            out += ["", note]
        out.append("")
    return "\n".join(out).rstrip() + "\n"


README_START = "<!-- figures: written by tools/benchmarks.py -->"
README_END = "<!-- end of figures -->"


def render():
    rows = read_sittings()
    figures = Figures(rows)
    latest = latest_rows(figures)
    with open(TEMPLATE, encoding="utf-8") as f:
        template = f.read()
    text = template.replace("<!-- latest -->", latest_table(figures, latest)).replace(
        "<!-- sittings -->", sittings_text(rows))
    with open(OUTPUT, "w", encoding="utf-8") as f:
        f.write(text)
    with open(README, encoding="utf-8") as f:
        readme = f.read()
    start, end = readme.find(README_START), readme.find(README_END)
    if start < 0 or end < start:
        sys.exit(f"README.md has no place for the figures ({README_START} ... {README_END})")
    short = ["| What | Command | Latest | Target |", "|---|---|---|---|"]
    for what, command, value, target, met in latest:
        mark = " (not met)" if met is False else ""
        short.append(f"| {what} | {command} | {value}{mark} | {target} |")
    readme = readme[: start + len(README_START)] + "\n" + "\n".join(short) + "\n" + readme[end:]
    with open(README, "w", encoding="utf-8") as f:
        f.write(readme)
    print(f"wrote {os.path.relpath(OUTPUT, ROOT)} and the figures of README.md")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--files", type=int, default=100000,
                        help="the file count of the benches (ten times as many where a target says so)")
    parser.add_argument("--shares", action="store_true", help="also run bench/bench_shares.py (needs root)")
    parser.add_argument("--only", action="append", metavar="BENCH", help="run only this bench (repeatable)")
    parser.add_argument("--render", action="store_true", help="run nothing; write the files from the kept figures")
    args = parser.parse_args()
    if not args.render and sit(args) == 0:
        sys.exit("no figure was recorded")
    render()


if __name__ == "__main__":
    main()
