#!/usr/bin/python3
"""Measures the page in headless Chromium through the DevTools protocol and
prints "key value" lines for bench/run.sh. A report, not a test.

Usage: bench/web_bench.py PAGE [loads]
       bench/web_bench.py --floors PAGE   (only the bare pages' frames)
"""

import os
import shutil
import statistics
import sys
import tempfile
import time

# Field centres of runner 1's lists and of よ～い、ドン！, in stage pixels.
DIST1, TIME1, START_RACE = (110, 86), (110, 134), (756, 84)


class Skip(Exception):
    pass


class Page:
    """The page in headless Chromium through chromedriver, with real input."""

    def __init__(self, url):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service

        for tool in ("chromium", "chromedriver"):
            if not shutil.which(tool):
                raise Skip(tool + " is not installed")
        self.profile = tempfile.mkdtemp(prefix="hayasa-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium")
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync", "--no-first-run",
                    "--force-device-scale-factor=1", "--window-size=1024,768", "--user-data-dir=" + self.profile):
            options.add_argument(arg)
        self.d = webdriver.Chrome(service=Service(executable_path=shutil.which("chromedriver")), options=options)
        self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 1024, "height": 768, "deviceScaleFactor": 1, "mobile": False})
        self.d.get(url)

    def quit(self):
        try:
            self.d.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def js(self, script):
        return self.d.execute_script(script)

    def wait(self, condition, seconds, what):
        end = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > end:
                raise RuntimeError(what)
            time.sleep(0.1)

    def idle(self):
        self.d.execute_async_script("requestAnimationFrame(() => setTimeout(arguments[0], 0));")

    def click(self, x, y):
        from selenium.webdriver.common.actions.action_builder import ActionBuilder

        left, top, width = self.js("var r = document.getElementById('stage').getBoundingClientRect();"
                                   "return [r.left, r.top, r.width];")
        s = width / 1024.0
        actions = ActionBuilder(self.d)
        actions.pointer_action.move_to_location(int(left + (x + 0.5) * s), int(top + (y + 0.5) * s))
        actions.pointer_action.pointer_down().pointer_up()
        actions.perform()
        self.idle()

    def enter(self, field, text):
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.keys import Keys

        self.click(*field)
        for key in list(text) + [Keys.ESCAPE]:
            ActionChains(self.d).send_keys(key).perform()
            self.idle()

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
    p.enter(DIST1, "100")
    p.enter(TIME1, "10")
    before = metrics(p)
    p.d.set_script_timeout(60)
    p.click(*START_RACE)
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


# The browser's own cost of a frame: a bare page that changes, on a 20 ms
# grid, 200 times as a race does, what its variant names: the text of one
# label ("text"); a few columns of three bars on a canvas of the stage's size
# at the device's pixel ratio ("canvas"); both ("canvas+text"); the columns
# and the elapsed time as text on that canvas ("canvas+caption"); or the
# columns and the text each on a canvas of its own just their size
# ("strips+caption"); or nothing, the timer alone ("none").
FLOOR = """<!DOCTYPE html><meta charset="utf-8"><title>floor</title>
<style>body{margin:0;background:rgb(240,240,240)}canvas{position:absolute}</style>
<div id="label" style="position:absolute;left:656px;top:128px;font:bold 32px sans-serif">経過時間0.00秒</div>
<script>
window.runFloor = function (variant, done) {
  var dpr = window.devicePixelRatio || 1;
  function canvas(left, top, width, height) {
    var c = document.createElement("canvas");
    c.style.left = left + "px";
    c.style.top = top + "px";
    c.style.width = width + "px";
    c.style.height = height + "px";
    if (/layer/.test(variant)) c.style.willChange = "transform";
    c.width = Math.round(width * dpr);
    c.height = Math.round(height * dpr);
    document.body.appendChild(c);
    var ctx = c.getContext("2d", { alpha: false });
    ctx.setTransform(dpr, 0, 0, dpr, -left * dpr, -top * dpr);
    ctx.fillStyle = "rgb(240, 240, 240)";
    ctx.fillRect(left, top, width, height);
    return ctx;
  }
  var label = document.getElementById("label");
  var strips = variant.indexOf("strips") === 0;
  var stage = strips ? null : canvas(0, 0, 1024, 768);
  var bars = [0, 1, 2].map(function (i) {
    return strips ? canvas(104, 200 + 56 * i, 800, 20) : stage;
  });
  var caption = strips ? canvas(656, 128, 256, 32) : stage;
  var colours = ["rgb(128, 0, 0)", "rgb(0, 0, 255)", "rgb(255, 0, 255)"];
  var n = 0, t0 = performance.now();
  (function tick() {
    if (++n > 200) return done((performance.now() - t0) / 1000);
    var text = "経過時間" + (n * 0.05).toFixed(2) + "秒";
    if (variant !== "text" && variant !== "none")
      for (var i = 0; i < 3; i++) {
        bars[i].fillStyle = colours[i];
        bars[i].fillRect(104 + (n - 1) * 4, 200 + 56 * i, 4, 20);
      }
    if (variant === "text" || variant === "canvas+text") label.textContent = text;
    if (/caption/.test(variant)) {
      caption.fillStyle = "rgb(240, 240, 240)";
      caption.fillRect(656, 128, 256, 32);
      caption.fillStyle = "rgb(0, 0, 0)";
      caption.font = "bold 32px sans-serif";
      caption.fillText(text, 656, 156);
    }
    setTimeout(tick, Math.max(0, t0 + (n + 1) * 20 - performance.now()));
  })();
};
</script>"""
FLOOR_VARIANTS = ("none", "text", "canvas", "canvas+text", "canvas+caption", "strips+caption")


def frame_floor(p, variant):
    """Main-thread task time per change of the bare page."""
    with tempfile.NamedTemporaryFile("w", suffix=".html", delete=False, encoding="utf-8") as f:
        f.write(FLOOR)
    try:
        p.d.get("file://" + f.name)
        p.d.set_script_timeout(60)
        time.sleep(0.5)  # the load's own frames are not counted
        before = metrics(p)
        p.d.execute_async_script("window.runFloor(arguments[0], arguments[1]);", variant)
        after = metrics(p)
    finally:
        os.unlink(f.name)
    return (after["TaskDuration"] - before["TaskDuration"]) * 1000 / 200


def floors(p):
    for v in FLOOR_VARIANTS:
        print("web_frame_floor_%s_ms %.4f" % (v.replace("+", "_"), frame_floor(p, v)))


def main():
    if sys.argv[1] == "--floors":
        p = Page("file://" + os.path.abspath(sys.argv[2]))
        try:
            p.d.execute_cdp_cmd("Performance.enable", {})
            floors(p)
        finally:
            p.quit()
        return
    page = os.path.abspath(sys.argv[1])
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    url = "file://" + page
    p = Page(url)
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
        floors(p)
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
    except Skip as e:
        print("SKIP: %s" % e, file=sys.stderr)
        sys.exit(77)
