"""Listora as a screen reader sees it: the real program read over AT-SPI
with pyatspi, inside the X server and session bus that run.py starts.

Each case starts the program in a folder of its own with a data file of its
own, acts on it through AT-SPI's actions as an assistive technology would,
checks what it reads, and checks the program's exit status."""

import os
import subprocess
import sys
import tempfile

import pyatspi

import session

PROGRAM = sys.argv[1]
LONG_MIME = "application/vnd.openxmlformats-officedocument.wordprocessingml.document"
DATA = f"""[IP-PORTS]
PROTO1=ssh,TCP,22,TCP,1024-65535,Secure Shell
PROTO2=http,TCP,80,TCP,1024-65535,Web
[ACRONYMES]
ACRO1=ACK,Acknowledgement
ACRO2=RGPD,Règlement général sur la protection des données
[MIME-TYPES]
MIME1={LONG_MIME},Document Word
MIME2=text/plain,Texte brut
"""
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what)


class Program:
    """The program started in a folder holding `data` (None: no file)."""

    def __init__(self, data):
        self.folder = tempfile.TemporaryDirectory()
        if data is not None:
            with open(os.path.join(self.folder.name, "LISTORA.DAT"), "w", encoding="utf-8") as f:
                f.write(data)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.process = subprocess.Popen([PROGRAM], cwd=self.folder.name, env=env)
        self.app = session.wait_for(self._find_app, 30, "the program on the accessibility bus")

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.process.pid and app.childCount:
                    return app
            except Exception:  # an application leaving the bus meanwhile
                pass
        return None

    def window(self, roles, name=None):
        """Waits for a top-level window of one of `roles` (and `name`)."""
        def found():
            for i in range(self.app.childCount):
                w = self.app.getChildAtIndex(i)
                if w is not None and w.getRoleName() in roles and (name is None or w.name == name):
                    return w
            return None
        return session.wait_for(found, 20, f"a {'/'.join(roles)} window {name or ''}")

    def exit_status(self):
        try:
            return self.process.wait(20)
        finally:
            session.stop(self.process)
            self.folder.cleanup()


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def showing(node):
    return [c for c in descendants(node) if c.getState().contains(pyatspi.STATE_SHOWING)]


def find(node, role, name):
    return session.wait_for(
        lambda: next((c for c in descendants(node) if c.getRoleName() == role and c.name == name),
                     None), 20, f"{role} '{name}'")


def press(node, role, name):
    """What a screen reader's user does to press a button or tick a box."""
    control = find(node, role, name)
    action = control.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    control.queryAction().doAction(names.index("Press") if "Press" in names else 0)


def text_of(node):
    return node.queryText().getText(0, -1)


def roles_and_names(window):
    return sorted((c.getRoleName(), c.name) for c in showing(window))


def check_message(program, title, text_start):
    """A message box announced as an alert or dialog, its title and text
    readable; answered with its OK button."""
    box = program.window(("alert", "dialog"), title)
    labels = [c.name for c in showing(box) if c.getRoleName() == "label"]
    check(any(n.startswith(text_start) for n in labels),
          f"message '{title}' reads {labels}, expected '{text_start}...'")
    press(box, "push button", "OK")


