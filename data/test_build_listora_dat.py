#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Tests of build-listora-dat: its checker, its text fitting, its readers and
tables, and the shipped LISTORA.DAT itself.

    python3 data/test_build_listora_dat.py
"""

import importlib.machinery
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "build-listora-dat")

_loader = importlib.machinery.SourceFileLoader("build_listora_dat", SCRIPT)
_spec = importlib.util.spec_from_loader(_loader.name, _loader)
b = importlib.util.module_from_spec(_spec)
_loader.exec_module(b)

GOOD_LINES = [
    "; Catalogue d'essai",
    "",
    "[IP-PORTS]",
    "PROTO1=http,TCP,80,TCP,1024-65535,Web (HTTP)",
    "PROTO2=ntp,UDP,123,UDP,123,",
    "[ACRONYMES]",
    "ACRO1=ACID,atomicity, consistency, isolation, durability",
    "ACRO2=ML,machine language ; machine learning",
    "[MIME-TYPES]",
    "MIME1=application/pdf,Document PDF (.pdf)",
]


def catalogue(lines, end="\n", encoding="utf-8"):
    return (end.join(lines) + end).encode(encoding)


def replaced(old, new):
    return [new if line == old else line for line in GOOD_LINES]


def no_warning(message):
    raise AssertionError("unexpected warning: " + message)


class CheckerTest(unittest.TestCase):
    def test_a_sound_catalogue_passes_with_its_counts(self):
        problems, counts = b.check_catalogue(catalogue(GOOD_LINES))
        self.assertEqual(problems, [])
        self.assertEqual(counts, {"IP-PORTS": 2, "ACRONYMES": 2, "MIME-TYPES": 1})

    def test_each_broken_rule_is_reported(self):
        long_meaning = "x" * 220
        cases = {
            "CRLF line ends": (catalogue(GOOD_LINES, end="\r\n"), "line 1: carriage return"),
            "no final line end": (catalogue(GOOD_LINES)[:-1], "last line"),
            "gap in the keys": (catalogue(replaced("PROTO2=ntp,UDP,123,UDP,123,",
                                                   "PROTO3=ntp,UDP,123,UDP,123,")),
                                "PROTO2 was due"),
            "leading zero": (catalogue(replaced("MIME1=application/pdf,Document PDF (.pdf)",
                                                "MIME01=application/pdf,Document PDF")),
                             "MIME1 was due"),
            "case-only duplicate": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                                       "ACRO2=acid,autre sens")),
                                    "repeats"),
            "empty term": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                              "ACRO2=,sans terme")), "empty term"),
            "four commas in a port": (catalogue(replaced("PROTO2=ntp,UDP,123,UDP,123,",
                                                         "PROTO2=ntp,UDP,123,UDP")),
                                      "fewer than 5"),
            "comma past 199": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                                  "ACRO2=" + "Y" * 220 + ",sens")),
                               "fewer than 1"),
            "value too long": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                                  "ACRO2=ML," + long_meaning)), "longer than"),
            "astral characters count twice": (
                catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                   "ACRO2=ML," + "\U0001F600" * 100)), "longer than"),
            "quoted value": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                                "ACRO2='ML,machine'")), "quotes"),
            "trailing blank": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                                  "ACRO2=ML,machine ")), "blank"),
            "blank before =": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                                  "ACRO2 =ML,machine")), "not a key"),
            "NUL byte": (catalogue(replaced("ACRO2=ML,machine language ; machine learning",
                                            "ACRO2=ML,mach\x00ine")), "control"),
            "a Windows-1252 line": (catalogue(GOOD_LINES + ["; données"], encoding="cp1252"),
                                    "line 11: not valid UTF-8"),
            "byte-order mark": (b"\xef\xbb\xbf" + catalogue(GOOD_LINES), "byte-order"),
            "missing section": (catalogue(GOOD_LINES[:-2]), "MIME-TYPES is missing"),
            "empty section": (catalogue(GOOD_LINES[:-1]), "holds no entry"),
            "repeated section": (catalogue(GOOD_LINES + ["[ACRONYMES]"]), "repeated section"),
            "key before any section": (catalogue(["ACRO9=x,y"] + GOOD_LINES), "not a key"),
        }
        for name, (data, expected) in cases.items():
            with self.subTest(name):
                problems, _ = b.check_catalogue(data)
                self.assertTrue(any(expected in p for p in problems),
                                "%r not in %r" % (expected, problems))


class TextFittingTest(unittest.TestCase):
    def test_text_is_made_printable_on_one_line(self):
        cases = {
            "blanks of every kind": ("  a\tb\u00a0c\u202fd\r\ne\u2028f  ", "a b c d e f"),
            "French letters stay": ("œuvre à 5 €", "œuvre à 5 €"),
            "letters beyond Windows-1252 stay": ("Łódź \u2192 Ω", "Łódź \u2192 Ω"),
            "decomposed accents composed": ("e\u0301te\u0301", "été"),
            "invisible characters drop": ("a\u200bb\u00adc\ufeffd\ue000", "abcd"),
            "NUL is a blank": ("a\x00b", "a b"),
        }
        for name, (given, wanted) in cases.items():
            with self.subTest(name):
                self.assertEqual(b.to_catalogue_text(given), wanted)

    def test_shorten_cuts_at_a_word_within_room(self):
        text = "alpha beta gamma delta epsilon"
        for room in range(8, len(text)):
            with self.subTest(room=room):
                cut = b.shorten(text, room)
                self.assertLessEqual(len(cut), room)
                self.assertTrue(cut.endswith(b.ELLIPSIS))
                self.assertTrue(text.startswith(cut[:-1]))
        self.assertEqual(b.shorten(text, len(text)), text)
        self.assertEqual(b.shorten("alpha beta, gamma", 14), "alpha beta" + b.ELLIPSIS)
        self.assertEqual(b.shorten("motinterminable", 8), "motinte" + b.ELLIPSIS)
        astral = b.shorten("\U0001F600" * 10, 8)  # two UTF-16 units each
        self.assertEqual(astral, "\U0001F600" * 3 + b.ELLIPSIS)

    def test_fit_list_drops_whole_items(self):
        items = [".aaaa", ".bbbb", ".cccc"]
        self.assertEqual(b.fit_list("Doc", items, 100), "Doc (.aaaa, .bbbb, .cccc)")
        self.assertEqual(b.fit_list("Doc", items, 20), "Doc (.aaaa, %s)" % b.ELLIPSIS)
        self.assertEqual(b.fit_list("Document long", items, 10), "Document" + b.ELLIPSIS)
        self.assertEqual(b.fit_list("Doc", [], 10), "Doc")

    def test_a_long_port_value_keeps_its_five_commas(self):
        fields = ["TCP", "80", "TCP", "1024-65535", "mot " * 80]
        value = b.value_of("http", fields)
        self.assertLessEqual(len(value), b.VALUE_LIMIT)
        self.assertEqual(value.count(","), 5)
        self.assertTrue(value.startswith("http,TCP,80,TCP,1024-65535,mot mot"))


SERVICES = """# comment line
echo		7/tcp
echo		7/udp
echo		4/ddp			# AppleTalk Echo Protocol
http		80/tcp		www		# WorldWideWeb HTTP
odd		7000/tcp			# over tcp
odd		7001/udp			# over udp
HTTP		8080/tcp
amqp		5672/sctp
amqp		5672/tcp
"""

ACRONYMS = """$NetBSD: acronyms.comp,v 1.193 $
ACK\tacknowledgement
ACK\tAmsterdam compiler kit
ack\tacknowledgement
BER\tbit error {rate,ratio}
GVFS    git virtual file system
"""

MIME = b"""<?xml version="1.0"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/pdf">
    <comment>PDF document</comment>
    <comment xml:lang="fr">document PDF</comment>
    <glob pattern="*.pdf"/><glob pattern="*.PDF"/>
  </mime-type>
  <mime-type type="text/x-makefile">
    <comment>Makefile</comment>
    <glob pattern="Makefile"/><glob pattern="*.mk"/>
  </mime-type>
  <mime-type type="x-content/software">
    <comment>software</comment>
    <comment xml:lang="de">Software</comment>
  </mime-type>
  <mime-type type="Application/PDF"><comment>again</comment></mime-type>
