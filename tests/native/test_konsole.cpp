// The console's Windows-free parts (hosts/konsole): reading a line into a
// command, numbers and lists, the code page, the command line, the help and
// the state lines. A line refused here never reaches lumbrik.dll.
#include "simulator/aufruf_text.h"
#include "hosts/konsole/optionen.h"
#include "hosts/konsole/zeichensatz.h"
#include "hosts/konsole/zeile.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

std::string fehler_von(std::string_view zeile) {
  const gelesene_zeile z = zeile_lesen(zeile);
  EXPECT_EQ(z.art, zeilen_art::fehler) << zeile;
  return z.fehler;
}

gelesene_zeile befehl(std::string_view zeile) {
  gelesene_zeile z = zeile_lesen(zeile);
  EXPECT_EQ(z.art, zeilen_art::befehl) << zeile << ": " << z.fehler;
  return z;
}

bool liste_gut(std::string_view text) {
  std::string fehler;
  return liste_pruefen(text, fehler);
}

std::string liste_fehler(std::string_view text) {
  std::string fehler;
  EXPECT_FALSE(liste_pruefen(text, fehler)) << text;
  return fehler;
}

} // namespace

TEST(konsole_zeile, leere_zeilen_und_kommentare_laufen_nicht) {
  EXPECT_EQ(zeile_lesen("").art, zeilen_art::leer);
  EXPECT_EQ(zeile_lesen("  \t \r").art, zeilen_art::leer);
  const gelesene_zeile k = zeile_lesen("  # Ausg" AE "nge schalten  \r");
  EXPECT_EQ(k.art, zeilen_art::kommentar);
  EXPECT_EQ(k.text, "# Ausg" AE "nge schalten");
}

TEST(konsole_zeile, jeder_der_vierzehn_befehle_wird_erkannt) {
  const char *zeilen[] = {"gib_fehler", "vorbereitung", "einschalten 1",  "ausschalten 4",
                          "allesaus",   "motor 1 -1",   "ausgangzustand", "schalter [1 2]",
                          "sensor 1",   "poti 2",       "pause 10",       "lpt 0",
                          "t_proz1 5",  "t_funk1 1"};
  for (const char *zeile : zeilen) {
    const gelesene_zeile z = befehl(zeile);
    ASSERT_NE(z.befehl, nullptr);
    EXPECT_EQ(z.befehl->gruppe, befehl_gruppe::lumbrik) << zeile;
    EXPECT_EQ(z.text, zeile);
  }
}

TEST(konsole_zeile, zahlen_und_listen_kommen_an) {
  gelesene_zeile z = befehl("motor 1 -1");
  EXPECT_EQ(z.befehl->art, befehl_art::motor);
  ASSERT_EQ(z.argumente.size(), 2u);
  EXPECT_EQ(z.argumente[0].zahl, 1);
  EXPECT_EQ(z.argumente[1].zahl, -1);

  z = befehl("\teinschalten   [1 2 3]  ");
  ASSERT_EQ(z.argumente.size(), 1u);
  EXPECT_EQ(z.argumente[0].liste, "[1 2 3]");
  EXPECT_EQ(z.text, "einschalten   [1 2 3]");

  z = befehl("schalter -32767");
  EXPECT_TRUE(z.argumente[0].liste.empty());
  EXPECT_EQ(z.argumente[0].zahl, -32767);
  EXPECT_EQ(befehl("ausschalten 32768").argumente[0].zahl, 32768);
  EXPECT_EQ(befehl("ausschalten +7").argumente[0].zahl, 7);
  EXPECT_EQ(befehl("sensor -2147483648").argumente[0].zahl, INT32_MIN);
}

