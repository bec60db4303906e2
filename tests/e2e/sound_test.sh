#!/usr/bin/env bash
# Sounds as really played (OpenAL's wave-file backend): the looping music,
# the good-bye sound played to its end, silence for missing files with the
# first frame's "ALUT error: " report naming each, and a clean run without
# sound device.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

# sound_run NAME SECONDS [SOUND SECONDS FREQUENCY]...: a run with the other
# sounds as short high tones, no music and no good-bye sound but those given,
# ended by Escape, checked for a clean end and, after start-up, one
# "ALUT error: " line with the library's text for each missing file, naming it.
sound_run() {
    local name=$1 seconds=$2
    shift 2
    new_run
    write_conf "width = 320" "height = 240"
    for s in explode getitem shoot hitloud hitsoft menu win; do make_sound "$s" 0.2 3000; done
    remove_file sounds/bgm.wav sounds/bye.wav
    while [ $# -ge 3 ]; do make_sound "$1" "$2" "$3"; shift 3; done
    [ "$name" = "no device" ] && export ALSOFT_DRIVERS=no-such-driver || use_wave_output
    start_game
    wait_for_frames "$seconds"
    local pressed=$(date +%s.%N)
    hold_keys_until_exit Escape
    TOOK=$(python3 -c "import time; print(time.time() - $pressed)")
    check_clean_end "$name"
    if [ "$name" = "no device" ]; then
        # The library's own error, once, not one per file that could not load.
        [ "$(grep -c '^ALUT error: ' "$RUN/qelm.log")" = 1 ] || fail "no device: $(grep '^ALUT' "$RUN/qelm.log")"
        return
    fi
    local missing=0
    for s in bgm bye; do
        [ -e "$RUN/sounds/$s.wav" ] && continue
        missing=$((missing + 1))
        [ "$(grep -c "^ALUT error: .\+ (sounds/$s.wav)$" "$RUN/qelm.log")" = 1 ] ||
            fail "$name: no one ALUT error line naming sounds/$s.wav: $(grep '^ALUT' "$RUN/qelm.log")"
    done
    [ "$(grep -c '^ALUT error: ' "$RUN/qelm.log")" = "$missing" ] || fail "$name: not one ALUT error line per missing file"
    expect_lines "$RUN/qelm.log" "BULLET: initialized" "ALUT error: " "Configuration file unloaded."
}

# Music only (shorter than the run, so it must loop); no good-bye file.
sound_run "music" 2 bgm 0.5 440
music=$(out_rms sinc 300-600)
late=$(sox "$RUN_TOP/out.wav" -p trim 1.2 | sox -p -n sinc 300-600 stat 2>&1 | awk '/^RMS +amplitude/ {print $3}')
echo "music: RMS $music, after 1.2 s $late"
above "$music" 0.02 || fail "no music in the output"
above "$late" 0.02 || fail "the music did not loop"

# Good-bye sound only: it plays to its end before the program exits.
sound_run "good-bye" 1 bye 1 300
bye=$(out_rms sinc 200-400)
high=$(out_rms sinc 2000-4000)
echo "good-bye: RMS $bye, other sounds $high, Escape to exit ${TOOK}s"
above "$bye" 0.02 || fail "no good-bye sound in the output"
above 0.005 "$high" || fail "sounds played that nothing asked for"
above "$TOOK" 0.9 || fail "program ended before the good-bye sound did"

# Neither file: silence, and still only the one report.
sound_run "silent" 1
quiet=$(out_rms)
echo "no music, no good-bye: RMS $quiet"
above 0.001 "$quiet" || fail "sound without sound files"

sound_run "no device" 1 bgm 0.5 440 bye 0.5 300
echo "ok"
