#!/usr/bin/env bash
# The options, the controls page and Continue in the real game, driven by keys as a
# player would, with the player's own settings and state in a temporary home and the
# sound written to a file by OpenAL Soft's wave driver:
#   - lowering the music and effects volumes makes the recorded sound measurably quieter;
#   - a key rebound on the controls page walks the player, and the old key no longer does;
#   - the player's settings file then holds its own lines and comments and exactly the
#     changed keys, and a restarted game plays by them;
#   - Continue starts the furthest level recorded in the state folder;
#   - online, both machines show the same options but only the one whose player pressed
#     changes its own settings.
# Every new screen is kept at 4:3 and 16:9 for a person to look at.
set -u
GAME=$(realpath "$1")
DATA=$(realpath "$2")
SCREENS=$3
mkdir -p "$SCREENS"
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "needs an X display (run the suite under xvfb-run)"

work=$(mktemp -d)
PIDS=""
trap 'kill $PIDS 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
USER_FILE=$XDG_CONFIG_HOME/margin-brawler/config.dat
mkdir -p "$XDG_CONFIG_HOME/margin-brawler" "$XDG_STATE_HOME/margin-brawler"
printf '# my settings, by hand\nint showRegions 0   # keep the circles off\n' > "$USER_FILE"
: > "$XDG_STATE_HOME/margin-brawler/controls-shown"
printf 'one 3 level3.dat\nlast one\n' > "$XDG_STATE_HOME/margin-brawler/progress"

# start_dir DIR WIDTH HEIGHT [LINES]: a start directory with the bundled settings (no
# replays recorded) at that window size, and any extra lines.
start_dir() {
  mkdir -p "$1"
  { grep -v '^string replayDirectory' "$DATA/config.dat"
    printf 'string dataDirectory %s\nint width %s\nint height %s\n' "$DATA" "$2" "$3"
    printf '%s' "${4:-}"
  } > "$1/config.dat"
}