def main_window_and_search():
    program = Program(DATA)
    main = program.window(("frame",), "Listora v1.20 ")
    expected = sorted([
        ("check box", "Remise à zéro des listes"), ("check box", "Vérifier les doublons"),
        ("push button", "IP Ports"), ("push button", "MIME Types"), ("push button", "Acronymes"),
        ("push button", "Recherche"), ("push button", "Quitter"), ("panel", "")])
    seen = roles_and_names(main)
    about = [n for r, n in seen if r == "label"]
    check(len(about) == 1 and "Listora v1.20" in about[0] and "LISTORA.DAT" in about[0],
          f"the about text reads {about}")
    check([x for x in seen if x[0] != "label"] == expected, f"start-up controls read {seen}")

    # The IP ports: their frames under their own captions, an entry's fields.
    press(main, "push button", "IP Ports")
    ports = find(main, "list", "Liste des ports IP")
    session.wait_for(lambda: [c.name for c in descendants(ports)] == ["http", "ssh"], 20,
                     "the IP ports' rows")
    # A row is selected by its "Toggle" action.
    ports.getChildAtIndex(1).queryAction().doAction(0)
    destination = find(main, "panel", "Destination")
    source = find(main, "panel", "Source")
    session.wait_for(lambda: text_of(find(destination, "text", "Destination")) == "22", 20,
                     "ssh's port in Destination")
    check(text_of(find(source, "text", "Source")) == "1024-65535", "ssh's ports in Source")
    check([c.name for c in showing(destination) if c.getRoleName() == "label"] == ["TCP"],
          "the protocol under Destination")
    seen = roles_and_names(main)
    check(seen == sorted([
        ("check box", "Remise à zéro des listes"), ("check box", "Vérifier les doublons"),
        ("push button", "IP Ports"), ("push button", "MIME Types"), ("push button", "Acronymes"),
        ("push button", "Recherche"), ("push button", "Quitter"),
        ("panel", "IP Ports (2)"), ("panel", "Destination"), ("panel", "Source"),
        ("label", "TCP"), ("label", "TCP"), ("text", "Destination"), ("text", "Source"),
        ("text", "Description"), ("list", "Liste des ports IP"),
        ("list item", "http"), ("list item", "ssh")]), f"an IP port's controls read {seen}")

    # A MIME type too long for its row: its whole text as its description.
    press(main, "push button", "MIME Types")
    mimes = find(main, "list", "Liste des types MIME")
    session.wait_for(lambda: mimes.childCount == 2, 20, "the MIME rows")
    rows = {c.name: c.description for c in descendants(mimes)}
    check(rows == {LONG_MIME: LONG_MIME, "text/plain": ""}, f"the MIME rows read {rows}")

    # The search window, a dialog with every control named.
    press(main, "push button", "Recherche")
    search = program.window(("dialog",), "Recherche MIME Types")
    check(roles_and_names(search) == sorted([
        ("check box", "Ignore Majuscules/Minuscules"), ("push button", "Recherche"),
        ("push button", "Abandon"), ("text", "Chaîne recherchée"),
        ("label", "Recherche d'une chaîne")]), f"the search window reads {roles_and_names(search)}")
    press(search, "push button", "Abandon")
    session.wait_for(lambda: main.getState().contains(pyatspi.STATE_SENSITIVE) and
                     not any(program.app.getChildAtIndex(i).getRoleName() == "dialog"
                             for i in range(program.app.childCount)), 20,
                     "the search window to close")
    press(main, "push button", "Quitter")
    check(program.exit_status() == 0, "exit status 0 after Quitter")


def messages():
    program = Program(None)
    main = program.window(("frame",), "Listora v1.20 ")
    press(main, "push button", "IP Ports")
    check_message(program, "Erreur Fichier", "Le fichier LISTORA.DAT est absent ou corrompu.")
    press(main, "push button", "Quitter")
    check(program.exit_status() == 0, "exit status 0 after Erreur Fichier and Quitter")

    program = Program("[ACRONYMES]\nACRO1=SANS VIRGULE\n")
    main = program.window(("frame",), "Listora v1.20 ")
    press(main, "push button", "Acronymes")
    check_message(program, " Erreur de Syntaxe", "La ligne 'SANS VIRGULE' semble erronée.")
    status = program.exit_status()
    check(status == 1, f"exit status {status} after Erreur de Syntaxe")

    program = Program("[ACRONYMES]\nACRO1=ACK,un\nACRO2=ack,deux\n")
    main = program.window(("frame",), "Listora v1.20 ")
    press(main, "check box", "Vérifier les doublons")
    session.wait_for(lambda: find(main, "check box", "Vérifier les doublons").getState().contains(
        pyatspi.STATE_CHECKED), 20, "the duplicate check ticked")
    press(main, "push button", "Acronymes")
    check_message(program, "Doublon", "L'acronyme")
    status = program.exit_status()
    check(status == 1, f"exit status {status} after Doublon")


if __name__ == "__main__":
    main_window_and_search()
    messages()
    print("FAIL" if failures else "PASS", f"({len(failures)} failures)")
    sys.exit(1 if failures else 0)
