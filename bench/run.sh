#!/usr/bin/env bash
# Measures the program and prints one table: the real window on an Xvfb of its
# own, and the lesson core without a window. A report, not a test: nothing
# here fails on a slow machine. Usage: bench/run.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
APP=$PWD/$build/app/hayasa XPROBE=$PWD/$build/tests/desktop/xprobe
if [[ -z "${XVFB_PID:-}" ]]; then
    scripts/deps.sh test >/dev/null
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHAYASA_BUILD_TESTS=ON -DHAYASA_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" --target hayasa bench_core bench_launch bench_race bench_qt_tick xprobe >/dev/null
    # Again on an X server of its own, which sets XVFB_PID.
    exec tests/with_xvfb.sh 1024x768 "$PWD/bench/run.sh" "$build"
fi

TITLE="速さの比べ方"
# A list entry with real X input: click its field, type, close the list.
click() { xdotool mousemove --sync $((WX + $1)) $((WY + $2)) click 1; "$XPROBE" sync "$TITLE"; }
enter() {
    click "$1" "$2"
    xdotool type --delay 80 "$3"
    xdotool key Escape
    "$XPROBE" sync "$TITLE"
}

results=$( (
    "$build/bench/bench_core"
    "$build/bench/bench_launch" "$APP" 15
) 2>/dev/null)
# A race as a class runs it: the real program, the runners entered with real
# X input, three bars of a 10 s race, every thread's CPU time read from /proc.
# Once as built, once with the plain drawing paths; "plain_" marks the second.
races=5
race() {
    env "$@" "$APP" >/dev/null 2>&1 &
    APP_PID=$!
    # Painted in the window colour, where it stands.
    for _ in $(seq 1 100); do
        geo=$("$XPROBE" window "$TITLE") && read -r WX WY _ _ <<<"$geo" &&
            [[ $("$XPROBE" pixel $((WX + 500)) $((WY + 400))) == 80FF80 ]] && break
        sleep 0.1
    done
    enter 110 86 100
    enter 110 134 10
    enter 326 86 100
    enter 326 134 8
    enter 542 86 70
    enter 542 134 7
    "$build/bench/bench_race" "$APP_PID" "$WX" "$WY" $races
    kill $APP_PID
    wait $APP_PID 2>/dev/null || true
}
results+=$'\n'$(race HAYASA_PLAIN_PATHS=0)
results+=$'\n'$(race HAYASA_PLAIN_PATHS=1 | sed 's/^/plain_/')
# What Qt alone costs a tick on the same X server, for comparison.
results+=$'\n'$("$build/bench/bench_qt_tick" 2>/dev/null)
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$results"; }
verdict() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { print (v >= lo && v <= hi) ? "met" : "missed" }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "–" }'; }

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
echo "Measured $(date -u +%Y-%m-%d) on $cpu, $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB; Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null), Xvfb 1024x768, Release build."
echo
echo "| Desktop window | Result | Goal | |"
echo "|---|---|---|---|"
l=$(value launch_first_paint_ms)
echo "| Launch to first painted window, median of 15 (max $(value launch_first_paint_max_ms) ms) | $l ms | ≤ 100 ms | $(verdict "$l" 0 100) |"
r=$(value peak_rss_mb)
echo "| Peak resident memory | $r MiB | ≤ 40 MB | $(verdict "$r" 0 38.15) |"
w=$(value race_10s_wall_s)
echo "| 10 s race (200 ticks), start click to end, real window; plain paths | $w; $(value plain_race_10s_wall_s) s | 4.00 s ± 1 % | $(verdict "$w" 3.96 4.04) |"
m=$(value tick_cpu_mean_ms)
echo "| CPU per race tick, all threads, mean of $races races; plain paths | $m; $(value plain_tick_cpu_mean_ms) ms | ≤ 0.2 ms | $(verdict "$m" 0 0.2) |"
echo "| CPU per race tick, main thread alone; thread switches per tick | $(value tick_cpu_main_thread_ms) ms; $(value tick_context_switches) | – | |"
echo "| Qt alone, CPU per 20 ms tick: nothing; flushing 3 × 20 pixels; a new caption on a QLabel | $(value qt_tick_idle_ms); $(value qt_tick_flush_ms); $(value qt_tick_label_ms) ms | – | |"
echo "| Race tick beside Qt's own tick with a new caption | $(ratio "$m" "$(value qt_tick_label_ms)") × | – | |"
c=$(value core_race_framebuffer_ms)
echo "| Headless core, 300 s race ($(value core_race_ticks) ticks), framebuffer; no pixels; plain paths | $c; $(value core_race_no_pixels_ms); $(value core_race_plain_ms) ms | < 1 ms | $(verdict "$c" 0 0.999) |"

