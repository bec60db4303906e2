#!/usr/bin/env bash
# F3 switches the picture to wireframe and back: with lines only, most of
# the window shows the black background that filled faces cover.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

write_conf "width = 800" "height = 600"
start_game
wait_for_frames 2
filled=$(lit_share)
key_tap F3
sleep 1
wire=$(lit_share)
key_tap F3
sleep 1
again=$(lit_share)
echo "lit share: filled $filled, wireframe $wire, filled again $again"
above "$filled" 0.15 || fail "nothing much drawn before F3 ($filled)"
above "$(python3 -c "print($filled / 3)")" "$wire" || fail "F3 did not switch to wireframe"
above "$wire" 0.001 || fail "wireframe shows no lines at all"
above "$again" "$(python3 -c "print($wire * 3)")" || fail "second F3 did not fill again"
hold_keys_until_exit Escape
check_clean_end "wireframe"
echo "ok"