# launch DIR [WAV]: starts the game in DIR, its sound going to WAV (or nowhere); sets PID.
launch() {
  if [ -n "${2:-}" ]; then
    printf 'drivers=wave\nfrequency=44100\nchannels=stereo\nsample-type=int16\n[wave]\nfile=%s\n' "$2" > "$1/alsoft.conf"
    (cd "$1" && ALSOFT_DRIVERS=wave ALSOFT_CONF="$1/alsoft.conf" exec "$GAME" > "$1/stdout.txt" 2> "$1/stderr.txt") &
  else
    (cd "$1" && exec "$GAME" > "$1/stdout.txt" 2> "$1/stderr.txt") &
  fi
  PID=$!
  PIDS="$PIDS $PID"
}
# new_window KNOWN: waits for a game window other than KNOWN and prints its id.
new_window() {
  for _ in $(seq 1 300); do
    for id in $(xdotool search --name "^Margin Brawler$" 2>/dev/null); do
      [ "$id" != "${1:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
key() { local id=$1; shift; xdotool key --delay 80 --window "$id" "$@"; }
hold() { xdotool keydown --window "$1" "$2"; sleep "$3"; xdotool keyup --window "$1" "$2"; }
shot() { sleep "${3:-0.5}"; import -window "$1" "$SCREENS/$2.png" || fail "screenshot $2"; }
wait_said() { for _ in $(seq 1 100); do grep -q "$2" "$1/stdout.txt" && return 0; sleep 0.1; done; return 1; }

# Sound: the bytes the wave driver has written so far, and the loudness of what it wrote
# between two such counts (16-bit stereo samples after the header's "data" word).
wav_bytes() { stat -c %s "$1"; }
loudness() {  # WAV FROM TO "Maximum"|"RMS"
  local start from
  start=$(( $(grep -obUa data "$1" | head -n 1 | cut -d: -f1) + 8 ))
  from=$(( start + ($2 > start ? ($2 - start) / 4 * 4 : 0) ))
  tail -c +$((from + 1)) "$1" | head -c $(( ($3 - from) / 4 * 4 )) |
    sox -t raw -r 44100 -e signed -b 16 -c 2 - -n stat 2>&1 | awk -v what="$4" '$1 == what && /amplitude/ { print $3 }'
}
# sound_of WAV WHAT SECONDS [KEY ID]: presses KEY (if given), waits and prints the loudness.
sound_of() {
  local before after
  before=$(wav_bytes "$1")
  [ -z "${4:-}" ] || key "$5" "$4"
  sleep "$3"
  after=$(wav_bytes "$1")
  loudness "$1" "$before" "$after" "$2"
}
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Where player 1 (dark blue) stands, as a fraction of the width, in the lower part of a
# screenshot (the health bar above has the same colour).
player_x() {
  local navy='(r<0.05&&g<0.05&&b>0.2&&b<0.4)' crop='-gravity South -crop 100%x45%+0+0 +repage'
  local mass moment
  mass=$(convert "$SCREENS/$1.png" $crop -fx "$navy" -format "%[fx:mean]" info:)
  moment=$(convert "$SCREENS/$1.png" $crop -fx "$navy*i/w" -format "%[fx:mean]" info:)
  awk -v m="$mass" -v x="$moment" 'BEGIN { if (m <= 0) exit 1; printf "%.3f\n", x / m }'
}
moved() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(b - a > d) }'; }
still() { awk -v a="$1" -v b="$2" 'BEGIN { d = b - a; exit !(d < 0.02 && d > -0.02) }'; }

# --- The first game, at 4:3: the choices are made. ---
start_dir "$work/first" 800 600
launch "$work/first" "$work/first.wav"
id=$(new_window) || fail "no game window"
sleep 2
loud_music=$(sound_of "$work/first.wav" RMS 2)
shot "$id" options-main-continue-800x600
key "$id" Down Down Down Down Return            # Options, under Continue and above Quit
shot "$id" options-from-main-800x600
key "$id" Left Left Left Left Left Left         # music volume 10 -> 4
sleep 0.5
quiet_music=$(sound_of "$work/first.wav" RMS 2)
key "$id" Left Left Left Left                   # 4 -> 0: no music from here on
key "$id" Down Down Down Down Down Return       # Controls
shot "$id" controls-800x600
key "$id" Down Return                           # player 1's right...
shot "$id" controls-waiting-800x600
key "$id" l                                     # ...is the L key now
key "$id" Escape Escape                         # back to the options, back to the menu...
key "$id" Up Up Up Up Return                    # ...where Options is chosen: up to Continue
wait_said "$work/first" "Loaded cutscenes/to_history.dat" || fail "Continue did not start level 3"
sleep 1
key "$id" space                                 # skip the way to the history page
sleep 1
loud_effect=$(sound_of "$work/first.wav" Maximum 1.5 F10 "$id")

key "$id" Escape Down Down Down Down Return     # pause, Options (after Exit and Retry)
shot "$id" options-from-pause-800x600
key "$id" Down Left Left Left Left Left Left    # effects volume 10 -> 4
key "$id" Escape Escape                         # back to the pause menu, and play on
sleep 0.5
quiet_effect=$(sound_of "$work/first.wav" Maximum 1.5 F10 "$id")

shot "$id" first-before-walking 1
hold "$id" Right 1
shot "$id" first-after-old-key 0
hold "$id" l 1.2
shot "$id" first-after-new-key 0
key "$id" Escape Down Down Return              # pause, exit to the main menu
sleep 0.5
key "$id" Escape                                # quit
for _ in $(seq 1 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$PID" 2>/dev/null && fail "the game did not quit"

echo "music: loud $loud_music, quiet $quiet_music; effect: loud $loud_effect, quiet $quiet_effect"
below 0.01 "$loud_music" || fail "no music was heard at first ($loud_music)"
below "$quiet_music" "$(awk -v l="$loud_music" 'BEGIN { print l * 0.5 }')" \
  || fail "music volume 4 is not quieter: $quiet_music against $loud_music"
below 0.05 "$loud_effect" || fail "F10's sound was not heard at full effects volume ($loud_effect)"
below "$quiet_effect" "$(awk -v l="$loud_effect" 'BEGIN { print l * 0.35 }')" \
  || fail "effects volume 4 is not quieter: $quiet_effect against $loud_effect"
before=$(player_x first-before-walking) && old=$(player_x first-after-old-key) && new=$(player_x first-after-new-key) \
  || fail "player 1 is not in every picture of the first game"
echo "player 1 at $before, after the old key $old, after the new key $new"
still "$before" "$old" || fail "the unbound Right arrow still walks player 1 ($before -> $old)"
moved "$old" "$new" 0.05 || fail "the L key did not walk player 1 right ($old -> $new)"

expected=$'# my settings, by hand\nint showRegions 0   # keep the circles off\nint musicVolume 0\nkey player1Right l\nint effectsVolume 4'
[ "$(cat "$USER_FILE")" = "$expected" ] || fail "the player's settings file is: $(cat "$USER_FILE")"
[ "$(ls "$XDG_CONFIG_HOME/margin-brawler")" = config.dat ] || fail "something beside config.dat: $(ls "$XDG_CONFIG_HOME/margin-brawler")"

# --- The game again, at 16:9: it plays by what was chosen. ---
start_dir "$work/second" 1280 720
launch "$work/second" "$work/second.wav"
id=$(new_window) || fail "no game window the second time"
sleep 2
silent_music=$(sound_of "$work/second.wav" RMS 2)
shot "$id" options-main-continue-1280x720
key "$id" Down Down Down Down Return
shot "$id" options-from-main-1280x720
key "$id" Down Down Down Down Down Return
shot "$id" controls-1280x720
key "$id" Down Return
shot "$id" controls-waiting-1280x720
key "$id" Escape Escape Escape                  # stop waiting, leave the page, the options
key "$id" Up Up Up Up Return                    # Continue
wait_said "$work/second" "Loaded cutscenes/to_history.dat" || fail "Continue did not start level 3 again"
sleep 1
key "$id" space
sleep 1
again_effect=$(sound_of "$work/second.wav" Maximum 1.5 F10 "$id")
key "$id" Escape Down Down Down Down Return
shot "$id" options-from-pause-1280x720
key "$id" Escape Escape
shot "$id" second-before-walking 1
hold "$id" l 1.2
shot "$id" second-after-new-key 0
kill "$PID"
echo "restarted: music $silent_music, effect $again_effect"
below "$silent_music" 0.001 || fail "music volume 0 still plays music ($silent_music)"
below "$again_effect" "$(awk -v l="$loud_effect" 'BEGIN { print l * 0.35 }')" \
  || fail "the restarted game forgot the effects volume: $again_effect against $loud_effect"
before=$(player_x second-before-walking) && new=$(player_x second-after-new-key) \
  || fail "player 1 is not in every picture of the restarted game"
moved "$before" "$new" 0.05 || fail "the restarted game forgot the L key ($before -> $new)"
[ "$(cat "$USER_FILE")" = "$expected" ] || fail "looking at the controls changed the file: $(cat "$USER_FILE")"

# --- Online: the same options on both machines, each changing only its own. ---
port_in_use() { grep -qi ":$(printf '%04X' "$1") " /proc/net/udp /proc/net/udp6 2>/dev/null; }
port=$((20000 + RANDOM % 30000))
while port_in_use "$port"; do port=$((20000 + RANDOM % 30000)); done
online_side() {  # NAME WIDTH HEIGHT [HOST]
  export XDG_CONFIG_HOME=$work/$1/config XDG_STATE_HOME=$work/$1/state
  mkdir -p "$XDG_CONFIG_HOME/margin-brawler" "$XDG_STATE_HOME/margin-brawler"
  : > "$XDG_STATE_HOME/margin-brawler/controls-shown"
  start_dir "$work/$1" "$2" "$3" "int online 1
int onlinePort $port
${4:+string onlineHost $4}
"
  launch "$work/$1"
}
online_side host 800 600
host=$(new_window) || fail "no host window"
sleep 2
key "$host" Down Return                         # 2 Players: wait for the other machine
online_side join 1280 720 127.0.0.1
join=$(new_window "$host") || fail "no joiner window"
sleep 2
key "$join" Down Return
for side in host join; do
  for _ in $(seq 1 200); do grep -q "Loaded cutscenes/intro.dat" "$work/$side/stdout.txt" && break; sleep 0.1; done
done
key "$join" space
sleep 1.5
key "$host" Escape                              # pauses both
sleep 1
key "$host" Down Down Down Down Return          # Options on both
sleep 1
# The windows overlap on a small screen: each comes to the top for its picture.
for side in host join; do
  xdotool windowraise "${!side}"
  shot "${!side}" "online-options-$([ $side = host ] && echo 800x600 || echo 1280x720)" 1
done
key "$join" Left                                # the joiner's music volume only
sleep 1
key "$host" Escape Escape                       # back to the pause menu, and play on
sleep 1
[ -f "$work/host/config/margin-brawler/config.dat" ] && fail "the joiner's press changed the host's settings"
grep -qx "int musicVolume 9" "$work/join/config/margin-brawler/config.dat" \
  || fail "the joiner's own settings did not change: $(cat "$work/join/config/margin-brawler/config.dat" 2>&1)"
grep -q "Failed\|Could not\|Unrecognized" "$work"/*/stdout.txt && fail "problems: $(grep -h "Failed\|Could not\|Unrecognized" "$work"/*/stdout.txt | head -3)"
exit 0
