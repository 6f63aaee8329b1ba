#!/usr/bin/env bash
# The performance table, by one command: builds the release preset, runs every benchmark program
# under build/release/bench with repetitions, and prints one Markdown table in which each figure
# stands beside its baseline from the same run, with their ratio and the target where one exists.
#
#   scripts/bench.sh                 # 5 repetitions of every benchmark (a few minutes)
#   BENCH_REPETITIONS=3 scripts/bench.sh
#   BENCH_FILTER='bench_json' scripts/bench.sh      # only the programs whose name matches
#   BENCH_KEEP=/tmp/bench scripts/bench.sh          # keep the programs' JSON output and logs there
#   BENCH_ARGS='--benchmark_enable_random_interleaving=true' scripts/bench.sh   # more flags for every program
#
# Figures are medians of the repetitions, in wall-clock time per iteration, or in resident bytes
# for a benchmark that reports them (counter resident_bytes). Which benchmark is the baseline of
# which is the PAIRS table below (one row per figure and baseline; a figure may have several); the
# SCALING table sets a many-client figure against its one-client run. Benchmarks named in no pair
# still get a row of their own, so nothing run goes unreported. A benchmark that fails (SkipWithError) or a program that ends abnormally is shown
# as FAILED and makes the script exit with status 1. Progress goes to stderr, the table to stdout.
set -euo pipefail

cd "$(dirname "$0")/.."
repetitions="${BENCH_REPETITIONS:-5}"
filter="${BENCH_FILTER:-}"
read -r -a extra_args <<<"${BENCH_ARGS:-}"

bash scripts/setup-deps.sh >&2
echo "Building the release preset..." >&2
build_log="$(mktemp)"
if ! { cmake --preset release && cmake --build --preset release -j2; } >"$build_log" 2>&1; then
  tail -n 40 "$build_log" >&2
  echo "bench.sh: the release build failed (log: $build_log)" >&2
  exit 1
fi
rm -f "$build_log"

