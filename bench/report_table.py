"""Prints the benchmark table from a Google Benchmark JSON file (see bench/report.sh)."""
import json
import re
import sys

# Each row: figure, patterns of benchmark names tried in order (the first present wins),
# what is read ('time' or a counter), unit shown, target (None: no target), peer pattern.
ROWS = [
    ("100,000 piped turns", [r"^BM_PipedTurns100k"], "time", "ms", 300, None),
    ("10,000 wedge+delete pairs, line 1 of 100", [r"^BM_WedgeDeletePairs10kBinary", r"WedgeDelete"],
     "time", "ms", 500, None),
    ("jump_doc over the whole grid, one search", [r"^BM_JumpDocMissOverDefaultGrid", r"JumpDoc"],
     "time", "ms", 1, None),
    ("load + save of a full grid", [r"^BM_LoadAndSaveFullGrid", r"LoadAndSave"], "time", "ms", 40, None),
    ("fsync of a full-grid save (in the load + save row)", [r"^BM_FsyncFullGridFile"], "time", "ms", None, None),
    ("load + write of a full grid, with ed", [r"^BM_PeerLoadWriteFullGrid/pellak"], "time", "ms", "x1",
     r"^BM_PeerLoadWriteFullGrid/ed"),
    ("  its CPU time (user + system)", [r"^BM_PeerLoadWriteFullGrid/pellak"], "cpu_ms", "ms", "x0.3",
     r"^BM_PeerLoadWriteFullGrid/ed"),
    ("  its minor page faults", [r"^BM_PeerLoadWriteFullGrid/pellak"], "minor_faults", "", None,
     r"^BM_PeerLoadWriteFullGrid/ed"),
    ("peak RSS, 20-turn session", [r"^BM_PeakMemory20Turns(/|$)"], "peak_rss_kb", "KiB", 3072, None),
    ("  the same, shared C++ runtime (distributions)", [r"^BM_PeakMemory20TurnsSharedRuntime"],
     "peak_rss_kb", "KiB", None, None),
    ("peak RSS, small file loaded and saved", [r"^BM_PeerPeakMemorySmallFile/pellak"], "peak_rss_kb",
     "KiB", 3072, r"^BM_PeerPeakMemorySmallFile/ed"),
    ("peak RSS, full document loaded and saved", [r"^BM_PeerPeakMemoryFullDocument/pellak"],
     "peak_rss_kb", "KiB", 10240, r"^BM_PeerPeakMemoryFullDocument/ed"),
    ("peak RSS, 119 KB saved, 20000 x 100000 grid, ulimit -v", [r"^BM_SaveUnderAddressLimit"],
     "peak_rss_kb", "KiB", None, None),
    ("start-up + quit, max_char=200000000", [r"^BM_StartAndQuitHugeLineSize"], "time", "ms", 200, None),
    ("  its peak RSS", [r"^BM_StartAndQuitHugeLineSize"], "peak_rss_kb", "KiB", 10240, None),
]

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load_results(path):
    """Returns {run name: result}: the median of repeated runs, else the single run."""
    with open(path) as f:
        data = json.load(f)
    results = {}
    for b in data.get("benchmarks", []):
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            results[name] = {"error": b.get("error_message", "failed")}
        elif b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                results[name] = b
        elif name not in results:
            results[name] = b
    return results


def find(results, pattern):
    """Returns (name, result) of the first benchmark whose name matches, else (None, None)."""
    for name in sorted(results):
        if re.search(pattern, name):
            return name, results[name]
    return None, None


def value(result, what):
    """Returns the figure of a result: real time in ms or a counter; None when it failed."""
    if result is None or "error" in result:
        return None
    if what == "time":
        return result["real_time"] * TO_MS[result.get("time_unit", "ns")]
    return result.get(what)


def show(v):
    return "-" if v is None else ("%.3f" % v if v < 10 else "%.1f" % v)


def main():
    results = load_results(sys.argv[1])
    used = set()
    header = ("Figure", "Benchmark", "Measured", "Target", "Peer (ed)", "Ratio", "Status")
    rows = [header]
    for figure, patterns, what, unit, target, peer_pattern in ROWS:
        name = result = None
        for pattern in patterns:
            name, result = find(results, pattern)
            if name:
                break
        if name is None:
            rows.append((figure, "missing", "-", "-", "-", "-", ""))
            continue
        used.add(name)
        v = value(result, what)
        peer_v = None
        if peer_pattern:
            peer_name, peer = find(results, peer_pattern)
            if peer_name:
                used.add(peer_name)
                peer_v = value(peer, what)
        verdict = ""
        ratio = "%.2f" % (v / peer_v) if v is not None and peer_v else "-"
        if v is None:
            verdict = "FAILED: " + result.get("error", "")
        elif isinstance(target, str):  # "xR": below R times ed's figure
            met = ratio != "-" and v / peer_v < float(target[1:])
            verdict = "meets target" if met else "OVER TARGET"
        elif target is not None:
            verdict = "meets target" if v < target else "OVER TARGET"
        rows.append((figure, name, "%s %s" % (show(v), unit),
                     ("< %sx ed" % target[1:] if isinstance(target, str) else "< %s %s" % (target, unit))
                     if target is not None else "none",
                     "%s %s" % (show(peer_v), unit) if peer_pattern else "-", ratio, verdict))
    widths = [max(len(r[i]) for r in rows) for i in range(len(header))]
    for i, r in enumerate(rows):
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
        if i == 0:
            print("  ".join("-" * w for w in widths))
    print("\nRatio = Pellak / ed (below 1: Pellak is faster or smaller). Times are medians of the")
    print("repetitions where a benchmark repeats, else the mean over its iterations.")
    others = [n for n in sorted(results) if n not in used]
    if others:
        print("\nOther benchmarks in this run:")
        for n in others:
            r = results[n]
            if "error" in r:
                print("  %s: FAILED: %s" % (n, r["error"]))
                continue
            counters = {k: r[k] for k in ("peak_rss_kb",) if k in r}
            extra = "".join("  %s=%g" % kv for kv in counters.items())
            print("  %s: %s ms%s" % (n, show(value(r, "time")), extra))


if __name__ == "__main__":
    main()
