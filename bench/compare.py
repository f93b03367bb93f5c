#!/usr/bin/env python3
"""Runs zel-bench and prints, for each comparison, the library's cost as a
multiple of its peer's, from the medians of several repetitions (CPU time),
then the heap of the large stores (zel-bench-memory, when it was built).

    bench/compare.py [path/to/zel-bench] [extra benchmark flags...]

The default program is the one the "bench" preset builds. A comparison whose
peer was not built (its library is not installed) is shown as skipped.
"""
import json
import os
import subprocess
import sys

# (what is compared, our case, the peer's case, the largest ratio that meets
# the target, whether the ratio must stay strictly below it)
COMPARISONS = [
    ("Counting: increment(), no report due / bare loop",
     "Counting_TrackerIncrement", "Counting_BareIncrement", 1.5, False),
    ("Counting: entry of 1,000,000 increments / bare loop",
     "Counting_TrackerEntry", "Counting_BareEntry", 1.5, False),
    ("Counting: that entry with the console display / without",
     "Counting_TrackerEntryWithConsole", "Counting_TrackerEntry", 1.1, False),
    ("Message: SystemMsg / fmt::format",
     "Message_SystemMsg", "Message_fmt", 1.5, False),
    ("Message: SystemMsg / fmt::format with {} (short floats)",
     "Message_SystemMsgShort", "Message_fmtPlain", 1.5, False),
    ("Message: SystemMsg / boost::format",
     "Message_SystemMsg", "Message_boost", 1.0, True),
    ("Lookup hit: Translation::translate / dgettext",
     "Lookup_TranslateHit", "Lookup_DgettextHit", 1.0, False),
    ("Lookup miss: Translation::translate / dgettext",
     "Lookup_TranslateMiss", "Lookup_DgettextMiss", 1.0, False),
    ("Lookup hit, common 19-byte prefix: translate / dgettext",
     "Lookup_TranslatePrefixHit", "Lookup_DgettextPrefixHit", 1.0, False),
    ("Loading 10 MB: Translation::readFile / getline loop",
     "Loading_ReadFile", "Loading_GetlineLoop", 2.0, False),
    ("Reporting: ErrorReporter + queue / spdlog",
     "Reporting_ErrorReporter", "Reporting_spdlog", 4.0, False),
    ("Reporting, 1,000 distinct texts: ErrorReporter + queue / spdlog",
     "Reporting_ErrorReporterDistinct", "Reporting_spdlogDistinct", 4.0, False),
    # Two threads counting 10,000,000 increments.
    ("Parallel: ParallelProgress / shared atomic fetch_add",
     "Parallel_ParallelProgress/manual_time", "Parallel_SharedAtomic/manual_time", 0.5, False),
    ("Parallel: ParallelProgress / thread-local counting",
     "Parallel_ParallelProgress/manual_time", "Parallel_ThreadLocal/manual_time", 3.0, False),
]

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def run(program, extra):
    command = [program, "--benchmark_repetitions=5",
               "--benchmark_report_aggregates_only=true",
               "--benchmark_format=json"] + extra
    output = subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout
    medians = {}
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("aggregate_name") == "median" and "error_occurred" not in entry:
            medians[entry["run_name"]] = entry
    return medians


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    args = sys.argv[1:]
    program = os.path.join(root, "build", "bench", "bench", "zel-bench")
    if args and not args[0].startswith("-"):
        program = args.pop(0)
    medians = run(program, args)

    def nanoseconds(name):
        # Multithreaded cases time themselves and count the CPU time of all
        # their threads, which a machine shared with other work disturbs less
        # than the wall time (printed beside it).
        entry = medians[name]
        if "thread_cpu_ms" in entry:
            return entry["thread_cpu_ms"] * 1e6
        return entry["cpu_time"] * UNIT_NS[entry["time_unit"]]

    def wall_ratio(ours, peer):
        return medians[ours]["real_time"] / medians[peer]["real_time"]

    met = total = 0
    for what, ours, peer, limit, strict in COMPARISONS:
        if ours not in medians or peer not in medians:
            print(f"{what:55} skipped (case not built or failed)")
            continue
        ratio = nanoseconds(ours) / nanoseconds(peer)
        ok = ratio < limit if strict else ratio <= limit
        met += ok
        total += 1
        sign = "<" if strict else "<="
        wall = (f"  (wall time {wall_ratio(ours, peer):.2f}x)"
                if "thread_cpu_ms" in medians[ours] else "")
        print(f"{what:55} {ratio:6.2f}x  (target {sign} {limit}x)  "
              f"{'met' if ok else 'NOT MET'}{wall}")
    if "Counting_TrackerIncrement" in medians:
        print(f"increment() costs {nanoseconds('Counting_TrackerIncrement'):.2f} ns")
    if "Counting_TrackerEntry" in medians:
        calls = medians["Counting_TrackerEntry"].get("processor_calls")
        print(f"processor calls per entry of 1,000,000 increments: {calls:.0f}")
    reach = medians.get("Parallel_CancelReach/manual_time")
    if reach:
        # Increments counted after a processor's interrupt, in report intervals.
        intervals = reach["after_cancel_intervals"]
        ok = intervals <= 1.0
        met += ok
        total += 1
        what = "Parallel: counting after a cancel, in report intervals"
        print(f"{what:55} {intervals:6.2f}   (target <= 1)     {'met' if ok else 'NOT MET'}")
        print(f"the last worker saw the cancel {reach['reach_us']:.0f} us after the request "
              f"(one report interval took {reach['interval_us']:.0f} us)")
    print(f"{met} of {total} targets met")
    memory = os.path.join(os.path.dirname(program), "zel-bench-memory")
    if os.path.exists(memory):
        print("Heap against the bytes of the texts held:")
        sys.stdout.flush()
        subprocess.run([memory], check=True)


if __name__ == "__main__":
    main()
