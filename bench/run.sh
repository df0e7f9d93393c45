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
races=5
"$APP" >/dev/null 2>&1 &
APP_PID=$!
trap 'kill $APP_PID 2>/dev/null' EXIT
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
results+=$'\n'$("$build/bench/bench_race" "$APP_PID" "$WX" "$WY" $races)
# What Qt alone costs a tick on the same X server, for comparison.
results+=$'\n'$("$build/bench/bench_qt_tick" 2>/dev/null)
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$results"; }
verdict() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { print (v >= lo && v <= hi) ? "met" : "missed" }'; }

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
echo "Measured $(date -u +%Y-%m-%d) on $cpu, $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB; Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null), Xvfb 1024x768, Release build."
echo
echo "| Measure | Result | Goal | |"
echo "|---|---|---|---|"
w=$(value race_10s_wall_s)
echo "| 10 s race (200 ticks), start click to end, real window | $w s | 4.00 s ± 1 % | $(verdict "$w" 3.96 4.04) |"
m=$(value tick_cpu_mean_ms)
echo "| CPU per race tick, all threads of the program, mean of $races races ($(value tick_count) ticks) | $m ms | ≤ 0.2 ms | $(verdict "$m" 0 0.2) |"
echo "| CPU per race tick, the cheapest and the dearest race | $(value tick_cpu_min_ms)–$(value tick_cpu_max_ms) ms | – | |"
echo "| CPU per race tick, main thread alone | $(value tick_cpu_main_thread_ms) ms | – | |"
echo "| Thread switches per race tick, all threads | $(value tick_context_switches) | – | |"
echo "| X server (Xvfb) CPU per race tick, with this benchmark's screen polls | $(value tick_xserver_cpu_ms) ms | – | |"
echo "| Qt alone, CPU per 20 ms tick: doing nothing; flushing 3 × 20 pixels; a new caption on a plain QLabel | $(value qt_tick_idle_ms); $(value qt_tick_flush_ms); $(value qt_tick_label_ms) ms | – | |"
l=$(value launch_first_paint_ms)
echo "| Launch to first painted window, median of 15 (max $(value launch_first_paint_max_ms) ms) | $l ms | ≤ 150 ms | $(verdict "$l" 0 150) |"
r=$(value peak_rss_mb)
echo "| Peak resident memory | $r MB | ≤ 40 MB | $(verdict "$r" 0 40) |"
c=$(value core_race_framebuffer_ms)
echo "| Headless core, 300 s race ($(value core_race_ticks) ticks), framebuffer toolkit | $c ms | < 1 ms | $(verdict "$c" 0 0.999) |"
n=$(value core_race_no_pixels_ms)
echo "| Headless core, same race, no pixels written | $n ms | – | |"

# The web edition: the page built by scripts/web.sh, in headless Chromium.
page=$(scripts/web.sh 2>/dev/null | tail -n 1)
web=$(bench/web_bench.py "$page" 10 2>/dev/null) || { echo; echo "Web edition: not measured (Chromium or chromedriver missing)"; exit 0; }
wv() { awk -v k="$1" '$1 == k { print $2 }' <<<"$web"; }
echo
echo "Web edition, headless Chromium $(wv web_chromium), page from file://, viewport 1024x768:"
echo
echo "| Measure | Result | Goal | |"
echo "|---|---|---|---|"
f=$(wv web_first_paint_ms)
echo "| First paint from file:// (ready mark), median of $(wv web_loads) loads (max $(wv web_first_paint_max_ms) ms) | $f ms | ≤ 300 ms | $(verdict "$f" 0 300) |"
echo "| First contentful paint, median | $(wv web_first_contentful_paint_ms) ms | – | |"
w=$(wv web_race_10s_wall_s)
echo "| 10 s race (200 ticks), click to last tick | $w s | 4.00 s ± 1 % | $(verdict "$w" 3.96 4.04) |"
t=$(wv web_race_10s_wall_throttled_s)
echo "| Same, CPU throttled 6× | $t s | 4.00 s ± 1 % | $(verdict "$t" 3.96 4.04) |"
c=$(wv web_tick_task_ms)
echo "| Main-thread task time per tick (script, style, layout, paint) | $c ms | ≤ 0.5 ms | $(verdict "$c" 0 0.5) |"
echo "| of which script, style recalculation, layout | $(wv web_tick_script_ms), $(wv web_tick_style_ms), $(wv web_tick_layout_ms) ms | – | |"
echo "| Main thread's CPU time per tick | $(wv web_tick_thread_ms) ms | – | |"
echo "| Task time per 20 ms of the page at rest, for comparison | $(wv web_idle_task_ms) ms | – | |"
echo "| Task time per tick, throttled 6× | $(wv web_tick_task_throttled_ms) ms | – | |"
echo "| Bare page, task time per 20 ms: the timer alone | $(wv web_frame_floor_none_ms) ms | – | |"
echo "| Bare page: one label's text changed (the browser's own frame) | $(wv web_frame_floor_text_ms) ms | – | |"
echo "| Bare page: a few columns on a stage-sized canvas, without and with a label's text beside them | $(wv web_frame_floor_canvas_ms), $(wv web_frame_floor_canvas_text_ms) ms | – | |"
echo "| Bare page: columns and the elapsed time on the stage-sized canvas; on canvases of their own size | $(wv web_frame_floor_canvas_caption_ms), $(wv web_frame_floor_strips_caption_ms) ms | – | |"
h=$(wv web_js_heap_mb)
echo "| JS heap used after the race | $h MB | ≤ 10 MB | $(verdict "$h" 0 10) |"
s=$(wv web_page_mb)
echo "| dist/hayasa.html | $s MB | ≤ 1.5 MB | $(verdict "$s" 0 1.5) |"

# A longer seeded random sequence of real input on the page than CI plays
# (tests/e2e/random.js), in Chromium; a new seed each time, printed.
seed=$(date +%s)
r=$(node tests/e2e/random.js chromium --page "$page" --seed "$seed" --events 10000 2>&1 | grep -E '^(PASS|FAIL|shortest)' || true)
echo
echo "Random real input on the page, Chromium, 10000 events: ${r:-not run}"
