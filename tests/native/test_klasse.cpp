// The class check's Windows-free core (hosts/klasse): which entries are
// submissions, the command line, a program's word size, the verdict from what
// a run left behind, and the three result files.
#include "hosts/klasse/kern.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <vector>

using namespace klasse;

TEST(Klasse, AbgabenSindOrdnerMitProgrammOderEinzelneDateien) {
  const abgaben_liste l = abgaben_finden({
      {"zoe", true, {"LIESMICH.txt", "schranke.exe", "daten.ini"}},
      {"Jürgen Müller.exe", false, {}},
      {"ben.TXT", false, {}},
      {"carla", true, {"lauf.txt"}},
      {"notizen.pdf", false, {}},
      {"leer", true, {}},
      {"doppelt", true, {"a.exe", "b.exe"}},
      {"Zoe.exe", false, {}},
  });
  ASSERT_EQ(l.abgaben.size(), 4u);
  EXPECT_EQ(l.abgaben[0].name, "ben");
  EXPECT_EQ(l.abgaben[0].art, programm_art::skript);
  EXPECT_EQ(l.abgaben[1].programm, "lauf.txt");
  EXPECT_EQ(l.abgaben[2].name, "Jürgen Müller");
  EXPECT_EQ(l.abgaben[2].programm, "Jürgen Müller.exe");
  EXPECT_EQ(l.abgaben[3].eintrag, "zoe");
  EXPECT_EQ(l.abgaben[3].programm, "schranke.exe");
  // Skipped, each with its reason: no program, two of them, a name taken.
  ASSERT_EQ(l.uebersprungen.size(), 4u);
  EXPECT_EQ(l.uebersprungen[0].name, "doppelt");
  EXPECT_NE(l.uebersprungen[0].grund.find("mehrere Programme"), std::string::npos);
  EXPECT_EQ(l.uebersprungen[3].name, "Zoe.exe");
  EXPECT_EQ(ordner_name("a:b?. "), "a_b_");
}

TEST(Klasse, OptionenUndIhreFehler) {
  auto lesen = [](std::vector<std::string_view> a, std::string &fehler) {
    optionen o;
    fehler.clear();
    optionen_lesen(a, o, fehler);
    return o;
  };
  std::string f;
  const optionen o = lesen({"--modell=schranke", "--dauer=2,5", "--gleichzeitig=3", "ab"}, f);
  EXPECT_EQ(f, "");
  EXPECT_EQ(o.dauer_s, 2.5);
  EXPECT_EQ(o.gleichzeitig, 3);
  EXPECT_EQ(o.abgaben, "ab");
  lesen({"--modell=schranke"}, f);
  EXPECT_NE(f.find("Ordner"), std::string::npos);
  lesen({"ab"}, f);
  EXPECT_NE(f.find("--vorbild"), std::string::npos);
  lesen({"--dauer", "ab"}, f);
  EXPECT_NE(f.find("--dauer=20"), std::string::npos);
  lesen({"--vorbild=x.csv", "--gleichzeitig=0", "ab"}, f);
  EXPECT_NE(f.find("1 bis 64"), std::string::npos);
  lesen({"--model=x", "ab"}, f);
  EXPECT_NE(f.find("unbekannte Option --model=x - meinten Sie --modell=x?"), std::string::npos);
}

TEST(Klasse, WortbreiteAusDemPeKopf) {
  std::vector<unsigned char> kopf(0x200);
  kopf[0] = 'M';
  kopf[1] = 'Z';
  kopf[0x3C] = 0x80;
  kopf[0x80] = 'P';
  kopf[0x81] = 'E';
  kopf[0x98] = 0x0B;
  kopf[0x99] = 0x01;
  EXPECT_EQ(pe_bits(kopf), 32);
  kopf[0x99] = 0x02;
  EXPECT_EQ(pe_bits(kopf), 64);
  EXPECT_EQ(pe_bits(std::span(kopf).first(0x90)), 0);
  kopf[0x3C] = 0xF0;
  kopf[0x3D] = 0xFF;
  EXPECT_EQ(pe_bits(kopf), 0);
}

