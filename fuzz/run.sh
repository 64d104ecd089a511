#!/usr/bin/env bash
# Builds the fuzz targets with the fuzz preset (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time, all at once. Seconds per target: the argument, else
# MOSHITONG_FUZZ_SECONDS, else 45. With --if-changed it runs nothing when the targets, their seeds
# and the fixtures are byte for byte those of the last run that passed.
#
# The committed seeds in fuzz/corpus/<target> are only read; what the fuzzers learn collects in
# build-fuzz/corpus/<target> and carries over to the next run. A crash, a leak, a hang or a
# broken invariant leaves its input in build-fuzz/artifacts/ and fails the run; replay it with
#   build-fuzz/bin/<target> build-fuzz/artifacts/<file>
set -euo pipefail
cd "$(dirname "$0")/.."

if_changed=0
if [ "${1:-}" = --if-changed ]; then
    if_changed=1
    shift
fi
seconds=${1:-${MOSHITONG_FUZZ_SECONDS:-45}}
targets=(action_fuzzer parser_fuzzer like_fuzzer damage_fuzzer)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]}"

out=build-fuzz
passed="$out/passed.sha256"
sha256sum "${targets[@]/#/$out/bin/}" fuzz/corpus/*/* data/fixtures/* >"$out/targets.sha256"
if [ $if_changed = 1 ] && cmp -s "$out/targets.sha256" "$passed"; then
    echo "fuzz: the targets are unchanged since their last run passed; nothing to run"
    exit 0
fi
rm -f "$passed"
mkdir -p "$out/artifacts"
declare -A pids
for target in "${targets[@]}"; do
    mkdir -p "$out/corpus/$target"
    timeout=60
    extra=()
    case $target in
        # Every step on a long text is slow under the sanitizers; long scripts would mostly repeat
        # them.
        action_fuzzer) extra=(-max_len=2048) ;;
        # No lookup on a damaged store may take a second, so neither may the whole input.
        damage_fuzzer) timeout=1 ;;
    esac
    options=(-max_total_time="$seconds" -timeout="$timeout" -print_final_stats=1
             -artifact_prefix="$out/artifacts/$target-" "${extra[@]}")
    "$out/bin/$target" "${options[@]}" "$out/corpus/$target" "fuzz/corpus/$target" \
        >"$out/$target.log" 2>&1 &
    pids[$target]=$!
done

status=0
for target in "${targets[@]}"; do
    if wait "${pids[$target]}"; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$target.log" | grep -o '[0-9]*$')
        echo "fuzz: $target: ${runs:-?} inputs in ${seconds} s, no failure"
    else
        status=1
        echo "fuzz: $target FAILED; the end of $out/$target.log:"
        tail -n 40 "$out/$target.log"
    fi
done
if [ $status = 0 ]; then
    cp "$out/targets.sha256" "$passed"
fi
exit $status
