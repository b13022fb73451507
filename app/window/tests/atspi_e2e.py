#!/usr/bin/python3
"""The real quenora program as a screen reader meets it: the accessibility
tree and events read through AT-SPI (pyatspi) on a private session bus.

Run on an X display (xvfb-run). It starts its own session bus, the AT-SPI bus
launcher and a window manager, then quenora with accessibility switched on,
and checks the names, the start page's text and links, the focus after the
open dialog, the task pane's separator, the announced opening and closing of
its groups and the announced status. Every wait
is for a condition, bounded by a deadline. Exit 77 (skipped) when a tool is
missing.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
DEADLINE = 30.0


def skip(why):
    print("SKIP: " + why)
    sys.exit(SKIP)


if len(sys.argv) < 2:
    print("usage: atspi_e2e.py QUENORA_EXE")
    sys.exit(2)
QUENORA = sys.argv[1]

if not os.environ.get("DISPLAY"):
    skip("needs an X display (run under xvfb-run)")
DBUS_DAEMON = shutil.which("dbus-daemon")
LAUNCHER = next((p for p in ("/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher")
                 if os.access(p, os.X_OK)), None)
XDOTOOL = shutil.which("xdotool")
OPENBOX = shutil.which("openbox")
if not DBUS_DAEMON:
    skip("dbus-daemon is not installed")
if not LAUNCHER:
    skip("at-spi2-core (at-spi-bus-launcher) is not installed")
if not XDOTOOL:
    skip("xdotool is not installed")

started = []


def start(args, env, **kw):
    p = subprocess.Popen(args, env=env, **kw)
    started.append(p)
    return p


def stop_all():
    for p in reversed(started):
        if p.poll() is None:
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()


def pump():
    """Replaced by the GLib main-loop pump once pyatspi is loaded."""


def wait_for(what, condition, deadline=DEADLINE):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        pump()
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    print("events so far: " + repr([e for e in events if "showing" not in e[0]][-8:]))
    if XDOTOOL:
        focus = subprocess.run([XDOTOOL, "getwindowfocus", "getwindowname"], capture_output=True, text=True)
        print("X input focus: " + (focus.stdout.strip() or focus.stderr.strip()))
    raise AssertionError("timed out waiting for " + what)


failures = []
events = []


def check(condition, message):
    if condition:
        print("ok   " + message)
    else:
        print("FAIL " + message)
        failures.append(message)


home = tempfile.mkdtemp(prefix="quenora-atspi-")
env = dict(os.environ)
env.pop("DBUS_SESSION_BUS_ADDRESS", None)
env.pop("AT_SPI_BUS_ADDRESS", None)
env["XDG_RUNTIME_DIR"] = home
env["HOME"] = home

try:
    # A private session bus: nothing of the machine's own desktop is touched.
    bus = start([DBUS_DAEMON, "--session", "--nofork", "--print-address=1"], env, stdout=subprocess.PIPE, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        raise AssertionError("the private session bus did not start")
    env["DBUS_SESSION_BUS_ADDRESS"] = address
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
    os.environ["XDG_RUNTIME_DIR"] = home
    start([LAUNCHER, "--launch-immediately"], env)
    if OPENBOX:
        # The window manager is ready once it names the current desktop; one
        # that ended at its start is started again.
        def wm_ready():
            return subprocess.run([XDOTOOL, "get_desktop"], env=env, capture_output=True,
                                  timeout=DEADLINE).returncode == 0

        for attempt in range(3):
            wm = start([OPENBOX, "--sm-disable"], env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for("the window manager", lambda: wm_ready() or wm.poll() is not None)
            if wm_ready():
                break
        else:
            raise AssertionError("openbox did not start")

    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import GLib
        import pyatspi
    except ImportError:
        skip("python3-pyatspi is not installed")

    def pump():
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)

    globals()["pump"] = pump

    def on_event(event):
        try:
            role, name = event.source.getRoleName(), event.source.name
        except Exception as error:  # the source may be gone already
            role, name = "?", "? " + str(error)
        events.append((event.type, role, name, event.detail1))

    def on_desktop():
        desktop = pyatspi.Registry.getDesktop(0)
        return desktop.childCount >= 0 and desktop

    wait_for("the accessibility registry", on_desktop)
    for kind in ("object:state-changed:focused", "focus:", "object:state-changed:showing",
                 "object:property-change:accessible-description"):
        pyatspi.Registry.registerEventListener(on_event, kind)

    doc = os.path.join(home, "brief.txt")
    with open(doc, "w", encoding="utf-8") as f:
        f.write("Guten Tag.\n")
    app_env = dict(env)
    app_env.update({"QUENORA_HOME": os.path.join(home, "q"), "QUENORA_AUDIO": "null", "QT_QPA_PLATFORM": "xcb",
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1"})
    quenora = start([QUENORA], app_env, stdout=subprocess.DEVNULL)

    def find_app():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name and "quenora" in app.name.lower():
                return app
        return None

    app = wait_for("quenora on the accessibility bus", find_app)

    def find(root, predicate):
        queue = [root]
        while queue:
            node = queue.pop(0)
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is None:
                    continue
                if predicate(child):
                    return child
                queue.append(child)
        return None

    def frame():
        for i in range(app.childCount):
            child = app.getChildAtIndex(i)
            if child is not None and child.getRole() == pyatspi.ROLE_FRAME and child.name == "Quenora":
                return child
        return None

    main = wait_for("the main window", frame)

    # Names of the window's parts.
    toolbar = find(main, lambda o: o.getRole() == pyatspi.ROLE_TOOL_BAR)
    check(toolbar is not None and toolbar.name == "Symbolleiste", "the toolbar is called Symbolleiste")
    document = find(main, lambda o: o.name == "Dokument")
    check(document is not None, "the document box is called Dokument")

    # The start page: a document with its text and its links.
    page = wait_for("the start page", lambda: find(main, lambda o: o.getRole() == pyatspi.ROLE_DOCUMENT_FRAME))
    check("Startseite" in page.name, "the start page is named by its title: " + page.name)
    text = page.queryText().getText(0, -1)
    check(text.strip() != "" and not any(c in text for c in "\ufdd0\ufdd1\u2028\u2029"),
          "the start page's text carries no internal markers")
    links = [page.getChildAtIndex(i) for i in range(page.childCount)]
    check(len(links) >= 2 and all(l.getRole() == pyatspi.ROLE_LINK and l.name for l in links),
          "the start page's links are named links: " + ", ".join(l.name for l in links))

    wid = subprocess.run([XDOTOOL, "search", "--sync", "--onlyvisible", "--name", "^Quenora$"], env=env,
                         capture_output=True, text=True, timeout=DEADLINE).stdout.split()
    if not wid:
        raise AssertionError("no window of quenora on the display")

    def activate():
        subprocess.run([XDOTOOL, "windowactivate", wid[0]], env=env, timeout=DEADLINE)
        return main.getState().contains(pyatspi.STATE_ACTIVE)

    wait_for("the main window's activation", activate)

    def key(*names):
        subprocess.run([XDOTOOL, "key", "--clearmodifiers"] + list(names), env=env, timeout=DEADLINE)

    def last_focus():
        focused = [e for e in events if e[0].startswith("object:state-changed:focused") and e[3] == 1]
        return focused[-1] if focused else None

    # Moving between the links: each one is announced as it gets the focus.
    page.queryComponent().grabFocus()
    wait_for("the start page's focus", lambda: page.getState().contains(pyatspi.STATE_FOCUSED))
    events.clear()
    key("Tab")
    focus = wait_for("a link's focus event", lambda: (last_focus() or (None, None))[1] == "link" and last_focus())
    check(focus[2] == links[0].name, "Tab on the start page announces the first link: " + str(focus[2]))

    # The view menu by its access keys: the text view, the document focused.
    events.clear()
    key("alt+n")

    wait_for("the view menu's first entry", lambda: (last_focus() or (None, None, None))[2] == "Textmodus")
    key("t")
    wait_for("the document's focus after Ansicht > Textmodus",
             lambda: (last_focus() or (None, None, None))[2] == "Dokument")
    check(True, "Alt+N, T shows the text view and focuses the document")

    # Opening a document: the focus comes back to the document, and the
    # screen reader hears it.
    key("ctrl+o")
    wait_for("the open dialog", lambda: any(app.getChildAtIndex(i).getRole() == pyatspi.ROLE_DIALOG
                                            for i in range(app.childCount) if app.getChildAtIndex(i)))
    time.sleep(0.5)  # the dialog's line edit takes the keys once it is shown
    subprocess.run([XDOTOOL, "type", "--delay", "20", doc], env=env, timeout=DEADLINE)
    events.clear()
    key("Return")
    wait_for("the document loaded", lambda: document.queryText().getText(0, -1).startswith("Guten Tag."))
    wait_for("the document's focus event", lambda: (last_focus() or (None, None, None))[2] == "Dokument")
    check(main.getState().contains(pyatspi.STATE_ACTIVE), "the main window is active again after the dialog")
    check(document.getState().contains(pyatspi.STATE_FOCUSED), "the document has the focus after the dialog")

    # The task pane: a separator, not a link of dashes.
    pane = find(main, lambda o: o.name == "Aufgabenbereich")
    check(pane is not None, "the task pane is there")
    if pane is not None:
        dashes = find(pane, lambda o: o.name and set(o.name) == {"-"})
        separator = find(pane, lambda o: o.getRole() == pyatspi.ROLE_SEPARATOR)
        check(dashes is None and separator is not None, "the pane's rule is a separator")

    # Closing and opening a group of the pane with the keyboard: Qt 6.4 passes
    # on no "expanded", so the pane shows a notification that says it.
    group = pane.getChildAtIndex(0) if pane is not None else None
    check(group is not None and group.getState().contains(pyatspi.STATE_EXPANDED), "the pane's first group is open")
    if group is not None:
        group.queryComponent().grabFocus()
        wait_for("the group's focus", lambda: (last_focus() or (None, None, None))[2] == group.name)
        for keyname, word in (("Left", "eingeklappt"), ("Right", "ausgeklappt")):
            said = "%s, %s" % (group.name, word)
            events.clear()
            key(keyname)
            wait_for("the notification " + said,
                     lambda: any(e[0].startswith("object:state-changed:showing") and e[1] == "notification"
                                 and e[2] == said and e[3] == 1 for e in events))
            check(True, "%s on a group of the pane is announced: %s" % (keyname, said))

    # The voice dialog from the task pane's entry: the selected voice is in
    # the box's name and its list carries the selected entry; after Escape
    # the focus is back on the pane's entry and the reader hears it.
    entry = find(pane, lambda o: o.name == "Stimme wählen") if pane is not None else None
    check(entry is not None, "the pane has the entry Stimme wählen")
    if entry is not None:
        entry.queryComponent().grabFocus()
        wait_for("the entry's focus", lambda: (last_focus() or (None, None, None))[2] == "Stimme wählen")
        key("space")

        def voice_dialog():
            for i in range(app.childCount):
                child = app.getChildAtIndex(i)
                if child is not None and child.getRole() == pyatspi.ROLE_DIALOG and child.name == "Stimme wählen":
                    return child
            return None

        dialog = wait_for("the voice dialog", voice_dialog)
        box = wait_for("the voice box", lambda: find(dialog, lambda o: o.getRole() == pyatspi.ROLE_COMBO_BOX))
        selected = find(box, lambda o: o.getState().contains(pyatspi.STATE_SELECTED))
        check(box.queryText().getText(0, -1) == box.name, "the voice box's text is its value: %r" % box.name)
        check(bool(box.name) and selected is not None and selected.name == box.name,
              "the voice box names the selected voice: %r, selected entry %r"
              % (box.name, selected.name if selected is not None else None))
        events.clear()
        key("Escape")
        wait_for("the entry's focus after the dialog",
                 lambda: (last_focus() or (None, None, None))[2] == "Stimme wählen")
        check(True, "after the voice dialog the focus is back on the pane's entry")

    # Speaking ends: the status bar's notification is shown and heard.
    events.clear()
    key("F5")
    wait_for("the announced end of speech",
             lambda: any(e[0].startswith("object:state-changed:showing") and e[1] == "notification"
                         and e[2] == "Der Text wurde vollständig vorgelesen." for e in events))
    check(True, "the end of speech is announced as a status notification")
finally:
    stop_all()
    shutil.rmtree(home, ignore_errors=True)

if failures:
    print("%d check(s) failed" % len(failures))
    sys.exit(1)
print("all checks passed")
