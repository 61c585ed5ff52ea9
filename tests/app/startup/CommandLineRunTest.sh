#!/usr/bin/env bash
# The installed program's command line, run by an ordinary user (nobody, when
# the test runs as root) under Xvfb. Without a session bus a launch runs on
# its own. On a session bus of the user's own, `telvanta URL` plays the
# loopback stream, as MPRIS tells; later launches hand their address (another
# URL, a playlist by a path relative to where they were made, or none) to the
# running program and end, leaving that one process, which plays what they
# handed. Nothing is written below the install.
#
#   CommandLineRunTest.sh <cmake build folder>
set -euo pipefail

build=$1
here=$(dirname "$0")
source "$here/InstallProgram.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/telvanta-cli-XXXXXX")
chmod 755 "$work"
started=()  # processes of this test, ended with it
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  for log in "$work"/*.log; do
    echo "--- $log" >&2
    tail -n 20 "$log" >&2 || true
  done
  exit 1
}

# Polls for a condition, up to 30 s.
wait_until() {
  for _ in $(seq 1 150); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# One moving picture with sound as HLS on the loopback address, under two
# paths, and an M3U playlist of the first.
mkdir -p "$work/media/one" "$work/lists"
ffmpeg -nostdin -loglevel error -f lavfi -i "testsrc2=size=320x180:rate=25" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100" -t 60 \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 25 -c:a aac \
  -f hls -hls_time 2 -hls_list_size 0 -hls_playlist_type vod "$work/media/one/index.m3u8" \
  || fail "ffmpeg could not make the stream"
ln -s one "$work/media/two"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/media" > "$work/server.log" 2>&1 &
started+=($!)
port=""
for _ in $(seq 1 50); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the loopback server did not start"
first_stream="http://127.0.0.1:$port/one/index.m3u8"
second_stream="http://127.0.0.1:$port/two/index.m3u8"
printf '#EXTM3U\n#EXTINF:-1,Loopback\n%s\n' "$first_stream" > "$work/lists/loop.m3u"

# Installed, then made read-only.
prefix=$(install_program "$work/root" "$build") || fail "could not install"
program="$prefix/bin/telvanta"
chmod -R a-w "$work/root"
find "$work/root" -printf '%P %s %T@\n' | sort > "$work/root-before.txt"

# The user, with folders of their own; today's update check counts as done,
# so the run stays on this machine.
user_home="$work/home"
export XDG_CONFIG_HOME="$user_home/config" XDG_DATA_HOME="$user_home/data"
export XDG_RUNTIME_DIR="$user_home/run"
mkdir -p "$XDG_CONFIG_HOME/telvanta" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\n"Day"="%s"\n\n' \
  "$(date +%x)" > "$XDG_CONFIG_HOME/telvanta/settings.reg"
if [ -n "${XAUTHORITY:-}" ]; then
  cp "$XAUTHORITY" "$user_home/.Xauthority"
  export XAUTHORITY="$user_home/.Xauthority"
fi
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$user_home" "$work/lists"
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
# Each command execs the next, so a launch's process id is the program's.
as_user=(env "HOME=$user_home" "${run_as[@]}")

# --version and --help answer without a display.
if [ -n "${TELVANTA_INSTALL_FROM:-}" ]; then
  version=$(dpkg-deb -f "$TELVANTA_INSTALL_FROM" Version)
else
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
fi
[ "$("${as_user[@]}" env -u DISPLAY "$program" --version)" = "Telvanta $version" ] \
  || fail "--version does not tell $version"
"${as_user[@]}" env -u DISPLAY "$program" --help | grep -q "^Usage: telvanta" || fail "--help tells no usage"
"${as_user[@]}" env -u DISPLAY LC_ALL=C.UTF-8 LANGUAGE=de "$program" --help | grep -q "^Aufruf: telvanta" \
  || fail "--help does not speak German with LANGUAGE=de"

instances() { pgrep -c -f "^$program( |\$)" || true; }
main_windows_shown() {
  [ "$(xdotool search --onlyvisible --name '^Telvanta$' 2>/dev/null | wc -l)" -eq "$1" ]
}

# No session bus: the launch runs on its own and plays.
env DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "${as_user[@]}" "$program" "$first_stream" \
  > "$work/lone.log" 2>&1 &
lone=$!
started+=($lone)
wait_until main_windows_shown 1 || fail "without a session bus the program did not start"
kill "$lone"
wait "$lone" 2>/dev/null || true
wait_until main_windows_shown 0 || fail "the program without a bus did not end"

# A session bus of the user's own.
{ read -r address; read -r bus_pid; } < <("${as_user[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1)
started+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$address
mpris() { "${as_user[@]}" playerctl --player=telvanta "$@" 2>/dev/null || true; }
plays() { [ "$(mpris metadata xesam:url)" = "$1" ] && [ "$(mpris status)" = "Playing" ]; }

"${as_user[@]}" "$program" "$first_stream" > "$work/program.log" 2>&1 &
running=$!
started+=($running)
wait_until plays "$first_stream" \
  || fail "telvanta <URL> does not play it: $(mpris status) $(mpris metadata xesam:url)"

# Later launches end at once and leave the one program, which plays what
# they handed over and comes to the front (the focus is sent away first).
root_window=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
focus_away() { xdotool windowfocus "$root_window"; }
in_front() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "Telvanta" ]; }
focus_away
timeout 60 "${as_user[@]}" "$program" "$second_stream" > "$work/second.log" 2>&1 \
  || fail "the second launch failed or did not end"
[ "$(instances)" -eq 1 ] || fail "$(instances) programs run after a second launch"
wait_until in_front || fail "the running program did not come to the front"
wait_until plays "$second_stream" \
  || fail "the running program does not play the second address: $(mpris metadata xesam:url)"
(cd "$work/lists" && timeout 60 "${as_user[@]}" "$program" loop.m3u > "$work/third.log" 2>&1) \
  || fail "the launch with a playlist failed"
wait_until plays "$work/lists/loop.m3u" \
  || fail "the running program does not play the playlist: $(mpris metadata xesam:url)"
focus_away
timeout 60 "${as_user[@]}" "$program" > "$work/fourth.log" 2>&1 \
  || fail "the launch without an address failed or did not end"
[ "$(instances)" -eq 1 ] || fail "$(instances) programs run after a launch without an address"
wait_until in_front || fail "a launch without an address did not bring the program to the front"
kill -0 "$running" 2>/dev/null || fail "the running program ended"

# Quit as the desktop's controls do: the run ends well and stamps the
# settings in the user's folder, and the install is untouched.
"${as_user[@]}" dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.telvanta \
  /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit
ended() { ! kill -0 "$running" 2>/dev/null; }
wait_until ended || fail "the program did not end"
wait "$running" || fail "the program ended with an error"
grep -q '"FirstRun"="1"' "$XDG_CONFIG_HOME/telvanta/settings.reg" || fail "FirstRun was not written"
find "$work/root" -printf '%P %s %T@\n' | sort > "$work/root-after.txt"
cmp -s "$work/root-before.txt" "$work/root-after.txt" \
  || fail "the program wrote below the install: $(diff "$work/root-before.txt" "$work/root-after.txt" | head -5)"
echo "telvanta <URL> played, and later launches handed their addresses to it"
