#!/usr/bin/python3
# The window as a screen reader sees it on the desktop's accessibility bus
# (AT-SPI): run inside dbus-run-session under an X server. Starts the bus,
# then the program against the virtual mouse (r770_startup_probe
# --accessible, on a copy of the runtime folder), finds the window, "Save"
# as a push button and the second DPI stage's slider with its value, steps
# the slider through its accessible action, presses Save through the action
# interface, and waits for the virtual mouse to hold the new DPI.
import os, shutil, subprocess, sys, tempfile, threading, time

import pyatspi

probe, modules = sys.argv[1], sys.argv[2]


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


def find(root, test):
    if root is None:
        return None
    try:
        if test(root):
            return root
        children = list(root)
    except Exception:
        return None
    for child in children:
        hit = find(child, test)
        if hit is not None:
            return hit
    return None


def press(node, action):
    face = node.queryAction()
    for i in range(face.nActions):
        if face.getName(i) == action:
            return face.doAction(i)
    fail("%s has no action %s" % (node.name, action))


bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
folder = tempfile.mkdtemp()
program = None
try:
    shutil.copytree(modules, os.path.join(folder, "modules"))
    shutil.copy(probe, folder)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    time.sleep(0.5)
    program = subprocess.Popen([os.path.join(folder, os.path.basename(probe)), "--accessible"], cwd=folder,
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    lines = []
    seen = threading.Condition()

    def read():
        for line in program.stdout:
            with seen:
                lines.append(line.strip())
                seen.notify_all()

    threading.Thread(target=read, daemon=True).start()

    def wait_for(line, seconds):
        with seen:
            if not seen.wait_for(lambda: line in lines, seconds):
                fail("the program did not say %r: %s" % (line, lines))

    wait_for("pages", 30)
    desktop = pyatspi.Registry.getDesktop(0)
    app = None
    for attempt in range(50):
        app = find(desktop, lambda a: a.getRoleName() == "application" and a.name == os.path.basename(probe))
        if app is not None:
            break
        time.sleep(0.2)
    if app is None:
        fail("no application on the bus")
    if find(app, lambda a: a.getRoleName() == "frame") is None:
        fail("no window")
    save = find(app, lambda a: a.getRoleName() == "push button" and a.name == "Save")
    if save is None:
        fail("no Save push button")
    slider = find(app, lambda a: a.getRoleName() == "slider" and a.name == "Stage 2")
    if slider is None:
        fail("no slider for stage 2")
    if slider.description != "800 DPI":
        fail("stage 2 reads %r" % slider.description)
    press(slider, "Increase")
    for attempt in range(50):
        if slider.description == "850 DPI":
            break
        time.sleep(0.1)
    else:
        fail("stage 2 reads %r after Increase" % slider.description)
    press(save, "Press")
    wait_for("dpi:850", 30)
    print("PASS: the virtual mouse holds 850 DPI on stage 2")
finally:
    if program is not None:
        program.kill()
        program.wait()
    bus.terminate()
    bus.wait()
    shutil.rmtree(folder, ignore_errors=True)
