"""The real desktop parts the desktop tests run under, each started by the
test and stopped after it: an X server (Xvfb), a window manager (openbox), a
Wayland compositor (weston, headless) and a session bus (dbus-run-session).

A test whose parts are not installed skips (CTest's code 77) with a message
naming the Debian packages; under CI (CI=true) a missing part fails instead,
so that CI never passes without having run the test."""

import contextlib
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def installed(package):
    status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package],
                            capture_output=True, text=True).stdout
    return "install ok installed" in status


def require(programs=(), modules=(), packages=()):
    """Skips or fails unless every program, Python module and Debian package
    is there; programs and modules map a name to its Debian package."""
    missing = sorted({pkg for name, pkg in dict(programs).items() if not shutil.which(name)} |
                     {pkg for name, pkg in dict(modules).items()
                      if importlib.util.find_spec(name) is None} |
                     {pkg for pkg in packages if not installed(pkg)})
    if not missing:
        return
    message = "missing Debian packages: " + " ".join(missing) + " (scripts/deps --test installs them)"
    if os.environ.get("CI", "").lower() in ("1", "true", "yes"):
        print("FAIL: " + message, file=sys.stderr)
        sys.exit(1)
    print("SKIP: " + message)
    sys.exit(SKIP)


def wait_for(condition, timeout, what):
    """Polls `condition` until it returns a true value, which it returns;
    fails with `what` after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    delay = 0.01
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError("timed out waiting for " + what)
        time.sleep(delay)
        delay = min(delay * 2, 0.2)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


@contextlib.contextmanager
def xvfb(size="1024x768"):
    """An X server of its own; yields the environment to run clients in."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24",
                               "-nolisten", "tcp", "-noreset"],
                              pass_fds=(write,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write)
    try:
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
        env.pop("WAYLAND_DISPLAY", None)
        yield env
    finally:
        stop(server)


def _wm_ready(env):
    out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                         capture_output=True, text=True).stdout
    return "window id" in out


@contextlib.contextmanager
def openbox(env):
    """openbox managing the X server of `env`, ready once it has announced
    itself on the root window."""
    with tempfile.TemporaryDirectory() as home:
        wm_env = dict(env, HOME=home, XDG_CONFIG_HOME=home)
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=wm_env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_for(lambda: _wm_ready(env), 30, "openbox to manage the screen")
            yield wm
        finally:
            stop(wm)


@contextlib.contextmanager
def weston():
    """A headless weston of its own; yields the environment to run Wayland
    clients in."""
    with tempfile.TemporaryDirectory() as runtime:
        os.chmod(runtime, 0o700)
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="wayland")
        env.pop("DISPLAY", None)
        socket = "listora-test"
        compositor = subprocess.Popen(["weston", "--backend=headless-backend.so",
                                       "--socket=" + socket, "--idle-time=0"], env=env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_for(lambda: os.path.exists(os.path.join(runtime, socket)), 30,
                     "weston's socket")
            env["WAYLAND_DISPLAY"] = socket
            yield env
        finally:
            stop(compositor)