out="${BENCH_KEEP:-$(mktemp -d)}"
mkdir -p "$out"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
failed_programs=()
found=0
for program in build/release/bench/*/bench_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name="$(basename "$program")"
  if [ -n "$filter" ] && ! [[ "$name" =~ $filter ]]; then continue; fi
  found=1
  echo "Running $name ($repetitions repetitions)..." >&2
  start=$SECONDS
  # bench_net reports to the console itself, so the JSON goes to a file for every program.
  if ! QT_QPA_PLATFORM=offscreen "$program" \
      --benchmark_repetitions="$repetitions" \
      --benchmark_report_aggregates_only=true \
      --benchmark_out="$out/$name.json" --benchmark_out_format=json \
      ${extra_args[@]+"${extra_args[@]}"} >"$out/$name.log" 2>&1; then
    failed_programs+=("$name")
    echo "  $name ended abnormally; last lines of $out/$name.log:" >&2
    tail -n 5 "$out/$name.log" >&2
  fi
  echo "  $((SECONDS - start)) s" >&2
done
if [ "$found" = 0 ]; then
  echo "bench.sh: no benchmark programs under build/release/bench (is libbenchmark-dev installed?)" >&2
  exit 1
fi

cpu="$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
cores="$(nproc)"
commit="$(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then commit="$commit (with local changes)"; fi
when="$(date -u '+%Y-%m-%d %H:%M UTC')"
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

status=0
python3 - "$out" "$cpu" "$cores" "$when" "$commit" "$repetitions" "$load_before" "$load_after" \
  "${failed_programs[@]}" <<'PY' || status=1
import json, os, sys

out, cpu, cores, when, commit, reps, load_before, load_after = sys.argv[1:9]
failed_programs = sys.argv[9:]

# Which benchmark is the baseline of which: (program, figure, baseline, what the row measures,
# what the baseline does, target). Names are function names; a run's suffix (/real_time,
# /threads:8) carries over from the figure to its baseline. Targets: "<= N ms" on the figure's
# median, "ratio <= N" (or ">= N") on the ratio; several are separated by ";".
PAIRS = [
    ("bench_net", "Exchange_Plain_Socket", "Exchange_Plain_Bare",
     "exchange, 40-byte request / 200-byte reply, plain", "bare POSIX loop", "ratio <= 1.25"),
    ("bench_net", "Exchange_Tls_Socket", "Exchange_Tls_Bare",
     "the same exchange over TLS", "bare OpenSSL loop", "ratio <= 1.25"),
    ("bench_net", "Bulk_Plain_Socket", "Bulk_Plain_Bare",
     "bulk receive, 50,000-byte pieces, plain", "bare POSIX loop", "ratio <= 1.25"),
    ("bench_net", "Bulk_Tls_Socket", "Bulk_Tls_Bare",
     "bulk receive, TLS", "bare OpenSSL loop", "ratio <= 1.25"),
    ("bench_dataclient", "BM_ReadRecordTls", "BM_BareSocketRoundTripTls",
     "ReadRecord over TLS (31 fields)", "bare frame + read", None),
    ("bench_dataclient", "BM_BatchSetBuildAndWalk", "BM_BatchReplySplitOnly",
     "cBatchSet of 10,000 records, walk 9 fields", "split only", None),
    ("bench_dataclient", "BM_DownloadFileTls", "BM_BareSocketDownloadTls",
     "DownloadFile over TLS to disk (8 MB)", "bare OpenSSL read of the same file to disk", "ratio <= 1.25"),
    ("bench_server", "BM_ReadRecord", "BM_Baseline_ReadRecord",
     "ReadRecord", "in process", None),
    ("bench_server", "BM_ReadFieldsJoined8", "BM_Baseline_ReadFieldsJoined8",
     "8-table joined ReadFields", "in process", None),
    ("bench_server", "BM_ProviderQuotes", "BM_Baseline_ProviderQuotes",
     "\"getproviderquotes\"", "in process", None),
    ("bench_json", "BM_ParseReply", "BM_BaselineScan",
     "parse the 300-quote reply (cJSON)", "plain scan of the bytes", None),
    ("bench_json", "BM_ParseReply", "BM_ParseReply_RapidJson",
     "parse the 300-quote reply (cJSON)", "RapidJSON, strict form", None),
    ("bench_json", "BM_ParseReply", "BM_ParseReply_Nlohmann",
     "parse the 300-quote reply (cJSON)", "nlohmann::json, strict form", None),
    ("bench_json", "BM_ParseAndWalkReply", "BM_ParseAndWalkReply_RapidJson",
     "parse and walk the 300-quote reply (cJSON)", "RapidJSON, strict form", None),
    ("bench_json", "BM_ParseAndWalkReply", "BM_ParseAndWalkReply_Nlohmann",
     "parse and walk the 300-quote reply (cJSON)", "nlohmann::json, strict form", None),
    ("bench_json", "BM_WriteReply", "BM_BaselineCopy",
     "write the 300-quote reply", "copy of its bytes", None),
    ("bench_json", "BM_ParseLargeReply", "BM_ParseLargeReply_RapidJson",
     "parse the 2,000-case reply (cJSON)", "RapidJSON, strict form", "ratio <= 2.0"),
    ("bench_json", "BM_ParseLargeReply", "BM_ParseLargeReply_Nlohmann",
     "parse the 2,000-case reply (cJSON)", "nlohmann::json, strict form", None),
    ("bench_json", "BM_ParseLargeReplyToModel", "BM_ParseLargeReplyToModel_RapidJson",
     "2,000-case reply to the quote model (cJSON)", "RapidJSON, strict form, same model", None),
    ("bench_json", "BM_ParseLargeReplyToModel", "BM_ParseLargeReplyToModel_Nlohmann",
     "2,000-case reply to the quote model (cJSON)", "nlohmann::json, strict form, same model", None),
    ("bench_json", "BM_ParseDeepNesting", "BM_BaselineScanDeepNesting",
     "parse 100,000 nested brackets", "plain scan of the bytes", None),
    ("bench_ui", "BM_LoadProviderQuotes", "BM_JsonParse",
     "LoadProviderQuotes, 2,000 cases x 5 quotes (exchange, JSON, model, tree, list)",
     "bare JSON parse of the same reply", "<= 100 ms; ratio <= 2.5"),
    ("bench_ui", "BM_ParseAndModel", "BM_JsonParse",
     "its step: JSON parse and model walk", "bare JSON parse", None),
    ("bench_client", "BM_ClientStartToPaintedLogin", "BM_BareWindowStartToPaint",
     "client start to a painted login window", "a bare Qt window: start to its first paint", None),
    ("bench_client", "BM_ClientMemoryWith10000Quotes", "BM_ClientMemoryWithoutQuotes",
     "client resident memory with 10,000 quotes in its lists", "the same client signed in, no quotes", None),
    ("bench_ui", "BM_SearchTyping", "BM_SearchRules",
     "open-requests search, one text change in the shown window (10,000 quotes)",
     "the match rules alone", "<= 20 ms"),
    ("bench_ui", "BM_SwapQuotes", "BM_SearchRules",
     "a finished reload of 10,000 quotes swapped into the shown open-requests page",
     "the search's match rules over the same quotes", "<= 50 ms"),
]
# A figure set against the same benchmark run with fewer clients: (program, function, the
# figure's run suffix, the baseline's run suffix, what the row measures, target). The ratio is the
# baseline's time per request over the figure's: how many times the requests per second grew.
SCALING = [
    ("bench_server", "BM_ReadRecord", "/real_time/threads:8", "/real_time/threads:1",
     "ReadRecord, 8 clients against 1 (requests per second)", None),
    ("bench_server", "BM_ReadFieldsJoined8", "/real_time/threads:8", "/real_time/threads:1",
     "8-table joined ReadFields, 8 clients against 1 (requests per second)", None),
    ("bench_server", "BM_ProviderQuotes", "/real_time/threads:8", "/real_time/threads:1",
     "\"getproviderquotes\", 8 clients against 1 (requests per second)", "ratio >= 1.3"),
]
# Rows of their own for figures without a baseline.
WHAT = {
    ("bench_json", "BM_BuildRequest"): "build the getproviderquotes request",
    ("bench_ui", "BM_Exchange"): "its step: the exchange over loopback alone",
    ("bench_ui", "BM_FillLists"): "its step: both list pages filled from the model, the last one released",
    # Two sizes each (KiB or thousands of items): linear when the larger takes about twice as long.
    ("bench_toolkit", "BM_CommaTextOfCommas"): "comma text of nothing but commas",
    ("bench_toolkit", "BM_CommaTextOfDoubledQuotes"): "comma text of doubled quotes",
    ("bench_toolkit", "BM_SortedListLoadedInReverse"): "sorted list loaded in reverse order",
    ("bench_toolkit", "BM_IniLastOfManySections"): "ini lookup of the last of many sections",
}

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def failed_run(entry):
    skipped = entry.get("skipped", entry.get("error_occurred", False))
    return bool(skipped) and skipped != "NotSkipped"


medians = {}   # (program, run_name) -> entry
failures = {}  # (program, run_name) -> message
order = []     # (program, run_name) in the order the programs reported them
programs = sorted(f[:-5] for f in os.listdir(out) if f.endswith(".json"))
for program in programs:
    try:
        with open(os.path.join(out, program + ".json")) as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        failures[(program, "(output)")] = "no readable JSON output: %s" % e
        order.append((program, "(output)"))
        continue
    for b in data.get("benchmarks", []):
        key = (program, b.get("run_name", b["name"]))
        if failed_run(b):
            failures[key] = b.get("error_message") or b.get("skip_message") or "failed"
        elif b.get("run_type") == "aggregate" and b.get("aggregate_name") == "median":
            medians[key] = b
        elif b.get("run_type") == "iteration" and key not in medians and reps == "1":
            medians[key] = b
        else:
            continue
        if key not in order:
            order.append(key)


def split(run_name):
    function, _, suffix = run_name.partition("/")
    return function, ("/" + suffix if suffix else "")


def ns(entry):
    return entry["real_time"] * UNIT_NS[entry.get("time_unit", "ns")]


# What a row compares: the resident bytes a benchmark reports, else its time.
def measure(entry):
    return entry["resident_bytes"] if "resident_bytes" in entry else ns(entry)


def show_time(t):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if t >= scale:
            return "%.3g %s" % (t / scale, unit) if t / scale < 100 else "%.0f %s" % (t / scale, unit)
    return "%.3g ns" % t


# Rates as the shown time gives them: a benchmark timed by CPU time reports its rates per CPU
# second, which is more than per wall-clock second on a loaded machine.
def rate(entry, key):
    value = entry.get(key)
    if value and "/real_time" not in entry.get("run_name", "") and entry.get("real_time", 0) > 0:
        value *= entry["cpu_time"] / entry["real_time"]
    return value


def show(entry):
    if "resident_bytes" in entry:
        return "%.0f MB resident" % (entry["resident_bytes"] / 1e6)
    text = show_time(ns(entry))
    if rate(entry, "items_per_second"):
        text += " (%s/s)" % "{:,.0f}".format(rate(entry, "items_per_second"))
    elif rate(entry, "bytes_per_second"):
        text += " (%s MB/s)" % "{:,.0f}".format(rate(entry, "bytes_per_second") / 1e6)
    return text


def cell(key):
    if key in failures:
        return "FAILED: " + failures[key]
    if key in medians:
        return show(medians[key])
    return "not run"


def target_met(target, figure, ratio):
    at_least = ">=" in target
    kind, _, limit = target.partition(">=" if at_least else "<=")
    limit = limit.strip()
    if kind.strip() == "ratio":
        if ratio is None:
            return None
        return ratio >= float(limit) if at_least else ratio <= float(limit)
    number, unit = limit.split()
    return ns(figure) <= float(number) * UNIT_NS[unit]


def target_cell(target, figure, ratio):
    cells = []
    for part in target.split(";"):
        part = part.strip()
        met = target_met(part, figure, ratio) if figure is not None else None
        cells.append(part.replace("<=", "≤").replace(">=", "≥") +
                     ("" if met is None else (" met" if met else " MISSED")))
    return "; ".join(cells)


pairs_of = {}
baselines = set()
for program, figure, baseline, what, base_what, target in PAIRS:
    pairs_of.setdefault((program, figure), []).append((baseline, what, base_what, target))
    baselines.add((program, baseline))

rows = []
for program, run_name in order:
    function, suffix = split(run_name)
    key = (program, run_name)
    label = lambda what: "`%s` %s%s" % (program, what + " — " if what else "", run_name)
    if (program, function) in pairs_of:
        for baseline, what, base_what, target in pairs_of[(program, function)]:
            base_key = (program, baseline + suffix)
            ratio = None
            if key in medians and base_key in medians and measure(medians[base_key]) > 0:
                ratio = measure(medians[key]) / measure(medians[base_key])
            target_text = target_cell(target, medians.get(key), ratio) if target else ""
            rows.append((label(what), cell(key), "%s: %s" % (base_what, cell(base_key)),
                         "%.2f" % ratio if ratio is not None else "", target_text))
    elif (program, function) not in baselines:
        what = WHAT.get((program, function), "")
        rows.append((label(what), cell(key), "", "", ""))
    for s_program, s_function, many, one, what, target in SCALING:
        if (s_program, s_function + many) != (program, run_name):
            continue
        one_key = (program, s_function + one)
        ratio = None
        if key in medians and one_key in medians and ns(medians[key]) > 0:
            ratio = ns(medians[one_key]) / ns(medians[key])
        target_text = target_cell(target, medians.get(key), ratio) if target else ""
        rows.append(("`%s` %s — %s against %s" % (program, what, s_function + many, s_function + one),
                     cell(key), "1 client: %s" % cell(one_key),
                     "%.2f" % ratio if ratio is not None else "", target_text))

print("Benchmarks on %s, %s cores, %s, commit %s." % (cpu, cores, when, commit))
print("Medians of %s repetitions, wall-clock time per iteration (memory rows: resident bytes); "
      "ratio = figure / baseline (below 1: faster or smaller than the baseline), and for the rows "
      "of 8 clients against 1 the requests per second of 8 over those of 1. "
      "Load average %s before the run, %s after." % (reps, load_before, load_after))
print()
print("| Benchmark | Median | Baseline (same run) | Ratio | Target |")
print("|---|---|---|---|---|")
for r in rows:
    print("| " + " | ".join(c.replace("|", "\\|") for c in r) + " |")

# The quote load's steps as shares of the whole load (each step is timed on its own, so the shares
# need not add up to 100%: what is left is the releases and the caches between steps).
STEPS = [("the exchange", "BM_Exchange"), ("the JSON parse", "BM_JsonParse"),
         ("the model walk", None), ("both list pages", "BM_FillLists")]
load = medians.get(("bench_ui", "BM_LoadProviderQuotes"))
if load is not None and all(("bench_ui", f) in medians for f in
                            ("BM_Exchange", "BM_JsonParse", "BM_ParseAndModel", "BM_FillLists")):
    step_ns = {f: ns(medians[("bench_ui", f)]) for f in
               ("BM_Exchange", "BM_JsonParse", "BM_ParseAndModel", "BM_FillLists")}
    parts = []
    for what, function in STEPS:
        t = step_ns["BM_ParseAndModel"] - step_ns["BM_JsonParse"] if function is None else step_ns[function]
        parts.append("%s %.0f%% (%s)" % (what, 100.0 * t / ns(load), show_time(max(t, 0.0))))
    print()
    print("The quote load's steps (%s in all): %s." % (show_time(ns(load)), ", ".join(parts)))

bad = sorted(set(p for p, _ in failures)) + failed_programs
if failed_programs:
    print()
    print("Programs that ended abnormally: " + ", ".join(failed_programs))
if failures:
    print()
    for (program, run_name), message in failures.items():
        print("FAILED: %s %s: %s" % (program, run_name, message))
sys.exit(1 if bad else 0)
PY
if [ -z "${BENCH_KEEP:-}" ]; then rm -rf "$out"; fi
exit "$status"
