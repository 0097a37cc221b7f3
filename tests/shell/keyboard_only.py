#!/usr/bin/python3
# The window used from the keyboard alone, as a user's keys arrive: the
# program against the virtual mouse (r770_startup_probe --serve) on an X
# server of its own, its window given the input focus, then nothing but
# xdotool key and type. Changes a DPI stage and the lift-off, records a
# macro in the editor, gives key 3 that macro, saves with Ctrl+S, then
# makes one more change, switches the profile and answers the question
# about the unsaved change with "Switch without saving", changes two stages
# of that profile (an arrow, Home) and saves it. The virtual mouse must hold each saved state, and
# r770ctl, run afterwards, must read the same from the files.
import json, os, shutil, subprocess, sys

from windowprobe import Program, fail

probe, modules, ctl = sys.argv[1], sys.argv[2], sys.argv[3]

# An X server of its own: no other test's window can take the focus.
display_pipe = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(display_pipe[1]), "-screen", "0", "1280x1024x24",
                         "-nolisten", "tcp"], pass_fds=[display_pipe[1]], stderr=subprocess.DEVNULL)
os.close(display_pipe[1])
display = ":" + os.read(display_pipe[0], 16).decode().strip()
x = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")


def xdotool(*arguments):
    if subprocess.run(["xdotool", *arguments], env=x).returncode != 0:
        fail("xdotool %s failed" % " ".join(arguments))


def names(folder):
    with open(os.path.join(folder, "setting", "name.bin"), "w") as f:
        f.write("[profile]\nprofileName=Standard0, Far2\n")


program = None
try:
    program = Program(probe, modules, x, names)
    program.wait_for("pages", 60)
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(program.process.pid),
                             "--name", "R770"], env=x, capture_output=True, text=True).stdout.split()
    if not window:
        fail("no window on the X server")
    xdotool("windowfocus", "--sync", window[0])

    def focus():
        return program.wait(lambda l: l.startswith("focus:"), 10, what="where the focus is")[6:]

    # Tab until `name` has the keyboard (each Tab moves the focus once).
    def tab_to(name):
        for attempt in range(80):
            if focus() == name:
                return
            seen = program.mark()
            xdotool("key", "Tab")
            program.wait(lambda l: l.startswith("focus:"), 10, seen, "a new focus after Tab")
        fail("Tab never reached %s" % name)

    # The mouse's state once it passes `test`, looked for from line `start`.
    def state(test, what, start=0):
        return json.loads(program.wait(lambda l: l.startswith("state:") and test(json.loads(l[6:])), 30, start,
                                       what)[6:])

    # Waits for the busy lock of a send to be over.
    def idle():
        def free():
            return [l for l in program.lines if l.startswith("locked:")][-1:] == ["locked:0"]

        with program.seen:
            if not program.seen.wait_for(free, 30):
                fail("the window stayed locked")

    def code(dpi):
        return "%02X" % (dpi // 50)

    def stage(s, n):
        return s["dpiStageCodes"].split()[n]

    idle()
    # Stage 2 from 800 to 950 in the sensor's steps, the lift-off to its
    # far end (2 mm).
    tab_to("dpiSlider1")
    xdotool("key", "Right", "Right", "Right")
    tab_to("liftOffSlider")
    xdotool("key", "End")

    # A macro recorded from the keyboard: Escape ends the recording (and is
    # not part of it), a second Escape closes the editor and gives the
    # keyboard back to its button.
    tab_to("macroButton")
    xdotool("key", "space")
    tab_to("macroNew")
    xdotool("key", "space")
    tab_to("macroRecord")
    seen = program.mark()
    xdotool("key", "space")
    program.wait(lambda l: l == "focus:macroKeySink", 10, seen, "the recording started")
    xdotool("type", "--delay", "60", "ab")
    seen = program.mark()
    xdotool("key", "Escape")
    program.wait(lambda l: l.startswith("focus:") and l != "focus:macroKeySink", 10, seen, "the recording ended")
    seen = program.mark()
    xdotool("key", "Escape")
    program.wait(lambda l: l == "focus:macroButton", 10, seen, "the focus back on the macro button")

    # Key 3 runs the macro: its group, the first macro, OK.
    tab_to("keyBadge2")
    xdotool("key", "space")
    tab_to("category_macro")
    xdotool("key", "space")
    tab_to("macroChoices")
    xdotool("key", "Down")
    tab_to("keyOk")
    xdotool("key", "space")
    # The macro goes to the mouse at once (as key codes 04 and 05).
    state(lambda s: any("04" in m.split() and "05" in m.split() for m in s["macros"]), "the macro on the mouse")
    idle()
    xdotool("key", "ctrl+s")
    state(lambda s: stage(s, 1) == code(950) and "04 00 02 00" in " ".join(s["keyMatrices"]),
          "stage 2 at 950 DPI and key 3 running a macro")
    idle()

    # One more change, then the profile selector: Down opens it and moves,
    # Enter chooses; the change is dropped from the question's keyboard.
    tab_to("dpiSlider1")
    xdotool("key", "Right")
    tab_to("profileSelector")
    xdotool("key", "Down", "Down", "Return")
    tab_to("confirmAlternative")
    seen = program.mark()
    xdotool("key", "space")
    state(lambda s: stage(s, 1) == code(800), "the second profile in use", seen)
    idle()

    # The second profile's first stage one step down, its third to the
    # sensor's least (Home), saved with Ctrl+S.
    tab_to("dpiSlider0")
    xdotool("key", "Left")
    tab_to("dpiSlider2")
    xdotool("key", "Home")
    xdotool("key", "ctrl+s")
    # Its own stage 2 (800) reached the mouse, stage 1 from 400 to 350 and
    # stage 3 from 1600 to 100.
    state(lambda s: [stage(s, n) for n in range(3)] == [code(350), code(800), code(100)], "the second profile, changed")
    program.stop()

    # What a fresh process reads from the files.
    shutil.copy(ctl, program.folder)
    beside = os.path.join(program.folder, os.path.basename(ctl))

    def show(*arguments):
        run = subprocess.run([beside, "--json", *arguments], env=program.env, cwd=program.folder,
                             capture_output=True, text=True)
        if run.returncode != 0:
            fail("r770ctl %s: %s" % (" ".join(arguments), run.stderr))
        return json.loads(run.stdout)

    first, second = show("profile", "show", "1"), show("profile", "show", "2")
    if first["dpi"]["stages"][:3] != [400, 950, 1600] or first["liftOff"]["millimetres"] != 2:
        fail("the first profile holds %s" % first)
    macro = first["keys"][2]["function"]
    if not macro.startswith("macro "):
        fail("key 3 of the first profile runs %r" % macro)
    if second["dpi"]["stages"][:3] != [350, 800, 100]:
        fail("the second profile holds %s" % second["dpi"])
    if show("profile", "list")["active"] != 2:
        fail("the second profile is not the one in use")
    steps = show("macro", "show", macro.split()[1])["steps"]
    keys = [(step["action"], step["key"]) for step in steps if "key" in step]
    if keys != [("key press", "A"), ("key release", "A"), ("key press", "B"), ("key release", "B")]:
        fail("the macro holds %s" % steps)
    print("PASS: the keyboard alone changed the mouse and the files")
finally:
    if program is not None:
        program.end()
    xvfb.terminate()
    xvfb.wait()
