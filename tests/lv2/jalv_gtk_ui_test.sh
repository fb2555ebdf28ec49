#!/usr/bin/env bash
# The editor embedded in jalv.gtk3 on the display it is given (with_xvfb.sh starts one) and a
# dummy JACK server of this test's own (a unique name, stopped by process id): a screenshot
# must show the editor's faceplate, and an xdotool drag up the Gain knob must reach the Gain
# port, which shows as a louder output meter with a steady tone going in.
#   jalv_gtk_ui_test.sh CAPTURE_TOOL FACEPLATE.png SCREENSHOT.png
set -u
capture=$1 faceplate=$2 screenshot=$3
for tool in jackd jalv.gtk3 jack_metro jack_connect jack_lsp xdotool stdbuf python3; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (run scripts/deps)"; exit 1; }
done
source "$(dirname "$0")/jack_dummy.sh"

stdbuf -oL jalv.gtk3 --print-controls --jack-name tavelo1ui -c output_trim=-30 \
  urn:quorva:tavelo1:mono >"$work/jalv.log" 2>&1 &
pids+=($!)
jack_metro -n tone -b 60 -f 196 -A 0.2 -D 980 -a 1 -d 1 >/dev/null 2>&1 &
pids+=($!)
wait_for_ports 20 tavelo1ui:in_l tone:60_bpm || { cat "$work/jalv.log"; exit 1; }
jack_connect tone:60_bpm tavelo1ui:in_l || { echo "FAIL: cannot connect the tone"; cat "$work/jalv.log"; exit 1; }
toplevel=""
for ((t = 0; t < 100; t++)); do
  toplevel=$(xdotool search --name '^Tavelo1$' 2>/dev/null | head -1)
  [ -n "$toplevel" ] && break
  sleep 0.1
done
[ -n "$toplevel" ] || { echo "FAIL: jalv.gtk3 opened no window"; cat "$work/jalv.log"; exit 1; }
sleep 2 # the first frames, and meter readings at the default Gain

report=$("$capture" "$toplevel" "$screenshot" "$faceplate")
status=$?
echo "$report"
[ $status -eq 0 ] || { echo "FAIL: the screenshot does not show the editor"; exit 1; }
read -r x y < <(echo "$report" | sed -n 's/.* at \([0-9]*\) \([0-9]*\):.*/\1 \2/p')

before=$(wc -l <"$work/jalv.log")
# The Gain knob (60 x 60 at 63, 455 in the editor): press, drag up 100 pixels, release.
xdotool mousemove $((x + 93)) $((y + 485)) mousedown 1
for ((k = 0; k < 10; k++)); do xdotool mousemove_relative -- 0 -10; sleep 0.03; done
xdotool mouseup 1
sleep 2

python3 - "$work/jalv.log" "$before" <<'PY'
import re, sys
lines = open(sys.argv[1]).read().splitlines()
split = int(sys.argv[2])
def peaks(part):
    return [float(m.group(1)) for m in (re.match(r"output_peak = (\S+)", l) for l in part) if m]
before, after = peaks(lines[:split]), peaks(lines[split:])
if not before or not after:
    print("FAIL: no output meter readings (before %d, after %d)" % (len(before), len(after)))
    sys.exit(1)
print("output peak before the drag %.1f dBFS, after %.1f dBFS" % (max(before), max(after)))
ok = max(after) > max(before) + 3
print("PASS" if ok else "FAIL: the Gain drag did not change the output")
sys.exit(0 if ok else 1)
PY
