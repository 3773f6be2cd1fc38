"""A small robot that drives the staged program as a user would, through the desktop
accessibility bus (AT-SPI): it finds controls by role and name, clicks them with a real mouse
click at their position, types into fields and reads message boxes.

Desktop() starts a private X server (Xvfb) and a private session bus with the accessibility bus
on it; Desktop.start_program() copies the staged program folder into a fresh temporary folder and
starts the program there.
"""
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi  # Debian: python3-pyatspi (run with /usr/bin/python3)

TIMEOUT = 20.0


class Skip(Exception):
    """The desktop cannot be had here (no X server, no bus): the test is skipped."""


class Control:
    """An accessible object of the program: role, name, position, and what a user does with it."""

    def __init__(self, desktop, acc):
        self.d = desktop
        self.acc = acc

    @property
    def name(self):
        return self.acc.name

    @property
    def role(self):
        return self.acc.getRoleName()

    def extents(self):
        return self.acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def click(self, button=1, double=False):
        """A real mouse click at the middle of the control's visible part (an action call would
        block while the program runs a modal loop in its handler)."""
        # A menu or window that has just opened may still be moving into place: wait until the
        # control's position holds still.
        e = self.extents()
        for _ in range(20):
            time.sleep(0.15)
            f = self.extents()
            if (f.x, f.y, f.width, f.height) == (e.x, e.y, e.width, e.height):
                break
            e = f
        left, top, right, bottom = e.x, e.y, e.x + e.width, e.y + e.height
        # A tree row or a list item can be wider than the view that shows it: clip to the
        # enclosing views.
        a = self.acc.parent
        while a is not None and a.getRoleName() not in ("frame", "dialog", "alert", "window"):
            try:
                p = a.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            except Exception:
                break
            if a.getRoleName() in ("tree", "tree table", "table", "list", "scroll pane") and \
                    p.width > 0 and p.height > 0:
                left, top = max(left, p.x), max(top, p.y)
                right, bottom = min(right, p.x + p.width), min(bottom, p.y + p.height)
            a = a.parent
        self.d.click_at((left + right) // 2, (top + bottom) // 2, button, double)

    def text(self):
        try:
            t = self.acc.queryText()
            return t.getText(0, t.characterCount)
        except NotImplementedError:
            return self.acc.name

    def set_text(self, value):
        """Types into a field: replaces its whole text."""
        self.acc.queryEditableText().setTextContents(value)
        time.sleep(0.2)

    def find(self, role=None, name=None, timeout=TIMEOUT):
        return self.d.find(role, name, timeout, within=self.acc)

    def choose(self, item):
        """Picks an entry of a drop-down list as a user does: opens the list with a click, then
        clicks the entry."""
        self.click()
        entry = self.d._wait(lambda: next((a for a in self.d._search(self.acc, "list item", item)
                                           if a.getState().contains(pyatspi.STATE_SHOWING)), None),
                             TIMEOUT, "entry %r of %r" % (item, self.name))
        Control(self.d, entry).click()

    def find_all(self, role=None, name=None):
        return [Control(self.d, a) for a in self.d._search(self.acc, role, name)]

    def __repr__(self):
        return "<%s %r>" % (self.role, self.name)


class Desktop:
    def __init__(self, stage_dir):
        self.stage_dir = stage_dir
        self.folder = None
        self.folders = []  # program folders this desktop made
        self.procs = []
        self.program = None
        self.cleanup = []  # what a scenario leaves behind, removed at close
        if not shutil.which("Xvfb"):
            raise Skip("Xvfb is not installed")
        self.display = self._start_xvfb()
        os.environ["DISPLAY"] = self.display
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if "DBUS_SESSION_BUS_ADDRESS" not in os.environ or not os.path.exists(launcher):
            raise Skip("no session bus or no at-spi-bus-launcher (run under dbus-run-session)")
        self.procs.append(subprocess.Popen([launcher, "--launch-immediately"],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1.0)

    def _start_xvfb(self):
        """Starts Xvfb on a display it chooses itself (-displayfd): the server takes the first
        number whose lock and socket are free and writes it to our pipe once it accepts clients,
        so two runs (or a left-over socket) never share a display."""
        read_end, write_end = os.pipe()
        try:
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                                     "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        finally:
            os.close(write_end)
        self.procs.append(xvfb)
        answer = b""
        came_up = False
        deadline = time.time() + 30
        try:
            while not answer.endswith(b"\n"):
                left = deadline - time.time()
                if left <= 0:
                    raise Skip("Xvfb did not come up")
                ready, _, _ = select.select([read_end], [], [], left)
                if not ready:
                    continue
                chunk = os.read(read_end, 16)
                if not chunk:  # the server ended without naming a display
                    raise Skip("Xvfb could not start")
                answer += chunk
            came_up = True
        finally:
            os.close(read_end)
            if not came_up:
                xvfb.kill()
                xvfb.wait()
        return ":" + answer.decode().strip()

    # --- the program -------------------------------------------------------------------------
    def start_program(self, folder=None, size=None):
        """Starts the program in `folder` (default: a fresh copy of the staged program folder);
        `size` (width, height) is the window's client size on a first start, as a user who
        enlarged the window last time would find it."""
        if folder is None:
            folder = tempfile.mkdtemp(prefix="tarmin-e2e-")
            self.folders.append(folder)
            shutil.copytree(self.stage_dir, folder, dirs_exist_ok=True)
            if size:
                with open(os.path.join(folder, "dat", "zxinit.ini"), "w") as f:
                    f.write("[winpos]\nleft=10\ntop=10\nwidth=%d\nheight=%d\n" % size)
        self.folder = folder
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1", LANG="zh_CN.UTF-8")
        self.program = subprocess.Popen([os.path.join(folder, "tarmin")], cwd=folder, env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.app = self._wait(lambda: self._application(), TIMEOUT, "the program on the bus")
        return self.window("Tarmin天文占星 3.6")

    def _application(self):
        if self.program.poll() is not None:
            raise AssertionError("the program ended: %s" % self.program.stderr.read().decode(errors="replace"))
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is None:
                continue
            try:
                if a.get_process_id() == self.program.pid:
                    return a
            except Exception:
                pass
        return None

    def program_ended(self, timeout=TIMEOUT):
        try:
            self.program.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def window(self, title, timeout=TIMEOUT):
        """A top-level window or dialog of the program by its title."""
        def look():
            for i in range(self.app.childCount):
                w = self.app.getChildAtIndex(i)
                if w is not None and w.name == title and w.getState().contains(pyatspi.STATE_SHOWING):
                    return w
            return None
        return Control(self, self._wait(look, timeout, "window %r" % title))

    def find_all_windows(self):
        """The program's showing top-level windows and dialogs."""
        out = []
        for i in range(self.app.childCount):
            w = self.app.getChildAtIndex(i)
            if w is not None and w.getState().contains(pyatspi.STATE_SHOWING):
                out.append(Control(self, w))
        return out

    def message_box(self, timeout=TIMEOUT):
        """The message box in front: (caption, text, the box)."""
        def look():
            # A message box is an alert; the program's own dialogs are plain dialogs.
            for i in range(self.app.childCount):
                w = self.app.getChildAtIndex(i)
                if w is None or not w.getState().contains(pyatspi.STATE_SHOWING):
                    continue
                if w.getRoleName() == "alert":
                    return w
            return None
        box = Control(self, self._wait(look, timeout, "a message box"))
        labels = [c.text() for c in box.find_all("label") if c.text()]
        return box.name, "\n".join(labels), box

    def expect_box(self, caption, text, button="OK"):
        """Reads the message box in front, checks its caption and text, and answers it."""
        got = self.message_box()
        assert got[:2] == (caption, text), got[:2]
        self.answer(got[2], button)

    def quit(self, main_window):
        """文件 → 退出程序, answered with 是; the program must end."""
        self.menu(main_window, "文件(F)", "退出程序")
        self.expect_box("关闭", "确定要关闭软件吗？", "Yes")
        assert self.program_ended(), "the program did not end after Yes"

    def answer(self, box, button):
        """Presses a button of a message box by its caption (e.g. "OK", "Yes")."""
        for b in box.find_all("push button"):
            if b.name.replace("&", "") in _captions(button):
                b.click()
                time.sleep(0.5)
                return
        raise AssertionError("no button %r in %s" % (button, [b.name for b in box.find_all("push button")]))

    def menu(self, window, *path):
        """Chooses a menu entry: menu(main, "文件(F)", "退出程序")."""
        item = window.find("menu item", path[0])
        item.click()
        for caption in path[1:]:
            item = item.find("menu item", caption)
            item.click()

    # --- search --------------------------------------------------------------------------------
    def _search(self, root, role, name):
        out = []
        stack = [root]
        while stack:
            a = stack.pop()
            if a is None:
                continue
            try:
                # A combo box's name is its current item on this platform: it is found by its
                # description, which the program sets to the same words as its name.
                if (role is None or a.getRoleName() == role) and (
                        name is None or a.name == name or a.description == name):
                    out.append(a)
                n = a.childCount
            except Exception:
                continue
            for i in range(min(n, 2000)):
                stack.append(a.getChildAtIndex(i))
        return out

    def find(self, role=None, name=None, timeout=TIMEOUT, within=None):
        root = within if within is not None else self.app
        return Control(self, self._wait(lambda: (self._search(root, role, name) or [None])[0], timeout,
                                        "%s %r" % (role, name)))

    def _wait(self, probe, timeout, what):
        end = time.time() + timeout
        while time.time() < end:
            r = probe()
            if r:
                return r
            time.sleep(0.2)
        raise AssertionError("not found within %.0f s: %s" % (timeout, what))

    # --- input ---------------------------------------------------------------------------------
    def click_at(self, x, y, button=1, double=False):
        kind = "b%d%s" % (button, "d" if double else "c")
        pyatspi.Registry.generateMouseEvent(x, y, kind)
        time.sleep(0.4)

    def key(self, keysym_name):
        """Presses and releases one key, e.g. "Escape" or "Return"."""
        codes = {"Escape": 0xff1b, "Return": 0xff0d, "Tab": 0xff09, "Down": 0xff54, "Right": 0xff53}
        pyatspi.Registry.generateKeyboardEvent(codes[keysym_name], None, pyatspi.KEY_SYM)
        time.sleep(0.4)

    def set_moment(self, window, year, month, day, hour):
        """Types a birth moment into the main window's date fields, on the hour: the year, the
        month, day and hour lists, and the minute list's first entry (reached with the Home key
        in the open list, it is long)."""
        window.find("text", "年").set_text(str(year))
        window.find("combo box", "月").choose("%d月" % month)
        window.find("combo box", "日").choose("%d日" % day)
        hours = window.find("combo box", "时")
        hours.choose(next(c.name for c in hours.find_all("list item") if c.name.startswith("%d时" % hour)))
        minutes = window.find("combo box", "分")
        minutes.click()
        time.sleep(0.3)
        pyatspi.Registry.generateKeyboardEvent(0xff50, None, pyatspi.KEY_SYM)  # Home
        time.sleep(0.3)
        self.key("Return")
        assert minutes.name == "0分", minutes.name

    def popup_choose(self, control, enabled_entries, caption):
        """Right-clicks a control and chooses an entry of its popup menu with the keyboard. Qt
        does not list popup menus among the application's windows on the accessibility bus, so
        the entry is reached by its place among the menu's enabled entries."""
        control.click(button=3)
        time.sleep(0.3)
        for _ in range(enabled_entries.index(caption) + 1):
            self.key("Down")
        self.key("Return")

    def screenshot(self, path):
        if shutil.which("import"):
            subprocess.run(["import", "-display", self.display, "-window", "root", path],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        if self.program and self.program.poll() is None:
            self.program.send_signal(signal.SIGTERM)
            try:
                self.program.wait(5)
            except subprocess.TimeoutExpired:
                self.program.kill()
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        if os.environ.get("TARMIN_E2E_KEEP") is None:
            for folder in self.folders:
                shutil.rmtree(folder, ignore_errors=True)
            for undo in self.cleanup:
                undo()


def _captions(button):
    """A standard button's caption in English and in Chinese (Qt's translations)."""
    return {"OK": ("OK", "确定"), "Yes": ("Yes", "是", "是(Y)"), "No": ("No", "否", "否(N)"),
            "Cancel": ("Cancel", "取消")}.get(button, (button,))


def run(scenario, title):
    """Runs one user story against the staged program folder named on the command line: 0 when
    it passed, 77 when no desktop can be had here; a failure raises (and leaves a screenshot in
    /tmp/tarmin-e2e-failure.png)."""
    try:
        d = Desktop(sys.argv[1])
    except Skip as why:
        print("SKIPPED:", why)
        return 77
    try:
        scenario(d)
        print("PASSED:", title)
        return 0
    except Exception:
        d.screenshot("/tmp/tarmin-e2e-failure.png")
        raise
    finally:
        d.close()
