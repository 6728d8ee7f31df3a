"""Runs a desktop test under the real parts it needs, started here and
stopped after it:
  run.py x11 TST_DESKTOP        the Qt Test under Xvfb with openbox
  run.py wayland TST_DESKTOP    the Qt Test under a headless weston
  run.py atspi LISTORA          the program read as a screen reader reads it
                                (screen_reader.py), under Xvfb and a session bus
Skips (77) when a part is missing, fails instead under CI."""

import os
import subprocess
import sys
import tempfile

import session

HERE = os.path.dirname(os.path.abspath(__file__))


def run_checked(command, env, quiet_stderr):
    """Runs `command`; with `quiet_stderr`, anything it writes on standard
    error fails the test too."""
    result = subprocess.run(command, env=env, stderr=subprocess.PIPE, text=True, timeout=100)
    sys.stderr.write(result.stderr)
    if quiet_stderr and result.stderr.strip():
        print("FAIL: the program wrote on standard error", file=sys.stderr)
        return 1
    return result.returncode


def main():
    mode, program = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as runtime:
        os.chmod(runtime, 0o700)
        os.environ["XDG_RUNTIME_DIR"] = runtime
        if mode == "x11":
            session.require({"Xvfb": "xvfb", "openbox": "openbox", "xdotool": "xdotool",
                             "xprop": "x11-utils"})
            with session.xvfb() as env, session.openbox(env):
                return run_checked([program], env, quiet_stderr=False)
        if mode == "wayland":
            session.require({"weston": "weston"}, packages=["qt6-wayland"])
            with session.weston() as env:
                # Headless weston offers no input seat, and Qt 6.4's Wayland
                # text input then dereferences a null input device when a line
                # edit draws its cursor. A desktop session always has a seat:
                # the plain compose input method keeps the test off that path.
                env["QT_IM_MODULE"] = "compose"
                return run_checked([program, "wholeSession"], env, quiet_stderr=True)
        if mode == "atspi":
            session.require({"Xvfb": "xvfb", "dbus-run-session": "dbus",
                             "/usr/libexec/at-spi-bus-launcher": "at-spi2-core"},
                            {"pyatspi": "python3-pyatspi"})
            with session.xvfb() as env:
                # The accessibility bus and registry need the display, so the
                # session bus starts inside the X server's environment; the
                # bus of a desktop the test may run in is not its own.
                env.pop("AT_SPI_BUS_ADDRESS", None)
                return subprocess.run(["dbus-run-session", "--", sys.executable,
                                       os.path.join(HERE, "screen_reader.py"), program],
                                      env=env, timeout=100).returncode
        print("usage: run.py x11|wayland|atspi PROGRAM", file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main())
