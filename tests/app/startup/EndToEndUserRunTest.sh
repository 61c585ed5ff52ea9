#!/usr/bin/env bash
# A user's run of the installed program, under Xvfb. It is installed the way
# a distribution does it, into a folder the user can't write to, and run by
# an ordinary user (nobody, when the test runs as root). The list window comes
# up over a small catalogue in the user's data folder whose station streams
# from 127.0.0.1; the user adds the station to the favourites, picks it with
# the keyboard and presses Enter, confirms the players note, watches the
# stream in the main window and closes it. Nothing may be written below the
# install prefix, and nothing of WebKit's in the user's folders (what an
# earlier version left there goes); the web process runs under bwrap. A screenshot of the screen is left in the build folder.
#
#   EndToEndUserRunTest.sh <cmake build folder> <program folder in it>
#                          <telvanta_make_test_catalogue> <telvanta_close_window>
set -euo pipefail

binary=$1
build=$2
make_catalogue=$3
close_window=$4
source "$(dirname "$0")/InstallProgram.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/telvanta-e2e-XXXXXX")
chmod 755 "$work"
server_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
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
  import -window root "$build/telvanta-e2e-failure.png" 2>/dev/null || true
  exit 1
}

# Waits for a visible window with exactly this title; prints its id.
wait_window() {
  local title=$1 id=""
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# The list window shares its title with the splash and the main window: it is
# the one of its opening size. A window that goes meanwhile is passed over.
wait_list_window() {
  local id
  for _ in $(seq 1 150); do
    for id in $(xdotool search --onlyvisible --name "^Telvanta\$" 2>/dev/null || true); do
      if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: 586x482"; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
  done
  return 1
}

# Keys go to the window under the pointer when no window manager runs.
point_at() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 40))
  xdotool windowfocus "$1" 2>/dev/null || true
  sleep 0.3
}

# A moving test picture with sound, as HLS, served on the loopback address.
mkdir -p "$work/media"
ffmpeg -nostdin -loglevel error -f lavfi -i "testsrc2=size=480x270:rate=25" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100" -t 60 \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 25 -c:a aac \
  -f hls -hls_time 2 -hls_list_size 0 -hls_playlist_type vod "$work/media/index.m3u8" \
  || fail "ffmpeg could not make the stream"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/media" > "$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 50); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the loopback server did not start"
stream="http://127.0.0.1:$port/index.m3u8"

# Installed as a distribution would, then made read-only: root owns it when
# the test runs as root, and the program then runs as nobody.
prefix=$(install_program "$work/root" "$binary") || fail "could not install"
chmod -R a-w "$work/root"
find "$work/root" -printf '%P %s %T@\n' | sort > "$work/prefix-before.txt"
run_as=()
user_home="$work/home"
mkdir -p "$user_home"
if [ "$(id -u)" -eq 0 ]; then
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi

# The user's folders, with today's update check counted as done (so the run
# stays on this machine) and the test catalogue where a refreshed one goes.
export XDG_CONFIG_HOME="$user_home/config"
export XDG_DATA_HOME="$user_home/data"
export XDG_RUNTIME_DIR="$user_home/run"
mkdir -p "$XDG_CONFIG_HOME/telvanta" "$XDG_DATA_HOME/telvanta" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\n"Day"="%s"\n\n' \
  "$(date +%x)" > "$XDG_CONFIG_HOME/telvanta/settings.reg"
"$make_catalogue" --installed "$XDG_DATA_HOME/telvanta" \
  "tv|Australia|Quiet Channel|100k|http://127.0.0.1:9/none.m3u8|News" \
  "tv|Canada|Loopback TV|300k|$stream|News" \
  "tv|France|Canal Test|500k|http://127.0.0.1:9/canal.m3u8|Music" \
  "radio|Germany|Radio Eins||http://127.0.0.1:9/eins.mp3|" \
  "webcam|Finland|Harbour||http://127.0.0.1:9/harbour.jpg|" \
  || fail "could not write the catalogue"
# What the web view of earlier versions left beside the user's own files.
leftovers=("$XDG_DATA_HOME/telvanta/hsts-storage.sqlite" "$XDG_DATA_HOME/telvanta/storage/salt"
  "$XDG_DATA_HOME/telvanta/mediakeys/salt" "$user_home/.cache/telvanta/WebKitCache/salt")
for file in "${leftovers[@]}"; do
  mkdir -p "$(dirname "$file")" && touch "$file"
done
if [ -n "${XAUTHORITY:-}" ]; then
  cp "$XAUTHORITY" "$user_home/.Xauthority"
  export XAUTHORITY="$user_home/.Xauthority"