TEST(konsole_zeile, pause_nimmt_dezimalzahlen) {
  EXPECT_DOUBLE_EQ(befehl("pause 2.5").argumente[0].dezimal, 2.5);
  EXPECT_DOUBLE_EQ(befehl("pause 2,5").argumente[0].dezimal, 2.5);
  EXPECT_DOUBLE_EQ(befehl("pause 10").argumente[0].dezimal, 10.0);
  EXPECT_DOUBLE_EQ(befehl("pause -1").argumente[0].dezimal, -1.0);
  EXPECT_DOUBLE_EQ(befehl("pause .5").argumente[0].dezimal, 0.5);
  EXPECT_EQ(fehler_von("pause x"), "\"x\" ist keine Dezimalzahl (Beispiel: 2.5)");
  EXPECT_EQ(fehler_von("pause 1.2.3"), "\"1.2.3\" ist keine Dezimalzahl (Beispiel: 2.5)");
  EXPECT_EQ(fehler_von("pause ."), "\".\" ist keine Dezimalzahl (Beispiel: 2.5)");
  EXPECT_EQ(fehler_von("pause 1e3"), "\"1e3\" ist keine Dezimalzahl (Beispiel: 2.5)");
}

TEST(konsole_zeile, wahlweise_argumente_sind_sonst_null) {
  gelesene_zeile z = befehl("vorbereitung");
  ASSERT_EQ(z.argumente.size(), 1u);
  EXPECT_EQ(z.argumente[0].zahl, 0);
  EXPECT_EQ(befehl("vorbereitung -1").argumente[0].zahl, -1);
  EXPECT_EQ(befehl("lpt").argumente[0].zahl, 0);
  EXPECT_EQ(befehl("lpt 888").argumente[0].zahl, 888);
}

TEST(konsole_zeile, unbekannter_befehl_mit_vorschlag) {
  EXPECT_EQ(fehler_von("Einschalten 1"),
            "unbekannter Befehl \"Einschalten\" - meinten Sie \"einschalten\"?");
  EXPECT_EQ(fehler_von("einschalte 1"),
            "unbekannter Befehl \"einschalte\" - meinten Sie \"einschalten\"?");
  EXPECT_EQ(fehler_von("mtoor 1 1"), "unbekannter Befehl \"mtoor\" - meinten Sie \"motor\"?")
      << "two letters swapped";
  EXPECT_EQ(fehler_von("sim_oeffnen_fehlschlagn 1"),
            "unbekannter Befehl \"sim_oeffnen_fehlschlagn\" - meinten Sie "
            "\"sim_oeffnen_fehlschlagen\"?");
  // Too far from every command for a guess.
  EXPECT_EQ(fehler_von("warten 5"), "unbekannter Befehl \"warten\" (hilfe zeigt alle Befehle)");
  EXPECT_EQ(fehler_von("mot 1 1"), "unbekannter Befehl \"mot\" (hilfe zeigt alle Befehle)");
}

TEST(konsole_zeile, falsche_anzahl_von_argumenten) {
  EXPECT_EQ(fehler_von("motor 1"), "motor erwartet 2 Argumente (NUMMER WERT), nicht 1");
  EXPECT_EQ(fehler_von("sensor"), "sensor erwartet 1 Argument (N), nicht 0");
  EXPECT_EQ(fehler_von("allesaus 1"), "allesaus erwartet kein Argument, nicht 1");
  EXPECT_EQ(fehler_von("lpt 1 2"), "lpt erwartet h" OE "chstens 1 Argument ([WERT]), nicht 2");
  EXPECT_EQ(fehler_von("einschalten 1 2"),
            "einschalten erwartet 1 Argument (N|[LISTE]), nicht 2; mehrere Nummern als Liste: "
            "[1 2]");
}

TEST(konsole_zeile, keine_zahl) {
  EXPECT_EQ(fehler_von("sensor eins"), "\"eins\" ist keine ganze Zahl");
  EXPECT_EQ(fehler_von("motor 1 0x10"), "\"0x10\" ist keine ganze Zahl");
  EXPECT_EQ(fehler_von("t_proz1 -"), "\"-\" ist keine ganze Zahl");
  EXPECT_EQ(fehler_von("t_funk1 2147483648"),
            "\"2147483648\" liegt au" SZ "erhalb von -2147483648 bis 2147483647");
  EXPECT_EQ(fehler_von("motor [1 2]"), "motor nimmt keine Liste, nur Zahlen");
}