</mime-info>
"""


IANA = """mqtt		1883/tcp/udp	# Message Queuing Telemetry Transport
ircu		6665-6669/tcp	# IRCU
hbci		3000/tcp/udp	# HBCI
kafka		9092/tcp
"""


def port(name, protocols, number, iana=""):
    return b.ExtraPort(name, protocols, number, "Service " + name, iana)


class SourceReadersTest(unittest.TestCase):
    def test_services_become_one_entry_per_name(self):
        warnings = []
        values = b.ip_port_values(b.read_services(SERVICES), warnings.append)
        self.assertEqual(values, [
            "echo,TCP/UDP,7,TCP/UDP,1024-65535,Écho : renvoie les données reçues (test)",
            "http,TCP,80,TCP,1024-65535,Web (HTTP) ; alias : www",
            "amqp,TCP/SCTP,5672,TCP/SCTP,1024-65535,File de messages AMQP (RabbitMQ)",
            "odd,TCP/UDP,7000/7001,TCP/UDP,1024-65535,TCP : over tcp ; UDP : over udp",
        ])
        self.assertTrue(any("French" in w and "'odd'" in w for w in warnings), warnings)

    def test_added_ports_join_in_port_order(self):
        warnings = []
        extras = [port("kafka", "TCP", "9092"), port("mqtt", "TCP/UDP", "1883", "mqtt"),
                  port("HTTP", "TCP", "8080"), port("k8s-nodeport", "TCP", "30000-32767")]
        values = b.ip_port_values(b.read_services(SERVICES), warnings.append, extras)
        self.assertEqual([v.split(",")[0] for v in values],
                         ["echo", "http", "mqtt", "amqp", "odd", "kafka", "k8s-nodeport"])
        self.assertIn("mqtt,TCP/UDP,1883,TCP/UDP,1024-65535,Service mqtt", values)
        self.assertIn("kafka,TCP,9092,TCP,1024-65535,Service kafka ; " + b.UNREGISTERED, values)
        self.assertTrue(any("'HTTP'" in w for w in warnings), warnings)

    def test_added_ports_are_checked_against_iana(self):
        registry = b.read_iana_registry(IANA)
        cases = {
            "assigned as told": (port("mqtt", "TCP/UDP", "1883", "mqtt"), False),
            "assigned within a range": (port("ircu", "TCP", "6667", "ircu"), False),
            "assigned to another name": (port("mqtt", "TCP", "3000", "mqtt"), True),
            "assigned for another protocol": (port("mqtt", "SCTP", "1883", "mqtt"), True),
            "not assigned, port held by another": (port("grafana", "TCP", "3000"), False),
            "not assigned, port free": (port("wireguard", "UDP", "51820"), False),
            "told not assigned but assigned": (port("kafka", "TCP", "9092"), True),
        }
        for name, (extra, wrong) in cases.items():
            with self.subTest(name):
                self.assertEqual(bool(b.iana_disagreements([extra], registry)), wrong)

    def test_acronyms_join_their_meanings(self):
        added = [("ack", "accusé de réception"), ("RGPD", "règlement général"),
                 ("ACK", "acknowledgement")]
        values = b.acronym_values(b.read_acronyms(ACRONYMS, added), no_warning)
        self.assertEqual(values, [
            "ACK,acknowledgement ; Amsterdam compiler kit ; accusé de réception",
            "BER,bit error rate/ratio",
            "GVFS,git virtual file system",
            "RGPD,règlement général",
        ])

    def test_too_many_meanings_are_cut_to_fit(self):
        many = "".join("LOT\tmeaning number %d\n" % n for n in range(40))
        (value,) = b.acronym_values(b.read_acronyms(many), no_warning)
        self.assertLessEqual(len(value), b.VALUE_LIMIT)
        self.assertTrue(value.startswith("LOT,meaning number 0 ; "))
        self.assertTrue(value.endswith(b.ELLIPSIS))

    def test_mime_types_take_the_table_then_french_then_english(self):
        warnings = []
        table = {"text/x-makefile": "fichier make", "image/gone": "disparu"}
        values = b.mime_values(b.read_mime_types(MIME, table, warnings.append), no_warning)
        self.assertEqual(values, [
            "application/pdf,Document PDF (.pdf)",
            "text/x-makefile,Fichier make (Makefile, .mk)",
            "x-content/software,Software",
        ])
        self.assertEqual(len(warnings), 2)  # software in English, image/gone stale
        self.assertIn("x-content/software", warnings[0])

    def test_terms_that_cannot_be_terms_are_left_out(self):
        warnings = []
        unusable = [("A,B", ["sens"]), ("", ["sens"]), ("L" * 81, ["sens"])]
        values = b.acronym_values(unusable + [("C", ["sens"])], warnings.append)
        self.assertEqual(values, ["C,sens"])
        self.assertEqual(len(warnings), 3)
        mimes = b.mime_values([("a/b,c", "x", []), ("a/d", "y", [])], warnings.append)
        self.assertEqual(mimes, ["a/d,y"])


class BuildTest(unittest.TestCase):
    def test_added_ports_are_well_formed(self):
        self.assertGreaterEqual(len([e for e in b.EXTRA_PORTS if not e.iana]), 40)
        for e in b.EXTRA_PORTS:
            with self.subTest(e.name):
                self.assertIn(e.protocols, ("TCP", "UDP", "TCP/UDP"))
                bounds = [int(n) for n in e.port.split("-")]
                self.assertTrue(1 <= bounds[0] <= bounds[-1] <= 65535, e.port)
                self.assertRegex(e.name, r"^[a-z0-9][a-z0-9-]*$")
                self.assertNotIn(b.UNREGISTERED, e.description)

    def test_a_built_catalogue_passes_its_own_check(self):
        # With the script's own tables: every added port, acronym and MIME
        # description must fit the reader's limits and repeat no term.
        data = b.build(SERVICES, ACRONYMS, MIME, "essai", lambda m: None)
        problems, counts = b.check_catalogue(data)
        self.assertEqual(problems, [])
        acronyms = 3 + len({a.upper() for a, _ in b.FRENCH_ACRONYMS})
        self.assertEqual(counts, {"IP-PORTS": 4 + len(b.EXTRA_PORTS),
                                  "ACRONYMES": acronyms, "MIME-TYPES": 3})
        self.assertIn(("ici ACRO%d après ACRO%d" % (acronyms + 1, acronyms)).encode(), data)
        self.assertFalse(data.startswith(b"\xef\xbb\xbf") or b"\r" in data)


class ShippedCatalogueTest(unittest.TestCase):
    def setUp(self):
        with open(os.path.join(HERE, "LISTORA.DAT"), "rb") as f:
            self.shipped = f.read()

    def test_the_shipped_file_meets_every_rule(self):
        problems, counts = b.check_catalogue(self.shipped)
        self.assertEqual(problems, [])
        self.assertTrue(all(n > 100 for n in counts.values()), counts)

    def test_the_shipped_file_is_what_the_script_builds(self):
        # Only where the same source packages are installed: the header
        # names their versions.
        if b.missing_sources():
            self.skipTest("source packages not installed")
        origin = b.source_origin()
        if ("Debian " + origin).encode() not in self.shipped:
            self.skipTest("other versions of the source packages: " + origin)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "LISTORA.DAT")
            run = subprocess.run([sys.executable, SCRIPT, "-o", path],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertNotIn("French", run.stderr)
            with open(path, "rb") as f:
                self.assertEqual(f.read(), self.shipped)

    def test_check_mode_fails_on_a_broken_file(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "LISTORA.DAT")
            with open(path, "wb") as f:
                f.write(catalogue(GOOD_LINES, end="\r\n"))
            run = subprocess.run([sys.executable, SCRIPT, "--check", path],
                                 capture_output=True, text=True)
        self.assertEqual(run.returncode, 1)
        self.assertIn("carriage return", run.stderr)


if __name__ == "__main__":
    unittest.main()
