#!/usr/bin/env bash
# Sounds as really played (OpenAL's wave-file backend): the looping music,
# the good-bye sound played to its end, silence for missing files with the
# first frame's "ALUT error: " report, and a clean run without any sound
# device.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

prepare() {
    link_shaders
    write_cube_mesh
    write_conf "width = 320" "height = 240"
    for s in explode getitem shoot hitloud hitsoft menu win; do make_sound "$s" 0.2 3000; done
}
check_clean_end() {
    [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE"
    [ "$(last_line "$RUN/qelm.log")" = "Configuration file unloaded." ] ||
        fail "$1: last log line: $(last_line "$RUN/qelm.log")"
}
# One "ALUT error: " line with the library's text, after start-up.
check_one_alut_error() {
    [ "$(grep -c '^ALUT error: ' "$RUN/qelm.log")" = 1 ] || fail "$1: not one ALUT error line"
    grep -q '^ALUT error: .' "$RUN/qelm.log" || fail "$1: ALUT error without its text"
    expect_lines "$RUN/qelm.log" "BULLET: initialized" "ALUT error: " "Configuration file unloaded."
}

# Music only (shorter than the run, so it must loop); no good-bye file.
prepare
make_sound bgm 0.5 440
use_wave_output
start_game
wait_for_frames 2
hold_keys_until_exit Escape
check_clean_end "music"
check_one_alut_error "music"
music=$(out_rms sinc 300-600)
late=$(sox "$RUN_TOP/out.wav" -p trim 1.2 | sox -p -n sinc 300-600 stat 2>&1 | awk '/^RMS +amplitude/ {print $3}')
echo "music: RMS $music, after 1.2 s $late"
above "$music" 0.02 || fail "no music in the output"
above "$late" 0.02 || fail "the music did not loop"

# Good-bye sound only: it plays to its end before the program exits.
new_run
prepare
make_sound bye 1 300
use_wave_output
start_game
wait_for_frames 1
pressed=$(date +%s.%N)
hold_keys_until_exit Escape
took=$(python3 -c "import time; print(time.time() - $pressed)")
check_clean_end "good-bye"
check_one_alut_error "good-bye"
bye=$(out_rms sinc 200-400)
high=$(out_rms sinc 2000-4000)
echo "good-bye: RMS $bye, other sounds $high, Escape to exit ${took}s"
above "$bye" 0.02 || fail "no good-bye sound in the output"
above 0.005 "$high" || fail "sounds played that nothing asked for"
above "$took" 0.9 || fail "program ended before the good-bye sound did"

# Neither file: silence, and still only the one report.
new_run
prepare
use_wave_output
start_game
wait_for_frames 1
hold_keys_until_exit Escape
check_clean_end "silent"
check_one_alut_error "silent"
quiet=$(out_rms)
echo "no music, no good-bye: RMS $quiet"
above 0.001 "$quiet" || fail "sound without sound files"

# No sound device at all.
new_run
prepare
make_sound bgm 0.5 440
make_sound bye 0.5 300
export ALSOFT_DRIVERS=no-such-driver
start_game
wait_for_frames 1
hold_keys_until_exit Escape
check_clean_end "no device"
echo "ok"
