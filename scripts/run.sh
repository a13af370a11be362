#!/usr/bin/env bash
# Installs what is missing, builds into build/, starts the sample service on a free loopback port
# and runs the program against it. The service stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it under a virtual display instead:  xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi

bash scripts/build.sh build

service_pid=""
service_out="$(mktemp)"
cleanup() {
  if [ -n "$service_pid" ] && kill -0 "$service_pid" 2>/dev/null; then
    kill -TERM "$service_pid" 2>/dev/null || true
    wait "$service_pid" 2>/dev/null || true
  fi
  rm -f "$service_out"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

build/orvane-sample-service --port 0 >"$service_out" &
service_pid=$!

# Wait up to ten seconds for "listening on 127.0.0.1:PORT".
host=""
for _ in $(seq 1 100); do
  host="$(sed -n 's/^listening on \(127\.0\.0\.1:[0-9][0-9]*\)$/\1/p' "$service_out")"
  if [ -n "$host" ]; then break; fi
  if ! kill -0 "$service_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$host" ]; then
  echo "The sample service did not start." >&2
  exit 1
fi

echo "Sample service on $host"
export ORVANE_MAIN_HOST="$host"
export ORVANE_MOBILE_HOST="$host"
build/orvane-album
