# The real program against the virtual mouse, for tests that drive its
# window from outside: r770_startup_probe --serve, started beside its own
# copy of the runtime folder, with every line it prints kept.
import os, shutil, subprocess, sys, tempfile, threading


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


class Program:
    def __init__(self, probe, modules, env=None, prepare=None):
        self.folder = tempfile.mkdtemp()
        self.modules = os.path.join(self.folder, "modules")
        shutil.copytree(modules, self.modules)
        if prepare:
            prepare(self.modules)
        shutil.copy(probe, self.folder)
        self.name = os.path.basename(probe)
        self.env = dict(os.environ, **(env or {}), XDG_RUNTIME_DIR=self.folder)
        self.process = subprocess.Popen([os.path.join(self.folder, self.name), "--serve"], cwd=self.folder,
                                        env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.lines = []
        self.seen = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            with self.seen:
                self.lines.append(line.rstrip("\n"))
                self.seen.notify_all()

    # Waits until a line from `start` on passes `test`; returns it.
    def wait(self, test, seconds, start=0, what=None):
        hit = []

        def found():
            hit[:] = [line for line in self.lines[start:] if test(line)][-1:]
            return bool(hit)

        with self.seen:
            if not self.seen.wait_for(found, seconds):
                fail("the program did not say %s: %s" % (what or "it", self.lines[-40:]))
        return hit[0]

    def wait_for(self, line, seconds):
        return self.wait(lambda l: l == line, seconds, what=repr(line))

    def mark(self):
        with self.seen:
            return len(self.lines)

    def stop(self):
        self.process.kill()
        self.process.wait()

    def end(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)