fi
[ ${#run_as[@]} -eq 0 ] || chown -R 65534:65534 "$user_home"
# A launch hands over to a running program on the same session bus: this
# run stays off the host's.
unset DBUS_SESSION_BUS_ADDRESS
HOME="$user_home" "${run_as[@]}" "$prefix/bin/telvanta" > "$work/program.log" 2>&1 &
program_pid=$!

# The list window comes first. The second station goes to the favourites
# through its menu, then plays on Enter.
list=$(wait_list_window) || fail "the channel list window did not appear"

# Nothing draws with OpenGL before the first play: once the browser is made
# (its network process runs), no GL driver is mapped.
browser_made() { pgrep -P "$program_pid" -x WebKitNetworkPr > /dev/null; }
for _ in $(seq 1 100); do browser_made && break; sleep 0.1; done
browser_made || fail "the browser was not made once the list showed"
gl=$(grep -Eo '/[^ ]*(/dri/|libEGL_mesa|libGLX_mesa|libLLVM)[^ ]*' "/proc/$program_pid/maps" | sort -u | head -3 || true)
[ -z "$gl" ] || fail "the idle program mapped a GL driver: $gl"

point_at "$list"
xdotool key --clearmodifiers Down
sleep 0.3
shown=$(xdotool search --onlyvisible --class telvanta 2>/dev/null | wc -l)
xdotool key --clearmodifiers shift+F10
for _ in $(seq 1 50); do
  [ "$(xdotool search --onlyvisible --class telvanta 2>/dev/null | wc -l)" -gt "$shown" ] && break
  sleep 0.1
done
xdotool key --clearmodifiers Down Down Return
for _ in $(seq 1 50); do
  grep -q "Loopback TV" "$XDG_DATA_HOME/telvanta/Fav.dat" 2>/dev/null && break
  sleep 0.1
done
grep -q "Loopback TV" "$XDG_DATA_HOME/telvanta/Fav.dat" 2>/dev/null \
  || fail "the station did not reach the favourites"
point_at "$list"
xdotool key --clearmodifiers Return

# First run: the players note, confirmed with Enter.
note=$(wait_window "The latest verion of Windows Media Player and Real Player Required") \
  || fail "the players note did not appear"
point_at "$note"
xdotool key --clearmodifiers Return

main=$(wait_window "Telvanta - Canada - Loopback TV\(300k\)") \
  || fail "the main window did not show the station"

# The page's web process runs in WebKit's sandbox, unless the program said
# (once) why it can't here.
sandbox_off=$(grep -c "sandbox is off" "$work/program.log" || true)
[ "$sandbox_off" -le 1 ] || fail "the program said $sandbox_off times that the sandbox is off"
if [ "$sandbox_off" -eq 0 ]; then
  ps -eo pid=,ppid=,comm= | awk -v root="$program_pid" '
    { parent[$1] = $2; name[$1] = $3 }
    END {
      for (p in name) {
        if (name[p] !~ /^WebKitWebProc/) continue
        for (q = parent[p]; q > 1; q = parent[q]) {
          if (q != root) continue
          found = 1
          if (name[parent[p]] != "bwrap") loose = 1
        }
      }
      exit !(found && !loose)
    }' || fail "the web process does not run under bwrap: $(ps -eo pid,ppid,comm --forest | grep -B1 WebKitWeb)"
fi

# The picture moves: two screenshots of the player area differ.
sleep 8
eval "$(xdotool getwindowgeometry --shell "$main")"
area="$((WIDTH))x$((HEIGHT - 62 - 22))+$X+$((Y + 62))"
import -window root "$work/first.png"
sleep 1
import -window root "$build/telvanta-e2e.png"
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$build/telvanta-e2e-window.png"
changed=$(compare -metric AE -crop "$area" "$work/first.png" "$build/telvanta-e2e.png" null: 2>&1 \
  | sed 's/ .*//' || true)
[ "${changed%.*}" -gt 1000 ] 2>/dev/null || fail "the picture does not move ($changed pixels changed)"
[ -d "$XDG_RUNTIME_DIR/telvanta" ] || fail "the player page was not written to the runtime folder"

# Closing the main window ends the run and stamps the settings.
"$close_window" "$main" || fail "could not ask the main window to close"
for _ in $(seq 1 75); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$program_pid" 2>/dev/null; then fail "the program did not end"; fi
wait "$program_pid" || fail "the program ended with an error"
program_pid=""
hive="$XDG_CONFIG_HOME/telvanta/settings.reg"
grep -q '"FirstRun"="1"' "$hive" || fail "FirstRun was not written"
grep -q '"Day"=' "$hive" || fail "Day was not written"
webkits=$(find "$user_home" \( -name WebKitCache -o -name CacheStorage -o -name mediakeys \
  -o -name storage -o -name hsts-storage.sqlite -o -name webkitgtk \) -print)
[ -z "$webkits" ] || fail "WebKit's files are in the user's folders: $webkits"
find "$work/root" -printf '%P %s %T@\n' | sort > "$work/prefix-after.txt"
cmp -s "$work/prefix-before.txt" "$work/prefix-after.txt" \
  || fail "the program wrote below the install prefix: $(diff "$work/prefix-before.txt" "$work/prefix-after.txt" | head -5)"
echo "The user's run went through; screenshot: $build/telvanta-e2e.png"
