#!/usr/bin/python3
"""Measures the page in headless Chromium through the DevTools protocol and
prints "key value" lines for bench/run.sh. A report, not a test.

Usage: bench/web_bench.py PAGE [loads]
"""

import os
import statistics
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser_test as bt  # noqa: E402

# Records the click that starts a race and the moment 確かめよう！ appears,
# which is the tick that ends it, in the page's own clock.
WATCH = """
window.benchRace = {};
document.getElementById('RedyGoBtn').addEventListener('click', function () {
  window.benchRace.start = performance.now();
}, true);
new MutationObserver(function () {
  if (!document.getElementById('TrialBitBtn').hidden && window.benchRace.start && !window.benchRace.end)
    window.benchRace.end = performance.now();
}).observe(document.getElementById('TrialBitBtn'), {attributes: true});
"""


def metrics(p):
    got = p.d.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return {m["name"]: m["value"] for m in got}


def first_paint(p, url, loads):
    """The page's ready mark (lesson started, first frame painted) and the
    browser's first contentful paint, from navigation start, median of loads."""
    ready, fcp = [], []
    for _ in range(loads):
        p.d.get("about:blank")
        p.d.get(url)
        p.wait(lambda: p.js("return window.hayasaReady === true"), 15, "the page did not start")
        ready.append(p.js("return performance.getEntriesByName('hayasa-ready')[0].startTime"))
        fcp.append(
            p.js(
                "var e = performance.getEntriesByName('first-contentful-paint')[0];" "return e ? e.startTime : -1;"
            )
        )
    return statistics.median(ready), max(ready), statistics.median(fcp)


def race(p, url, throttle):
    """A 100 m race in 10 s: wall time from the click to the last tick, and the
    main thread's task and script time over it per tick."""
    p.d.get(url)
    p.wait(lambda: p.js("return window.hayasaReady === true"), 15, "the page did not start")
    p.d.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": throttle})
    p.js(WATCH)
    p.enter(bt.DIST1, "100")
    p.enter(bt.TIME1, "10")
    before = metrics(p)
    p.d.set_script_timeout(60)
    p.click(*bt.START_RACE)
    # One waiting script instead of polling: polls would be tasks of their own.
    p.d.execute_async_script(
        "var done = arguments[0];"
        "(function check() { if (window.benchRace.end) done(); else setTimeout(check, 250); })();"
    )
    after = metrics(p)
    wall = p.js("return (window.benchRace.end - window.benchRace.start) / 1000")
    ticks = 200
    per_tick = {
        k: (after[k] - before[k]) * 1000 / ticks
        for k in ("TaskDuration", "ThreadTime", "ScriptDuration", "LayoutDuration", "RecalcStyleDuration")
    }
    p.d.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
    return wall, per_tick, after["JSHeapUsedSize"]


# The browser's own cost of a frame: a bare page that changes the text of one
# label on a 20 ms grid, 200 times, as the race does to its elapsed time.
FLOOR = """<!DOCTYPE html><meta charset="utf-8"><title>floor</title>
<div id="label" style="position:absolute;left:656px;top:128px;font:bold 32px sans-serif">経過時間0.00秒</div>
<script>
window.runFloor = function (done) {
  var label = document.getElementById("label"), n = 0, t0 = performance.now();
  (function tick() {
    if (++n > 200) return done((performance.now() - t0) / 1000);
    label.textContent = "経過時間" + (n * 0.05).toFixed(2) + "秒";
    setTimeout(tick, Math.max(0, t0 + (n + 1) * 20 - performance.now()));
  })();
};
</script>"""


def frame_floor(p):
    """Main-thread task time per change of the bare page's label."""
    with tempfile.NamedTemporaryFile("w", suffix=".html", delete=False, encoding="utf-8") as f:
        f.write(FLOOR)
    try:
        p.d.get("file://" + f.name)
        p.d.set_script_timeout(60)
        before = metrics(p)
        p.d.execute_async_script("window.runFloor(arguments[0]);")
        after = metrics(p)
    finally:
        os.unlink(f.name)
    return (after["TaskDuration"] - before["TaskDuration"]) * 1000 / 200


def main():
    page = os.path.abspath(sys.argv[1])
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    url = "file://" + page
    p = bt.Page("chromium", url)
    try:
        p.d.execute_cdp_cmd("Performance.enable", {})
        ready, ready_max, fcp = first_paint(p, url, loads)
        print("web_first_paint_ms %.1f" % ready)
        print("web_first_paint_max_ms %.1f" % ready_max)
        print("web_first_contentful_paint_ms %.1f" % fcp)
        print("web_loads %d" % loads)
        # The page at rest, per 20 ms: what a tick costs on top of it.
        p.d.get(url)
        p.wait(lambda: p.js("return window.hayasaReady === true"), 15, "the page did not start")
        a = metrics(p)
        time.sleep(4)
        b = metrics(p)
        print("web_idle_task_ms %.4f" % ((b["TaskDuration"] - a["TaskDuration"]) * 1000 / 200))
        wall, tick, heap = race(p, url, 1)
        print("web_race_10s_wall_s %.3f" % wall)
        print("web_tick_task_ms %.4f" % tick["TaskDuration"])
        print("web_tick_thread_ms %.4f" % tick["ThreadTime"])
        print("web_tick_script_ms %.4f" % tick["ScriptDuration"])
        print("web_tick_layout_ms %.4f" % tick["LayoutDuration"])
        print("web_tick_style_ms %.4f" % tick["RecalcStyleDuration"])
        print("web_js_heap_mb %.2f" % (heap / 1e6))
        print("web_frame_floor_ms %.4f" % frame_floor(p))
        wall6, tick6, _ = race(p, url, 6)
        print("web_race_10s_wall_throttled_s %.3f" % wall6)
        print("web_tick_task_throttled_ms %.4f" % tick6["TaskDuration"])
        print("web_page_mb %.3f" % (os.path.getsize(page) / 1e6))
        print("web_chromium %s" % p.d.capabilities.get("browserVersion", "?"))
    finally:
        p.quit()


if __name__ == "__main__":
    try:
        main()
    except bt.Skip as e:
        print("SKIP: %s" % e, file=sys.stderr)
        sys.exit(77)
