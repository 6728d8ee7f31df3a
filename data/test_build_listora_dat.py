#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Tests of build-listora-dat: its checker, its text fitting, its readers and
tables, and the shipped LISTORA.DAT itself.

    python3 data/test_build_listora_dat.py
"""

import importlib.machinery
import importlib.util
import os
import re
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

VERA = """This is vera.info, produced by makeinfo version 6.7 from vera.texi.

ACK
     not a meaning: the preface is no list

\x1f
File: vera.info,  Node: A,  Next: B,  Prev: 0

-- A --
*******

ACK
     ACKnowledgement (TCP)

ATT
     American Telephone and Telegraph, "AT&T"

\x1f
File: vera.info,  Node: B,  Next: C,  Prev: A

-- B --
*******

BER
     Bit Error Rate (ISDN,
     ???)

BER
     Basic Encoding Rules (ASN1, BER, X.690)

BSD
     ???  (Unix)

\x1f
File: vera.info,  Node: G,  Next: H,  Prev: F

GVFS
     Git Virtual File System (Git), "GVFS"

ISO
     International Standards Organisation [International Organization
     for Standardization] (org.)

IPV6
     Internet Protocol Version 6 (IP, RFC 1883/1884), IPv6

\x1f
File: vera.info,  Node: About,  Next: Format,  Prev: Z,  Up: Top

ZZZ
     not an acronym: the chapters after the list are left out
"""

MIME = b"""<?xml version="1.0"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/pdf">
    <comment>PDF document</comment>
    <comment xml:lang="fr">document PDF</comment>
    <glob pattern="*.pdf"/><glob pattern="*.PDF"/>
    <alias type="application/x-pdf"/><alias type="TEXT/X-MAKEFILE"/>
  </mime-type>
  <mime-type type="text/x-makefile">
    <comment>Makefile</comment>
    <glob pattern="Makefile"/><glob pattern="*.mk"/>
    <alias type="application/X-PDF"/><alias type="text/make"/>
  </mime-type>
  <mime-type type="x-content/software">
    <comment>software</comment>
    <comment xml:lang="de">Software</comment>
  </mime-type>
  <mime-type type="Application/PDF"><comment>again</comment></mime-type>
</mime-info>
"""


MIME_JS = b"""<?xml version="1.0"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/javascript">
    <comment xml:lang="fr">programme JavaScript</comment>
    <glob pattern="*.js"/><glob pattern="*.jsm"/><glob pattern="*.mjs"/>
    <alias type="text/javascript"/><alias type="application/x-javascript"/>
  </mime-type>
