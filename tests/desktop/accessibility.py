#!/usr/bin/python3
"""What a screen reader gets of the real program over the AT-SPI bus.

Starts the program on the display it is given and reads its accessible tree
as a screen reader does; picks items and runs a race with real X input
(xdotool). Run inside a session bus of its own (accessibility.sh does).
With --dump FILE it also writes, as JSON, every control that shows once the
entries are made: role, name and value, for a comparison with the page.
Usage: accessibility.py PROGRAM [--dump FILE]
"""
import json
import collections
import os
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

TITLE = "速さの比べ方"
DIGITS = "１２３"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def pump():
    """Lets the bus library take in what the program has announced."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(get, ok, seconds, what):
    deadline = time.monotonic() + seconds
    while True:
        pump()
        value = get()
        if ok(value):
            return value
        if time.monotonic() > deadline:
            raise Failure(f"{what}: still {value!r} after {seconds} s")
        time.sleep(0.1)


def children(node):
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def find(node, role, name):
    for child in children(node):
        if child.get_role_name() == role and child.get_name() == name:
            return child
        if child.get_role_name() not in ("combo box", "list"):
            found = find(child, role, name)
            if found:
                return found
    return None


def controls(node, out):
    """(container, role, name, showing) of every control; a list's parts are
    read on their own."""
    for child in children(node):
        role = child.get_role_name()
        out.append((node.get_name(), role, child.get_name(), showing(child)))
        if role != "combo box":
            controls(child, out)
    return out


def start_screen():
    frame = [("label", "かかった時間：", True), ("label", "Hayasa Team", True),
             ("push button", "よ～い、ドン！", True), ("push button", "もう一度", True),
             ("push button", "お わ る", True), ("push button", "確かめよう！", False),
             ("combo box", "そろえるもの", False), ("combo box", "そろえる値", False),
             ("label", "を", False), ("label", "にそろえる。", False),
             ("push button", "スタート！", False), ("status bar", "", True)]
    boxes = []
    for i, d in enumerate(DIGITS, 1):
        frame += [("label", f"走 者 {d}", True), ("label", f"走 者 {d}", False),
                  ("image", f"走者{d}のバー", True), ("image", f"確かめる走者{d}のバー", False),
                  ("panel", f"{d}コースの走者", True)]
        box = f"{d}コースの走者"
        boxes += [(box, "label", "距 離", True), (box, "label", "時 間", True),
                  (box, "label", "m", True), (box, "label", "秒", True),
                  (box, "combo box", f"走者{d}の距離", True),
                  (box, "combo box", f"走者{d}の時間", True)]
    return [(TITLE,) + c for c in frame] + boxes


def shown_controls(frame):
    """Role, name and value of the window and every control that shows; a
    list's value is the text of its field."""
    out = [{"role": frame.get_role_name(), "name": frame.get_name(), "value": ""}]
    for _, role, name, shows in controls(frame, []):
        if not shows:
            continue
        value = shown_text(field_of(find(frame, role, name))) if role == "combo box" else ""
        out.append({"role": role, "name": name, "value": value})
    return out


def centre(node):
    e = node.get_extents(Atspi.CoordType.SCREEN)
    return e.x + e.width // 2, e.y + e.height // 2


def click(node):
    x, y = centre(node)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)
    time.sleep(0.2)


def field_of(lst):
    parts = children(lst)
    check([p.get_role_name() for p in parts] == ["list", "text"],
          f"{lst.get_name()}: parts {[p.get_role_name() for p in parts]}")
    return parts[1]


def shown_text(field):
    return Atspi.Text.get_text(field, 0, Atspi.Text.get_character_count(field))


def pick(frame, name, typed):
    """Types into a list's field as a pupil does and closes the list."""
    lst = find(frame, "combo box", name)
    check(lst is not None, f"no list named {name}")
    field = field_of(lst)
    click(field)
    subprocess.run(["xdotool", "type", "--delay", "80", typed], check=True)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    wait_for(lambda: shown_text(field), lambda t: t == typed, 5, f"{name}'s field")
    return lst, field


