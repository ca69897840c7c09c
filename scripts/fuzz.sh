#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs each for FUZZ_SECONDS seconds, starting from the seeds in fuzz/corpus and the kept
# findings in fuzz/regressions. New findings land in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
dir=${FUZZ_DIR:-build-fuzz}
targets=(Package Jpeg Bmp EdgeStrip Exif)

scripts/install-deps.sh clang libclang-rt-14-dev
if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVRIN_FUZZ=ON -DTAVRIN_BENCHMARKS=OFF
fi
cmake --build "$dir" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
failed=0
summary=()
for t in "${targets[@]}"; do
    work="$dir/corpus/$t"
    findings="$dir/findings/$t"
    mkdir -p "$work" "$findings"
    cp -n fuzz/corpus/"$t"/* "$work"/ 2>/dev/null || true
    cp -n fuzz/regressions/"$t"/* "$work"/ 2>/dev/null || true
    log="$dir/$t.log"
    if "$dir/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" "$work" >"$log" 2>&1; then
        result=clean
    else
        result="FOUND A FAULT (see $log and $findings)"
        failed=1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    summary+=("$t: $runs executions in ${seconds}s, $result")
done
printf '%s\n' "${summary[@]}"
exit $failed