TEST(konsole_zeile, grosse_nummer_waere_eine_adresse) {
  EXPECT_EQ(fehler_von("einschalten 40000"),
            "40000 liegt au" SZ "erhalb von -32767 bis 32768 und w" UE
            "rde als Adresse gelesen; als Liste geht es: [40000]");
  fehler_von("ausschalten 32769");
  fehler_von("schalter -32768");
  EXPECT_EQ(befehl("einschalten [40000]").argumente[0].liste, "[40000]");
}

TEST(konsole_zeile, kaputte_liste) {
  EXPECT_EQ(fehler_von("einschalten [1  2]"), "die Liste [1  2] ist nicht wohlgeformt: zwischen "
                                              "zwei Zahlen steht genau ein Leerzeichen");
  EXPECT_EQ(fehler_von("schalter [1 2] 3"),
            "die Liste [1 2] 3 ist nicht wohlgeformt: nach der ] darf nichts mehr stehen");
}

TEST(konsole_zeile, roh_gibt_jeden_text_weiter_und_hilfe_nimmt_einen_befehl) {
  const gelesene_zeile z = befehl("einschalten roh \"[1  x]\"");
  EXPECT_TRUE(z.argumente[0].roh);
  EXPECT_EQ(z.argumente[0].liste, "[1  x]");
  EXPECT_EQ(befehl("schalter roh \"\"").argumente[0].liste, "");
  EXPECT_EQ(fehler_von("einschalten roh [1 2]").substr(0, 13), "roh braucht e");
  EXPECT_EQ(fehler_von("motor roh \"[1]\""), "\"roh\" ist keine ganze Zahl")
      << "only list commands";

  EXPECT_EQ(befehl("hilfe pause").argumente[0].wort, "pause");
  EXPECT_EQ(fehler_von("hilfe warten"), "unbekannter Befehl \"warten\" (hilfe zeigt alle Befehle)");
}

TEST(konsole_zeile, steuerzeichen_werden_benannt) {
  EXPECT_EQ(fehler_von("sensor 1\x04"),
            "die Zeile enth" AE "lt das Steuerzeichen Strg+D (0x04); die "
            "Eingabe endet mit Strg+Z am Zeilenanfang oder mit ende");
  EXPECT_NE(fehler_von("motor\x1B 1 1").find("Strg+[ (0x1B)"), std::string::npos);
  EXPECT_EQ(befehl("motor\t1 1").befehl->name, "motor") << "a tab separates";
}

TEST(konsole_zeichensatz, utf16_skripte) {
  EXPECT_EQ(utf16_skript_nach_1252(std::string_view("\xFF\xFE"
                                                    "a\0\xE4\0\r\0\n\0\xAC\x20",
                                                    12)),
            "a\xE4\r\n\x80");
  EXPECT_EQ(utf16_skript_nach_1252(std::string_view("\xFE\xFF\0a\0\n\0", 7)), "a\n")
      << "big endian; a lone last byte is dropped";
  EXPECT_FALSE(utf16_skript_nach_1252("vorbereitung\n"));
  EXPECT_FALSE(utf16_skript_nach_1252("\xEF\xBB\xBFvorbereitung")) << "UTF-8 with its mark";
}

TEST(konsole_liste, wohlgeformt) {
  for (const char *text :
       {"[1]", "[1 2 3]", "[ 1 2]", "[1 2 ]", "[ 1 ]", "[-5 +6 007]", "[2147483647 -2147483648]"})
    EXPECT_TRUE(liste_gut(text)) << text;
}

