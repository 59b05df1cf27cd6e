"""The real program as a screen reader sees it, through AT-SPI, under Xvfb and a D-Bus session.

Usage (see atspi_e2e.sh): atspi_e2e.py PROGRAM CHECKSUM_TOOL
Prints the accessible tree and the events that real keys produce; exits non-zero on a failure.
"""

import os
import subprocess
import sys
import tempfile
import warnings
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.simplefilter("ignore", DeprecationWarning)  # get_value_iface: the only way in 2.46

PROGRAM, CHECKSUM = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.01)


def find_app(name, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == name:
                return app
        pump(0.2)
    return None


def walk(node, depth, found, lines):
    role = node.get_role_name()
    name = node.get_name() or ""
    line = "  " * depth + f'{role} "{name}"'
    value = node.get_value_iface()
    if value is not None:
        line += f" value {value.get_current_value():g} [{value.get_minimum_value():g}..{value.get_maximum_value():g}]"
    if role == "check box":
        checked = node.get_state_set().contains(Atspi.StateType.CHECKED)
        line += " checked" if checked else " unchecked"
    lines.append(line)
    if name:
        found.setdefault(name, node)
    if role in ("list", "scroll bar"):
        return
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1, found, lines)


def region(node):
    box = node.get_extents(Atspi.CoordType.SCREEN)
    out = subprocess.run(
        [CHECKSUM, str(box.x), str(box.y), str(box.width), str(box.height)],
        env=dict(os.environ, QT_QPA_PLATFORM="xcb"), capture_output=True, text=True, check=False)
    return out.stdout.strip()


def action(node, wanted):
    for i in range(node.get_n_actions()):
        if node.get_action_name(i) == wanted:
            return i
    return -1


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False)


def main():
    work = tempfile.mkdtemp()
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("FUNZIONI_EDITOR", None)
    app_process = subprocess.Popen([PROGRAM], cwd=work, env=env)
    try:
        app = find_app(os.path.basename(PROGRAM))
        check(app is not None, "the program appears on the accessibility bus")
        if app is None:
            return 1
        pump(1.5)  # the opening animation
        found, lines = {}, []
        walk(app, 0, found, lines)
        print("\n".join(lines))
        frame = app.get_child_at_index(0)
        check(frame is not None and frame.get_role_name() == "frame", "the application has a frame")
        expected = {
            "Parametro a di a.x^2+b": "slider", "Zoom": "slider", "Passo": "slider",
            "a.x": "check box", "sqr(a.x)": "check box", "Tutte spente": "push button",
            "Tutte accese": "push button", "Lavagna": "image", "Finestra zoom": "image",
            "Aiuto...": "label", "Elenco delle funzioni": "list", "Risultati": "list",
            "Funzione": "text",
        }
        for name, role in expected.items():
            node = found.get(name)
            check(node is not None and node.get_role_name() == role, f'{role} "{name}"')
        if failures:
            return 1
        plot = found["Lavagna"]

        # A meter set from here moves its curve.
        before = region(plot)
        meter = found["Parametro a di a.x^2+b"]
        meter.get_value_iface().set_current_value(5.0)
        pump(0.5)
        check(abs(meter.get_value_iface().get_current_value() - 5.0) < 1e-6, "the meter reads 5")
        check(region(plot) != before, "setting the meter redrew the parabola")

        # A switch toggled from here turns its curve on.
        before = region(plot)
        switch = found["a.x^3+b"]
        switch.do_action(action(switch, "Toggle"))
        pump(0.5)
        switch.clear_cache()
        check(switch.get_state_set().contains(Atspi.StateType.CHECKED), "Toggle turned a.x^3+b on")
        check(region(plot) != before, "the cubic is drawn")

        # Real keys: Tab to the zoom meter, Right, Right, PageUp; Tab to a switch, Space.
        plot.clear_cache()
        description_before = plot.get_description()
        events = []

        def seen(event):
            source = event.source
            name = source.get_name() if source is not None else "?"
            text = f'{event.type} "{name}" {event.detail1}'
            if event.type.startswith("object:property-change:accessible-value"):
                text += f" value {source.get_value_iface().get_current_value():g}"
            events.append(text)

        listener = Atspi.EventListener.new(seen)
        for kind in ("object:property-change:accessible-value", "object:state-changed:checked",
                     "object:state-changed:focused"):
            listener.register(kind)
        window = subprocess.run(["xdotool", "search", "--name", "Funzioni Quilvar Soft"],
                                capture_output=True, text=True, check=False).stdout.split()
        if window:
            xdotool("windowfocus", "--sync", window[0])
        for key in ("Tab", "Right", "Right", "Prior", "Tab", "Tab", "space"):
            xdotool("key", key)
            pump(0.3)
        pump(0.5)
        print("events:")
        print("\n".join("  " + e for e in events))
        zoom_values = [e for e in events if "accessible-value" in e and '"Zoom"' in e]
        check([e.rsplit(" ", 1)[1] for e in zoom_values] == ["51", "52", "62"],
              "Right, Right, PageUp step the zoom meter to 51, 52, 62")
        check(any("focused" in e and '"Zoom" 1' in e for e in events), "focus reached the zoom meter")
        check(any("focused" in e and '"a.x" 1' in e for e in events), "focus reached the switch a.x")
        check(any("checked" in e and '"a.x" 1' in e for e in events), "Space turned a.x on")
        plot.clear_cache()
        description_after = plot.get_description()
        print(f"plotting area before: {description_before}")
        print(f"plotting area after:  {description_after}")
        check(description_after != description_before and "Zoom 12.4" in description_after,
              "the plotting area's description follows the zoom")
        # The study window: F2 opens it beside the main one; each item is read with its value.
        found["Funzione"].get_component_iface().grab_focus()
        pump(0.3)
        xdotool("type", "x^2")
        xdotool("key", "Return")
        pump(1.0)
        xdotool("key", "F2")
        pump(2.0)
        study = None
        for i in range(app.get_child_count()):
            child = app.get_child_at_index(i)
            if child is not None and child.get_name() == "Studio della funzione":
                study = child
        check(study is not None, 'F2 opened the frame "Studio della funzione"')
        if study is not None:
            study_found, study_lines = {}, []
            walk(study, 0, study_found, study_lines)
            print("\n".join(study_lines))
            items = study_found.get("Risultati dello studio")
            names = []
            if items is not None:
                names = [items.get_child_at_index(i).get_name() for i in range(items.get_child_count())]
            print("study items:", names)
            check("Minimo relativo: x \u2248 0, y \u2248 0" in names, "the minimum is read with its value")
            check("Massimi relativi: nessuno nell'intervallo visibile" in names,
                  "a kind with nothing is read as such")
            xdotool("key", "Escape")  # closes the study window
            pump(0.5)
        if window:
            xdotool("windowfocus", "--sync", window[0])
        xdotool("key", "Escape")
        try:
            check(app_process.wait(timeout=10) == 0, "Esc ended the program")
        except subprocess.TimeoutExpired:
            check(False, "Esc ended the program")
    finally:
        if app_process.poll() is None:
            app_process.kill()
            app_process.wait()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
