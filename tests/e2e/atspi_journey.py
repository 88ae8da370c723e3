#!/usr/bin/python3
"""A screen reader's road through the real program.

The program runs from a copy beside a copy of the starter cate.mdb, on its
own X server with a window manager and with the accessibility bus on its own
session bus. An assistive-technology client out of process (AT-SPI through
pyatspi) walks its accessible tree: every picture button of the main window
is a focusable push button named by its caption, with the press action, and
so are the caption buttons. Then one journey, only through the accessibility
interface and keys: focus 查询/修改 and press it with Space; type a search
into the name box; Tab reaches 开始查询, which is pressed through its action;
the found names are read from the list and checked against the file; Tab
and Down pick one, and the confirmation 更 新 asks is answered No with
Alt+N; Escape closes the search window but
not the main window; 离开小屋 ends the program.

Usage: atspi_journey.py <program> <starter cate.mdb>
Exits 77 (skipped) when a tool it needs is not installed.
"""
import os
import random
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

SKIP = 77
MAIN_TITLE = re.compile(r"^灶香居 2004 新春版 当前共有(\d+)道美食$")
FIND_TITLE = "：：查询/修改食谱：："
CONFIRM_TITLE = "：：修改菜谱：："
PICTURE_BUTTONS = ["每日菜谱", "添加美食", "查询/修改", "菜谱分类", "网上升级", "关于软件", "离开小屋", "打印菜谱"]
CAPTION_BUTTONS = ["最小化", "最大化", "关闭"]
SEARCH = "豆腐"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(what, probe, seconds=20.0):
    """Polls probe() until it returns something true; returns that."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            value = probe()
        except Exception:  # an object that went away mid-walk
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


class Desktop:
    """Xvfb, the accessibility bus and openbox, stopped in reverse order."""

    def __init__(self):
        self.procs = []
        self.bus = None
        self.env = dict(os.environ)

    def start(self):
        # A display number of its own, well away from the low numbers other
        # runs on this machine take and give back; no server reset when the
        # last client goes (a reset refuses the next one for a moment).
        for _ in range(20):
            number = str(random.randint(200, 899))
            x = subprocess.Popen(["Xvfb", ":" + number, "-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24",
                                  "-nolisten", "tcp"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            if x.stdout.readline().decode().strip() == number:
                break
            x.wait(5)
        else:
            raise Failure("Xvfb did not start")
        self.procs.append(x)
        self.env["DISPLAY"] = ":" + number
        self.env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="zx-xdg-")
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)
        os.environ.update(DISPLAY=self.env["DISPLAY"], XDG_RUNTIME_DIR=self.env["XDG_RUNTIME_DIR"])
        self.bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=self.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(subprocess.Popen(["openbox"], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        # Windows mapped before the window manager runs are never activated.
        wait_for("the window manager", lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True, text=True).stdout)

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "60", *keys], env=self.env, check=True)

    def stop(self):
        # The bus launcher first: its children keep the session otherwise.
        for p in [self.bus] + list(reversed(self.procs)):
            if p is not None and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(5)
        shutil.rmtree(self.env.get("XDG_RUNTIME_DIR", ""), ignore_errors=True)


# --- the accessible tree ---------------------------------------------------

def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(acc):
    for child in children(acc):
        yield child
        yield from descendants(child)


def showing(pyatspi, acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def window_named(pyatspi, app, pattern):
    for w in children(app):
        if re.fullmatch(pattern, w.name or "") and showing(pyatspi, w):
            return w
    return None


def named(pyatspi, window, name, role):
    for acc in descendants(window):
        if acc.name == name and acc.getRole() == role and showing(pyatspi, acc):
            return acc
    return None


def action_names(acc):
    action = acc.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def do_action(acc, name):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == name.lower():
            return action.doAction(i)
    raise Failure(f"{acc.name} has no {name} action")


def focused(pyatspi, acc):
    return acc.getState().contains(pyatspi.STATE_FOCUSED)


def give_focus(pyatspi, acc, what):
    """Asks for the focus through the accessibility interface until it is there."""
    def probe():
        if not focused(pyatspi, acc):
            acc.queryComponent().grabFocus()
            time.sleep(0.1)
        return focused(pyatspi, acc)
    wait_for(what + " to take the focus", probe)


# --- the journey --------------------------------------------------------------

def check_buttons(pyatspi, main):
    for name in PICTURE_BUTTONS + CAPTION_BUTTONS:
        button = named(pyatspi, main, name, pyatspi.ROLE_PUSH_BUTTON)
        check(button is not None, f"no push button named {name} in the main window")
        check("press" in [n.lower() for n in action_names(button)], f"{name} offers no press action")
        if name in PICTURE_BUTTONS:
            check(button.getState().contains(pyatspi.STATE_FOCUSABLE), f"{name} is not focusable")


def search_and_read(pyatspi, desk, app, main, db):
    finder = named(pyatspi, main, "查询/修改", pyatspi.ROLE_PUSH_BUTTON)
    wait_for("the main window to be active", lambda: main.getState().contains(pyatspi.STATE_ACTIVE))
    give_focus(pyatspi, finder, "查询/修改")
    desk.key("space")
    find = wait_for("the search window", lambda: window_named(pyatspi, app, FIND_TITLE))
    check(find.getRole() == pyatspi.ROLE_FRAME and main.getRole() == pyatspi.ROLE_FRAME,
          "the skinned windows are frames named by their captions")

    box = wait_for("the name box", lambda: named(pyatspi, find, "菜肴名称", pyatspi.ROLE_TEXT))
    give_focus(pyatspi, box, "the name box")
    box.queryEditableText().setTextContents(SEARCH)
    text = box.queryText()
    check(text.getText(0, -1) == SEARCH, "the name box does not read " + SEARCH)

    # Tab goes from the name box to the button beside it.
    start = named(pyatspi, find, "开始查询", pyatspi.ROLE_PUSH_BUTTON)
    desk.key("Tab")
    wait_for("Tab to reach 开始查询", lambda: focused(pyatspi, start))
    do_action(start, "Press")

    found = wait_for("the found dishes", lambda: named(pyatspi, find, "找到的食谱", pyatspi.ROLE_LIST))
    names = wait_for("names in the list", lambda: [item.name for item in children(found)])
    with sqlite3.connect(db) as con:
        expected = [r[0] for r in con.execute('SELECT "名称" FROM "01" WHERE "名称" LIKE ? ORDER BY id',
                                              (f"%{SEARCH}%",))]
    check(len(expected) > 0, "the starter database has no dish with " + SEARCH)
    check(sorted(names) == sorted(expected), f"the list reads {names}, the file holds {expected}")
    return find, found, names


def refuse_a_store(pyatspi, desk, app, find, found, db):
    """Picks a found dish with the keys, presses 更 新 and answers No with Alt+N."""
    with sqlite3.connect(db) as con:
        before = con.execute('SELECT * FROM "01" ORDER BY id').fetchall()
    # Tab goes on from 开始查询, past the 查原料和做法 check box, to the list.
    desk.key("Tab")
    time.sleep(0.2)
    if not focused(pyatspi, found):
        desk.key("Tab")
    wait_for("Tab to reach the list", lambda: focused(pyatspi, found))
    desk.key("Down")
    listed = [item.name for item in children(found)]
    box = named(pyatspi, find, "菜肴名称", pyatspi.ROLE_TEXT)
    wait_for("a picked dish in the name box", lambda: box.queryText().getText(0, -1) in listed)
    do_action(named(pyatspi, find, "更 新", pyatspi.ROLE_PUSH_BUTTON), "Press")

    confirm = wait_for("the confirmation", lambda: window_named(pyatspi, app, CONFIRM_TITLE))
    no = wait_for("its No button", lambda: named(pyatspi, confirm, "否(N)", pyatspi.ROLE_PUSH_BUTTON))
    check(named(pyatspi, confirm, "是(Y)", pyatspi.ROLE_PUSH_BUTTON) is not None, "no 是(Y) button")
    check(no.getState().contains(pyatspi.STATE_IS_DEFAULT), "否 is not the default button")
    desk.key("alt+n")
    wait_for("the confirmation to close", lambda: window_named(pyatspi, app, CONFIRM_TITLE) is None)
    with sqlite3.connect(db) as con:
        check(con.execute('SELECT * FROM "01" ORDER BY id').fetchall() == before, "No changed the file")


def journey(program, starter):
    for tool in ("Xvfb", "openbox", "xdotool", "xprop"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return SKIP
    if not os.path.exists(BUS_LAUNCHER):
        print("SKIP: at-spi2-core is not installed")
        return SKIP
    folder = tempfile.mkdtemp(prefix="zx-atspi-")
    desk = Desktop()
    app_proc = None
    try:
        shutil.copy(program, os.path.join(folder, "zaoxiangju"))
        db = os.path.join(folder, "cate.mdb")
        shutil.copy(starter, db)
        desk.start()
        try:
            import pyatspi
        except ImportError:
            print("SKIP: python3-pyatspi is not installed")
            return SKIP
        env = dict(desk.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QTWEBENGINE_DISABLE_SANDBOX="1", QT_LOGGING_RULES="qt.webenginecontext.info=false;qt.accessibility.atspi=false")
        app_proc = subprocess.Popen([os.path.join(folder, "zaoxiangju")], cwd=tempfile.gettempdir(), env=env)

        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("the program on the accessibility bus",
                       lambda: next((a for a in children(desktop) if a.name == "zaoxiangju"), None), 30)
        main = wait_for("the main window", lambda: window_named(pyatspi, app, MAIN_TITLE.pattern), 30)

        check_buttons(pyatspi, main)
        find, found, names = search_and_read(pyatspi, desk, app, main, db)
        refuse_a_store(pyatspi, desk, app, find, found, db)

        # Escape closes the search window, and only it.
        desk.key("Escape")
        wait_for("Escape to close the search window", lambda: window_named(pyatspi, app, FIND_TITLE) is None)
        main = wait_for("the main window in front", lambda: window_named(pyatspi, app, MAIN_TITLE.pattern))
        desk.key("Escape")
        time.sleep(0.5)
        check(app_proc.poll() is None and window_named(pyatspi, app, MAIN_TITLE.pattern) is not None,
              "Escape closed the main window")

        do_action(named(pyatspi, main, "离开小屋", pyatspi.ROLE_PUSH_BUTTON), "Press")
        check(app_proc.wait(20) == 0, "the program did not end cleanly")
        print(f"PASS: {len(PICTURE_BUTTONS) + len(CAPTION_BUTTONS)} buttons; found {names}")
        return 0
    except Failure as failure:
        print("FAIL:", failure)
        return 1
    finally:
        if app_proc and app_proc.poll() is None:
            app_proc.kill()
            app_proc.wait(5)
        desk.stop()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    program, starter = sys.argv[1], sys.argv[2]
    if not os.path.exists(program) or not os.path.exists(starter):
        print("SKIP: the program or the starter database has not been built")
        return SKIP
    if os.environ.get("ZX_ATSPI_SESSION") != "1":
        # A session bus of our own, gone with the run.
        if not shutil.which("dbus-run-session"):
            print("SKIP: dbus-run-session is not installed")
            return SKIP
        env = dict(os.environ, ZX_ATSPI_SESSION="1")
        return subprocess.call(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), program, starter],
                               env=env)
    return journey(program, starter)


if __name__ == "__main__":
    sys.exit(main())
