#!/usr/bin/env bash
# The game as a player sees it, by regions and colour classes of the window's
# picture: the loading screen, the split screen, key commands that switch what
# they show (with the menu sound) and then all of them without an OpenGL or
# sound error, player 1 reversing off the table, Escape ending with 0.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

for s in explode getitem shoot hitloud hitsoft win bye bgm; do make_sound "$s" 0.3 300; done
make_sound menu 0.25 3000  # the only high tone
use_wave_output
# (x y w h as fractions of the window from its top-left corner) colour
LOADING=("0 0 0.25 0.05 dark" "0.15 0.2 0.7 0.13 yellow")   # the loading screen
ARENA=("0 0 0.25 0.05 sky" "0.42 0.32 0.16 0.17 red" "0.42 0.82 0.16 0.17 green"
       "0.06 0.44 0.08 0.05 red" "0.06 0.94 0.08 0.05 red")  # sky, the cars, "x 5" of each half
SEEN=">0.8 >0.02 >0.02 >0.03 >0.03"
# key | region and colour | share before, after: "<0.001 >0.02" means from below to above
KEYS=("F8|0.69 0.96 0.31 0.04 green|<0.001 >0.02"  # the reply on the message line
      "F2|0.87 0 0.13 0.03 grey|>0.03 <0.01"       # the frame rate hidden
      "F3|0 0 1 1 lit|>0.8 <0.3"                   # wireframe: lines over the black background
      "F3|0 0 1 1 lit|<0.3 >0.8"                   # filled again
      "F1|0.2 0.3 0.6 0.2 dark|<0.1 >0.8")         # the help screen shown
# holds FILE "<A >B" REGIONS...: each region's share compares as its word says.
holds() {
    local file=$1 words=($2) i=0
    shift 2
    for region in "$@"; do
        local s=$(share "$file" $region) w=${words[$i]}
        if [ "${w:0:1}" = ">" ]; then above "$s" "${w:1}"; else above "${w:1}" "$s"; fi || return 1
        i=$((i + 1))
    done
}

start_game
n=0 loading=0
until grep -q "Loading... meshes/car/car_green.obj" "$RUN/qelm.log" 2>/dev/null || [ $n -ge 400 ]; do
    n=$((n + 1))
    xwd -silent -id "$WID" > "$TOP/s$n.xwd" 2>/dev/null  # fails until the window is mapped
done
for i in $(seq 1 $n); do
    [ -s "$TOP/s$i.xwd" ] && holds "$TOP/s$i.xwd" ">0.9 >0.3" "${LOADING[@]}" && loading=$i && break
done
[ "$loading" -gt 0 ] || fail "the loading screen was never seen in $n pictures"

wait_for_frames 1
for _ in $(seq 1 40); do  # the meshes load first: up to 20 s on a loaded machine
    shot "$TOP/arena.xwd"
    holds "$TOP/arena.xwd" "$SEEN" "${ARENA[@]}" && break
    sleep 0.5
done
holds "$TOP/arena.xwd" "$SEEN" "${ARENA[@]}" || fail "arena picture: $(for r in "${ARENA[@]}"; do share "$TOP/arena.xwd" $r; done)"
for row in "${KEYS[@]}"; do
    IFS='|' read -r key region limits <<< "$row"
    shot "$TOP/before.xwd"
    key_tap "$key"
    for _ in $(seq 1 20); do  # slow frames: up to 5 s for the switch to show
        sleep 0.25
        shot "$TOP/after.xwd"
        holds "$TOP/after.xwd" "${limits#* }" "$region" && break
    done
    echo "$key: $(share "$TOP/before.xwd" $region) -> $(share "$TOP/after.xwd" $region)"
    holds "$TOP/before.xwd" "${limits% *}" "$region" && holds "$TOP/after.xwd" "${limits#* }" "$region" ||
        fail "$key did not switch its region"
done
sleep 0.5
for key in F1 F2 F3 F3 F4 F5 F5 F5 F4 F5 F4 F6 F6 F7 F8 F8 F9 F9 F10 F1 F2; do
    key_tap "$key"
    sleep 0.15
done

# Slow frames make a slow match (one physics step a frame): allow a minute.
for i in $(seq 1 600); do
    [ $((i % 10)) = 1 ] && key_down Down
    grep -qx "ArenaLevel: Player 1 has 4 life(s) left." "$RUN/qelm.log" && break
    sleep 0.1
done
key_up Down
grep -qx "ArenaLevel: Player 1 has 4 life(s) left." "$RUN/qelm.log" || fail "player 1 lost no life"
grep -q "Player 2 has" "$RUN/qelm.log" && fail "player 2 lost a life standing still"
key_tap Escape
wait_for_exit 30
check_clean_end "arena"
grep -q "^GL Error\|^ALUT error" "$RUN/qelm.log" && fail "$(grep '^GL Error\|^ALUT error' "$RUN/qelm.log" | sort | uniq -c)"
menu=$($XTOOL bursts "$RUN_TOP/out.wav" 3000)
[ "$menu" -gt "${#KEYS[@]}" ] || fail "menu sound played $menu times for ${#KEYS[@]} key commands and a run of them"
echo "ok"
