#!/usr/bin/env bash
# Kills quillmark-cli with SIGKILL in the middle of saves and checks what a save promises: the
# target holds the old or the new file, whole, keeps its mode, and the next save of the target
# leaves no temporary file behind. Slow (a million-point project); not part of the test run.
# Usage: scripts/kill_during_save.sh PATH/TO/quillmark-cli [RUNS]
set -euo pipefail

cli=${1:?usage: $0 PATH/TO/quillmark-cli [RUNS]}
runs=${2:-50}
[ -x "$cli" ] || { echo "$0: '$cli' is not an executable" >&2; exit 2; }

work=$(mktemp -d /tmp/quillmark-kill-XXXXXX)
trap 'rm -rf "$work"' EXIT
target=$work/TARGET.xml

# One value a day from 1900-01-01, by the program's calendar (every fourth year a leap year).
daily_csv() {
    awk -v count="$1" 'BEGIN {
        split("31 28 31 30 31 30 31 31 30 31 30 31", length_of, " ")
        print "Date,Close"
        y = 1900; m = 1; d = 1
        for (i = 0; i < count; i++) {
            printf "%04d-%02d-%02d,%.2f\n", y, m, d, 100 + (i % 1000) / 10
            last = length_of[m] + (m == 2 && y % 4 == 0)
            if (++d > last) { d = 1; if (++m > 12) { m = 1; y++ } }
        }
    }'
}

now_ms() { date +%s%3N; }

# The temporary files of saves of the target that are still in its folder.
temporaries() {
    find "$work" -maxdepth 1 -name '.TARGET.xml.quillmark-*.tmp' | wc -l
}

daily_csv 1000000 >"$work/big.csv"
daily_csv 1000 >"$work/small.csv"
"$cli" import "$work/big.csv" -o "$work/BIG.xml" >/dev/null
"$cli" import "$work/small.csv" -o "$work/SMALL.xml" >/dev/null
cp "$work/SMALL.xml" "$target"
chmod 0640 "$target"

# The whole command's time, reading included, is the range the kills are spread over.
start=$(now_ms)
"$cli" resave "$work/BIG.xml" "$target"
duration=$(($(now_ms) - start))
cmp -s "$work/BIG.xml" "$target" || { echo "$0: resave does not reproduce BIG.xml" >&2; exit 1; }
echo "a save of the million-point project takes ${duration} ms" >&2

old=0 new=0 damaged=0 left=0 mid_write=0
for ((run = 1; run <= runs; run++)); do
    # The next complete save puts the old file back and must remove what the last kill left.
    "$cli" resave "$work/SMALL.xml" "$target"
    if [ "$(temporaries)" -ne 0 ]; then
        left=$((left + 1))
        echo "run $run: a temporary file outlived the next save" >&2
    fi

    delay_ms=$((RANDOM * duration / 32768))
    "$cli" resave "$work/BIG.xml" "$target" >/dev/null 2>&1 &
    pid=$!
    sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
    kill -KILL "$pid" 2>/dev/null || true
    { wait "$pid" || true; } 2>/dev/null
    # A temporary file now means the kill came while the new content was being written.
    [ "$(temporaries)" -eq 0 ] || mid_write=$((mid_write + 1))

    mode=$(stat -c %a "$target")
    if cmp -s "$target" "$work/SMALL.xml" && [ "$mode" = 640 ]; then
        old=$((old + 1))
    elif cmp -s "$target" "$work/BIG.xml" && [ "$mode" = 640 ]; then
        new=$((new + 1))
    else
        damaged=$((damaged + 1))
        echo "run $run: killed after ${delay_ms} ms: the target is damaged (mode $mode)" >&2
    fi
done
"$cli" resave "$work/SMALL.xml" "$target"
[ "$(temporaries)" -eq 0 ] || left=$((left + 1))

echo "$mid_write of the kills came while the temporary file was being written" >&2
echo "kill -9 during save: $runs runs, $old old, $new new, $damaged damaged, $left temporaries left"
[ "$damaged" -eq 0 ] && [ "$left" -eq 0 ]
