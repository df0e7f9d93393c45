#!/usr/bin/python3
"""The page tells screen readers what the window tells them: every control
that shows has the same role, name and value in Chromium's accessibility
tree as in the window's AT-SPI tree, after the same entries made with real
input (accessibility.py writes the window's side with --dump).

Usage: compare_trees.py WINDOW_JSON PAGE
Exit codes: 0 the same, 1 a difference, 77 Chromium or its driver is missing.
"""
import collections
import json
import shutil
import sys
import tempfile
import time

# AT-SPI's roles and the ARIA roles Chromium reports for the same controls.
ROLES = {
    "frame": "main",
    "push button": "button",
    "combo box": "combobox",
    "label": "StaticText",
    "image": "image",
    "panel": "group",
    "status bar": "status",
}
# Where each list's field stands on the stage, and what accessibility.py types.
ENTRIES = [((110, 86), "100"), ((110, 134), "3"), ((326, 86), "50"), ((326, 134), "2")]


def page_tree(page):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys

    profile = tempfile.mkdtemp(prefix="hayasa-tree-")
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--force-device-scale-factor=1", "--window-size=1024,768", "--user-data-dir=" + profile):
        options.add_argument(arg)
    d = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        d.get("file://" + page)
        deadline = time.monotonic() + 15
        while not d.execute_script("return window.hayasaReady === true"):
            if time.monotonic() > deadline:
                raise RuntimeError("the page did not start")
            time.sleep(0.1)
        for (x, y), text in ENTRIES:
            left, top, width = d.execute_script(
                "var r = document.getElementById('stage').getBoundingClientRect(); return [r.left, r.top, r.width];")
            s = width / 1024.0
            actions = ActionBuilder(d)
            actions.pointer_action.move_to_location(int(left + (x + 0.5) * s), int(top + (y + 0.5) * s))
            actions.pointer_action.pointer_down().pointer_up()
            actions.perform()
            ActionChains(d).send_keys(text).send_keys(Keys.ESCAPE).perform()
            d.execute_async_script("var done = arguments[0]; window.hayasaTest.idle().then(done);")
        d.execute_cdp_cmd("Accessibility.enable", {})
        return d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    finally:
        d.quit()
        shutil.rmtree(profile, ignore_errors=True)


def controls(nodes):
    """(role, name, value) of the page's controls. A text that is a part of a
    control (a button's caption, a list's field, a box's title) is not a
    label of its own, as it is not in the window's tree."""
    by_id = {n["nodeId"]: n for n in nodes}

    def role(n):
        return n.get("role", {}).get("value", "")

    def text(n, key):
        v = n.get(key, {}).get("value")
        return "" if v is None else str(v)

    def owner(n):
        p = by_id.get(n.get("parentId"))
        while p is not None and role(p) in ("generic", "none", ""):
            p = by_id.get(p.get("parentId"))
        return p

    out = []
    for n in nodes:
        r = role(n)
        if n.get("ignored") or r not in ROLES.values():
            continue
        if r == "StaticText":
            o = owner(n)
            if o is not None and (role(o) in ("button", "combobox")
                                  or (role(o) == "group" and text(o, "name") == text(n, "name"))):
                continue
        out.append((r, text(n, "name"), text(n, "value")))
    return out


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    for tool in ("chromium", "chromedriver"):
        if not shutil.which(tool):
            print("SKIP: %s is not installed" % tool)
            return 77
    with open(sys.argv[1], encoding="utf-8") as f:
        window = collections.Counter(
            (ROLES.get(c["role"], c["role"]), c["name"], c["value"]) for c in json.load(f))
    page = collections.Counter(controls(page_tree(sys.argv[2])))
    if window != page:
        print("FAIL: the trees differ")
        print("  only in the window: %s" % sorted((window - page).elements()))
        print("  only on the page:   %s" % sorted((page - window).elements()))
        return 1
    print("PASS: %d controls, each the same in both trees" % sum(window.values()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