# The page built by scripts/web.sh, in headless Chromium and Firefox.
page=$(scripts/web.sh 2>/dev/null | tail -n 1)
web=$(node bench/web_bench.js "$(dirname "$page")" 5 2>/dev/null) || { echo; echo "Web edition: not measured (Chromium, Firefox or tests/e2e's npm modules missing)"; exit 0; }
wv() { awk -v k="$1" '$1 == k { printf "%.4g", $2 }' <<<"$web"; }
both() { echo "$(wv "web_chromium_$1") | $(wv "web_firefox_$1")"; }
echo
echo "| Page, viewport 1024x768, median of 5 loads | Chromium | Firefox | Goal |"
echo "|---|---|---|---|"
echo "| First paint from file:// (ms) | $(both first_paint_file_ms) | ≤ 300 |"
echo "| First paint from 127.0.0.1, cold; warm, from the service worker (ms) | $(wv web_chromium_first_paint_server_cold_ms); $(wv web_chromium_first_paint_server_warm_ms) | $(wv web_firefox_first_paint_server_cold_ms); $(wv web_firefox_first_paint_server_warm_ms) | – |"
echo "| The same three at 6× CPU throttling (ms) | $(wv web_chromium_first_paint_file_ms_throttled6); $(wv web_chromium_first_paint_server_cold_ms_throttled6); $(wv web_chromium_first_paint_server_warm_ms_throttled6) | – | – |"
echo "| 10 s race, click to last tick (s); at 6× throttling | $(wv web_chromium_race_10s_wall_s); $(wv web_chromium_race_10s_wall_s_throttled6) | $(wv web_firefox_race_10s_wall_s) | 4.00 ± 1 % |"
echo "| The page's script per tick; bare canvas page (ms) | $(wv web_chromium_tick_script_ms); $(wv web_chromium_floor_script_ms) | $(wv web_firefox_tick_script_ms); $(wv web_firefox_floor_script_ms) | – |"
echo "| Script per tick as a ratio to the bare page | $(ratio "$(wv web_chromium_tick_script_ms)" "$(wv web_chromium_floor_script_ms)") | $(ratio "$(wv web_firefox_tick_script_ms)" "$(wv web_firefox_floor_script_ms)") | – |"
echo "| Main-thread task per tick; bare page; ratio (ms) | $(wv web_chromium_tick_task_ms); $(wv web_chromium_floor_task_ms); $(ratio "$(wv web_chromium_tick_task_ms)" "$(wv web_chromium_floor_task_ms)") | – | – |"
echo "| The same at 6× throttling (ms) | $(wv web_chromium_tick_task_ms_throttled6); $(wv web_chromium_floor_task_ms_throttled6) | – | – |"
echo "| Plain paths: script per tick; task per tick (ms) | $(wv web_chromium_plain_tick_script_ms); $(wv web_chromium_plain_tick_task_ms) | $(wv web_firefox_plain_tick_script_ms) | – |"
h=$(wv web_chromium_js_heap_mb)
echo "| JS heap after the races (MB) | $h | – | ≤ 10 |"
echo "| dist/hayasa.html (MB) | $(wv web_page_mb) | | ≤ 1.5 |"
echo
echo "Chromium $(awk '$1 == "web_chromium_version" { print $2 }' <<<"$web"), Firefox $(awk '$1 == "web_firefox_version" { print $2 }' <<<"$web")."

# A longer seeded random sequence of real input on the page than CI plays
# (tests/e2e/random.js), in Chromium; a new seed each time, printed.
seed=$(date +%s)
r=$(node tests/e2e/random.js chromium --page "$page" --seed "$seed" --events 10000 2>&1 | grep -E '^(PASS|FAIL|shortest)' || true)
echo
echo "Random real input on the page, Chromium, 10000 events: ${r:-not run}"
