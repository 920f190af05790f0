#!/usr/bin/python3
"""The window as assistive technology sees it, through the AT-SPI bus.

Starts PCOrka (xcb, accessibility on) against the simulated camera, finds
the connection button, the shutter, the strip and the status area by their
accessible names, connects, takes a picture with two presses of the shutter
(the first only half-presses) and reads the status message back, also as
the notification the status area showed for it. Run inside dbus-run-session with an
X server (tests/a11y/run_atspi.sh does both).

Exit status: 0 passed, 1 failed, 77 skipped (a language whose accessible
names the window does not show yet).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

# What each language calls the controls and the messages. A language is one
# entry here (and one line in CMakeLists.txt).
TEXTS = {
    "fr": {
        "connect": "Connexion de l'appareil",
        "shutter": "Déclencheur",
        "strip": "Images de la séance",
        "status": "Zone d'état",
        "link": "État de la connexion de l'appareil",
        "connected": "APN connecté",
        "half_press": "Demi-pression",
        "saved": "Image enregistrée : ",
    },
    "en": {
        "connect": "Camera connection",
        "shutter": "Shutter",
        "strip": "Session pictures",
        "status": "Status area",
        "link": "State of the camera connection",
        "connected": "Camera connected",
        "half_press": "Half press",
        "saved": "Picture saved: ",
    },
}


def pump(seconds=0.0):
    """Lets the AT-SPI events in for `seconds`."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.05)


def wait_for(what, probe, timeout):
    """probe() until it returns something true; the bus may answer late."""
    end = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < end:
        try:
            value = probe()
            if value:
                return value
        except Exception as error:  # a bus call that timed out: try again
            last_error = error
        pump(0.2)
    raise AssertionError(f"timed out waiting for {what}" +
                         (f" (last error: {last_error})" if last_error else ""))


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def find_named(root, name, role="button"):
    """The control of that name and role ("button" matches push and toggle
    buttons): a caption may carry the same words."""
    return pyatspi.findDescendant(root, lambda node: node is not None and node.name == name and
                                  role in node.getRoleName())


def status_message(status):
    """The message in full (the panel shows it elided)."""
    return status.description or ""


def press(node):
    actions = node.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) in ("Press", "press", "click"):
            return actions.doAction(i)
    return actions.doAction(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--lang", default="fr", choices=sorted(TEXTS))
    parser.add_argument("--workdir", default=None)
    args = parser.parse_args()
    texts = TEXTS[args.lang]

    workdir = args.workdir or tempfile.mkdtemp(prefix="pcorka-a11y-")
    home = os.path.join(workdir, f"home-{args.lang}")
    runtime = os.path.join(workdir, f"runtime-{args.lang}")
    shutil.rmtree(home, ignore_errors=True)  # a fresh account each run
    os.makedirs(home, exist_ok=True)
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env = dict(os.environ)
    env.update({
        "QT_QPA_PLATFORM": "xcb",
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
        "HOME": home,
        "XDG_RUNTIME_DIR": runtime,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
        "LANG": "fr_FR.UTF-8" if args.lang == "fr" else "en_US.UTF-8",
        "PCORKA_LANG": args.lang,
    })
    # A program without English ignores the option and shows French: the
    # run is skipped then (below), not failed.
    command = [args.program] + (["--lang", args.lang] if args.lang != "fr" else [])

    # What a screen reader speaks wherever the focus is: a notification
    # showing, named by the message.
    announced = []

    def on_showing(event):
        try:
            if event.detail1 and event.source.getRoleName() == "notification":
                announced.append(event.source.name or "")
        except Exception:
            pass

    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")

    program = subprocess.Popen(command, env=env)
    try:
        app = wait_for("the program on the accessibility bus",
                       lambda: find_application(program.pid), 30)
        # The connection button under its name in this language, or in French.
        connect = wait_for("the connection button", lambda: find_named(
            app, texts["connect"]) or find_named(app, TEXTS["fr"]["connect"]), 15)
        if connect.name != texts["connect"]:
            print(f"SKIP: the window shows no {args.lang} accessible names yet "
                  "(no such language, or its names untranslated)")
            return 77
        shutter = wait_for("the shutter button", lambda: find_named(app, texts["shutter"]), 5)
        strip = wait_for("the strip", lambda: find_named(app, texts["strip"], "list"), 5)
        status = wait_for("the status area", lambda: find_named(app, texts["status"], "label"),
                          5)
        if not (shutter.description and strip.description):
            raise AssertionError("a control without a description")

        link = wait_for("the connection state", lambda: pyatspi.findDescendant(
            app, lambda node: node is not None and node.description == texts["link"]), 5)
        press(connect)
        wait_for("the connection", lambda: link.name == texts["connected"], 20)

        # The first press half-presses, and says so; no picture yet.
        press(shutter)
        wait_for("the half press", lambda: texts["half_press"] in status_message(status), 10)
        pump(0.5)
        if texts["saved"] in status_message(status):
            raise AssertionError("a picture taken on the first press")
        press(shutter)
        message = wait_for("the picture saved",
                           lambda: status_message(status) if texts["saved"] in
                           status_message(status) else None, 20)
        # The place, then after a comma what else is said of the picture
        # (the time it took to the screen).
        path = message.split(texts["saved"], 1)[1].strip()
        while not os.path.isfile(path) and ", " in path:
            path = path.rsplit(", ", 1)[0]
        if not os.path.isfile(path):
            raise AssertionError(f"status names {path!r}, no such file")
        wait_for("the picture in the strip", lambda: strip.childCount > 0, 10)
        pump(0.5)
        if not any(texts["saved"] in text for text in announced):
            raise AssertionError(f"no announcement of the picture: {announced[-5:]}")
        print(f"OK ({args.lang}): {message}; announced {len(announced)}: {announced[-2:]}")
        return 0
    finally:
        program.terminate()
        try:
            program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            program.kill()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except AssertionError as error:
        print(f"FAIL: {error}", file=sys.stderr)
        sys.exit(1)
