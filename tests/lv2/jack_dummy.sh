# Sourced by the host tests: a work folder, a list of process ids stopped (newest first) and the
# folder removed on exit, and a dummy JACK server under a name of its own, started and waited for.
work=$(mktemp -d)
pids=()
cleanup() {
  # Clients first, each waited for, the server last: a server stopped with clients still closing
  # can leave its entry in JACK's registry of servers, which holds eight.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null
    wait "${pids[i]}" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

# wait_for_ports SECONDS PORT...: true once every port is listed.
wait_for_ports() {
  local seconds=$1 t port missing
  shift
  for ((t = 0; t < seconds * 10; t++)); do
    missing=0
    for port in "$@"; do jack_lsp 2>/dev/null | grep -qx "$port" || missing=1; done
    [ $missing = 0 ] && return 0
    sleep 0.1
  done
  echo "FAIL: JACK ports $* did not all appear"
  return 1
}

# One name per test script, not per run: JACK reclaims a registry entry whose server is gone only
# under the same name, so per-run names would fill its eight entries over time.
export JACK_DEFAULT_SERVER="tavelo-test-$(basename "$0" .sh)"
export JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
for ((t = 0; t < 100; t++)); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
jack_lsp >/dev/null 2>&1 || { echo "FAIL: the dummy JACK server did not start"; cat "$work/jackd.log"; exit 1; }
