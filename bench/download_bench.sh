#!/usr/bin/env bash
# Download throughput and peak memory of FetchToFile against the curl command-line tool.
# Serves a 1 GiB file from a loopback python http.server and downloads it RUNS times with each,
# alternating, in the same run. Prints the median throughput of each, their ratio and the peak
# resident memory of each. Targets: ratio >= 0.95, FetchToFile peak <= 64 MiB.
#
# usage: bench/download_bench.sh [path/to/fetch_bench] [runs]
set -euo pipefail

driver=${1:-build/bench/fetch_bench}
runs=${2:-5}
size_mib=${SIZE_MIB:-1024}
[[ -x "$driver" ]] || { echo "no driver at $driver (build the fetch_bench target)" >&2; exit 2; }
command -v curl >/dev/null || { echo "curl is not installed" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is not installed" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/orvane-download-bench.XXXXXX")
server_pid=""
cleanup() {
  if [[ -n "$server_pid" ]]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/serve" "$work/out"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/serve/payload.bin"
bytes=$(stat -c %s "$work/serve/payload.bin")

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
python3 -m http.server --bind 127.0.0.1 --directory "$work/serve" "$port" >"$work/server.log" 2>&1 &
server_pid=$!
url="http://127.0.0.1:$port/payload.bin"
for _ in $(seq 1 100); do
  curl -s -o /dev/null -r 0-0 "$url" && break
  sleep 0.1
done

# Runs one download under /usr/bin/time -v; prints "seconds max_rss_kib".
measure() {
  local target=$1; shift
  rm -f "$target"
  sync
  /usr/bin/time -v "$@" 2>"$work/time.log" >/dev/null
  local size
  size=$(stat -c %s "$target")
  [[ "$size" == "$bytes" ]] || { echo "incomplete download: $size of $bytes bytes" >&2; exit 1; }
  cmp -s "$target" "$work/serve/payload.bin" || { echo "downloaded bytes differ" >&2; exit 1; }
  rm -f "$target"
  local elapsed rss
  elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.log" |
            awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }')
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.log")
  echo "$elapsed $rss"
}

ours=()
theirs=()
ours_rss=0
theirs_rss=0
for run in $(seq 1 "$runs"); do
  read -r t m < <(measure "$work/out/fetch.bin" "$driver" "$url" "$work/out/fetch.bin")
  ours+=("$t"); (( m > ours_rss )) && ours_rss=$m
  read -r t m < <(measure "$work/out/curl.bin" curl -s -o "$work/out/curl.bin" "$url")
  theirs+=("$t"); (( m > theirs_rss )) && theirs_rss=$m
  echo "run $run: FetchToFile ${ours[-1]} s, curl ${theirs[-1]} s"
done

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
ours_median=$(median "${ours[@]}")
theirs_median=$(median "${theirs[@]}")
awk -v b="$bytes" -v o="$ours_median" -v t="$theirs_median" -v om="$ours_rss" -v tm="$theirs_rss" 'BEGIN {
  mo = b / o / 1048576; mt = b / t / 1048576
  printf "file size:               %d MiB\n", b / 1048576
  printf "FetchToFile median:      %.1f MiB/s (%.2f s)\n", mo, o
  printf "curl median:             %.1f MiB/s (%.2f s)\n", mt, t
  printf "throughput ratio:        %.3f (target >= 0.95)\n", mo / mt
  printf "FetchToFile peak memory: %.1f MiB (target <= 64)\n", om / 1024
  printf "curl peak memory:        %.1f MiB\n", tm / 1024
}'