TEST(konsole_liste, nicht_wohlgeformt_mit_grund) {
  EXPECT_EQ(liste_fehler("1 2]"), "eine Liste beginnt mit [");
  EXPECT_EQ(liste_fehler("[]"), "die Liste ist leer");
  EXPECT_EQ(liste_fehler("[ ]"), "die Liste ist leer");
  EXPECT_EQ(liste_fehler("["), "die schlie" SZ "ende ] fehlt");
  EXPECT_EQ(liste_fehler("[1 2"), "die schlie" SZ "ende ] fehlt");
  EXPECT_EQ(liste_fehler("[  1]"), "nach der [ steht h" OE "chstens ein Leerzeichen");
  EXPECT_EQ(liste_fehler("[1  ]"), "vor der ] steht h" OE "chstens ein Leerzeichen");
  EXPECT_EQ(liste_fehler("[1  2]"), "zwischen zwei Zahlen steht genau ein Leerzeichen");
  EXPECT_EQ(liste_fehler("[1,2]"), "\"1,2\" ist keine ganze Zahl");
  EXPECT_EQ(liste_fehler("[1\t2]"), "\"1\t2\" ist keine ganze Zahl");
  EXPECT_EQ(liste_fehler("[1 2]]"), "nach der ] darf nichts mehr stehen");
  EXPECT_EQ(liste_fehler("[1 2]x"), "nach der ] darf nichts mehr stehen");
  EXPECT_EQ(liste_fehler("[1 2147483648]"),
            "\"2147483648\" liegt au" SZ "erhalb von -2147483648 bis 2147483647");
  EXPECT_EQ(liste_fehler("[+]"), "\"+\" ist keine ganze Zahl");
}

TEST(konsole_zahlen, ganze_zahlen) {
  int32_t wert = 0;
  std::string fehler;
  EXPECT_TRUE(zahl_lesen("-0", wert, fehler));
  EXPECT_EQ(wert, 0);
  EXPECT_TRUE(zahl_lesen("0000000000000042", wert, fehler));
  EXPECT_EQ(wert, 42);
  EXPECT_FALSE(zahl_lesen("", wert, fehler));
  EXPECT_FALSE(zahl_lesen("+-1", wert, fehler));
  EXPECT_FALSE(zahl_lesen("1 ", wert, fehler));
  EXPECT_FALSE(zahl_lesen("-2147483649", wert, fehler));
}

TEST(konsole_zeichensatz, ausgabe_als_utf8) {
  EXPECT_EQ(nach_utf8("Viel Spa\xDF, \xD6l \x80"), "Viel Spa\xC3\x9F, \xC3\x96l \xE2\x82\xAC");
  // A byte 1252 leaves unused is the control character of its number.
  EXPECT_EQ(nach_utf8("\x81"), "\xC2\x81");
}

TEST(konsole_zeichensatz, eingabe_utf8_oder_1252) {
  EXPECT_EQ(eingabe_nach_1252("Gr\xC3\xBC\xC3\x9F"
                              "e \xE2\x82\xAC"),
            "Gr\xFC\xDF"
            "e \x80");
  // Not UTF-8: taken as 1252 as it is.
  EXPECT_EQ(eingabe_nach_1252("Gr\xFC\xDF"
                              "e"),
            "Gr\xFC\xDF"
            "e");
  // Overlong and surrogate forms are no UTF-8 either.
  EXPECT_EQ(eingabe_nach_1252("\xC0\xAF"), "\xC0\xAF");
  EXPECT_EQ(eingabe_nach_1252("\xED\xA0\x80"), "\xED\xA0\x80");
  // Valid UTF-8 that 1252 cannot show.
  EXPECT_EQ(eingabe_nach_1252("\xE2\x86\x92 \xF0\x9F\x98\x80"), "? ?");
  EXPECT_EQ(utf8_nach_1252("Gr\xFCn \xC3\xBC"), "Gr?n ??") << "UTF-8 that is none after all";
  EXPECT_EQ(utf16_nach_1252(u"\u00D6\u20AC\u2192\U0001F600"), "\xD6\x80??");
}