TEST(Klasse, ModellMitVorbild) {
  std::string f;
  EXPECT_EQ(modell_mit_vorbild("# x\r\n[modell]\r\nname = \"s\"\r\n", "C:\\M\\a.csv", f),
            "# x\r\n[modell]\r\nmitschnitt = \"C:\\\\M\\\\a.csv\"\nname = \"s\"\r\n");
  EXPECT_FALSE(modell_mit_vorbild("[modell]\nmitschnitt = \"a.csv\"\n", "b.csv", f));
  EXPECT_NE(f.find("schon"), std::string::npos);
  EXPECT_FALSE(modell_mit_vorbild("[[achse]]\n", "b.csv", f));
  EXPECT_EQ(ergebnis_ordner(2026, 3, 4, 5, 6, 7, 2), "klasse-2026-03-04_05-06-07-2");
}

TEST(Klasse, BoxenImBericht) {
  EXPECT_EQ(bericht_mit_boxen(R"({"modell": "s", "anzahl": {"z": 1}, "a": 2})", {"Meldung: x"}),
            "{\n  \"modell\": \"s\",\n  \"anzahl\": {\n    \"z\": 1\n  },\n  \"a\": 2,\n"
            "  \"meldungsboxen\": [\n    \"Meldung: x\"\n  ]\n}\n");
  EXPECT_FALSE(bericht_mit_boxen(R"({"modell": "s")", {"Meldung: x"}));
  EXPECT_FALSE(bericht_mit_boxen("{}", {}));
}

TEST(Klasse, UrteilAusLaufUndBericht) {
  const std::string mit_fehlern =
      R"({"modell": "schranke", "fehler_anzahl": 2, "fehler": [{"zeit_ms": 1500, "regel": "anschlag", "text": "Schranke am Anschlag"}, {"regel": "x"}], "neu": 1})";
  struct fall {
    lauf_ergebnis l;
    urteil u;
    std::string grund;
  };
  auto lauf = [](uint32_t code, std::optional<std::string> bericht = std::nullopt,
                 bool skript = false) {
    lauf_ergebnis l;
    l.gestartet = true;
    l.exit_code = code;
    l.bericht_json = std::move(bericht);
    l.skript = skript;
    return l;
  };
  lauf_ergebnis nicht_gestartet, zeit_um = lauf(0), vertippt = lauf(1, std::nullopt, true);
  lauf_ergebnis haengt = lauf(0xC000013Au, std::nullopt, true);
  haengt.zeit_um = true;
  haengt.ausgabe = "> vorbereitung\r\n> pause 400\r\n";
  vertippt.ausgabe =
      "> vorbereitung\r\n> motr 1 1\r\nZeile 2: unbekannter Befehl \"motr\" - meinten "
      "Sie \"motor\"?\r\n";
  nicht_gestartet.startfehler = "Zugriff verweigert";
  zeit_um.zeit_um = true;
  const std::vector<fall> faelle = {
      {nicht_gestartet, urteil::startet_nicht, "Zugriff verweigert"},
      {lauf(0xC0000135u), urteil::startet_nicht,
       "eine DLL, die das Programm braucht, fehlt (0xC0000135)"},
      {zeit_um, urteil::haengt, "lief länger als 30 s und wurde beendet (mehr Zeit: --dauer=)"},
      {haengt, urteil::haengt,
       "lief länger als 30 s und wurde beendet (mehr Zeit: --dauer=); zuletzt lief: pause 400"},
      {lauf(0xC0000005u, "{}"), urteil::abgestuerzt, "Zugriffsverletzung (0xC0000005)"},
      {lauf(1, std::nullopt, true), urteil::abgestuerzt, "das Skript brach ab (Exit-Code 1)"},
      {vertippt, urteil::abgestuerzt,
       "das Skript brach ab: Zeile 2: unbekannter Befehl \"motr\" - meinten Sie \"motor\"?"},
      {lauf(0), urteil::nie_geoeffnet, "vorbereitung wurde nie aufgerufen"},
      {lauf(0, std::nullopt, true), urteil::nie_geoeffnet,
       "vorbereitung wurde nie aufgerufen; ein Skript beginnt mit der Zeile vorbereitung"},
      {lauf(0, mit_fehlern), urteil::fehler, ""},
      {lauf(3, mit_fehlern, true), urteil::fehler, ""},
      {lauf(0, "{\"modell\": \"schr"), urteil::fehler, "der Bericht ist unvollständig"},
      {lauf(0, R"({"modell": "", "meldung": "kaputt"})"), urteil::fehler,
       "das Modell lief nicht: kaputt"},
      {lauf(2, "{}"), urteil::abgestuerzt, "endete mit Exit-Code 2"},
      // Fields it lacks (an older or newer simulator) are no fault.
      {lauf(0, R"({"fehler": null})"), urteil::bestanden, ""},
  };
  for (const fall &f : faelle) {
    const bewertung b = bewerten(f.l);
    EXPECT_EQ(b.u, f.u) << f.grund;
    EXPECT_EQ(b.grund, f.grund);
  }
  const bewertung b = bewerten(faelle[9].l);
  EXPECT_EQ(b.fehler_anzahl, 2u);
  // A listed fault without its time is not listed: it would read "bei 0 s".
  ASSERT_EQ(b.fehler.size(), 1u);
  EXPECT_EQ(b.fehler[0].zeit_ms, 1500);
  EXPECT_EQ(b.fehler[0].text, "Schranke am Anschlag");
  EXPECT_EQ(b.modell, "schranke");
}

