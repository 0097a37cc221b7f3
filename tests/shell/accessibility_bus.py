#!/usr/bin/python3
# The window as a screen reader sees it on the desktop's accessibility bus
# (AT-SPI): run inside dbus-run-session under an X server. Starts the bus,
# then the program against the virtual mouse (r770_startup_probe
# --serve, on a copy of the runtime folder), finds the window, "Save"
# as a push button and the second DPI stage's slider with its value, sets
# the slider through its accessible value interface (to a point between the
# sensor's steps: the program snaps it), presses Save through the action
# interface, and waits for the virtual mouse to hold the new DPI.
import os, subprocess, sys, time

import pyatspi

from windowprobe import Program, fail

probe, modules = sys.argv[1], sys.argv[2]


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
program = None
try:
    time.sleep(0.5)
    program = Program(probe, modules, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
    wait_for = program.wait_for
    wait_for("pages", 30)
    desktop = pyatspi.Registry.getDesktop(0)
    app = None
    for attempt in range(50):
        app = find(desktop, lambda a: a.getRoleName() == "application" and a.name == program.name)
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
    # The slider spans the sensor's 100 to 16000 DPI; 1690 falls between its
    # 50 DPI steps and is taken as 1650, as a drag there would be.
    value = slider.queryValue()
    if (value.minimumValue, value.maximumValue, value.currentValue) != (100, 16000, 800):
        fail("stage 2 spans %s to %s at %s" % (value.minimumValue, value.maximumValue, value.currentValue))
    value.currentValue = 1690
    for attempt in range(50):
        if slider.description == "1650 DPI":
            break
        time.sleep(0.1)
    else:
        fail("stage 2 reads %r after its value was set" % slider.description)
    press(save, "Press")
    wait_for("dpi:1650", 30)
    print("PASS: the virtual mouse holds 1650 DPI on stage 2")
finally:
    if program is not None:
        program.end()
    bus.terminate()
    bus.wait()
