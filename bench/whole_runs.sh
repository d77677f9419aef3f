#!/usr/bin/env bash
# Whole runs of the tool against their floors, timed with hyperfine:
#   kestrovane /?           against /bin/true             (the exec floor)
#   kestrovane /L:<file>    against durable_write <dir>   (the durable-write floor)
# and peak memory of a run over a 2 MiB command line against a run with none.
#   whole_runs.sh [--quick] KESTROVANE DURABLE_WRITE
set -euo pipefail
runs=(--warmup 20 --min-runs 300)
if [ "${1:-}" = --quick ]; then
  runs=(--runs 3)
  shift
fi
tool=$1
floor=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TARNEL4D_HOME=$work/state
echo "locale: LANG=${LANG:-} LC_ALL=${LC_ALL:-}"

mean() {  # mean COMMAND...: mean wall time in seconds
  hyperfine -N "${runs[@]}" --export-json "$work/result.json" "$@" >/dev/null 2>&1
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' \
    "$work/result.json"
}
ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$1" "$2"; }

mkdir -p "$work/floor"
help=$(mean "$tool /?")
true_time=$(mean "/bin/true")
enable=$(mean "$tool /L:$work/fax.log")
durable=$(mean "$floor $work/floor")
printf 'kestrovane /?          %8.1f us   /bin/true           %8.1f us   ratio %s\n' \
  "$(ratio "$help" 0.000001)" "$(ratio "$true_time" 0.000001)" "$(ratio "$help" "$true_time")"
printf 'kestrovane /L:<file>   %8.1f us   durable_write       %8.1f us   ratio %s\n' \
  "$(ratio "$enable" 0.000001)" "$(ratio "$durable" 0.000001)" "$(ratio "$enable" "$durable")"

# Peak resident memory of a run over 2 MiB of arguments, over a run with no arguments. A
# larger stack limit lets exec take that much.
ulimit -s 65536
rss() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
big=$(python3 -c '
import itertools
words, size = [], 0
for i in itertools.count():
    word = "/o%d:%s" % (i, "v" * 40)
    if size + len(word) + 1 > 2 << 20:
        break
    words.append(word)
    size += len(word) + 1
print(" ".join(words))')
base_kb=$(rss "$tool" /?)
big_kb=$(rss "$tool" /? $big)
bytes=$(printf '%s' "$big" | wc -c)
echo "peak memory: $((big_kb - base_kb)) KiB over the baseline for $((bytes / 1024)) KiB of arguments" \
  "($(ratio "$(((big_kb - base_kb) * 1024))" "$bytes")x)"