TEST(Klasse, SeiteTabelleUndJson) {
  klasse_stand k;
  k.titel = "Klasse 8b";
  k.uebersprungen = {{"a.pdf", "kein Programm"}};
  zeile gut;
  gut.a = {"Anna <A>", "Anna <A>", "p.exe", programm_art::exe};
  gut.lauf.gestartet = true;
  gut.lauf.laufzeit_s = 1.26;
  gut.lauf.bericht_json = "{}";
  gut.lauf.meldungen = {"Interface ist geladen."};
  gut.b = bewerten(gut.lauf);
  gut.bericht = "Anna <A>/lauf.json";
  gut.svg = "<svg/>";
  zeile schlecht = gut;
  schlecht.a.name = "Ben; \"B\"";
  schlecht.lauf.bericht_json = R"({"fehler": [{"zeit_ms": 5, "regel": "r", "text": "zu früh"}]})";
  schlecht.b = bewerten(schlecht.lauf);
  k.zeilen = {gut, schlecht};
  EXPECT_EQ(zusammenfassung(k), "2 Abgaben: 1 bestanden, 1 Fehler; 1 übersprungen");

  const std::string csv = klasse_csv(k);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find("\r\n\"Ben; \"\"B\"\"\";Fehler;1;zu früh;1,3;0;0;Anna <A>/lauf.json;\r\n"),
            std::string::npos)
      << csv;

  const std::string html = klasse_html(k);
  size_t koerper = 0;
  for (size_t p = 0; (p = html.find("<tbody>", p)) != std::string::npos; ++p)
    ++koerper;
  EXPECT_EQ(koerper, 2u);
  EXPECT_EQ(html.find("Anna <A>"), std::string::npos);
  EXPECT_NE(html.find("href=\"Anna%20%3CA%3E/lauf.json\""), std::string::npos);
  EXPECT_NE(html.find("src=\"data:image/svg+xml;base64,PHN2Zy8+\""), std::string::npos);
  EXPECT_EQ(html.find("http"), std::string::npos) << "nichts aus dem Netz";

  const nlohmann::json j = nlohmann::json::parse(klasse_json(k));
  EXPECT_EQ(j["schueler"][1]["urteil"], "Fehler");
  EXPECT_EQ(j["schueler"][0]["meldungen"][0], "Interface ist geladen.");
  EXPECT_EQ(j["uebersprungen"][0]["name"], "a.pdf");
}