TEST(konsole_optionen, alles_zusammen) {
  const std::vector<std::string_view> a = {"--dll=Z:\\x",       "--boxes=console",     "--zustand",
                                           "--modell=schranke", "--bericht=lauf.json", "demo.txt"};
  optionen o;
  std::string fehler;
  ASSERT_TRUE(optionen_lesen(a, o, fehler)) << fehler;
  EXPECT_EQ(o.dll, "Z:\\x");
  EXPECT_TRUE(o.boxen_auf_konsole);
  EXPECT_TRUE(o.zustand);
  EXPECT_FALSE(o.hilfe);
  EXPECT_EQ(o.skript, "demo.txt");
  EXPECT_EQ(o.modell, "schranke");
  EXPECT_EQ(o.bericht, "lauf.json");
}

TEST(konsole_optionen, ohne_alles_liest_die_standardeingabe) {
  optionen o;
  std::string fehler;
  ASSERT_TRUE(optionen_lesen({}, o, fehler));
  EXPECT_TRUE(o.skript.empty());
  EXPECT_TRUE(o.dll.empty());
  EXPECT_FALSE(o.boxen_auf_konsole);
}

TEST(konsole_optionen, fehler) {
  optionen o;
  std::string fehler;
  const std::vector<std::string_view> unbekannt = {"--laut"};
  EXPECT_FALSE(optionen_lesen(unbekannt, o, fehler));
  EXPECT_EQ(fehler, "unbekannte Option --laut");
  // A space for the =, a typo: the message shows the form that works.
  const std::vector<std::string_view> leerzeichen = {"--modell", "schranke"};
  EXPECT_FALSE(optionen_lesen(leerzeichen, o, fehler));
  EXPECT_EQ(fehler,
            "--modell braucht den Wert mit = dahinter, ohne Leerzeichen: --modell=schranke");
  const std::vector<std::string_view> vertippt = {"--model=schranke"};
  EXPECT_FALSE(optionen_lesen(vertippt, o, fehler));
  EXPECT_EQ(fehler, "unbekannte Option --model=schranke - meinten Sie --modell=schranke?");
  const std::vector<std::string_view> zwei = {"a.txt", "b.txt"};
  EXPECT_FALSE(optionen_lesen(zwei, o, fehler));
  for (std::string_view leer : {"--dll=", "--modell=", "--bericht="}) {
    const std::vector<std::string_view> a = {leer};
    EXPECT_FALSE(optionen_lesen(a, o, fehler)) << leer;
  }
}

TEST(konsole_hilfe, jeder_befehl_und_hoechstens_79_spalten) {
  const std::string text = hilfe_text();
  for (const befehl_beschreibung &b : alle_befehle())
    EXPECT_NE(text.find("\n  " + std::string(b.name) + " "), std::string::npos) << b.name;
  EXPECT_EQ(alle_befehle().size(), 23u);
  // An 80-column console would wrap a line of 80 before its line end.
  std::string alles = verbinden({text, "\n", gebrauch_text()});
  for (const befehl_beschreibung &b : alle_befehle())
    alles += verbinden({"\n", hilfe_text(b)});
  size_t anfang = 0;
  while (anfang < alles.size()) {
    const size_t ende = std::min(alles.find('\n', anfang), alles.size());
    EXPECT_LE(ende - anfang, 79u) << alles.substr(anfang, ende - anfang);
    anfang = ende + 1;
  }
}

TEST(konsole_zustand, zwei_zeilen) {
  sim_zustand z{};
  z.ausgang_an[0] = 1;
  z.ausgang_stufe[0] = 7;
  z.ausgang_stufe[1] = 5; // off: the level is not shown
  z.ausgang_an[3] = 1;
  z.ausgang_stufe[3] = 3;
  z.motor_richtung[0] = 1;
  z.motor_richtung[1] = -1;
  z.eingang[1] = 1;
  z.analog[0] = 512;
  z.spannung[0] = 9000;
  z.spannung[1] = -1;
  EXPECT_EQ(zustand_text(z),
            "  | Ausg" AE "nge (Stufe, - aus): 7 - - 3 - - - -   Motoren: vor zur" UE "ck - -\n"
            "  | Eing" AE "nge: 0 1 0 0 0 0 0 0   Analog: AX 512, AY 0   Spannung: 9000, -1");
}