def run(program, log, dump):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    app = subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL, stdout=log,
                           stderr=subprocess.STDOUT)
    try:
        def ours():
            desktop = Atspi.get_desktop(0)
            for a in children(desktop):
                if a is not None and a.get_process_id() == app.pid:
                    return a
            return None
        application = wait_for(ours, lambda a: a is not None, 20, "the program on the bus")
        # Read what the program answers now, not what was announced before.
        application.set_cache_mask(Atspi.Cache.NONE)
        frame = wait_for(lambda: find(application, "frame", TITLE), lambda f: f is not None,
                         10, f"a frame named {TITLE}")
        check(len(children(application)) == 1, "the program shows more than its window")
        wait_for(lambda: showing(frame), bool, 10, "the window showing")

        # Every control with its role and name, in the container it stands in.
        seen = collections.Counter(controls(frame, []))
        expected = collections.Counter(start_screen())
        check(seen == expected, "controls differ; missing: "
              f"{sorted((expected - seen).elements())}; unexpected: {sorted((seen - expected).elements())}")
        for container, role, name, _ in expected:
            if role == "combo box":
                lst = find(frame, role, name)
                check(field_of(lst).get_name() == name, f"{name}: its field is not named so")

        # A pick keeps the list's name; what it shows is in its field.
        picks = [("走者１の距離", "100"), ("走者１の時間", "3"), ("走者２の距離", "50"),
                 ("走者２の時間", "2")]
        for name, typed in picks:
            lst, field = pick(frame, name, typed)
            check(lst.get_name() == name, f"after a pick the list is named {lst.get_name()!r}")
            check(field.get_name() == name, f"after a pick the field is named {field.get_name()!r}")
        if dump:
            with open(dump, "w", encoding="utf-8") as f:
                json.dump(shown_controls(frame), f, ensure_ascii=False, indent=1)

        # Arrivals and the race's end are said as they happen: the status
        # object's text is replaced, and the bus carries each new text.
        heard = []

        def on_text(event):
            if event.source.get_role_name() == "status bar":
                heard.append(event.any_data)

        listener = Atspi.EventListener.new(on_text)
        listener.register("object:text-changed:insert")
        # After the race the bars tell what is drawn beside them.
        click(find(frame, "push button", "よ～い、ドン！"))
        bar = [find(frame, "image", f"走者{d}のバー") for d in DIGITS]
        wait_for(lambda: bar[0].get_description(), lambda d: d.endswith("秒"), 30,
                 "runner 1's bar after the race")
        got = [b.get_description() for b in bar] + [frame.get_description()]
        check(got == ["100m 3秒", "50m 2秒", "", "100m、3秒、50m、2秒"],
              f"the bars and the window describe {got}")
        check(find(frame, "label", "経過時間3.00秒") is not None, "no elapsed time label")
        said = ["走者２、2秒", "走者１、3秒", "経過時間3.00秒"]
        wait_for(lambda: list(heard), lambda h: h == said, 5, "what the status object said")
        listener.deregister("object:text-changed:insert")
        trial = find(frame, "push button", "確かめよう！")
        check(trial is not None and showing(trial), "確かめよう！ is not showing after the race")

        # The program ends as it always does, with the bridge to the bus torn down.
        click(find(frame, "push button", "お わ る"))
        try:
            code = app.wait(15)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end from お わ る")
        check(code == 0, f"the program ended with exit code {code}")
    finally:
        app.terminate()
        try:
            app.wait(5)
        except subprocess.TimeoutExpired:
            app.kill()
            app.wait()


def main():
    program = sys.argv[1]
    dump = sys.argv[3] if len(sys.argv) > 3 and sys.argv[2] == "--dump" else None
    with tempfile.TemporaryFile(mode="w+") as log:
        try:
            run(program, log, dump)
        except Failure as failure:
            print(f"FAIL: {failure}")
            log.seek(0)
            sys.stdout.write(log.read())
            return 1
    print("PASS: what screen readers get of the window")
    return 0


if __name__ == "__main__":
    sys.exit(main())