</mime-info>
"""

MEDIA_TYPES = """# comment
application/atom+xml		atom
application/x-javascript	es
application/wasm		wasm
chemical/x-pdb			pdb ent
text/javascript			es js mjs
video/DV
video/dv			dv dif
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

    def test_acronyms_join_their_meanings_best_first(self):
        own = [("ack", "accusé de réception"), ("RGPD", "règlement général"),
               ("ISO", "International Organization for Standardization")]
        also = [("BER", "bit error ratio"), ("IPv6", "Internet Protocol version 6")]
        wrong = [("ISO", "International Standards Organization")]
        acronyms = b.read_acronyms(ACRONYMS, own, VERA, also, wrong)
        values = b.acronym_values(acronyms, no_warning)
        self.assertEqual(values, [
            # own first; bsdgames' words for a meaning both lists give
            "ack,accusé de réception ; acknowledgement (TCP) ; Amsterdam compiler kit",
            "ATT,AT&T : American Telephone and Telegraph",
            # V.E.R.A.'s topic (its own "(BER)") before the others
            "BER,Basic Encoding Rules (ASN1, X.690) ; bit error ratio ; bit error rate/ratio ; "
            "Bit Error Rate (ISDN)",
            "GVFS,git virtual file system (Git)",
            "IPv6,Internet Protocol version 6",
            "ISO,International Organization for Standardization",
            "RGPD,règlement général",
        ])

    def test_vera_meanings_lose_their_markup(self):
        cases = {
            "topics kept apart": ("ARP", "Address Resolution Protocol (Internet, RFC 826)",
                                  ("Address Resolution Protocol", "Internet, RFC 826", "")),
            "usual spelling": ("ATT", 'American Telephone and Telegraph, "AT&T"',
                               ("American Telephone and Telegraph", "", "AT&T")),
            "first of two spellings": ("DCERPC", 'DCE / RPC (DCE), "DCE/RPC" , "DCE RPC"',
                                       ("DCE / RPC", "DCE", "DCE/RPC")),
            "bare spelling": ("PVE", "Player Versus Environment (MMORPG), PvE",
                              ("Player Versus Environment", "MMORPG", "PvE")),
            "stray word after the topics": ("CTAN", "Comprehensive TeX Archive (TeX), pause",
                                            ("Comprehensive TeX Archive", "TeX", "")),
            "unsure topic": ("CSII", "Center for Systems (org., ???)",
                             ("Center for Systems", "org.", "")),
            "explanation stays": ("RLL", "Run Length Limited [encoding]",
                                  ("Run Length Limited [encoding]", "", "")),
            "run-together slip": ("TL", 'Transform and Lighting (3D), "T&L" TL;DR Too Long; '
                                        "Didn't Read (slang, Usenet, IRC)",
                                  ("Transform and Lighting", "3D", "T&L")),
        }
        for name, (term, raw, (text, context, spelling)) in cases.items():
            with self.subTest(name):
                meaning = b.vera_meaning(term, raw)
                self.assertEqual((meaning.text, meaning.context, meaning.spelling),
                                 (text, context, spelling))
        self.assertIsNone(b.vera_meaning("CGDC", "Computer ???  Game Conference"))
        self.assertEqual(b.vera_meaning("GPS", "Global Positioning System (GPS)").rank,
                         b.RANK_TOPIC)
        self.assertEqual(b.vera_meaning("DVD", "Digital Video Disk [old term] (DVD)").rank,
                         b.RANK_OLD)

    def test_the_same_meaning_in_other_words_is_given_once(self):
        same = [("Small Computer Systems Interface", "small computer system interface"),
                ("Object Orientated Programming", "object-oriented programming"),
                ("Rivest, Shamir, [and] Adleman", "Rivest, Shamir and Adleman"),
                ("American Standard Code of Information Interchange",
                 "American Standard Code for Information Interchange"),
                ("DNS over TLS (RFC 7858)", "DNS Over TLS")]
        for one, other in same:
            with self.subTest(one):
                self.assertEqual(b.meaning_key(one), b.meaning_key(other))
        self.assertNotEqual(b.meaning_key("Thread Local Storage"),
                            b.meaning_key("Transport Layer Security"))

    def test_meanings_that_do_not_fit_are_dropped_whole(self):
        many = [b.Meaning("meaning number %d" % n, context="topic") for n in range(40)]
        (value,) = b.acronym_values([("LOT", many)], no_warning)
        self.assertLessEqual(len(value), b.VALUE_LIMIT)
        self.assertTrue(value.endswith(" ; " + b.ELLIPSIS))
        shown = value[len("LOT,"):-len(" ; " + b.ELLIPSIS)].split(" ; ")
        self.assertEqual(shown, ["meaning number %d" % n for n in range(len(shown))])
        # meanings before topics: a meaning more rather than the topics of all
        few = [b.Meaning("m" * 90, context="t" * 40), b.Meaning("n" * 90, context="u" * 40)]
        (value,) = b.acronym_values([("TWO", few)], no_warning)
        self.assertEqual(value, "TWO," + "m" * 90 + " ; " + "n" * 90)
        # a first meaning that fits only alone is not cut for the ellipsis
        alone = [b.Meaning("x" * 192), b.Meaning("second")]
        self.assertEqual(b.acronym_values([("ONE", alone)], no_warning), ["ONE," + "x" * 192])
        (value,) = b.acronym_values([("ONE", [b.Meaning("mot " * 60)])], no_warning)
        self.assertLessEqual(len(value), b.VALUE_LIMIT)
        self.assertTrue(value.startswith("ONE,mot mot") and value.endswith("mot" + b.ELLIPSIS))

    def test_port_notes_name_what_iana_assigns_there(self):
        registry = b.read_iana_registry(IANA)
        assigned = "usage courant ; l'IANA attribue ce port à "
        cases = {
            "held by another": (port("grafana", "TCP", "3000"), assigned + "hbci"),
            "free": (port("wireguard", "UDP", "51820"), b.UNREGISTERED),
            "held for another protocol only": (port("mqtt-sctp", "SCTP", "1883"),
                                                b.UNREGISTERED),
            "held for one of two protocols": (port("irc", "TCP/UDP", "6667"),
                                              "usage courant ; l'IANA attribue ce port "
                                              "à ircu en TCP, à rien en UDP"),
            "a range holding others": (port("nodeport", "TCP", "6000-6670"),
                                       "usage courant ; l'IANA attribue des ports de cette "
                                       "plage à d'autres services"),
            "assigned to it": (port("mqtt", "TCP", "1883", "mqtt"), ""),
        }
        for name, (extra, note) in cases.items():
            with self.subTest(name):
                description = b.extra_port_description(extra, registry, 150)
                self.assertEqual(description, extra.description + (" ; " + note if note else ""))
        long = b.ExtraPort("grafana", "TCP", "3000", "mot " * 50)
        described = b.extra_port_description(long, registry, 120)
        self.assertTrue(described.endswith(b.ELLIPSIS + " ; " + assigned + "hbci"), described)
        self.assertLessEqual(len(described), 120)

    def test_mime_types_take_the_table_then_french_then_english(self):
        warnings = []
        table = {"text/x-makefile": "fichier make", "image/gone": "disparu"}
        values = b.mime_values(b.read_mime_types(MIME, table, warnings.append), no_warning,
                               b.read_mime_aliases(MIME))
        self.assertEqual(values, [
            "application/pdf,Document PDF (.pdf)",
            # an alias names its type; one taken already, case aside, is not repeated
            "application/x-pdf,Alias de application/pdf : Document PDF (.pdf)",
            "text/make,Alias de text/x-makefile : Fichier make (Makefile, .mk)",
            "text/x-makefile,Fichier make (Makefile, .mk)",
            "x-content/software,Software",
        ])
        self.assertEqual(len(warnings), 2)  # software in English, image/gone stale
        self.assertIn("x-content/software", warnings[0])

    def test_media_types_join_and_rename_the_database_types(self):
        media = b.read_media_types(MEDIA_TYPES)
        types, aliases, obsolete = b.with_media_types(
            b.read_mime_types(MIME_JS, {}, no_warning), b.read_mime_aliases(MIME_JS), media)
        values = b.mime_values(types, no_warning, aliases, obsolete)
        self.assertEqual(values, [
            # a type only media-types has: a French name, or one made from its name
            "application/atom+xml,Données au format atom, en XML (.atom)",
            # the obsolete name names the registered one, which lists both files' extensions
            "application/javascript,Nom obsolète de text/javascript : "
            "Programme JavaScript (.js, .jsm, .mjs, .es)",
            "application/wasm,Module WebAssembly (.wasm)",
            # an alias's extensions join its type
            "application/x-javascript,Alias de text/javascript : "
            "Programme JavaScript (.js, .jsm, .mjs, .es)",
            "chemical/x-pdb,Données de chimie au format x-pdb (.pdb, .ent)",
            "text/javascript,Programme JavaScript (.js, .jsm, .mjs, .es)",
            # lines differing only in case are one type, with the extensions of both
            "video/DV,Vidéo au format DV (.dv, .dif)",
        ])
        self.assertEqual(media[-1], ("video/DV", [".dv", ".dif"]))

    def test_names_people_type_repeat_their_port(self):
        warnings = []
        names = [b.NamePort("web", "http", "http"), b.NamePort("dual", "odd", "odd", "TCP/UDP"),
                 b.NamePort("rdp", "ms-wbt-server", "ms-wbt-server"),  # no such entry
                 b.NamePort("www", "http", "http"),
                 b.NamePort("HTTP", "echo", "echo"),  # a term already
                 b.NamePort("mq", "mqtt", "mqtt"), b.NamePort("stream", "kafka")]
        extras = [port("mqtt", "TCP", "1883", "mqtt"), port("kafka", "TCP", "9092")]
        values = b.ip_port_values(b.read_services(SERVICES), warnings.append, extras,
                                  b.read_iana_registry(IANA), names)
        self.assertEqual([v for v in values if v.split(",")[0] in
                          {"web", "www", "dual", "mq", "stream"}], [
            # the description without the list's aliases, and IANA's name
            "web,TCP,80,TCP,1024-65535,Web (HTTP) ; nom IANA : http",
            "www,TCP,80,TCP,1024-65535,Web (HTTP) ; nom IANA : http",
            "mq,TCP,1883,TCP,1024-65535,Service mqtt ; nom IANA : mqtt",
            # more protocols than its target, on both sides
            "dual,TCP/UDP,7000/7001,TCP/UDP,1024-65535,TCP : over tcp ; UDP : over udp ; "
            "nom IANA : odd",
            # a port IANA assigns to another use keeps its note
            "stream,TCP,9092,TCP,1024-65535,Service kafka ; usage courant ; "
            "l'IANA attribue ce port à kafka",
        ])
        self.assertEqual(len([w for w in warnings if "name" in w]), 2, warnings)
        registry = b.read_iana_registry(IANA)
        # only the entries made for a name are checked, not the term it repeats
        self.assertEqual(b.name_port_disagreements(names, values, registry), [
            "web: IANA does not assign 80/tcp to 'http'",
            "dual: IANA does not assign 7000/7001/tcp to 'odd'",
            "dual: IANA does not assign 7000/7001/udp to 'odd'",
            "www: IANA does not assign 80/tcp to 'http'"])
        self.assertEqual(b.name_port_disagreements([names[5]], values, registry), [])

    def test_terms_that_cannot_be_terms_are_left_out(self):
        warnings = []
        unusable = [("A,B", ["sens"]), ("", ["sens"]), ("L" * 101, ["sens"])]
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
        data = b.build(SERVICES, ACRONYMS, MIME, "essai", lambda m: None, VERA,
                       b.read_iana_registry(IANA))
        problems, counts = b.check_catalogue(data)
        self.assertEqual(problems, [])
        own = b.OWN_ACRONYMS + b.FRENCH_ACRONYMS + b.ALSO_ACRONYMS
        acronyms = len({a.upper() for a, _ in own} | {"BER", "GVFS", "ATT", "IPV6"})
        listed = {e.name for e in b.EXTRA_PORTS} | {s.name for s in b.read_services(SERVICES)}
        named = [n for n in b.NAME_PORTS if n.target in listed]
        self.assertEqual(counts, {"IP-PORTS": 4 + len(b.EXTRA_PORTS) + len(named),
                                  "ACRONYMES": acronyms, "MIME-TYPES": 5})
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
        self.assertGreaterEqual(counts["ACRONYMES"], 9000)

    def values(self, prefix):
        return [line.split("=", 1)[1] for line in self.shipped.decode().splitlines()
                if re.match(prefix + r"\d+=", line)]

    def test_every_port_note_agrees_with_iana(self):
        # The notes on IANA, read back from the file, against the registry:
        # "non attribué" where IANA assigns nothing, otherwise the names it
        # assigns there, and never a note on a port IANA assigns to the entry.
        if not os.path.isfile(b.IANA_PATH):
            self.skipTest("no IANA registry (libwireshark-data)")
        with open(b.IANA_PATH, encoding="utf-8", errors="replace") as f:
            registry = b.read_iana_registry(f.read())
        noted = 0
        for value in self.values("PROTO"):
            name, protocols, number = value.split(",")[:3]
            if "usage courant" not in value:
                continue
            noted += 1
            first, _, last = number.partition("-")
            held = set()
            for protocol in protocols.lower().split("/"):
                for p in range(int(first), int(last or first) + 1):
                    held |= registry.get((p, protocol), set())
            with self.subTest(name):
                self.assertNotIn(name.lower(), held)
                if value.endswith(b.UNREGISTERED):
                    self.assertEqual(held, set())
                elif "-" not in number:
                    told = value.rsplit("l'IANA attribue ce port ", 1)[1]
                    words = set(re.split(r"[ ,]+", told)) - {"à", "en", "rien", "TCP", "UDP"}
                    self.assertEqual(words, held)
                else:
                    self.assertNotEqual(held, set())
        self.assertGreaterEqual(noted, 50)

    def test_every_mime_alias_is_found_under_its_own_name(self):
        if not os.path.isfile(b.MIME_PATH):
            self.skipTest("no shared-mime-info")
        with open(b.MIME_PATH, "rb") as f:
            root = b.ET.fromstring(f.read())
        terms = {v.split(",", 1)[0].lower(): v for v in self.values("MIME")}
        registered = set(b.REGISTERED_NAMES.values())
        for node in root.iter(b.MIME_NS + "mime-type"):
            for alias in node.findall(b.MIME_NS + "alias"):
                name = alias.get("type").lower()
                with self.subTest(name):
                    self.assertIn(name, terms)
                    if name not in registered | {t.get("type").lower()
                                                 for t in root.iter(b.MIME_NS + "mime-type")}:
                        mime = node.get("type")
                        self.assertIn(b.REGISTERED_NAMES.get(mime, mime), terms[name])

    def test_every_media_type_and_extension_is_found(self):
        # Under its own name, its extensions listed in its entry.
        if not os.path.isfile(b.MEDIA_TYPES_PATH):
            self.skipTest("no /etc/mime.types (media-types)")
        with open(b.MEDIA_TYPES_PATH, encoding="utf-8", errors="replace") as f:
            media = b.read_media_types(f.read())
        terms = {v.split(",", 1)[0].lower(): v for v in self.values("MIME")}
        for mime, extensions in media:
            with self.subTest(mime):
                self.assertIn(mime.lower(), terms)
                listed = terms[mime.lower()].rpartition(" (")[2].rstrip(")").lower().split(", ")
                self.assertEqual([x for x in extensions if x.lower() not in listed], [])
        self.assertGreaterEqual(len(media), 2000)

    def test_todays_names_of_types_and_ports(self):
        values = {v.split(",", 1)[0]: v for v in self.values("PROTO") + self.values("MIME")}
        for value in (
                "text/javascript,Programme JavaScript (.js, .jsm, .mjs, .es)",
                "application/javascript,Nom obsolète de text/javascript : "
                "Programme JavaScript (.js, .jsm, .mjs, .es)",
                "application/wasm,Module WebAssembly (.wasm)",
                "application/yaml,Document YAML (.yaml, .yml)",
                "rdp,TCP/UDP,3389,TCP/UDP,1024-65535,Bureau à distance Windows (RDP) ; "
                "nom IANA : ms-wbt-server"):
            self.assertEqual(values.get(value.split(",", 1)[0]), value)
        self.assertGreaterEqual(len(b.NAME_PORTS), 30)
        for n in b.NAME_PORTS:
            with self.subTest(n.name):
                name, target = values[n.name].split(","), values[n.target].split(",")
                self.assertEqual(name[2], target[2])  # the same port
                self.assertTrue(values[n.name].endswith(b.IANA_NAME + n.iana) if n.iana
                                else "usage courant" in values[n.name])

    def test_at_least_a_hundred_recent_acronyms_the_lists_lack(self):
        if b.missing_sources():
            self.skipTest("source packages not installed")
        with open(b.ACRONYMS_PATH, encoding="utf-8", errors="replace") as f:
            known = {a.upper() for a, _ in b.read_bsd_acronyms(f.read())}
        with b.gzip.open(b.VERA_PATH, "rt", encoding="utf-8", errors="replace") as f:
            known |= {a.upper() for a, _ in b.read_vera(f.read())}
        added = {a.upper() for a, _ in b.OWN_ACRONYMS} - known
        self.assertGreaterEqual(len(added), 100)
        shipped = {v.split(",", 1)[0].upper() for v in self.values("ACRO")}
        self.assertLessEqual(added, shipped)

    def test_the_shipped_file_is_what_the_script_builds(self):
        # Only where the same source packages are installed: the header
        # names their versions.
        if b.missing_sources():
            self.skipTest("source packages not installed")
        origin = b.source_origin()
        header = self.shipped.split(b"\n\n[", 1)[0].replace(b"\n; ", b" ")  # lines joined
        if ("Debian " + origin).encode() not in header:
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
