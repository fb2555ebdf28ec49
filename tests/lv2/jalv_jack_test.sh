#!/usr/bin/env bash
# jalv runs the mono plug-in on a dummy JACK server of this test's own (a unique name, stopped
# by process id): a jack_metro tone goes in, jack_rec records the output, which must be audible,
# and the plug-in's output meter must report finite levels.
set -u
for tool in jackd jalv jack_metro jack_rec jack_connect jack_lsp python3; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (run scripts/deps)"; exit 1; }
done
source "$(dirname "$0")/jack_dummy.sh"

# jalv's console reads commands from standard input: keep it open.
mkfifo "$work/stdin"
sleep 300 >"$work/stdin" &
pids+=($!)
stdbuf -oL jalv -n tavelo1 -c gain=0.5 -c output_trim=-20 urn:quorva:tavelo1:mono \
  <"$work/stdin" >"$work/jalv.log" 2>&1 &
pids+=($!)
jack_metro -n metro -b 240 -f 330 -A 0.5 -D 150 >/dev/null 2>&1 &
pids+=($!)
wait_for_ports 20 tavelo1:in_l tavelo1:out_l metro:240_bpm || { cat "$work/jalv.log"; exit 1; }
jack_connect metro:240_bpm tavelo1:in_l || { echo "FAIL: cannot connect the tone"; exit 1; }
jack_rec -f "$work/out.wav" -d 2 -b 16 tavelo1:out_l >"$work/rec.log" 2>&1 || {
  echo "FAIL: jack_rec failed"; cat "$work/rec.log"; exit 1; }

# jalv's console prints the output ports on "monitors".
echo monitors >"$work/stdin"
sleep 1

python3 - "$work/out.wav" "$work/jalv.log" <<'PY'
import math, re, struct, sys, wave
w = wave.open(sys.argv[1])
frames = w.readframes(w.getnframes())
samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
peak = max(abs(s) for s in samples) / 32768 if samples else 0
db = 20 * math.log10(peak) if peak > 0 else float("-inf")
print("recorded %d samples at %d Hz, peak %.1f dBFS" % (len(samples), w.getframerate(), db))
log = open(sys.argv[2]).read()
meters = [float(v) for v in re.findall(r"(?:output_peak|input_peak)\s*=\s*(\S+)", log)]
print("meter readings: %d, all finite: %s" % (len(meters), all(math.isfinite(m) for m in meters)))
ok = len(samples) >= 48000 and db > -40 and meters and all(math.isfinite(m) for m in meters)
print("PASS" if ok else "FAIL")
sys.exit(0 if ok else 1)
PY
