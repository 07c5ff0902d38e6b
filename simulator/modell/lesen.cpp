// Reads a model file (TOML, through toml++). Every problem ends the reading
// with one message naming the file, the line and what is wrong, so a model
// is loaded whole or not at all.
#include "basis/abstand.h"
#include "simulator/modell/modell.h"
#include "simulator/modell/parserfehler.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace modell {
namespace {

struct problem {
  int zeile;
  std::string text;
};

int zeile_von(const toml::node &n) {
  return static_cast<int>(n.source().begin.line);
}

[[noreturn]] void abweisen(int zeile, const std::string &text) {
  throw problem{zeile, text};
}

// What a box can carry bounds each kind of table, so any file is read in
// moments: so many motors, outputs, inputs and analog inputs.
struct art_der_tabelle {
  const char *art;
  size_t hoechstens;
  std::string warum;
  std::vector<std::string> schluessel;
};

std::string box_hat(int anzahl, const char *was) {
  return "die Box hat " + std::to_string(anzahl) + " " + was;
}

const art_der_tabelle arten[] = {
    {"modell", 1, "", {"name", "titel", "mitschnitt"}},
    {"achse",
     SIM_MOTOREN,
     box_hat(SIM_MOTOREN, "Motoren"),
     {"name", "motor", "min", "max", "start", "geschwindigkeit", "umgekehrt"}},
    {"lampe", SIM_AUSGAENGE, box_hat(SIM_AUSGAENGE, "Ausgänge"), {"name", "ausgang"}},
    {"schalter",
     SIM_EINGAENGE,
     box_hat(SIM_EINGAENGE, "Eingänge"),
     {"name", "eingang", "achse", "ab", "bis", "prellen_ms"}},
    {"poti",
     SIM_ANALOGE,
     box_hat(SIM_ANALOGE, "Analogeingänge"),
     {"name", "analog", "achse", "bereich", "werte"}},
    {"lichtschranke",
     SIM_EINGAENGE,
     box_hat(SIM_EINGAENGE, "Eingänge"),
     {"name", "eingang", "lampe", "aktiv_bei", "zeiten", "achse", "bei", "laenge", "teile"}},
    {"fotosensor",
     SIM_ANALOGE,
     box_hat(SIM_ANALOGE, "Analogeingänge"),
     {"name", "analog", "hell", "dunkel", "lampe", "zeiten", "achse", "bei", "laenge", "teile"}},
    {"taster", SIM_EINGAENGE, box_hat(SIM_EINGAENGE, "Eingänge"), {"name", "eingang", "gedrueckt"}},
    {"regel",
     256,
     "mehr braucht kein Modell einer Box",
     {"name", "art", "binnen_ms", "text", "achse", "ausgaenge", "ausgang", "mit", "wenn_eingang",
      "dann_ausgang"}},
};

// Entries of one list (parts on a belt, time windows, outputs of a rule).
constexpr size_t listen_platz = 1000;

// " (meinten Sie 'x'?)" for the known word closest to a typo, or "".
std::string vorschlag(const std::string &wort, const std::vector<std::string> &bekannt) {
  // Comparing long words costs their product: a typo is short.
  if (wort.size() > 64)
    return "";
  const std::string *bester = nullptr;
  size_t kleinster = wort.size() < 6 ? 2 : 3;
  for (const std::string &b : bekannt) {
    const size_t d = abstand(wort, b);
    if (d < kleinster) {
      kleinster = d;
      bester = &b;
    }
  }
  return bester ? " (meinten Sie '" + *bester + "'?)" : "";
}

const art_der_tabelle &art_von(std::string_view art) {
  for (const art_der_tabelle &a : arten)
    if (art == a.art)
      return a;
  return arten[0];
}

// A number as a double: integers beyond 2^53 would not stay what they say.
double als_zahl(const toml::node &n, const std::string &wo, const char *schluessel) {
  if (n.is_integer()) {
    const int64_t ganz = n.as_integer()->get();
    constexpr int64_t genau = int64_t{1} << 53;
    if (ganz > genau || ganz < -genau)
      abweisen(zeile_von(n),
               wo + ": '" + schluessel + "' ist zu groß (ganze Zahlen gehen bis 9007199254740992)");
    return static_cast<double>(ganz);
  }
  if (!n.is_floating_point())
    abweisen(zeile_von(n), wo + ": '" + schluessel + "' muss eine Zahl sein");
  const double z = n.as_floating_point()->get();
  if (!std::isfinite(z))
    abweisen(zeile_von(n), wo + ": '" + schluessel + "' muss endlich sein");
  return z;
}

// One table of the file, read key by key; keys nobody asked for are typos.
class tabelle {
public:
  // A key its kind does not know is a typo, reported before anything else
  // the table says (a missing required key would only hide it).
  tabelle(const toml::table &t, std::string wo, const std::vector<std::string> &bekannt)
      : t_(t), wo_(std::move(wo)) {
    for (auto &&[schluessel, wert] : t_) {
      const std::string name(schluessel.str());
      if (std::find(bekannt.begin(), bekannt.end(), name) == bekannt.end())
        abweisen(zeile_von(wert),
                 wo_ + ": unbekannter Schlüssel '" + name + "'" + vorschlag(name, bekannt));
    }
  }

  int zeile() const { return zeile_von(t_); }
  const std::string &wo() const { return wo_; }

  const toml::node *knoten(const char *schluessel) {
    gefragt_.insert(schluessel);
    return t_.get(schluessel);
  }

  double zahl(const char *schluessel, std::optional<double> vorgabe = std::nullopt) {
    const toml::node *n = knoten(schluessel);
    if (!n) {
      if (vorgabe)
        return *vorgabe;
      abweisen(zeile(), wo_ + ": der Schlüssel '" + schluessel + "' fehlt");
    }
    return zahl_von(*n, schluessel);
  }

  std::optional<double> vielleicht(const char *schluessel) {
    const toml::node *n = knoten(schluessel);
    if (!n)
      return std::nullopt;
    return zahl_von(*n, schluessel);
  }

  int ganz(const char *schluessel, int von, int bis, std::optional<int> vorgabe = std::nullopt) {
    const toml::node *n = knoten(schluessel);
    if (!n && vorgabe)
      return *vorgabe;
    const double z = zahl(schluessel);
    if (z != std::floor(z) || z < von || z > bis)
      abweisen(n ? zeile_von(*n) : zeile(),
               wo_ + ": '" + schluessel + "' muss eine ganze Zahl von " + std::to_string(von) +
                   " bis " + std::to_string(bis) + " sein");
    return static_cast<int>(z);
  }

  std::string text(const char *schluessel, std::optional<std::string> vorgabe = std::nullopt) {
    const toml::node *n = knoten(schluessel);
    if (!n) {
      if (vorgabe)
        return *vorgabe;
      abweisen(zeile(), wo_ + ": der Schlüssel '" + schluessel + "' fehlt");
    }
    if (!n->is_string())
      abweisen(zeile_von(*n), wo_ + ": '" + schluessel + "' muss ein Text sein");
    const std::string &text = n->as_string()->get();
    // Names go into the trace, the diagram and the window.
    for (char c : text)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        abweisen(zeile_von(*n), wo_ + ": '" + schluessel +
                                    "' enthält ein Steuerzeichen (Tabulator, Zeilenende, ...)");
    return text;
  }

  bool wahrheit(const char *schluessel, bool vorgabe) {
    const toml::node *n = knoten(schluessel);
    if (!n)
      return vorgabe;
    if (!n->is_boolean())
      abweisen(zeile_von(*n), wo_ + ": '" + schluessel + "' muss true oder false sein");
    return *n->value<bool>();
  }

  std::vector<double> zahlen(const char *schluessel) {
    std::vector<double> werte;
    const toml::node *n = knoten(schluessel);
    if (!n)
      return werte;
    const toml::array *a = n->as_array();
    if (!a)
      abweisen(zeile_von(*n), wo_ + ": '" + schluessel + "' muss eine Liste von Zahlen sein");
    begrenzen(*a, schluessel);
    for (const toml::node &e : *a)
      werte.push_back(zahl_von(e, schluessel));
    return werte;
  }

  // A list of [von, bis] pairs in milliseconds.
  std::vector<zeitfenster> fenster(const char *schluessel) {
    std::vector<zeitfenster> liste;
    const toml::node *n = knoten(schluessel);
    if (!n)
      return liste;
    const toml::array *a = n->as_array();
    if (!a)
      abweisen(zeile_von(*n), wo_ + ": '" + schluessel + "' muss eine Liste von [von, bis] sein");
    begrenzen(*a, schluessel);
    for (const toml::node &e : *a) {
      const toml::array *paar = e.as_array();
      if (!paar || paar->size() != 2)
        abweisen(zeile_von(e), wo_ + ": jedes Zeitfenster in '" + schluessel +
                                   "' ist ein Paar [von, bis] in Millisekunden");
      const double von = zahl_von((*paar)[0], schluessel), bis = zahl_von((*paar)[1], schluessel);
      if (von < 0 || bis <= von || von != std::floor(von) || bis != std::floor(bis))
        abweisen(zeile_von(e), wo_ + ": ein Zeitfenster [von, bis] braucht ganze Millisekunden mit "
                                     "0 <= von < bis");
      liste.emplace_back(static_cast<int64_t>(von), static_cast<int64_t>(bis));
    }
    return liste;
  }

  // Keys of the kind that this table does not use (a rule's keys of
  // another art, 'bei' without 'achse').
  void nichts_uebrig() const {
    for (auto &&[schluessel, wert] : t_)
      if (!gefragt_.count(std::string(schluessel.str())))
        abweisen(zeile_von(wert), wo_ + ": der Schlüssel '" + std::string(schluessel.str()) +
                                      "' hat hier keine Bedeutung");
  }

private:
  double zahl_von(const toml::node &n, const char *schluessel) const {
    return als_zahl(n, wo_, schluessel);
  }

  void begrenzen(const toml::array &a, const char *schluessel) const {
    if (a.size() > listen_platz)
      abweisen(zeile_von(a[listen_platz]), wo_ + ": '" + schluessel + "' hat mehr als " +
                                               std::to_string(listen_platz) + " Einträge");
  }

  const toml::table &t_;
  std::string wo_;
  std::set<std::string> gefragt_;
};

// Reads the tables of one kind ([[achse]], ...): each through `lesen_eins`.
template <class F> void jede(const toml::table &datei, const char *art, F lesen_eins) {
  const toml::node *n = datei.get(art);
  if (!n)
    return;
  const toml::array *a = n->as_array();
  if (!a || !a->is_array_of_tables())
    abweisen(zeile_von(*n),
             std::string("'") + art + "' muss eine Tabellenliste [[" + art + "]] sein");
  const art_der_tabelle &d = art_von(art);
  if (a->size() > d.hoechstens)
    abweisen(zeile_von((*a)[d.hoechstens]), std::string("mehr als ") +
                                                std::to_string(d.hoechstens) + " [[" + art +
                                                "]] (" + d.warum + ")");
  int nummer = 0;
  for (const toml::node &e : *a) {
    tabelle t(*e.as_table(), std::string("[[") + art + "]] Nr. " + std::to_string(++nummer),
              d.schluessel);
    lesen_eins(t);
    t.nichts_uebrig();
  }
}

class leser {
public:
  explicit leser(const toml::table &datei) : datei_(datei) {}

  beschreibung lesen() {
    std::vector<std::string> namen;
    for (const art_der_tabelle &a : arten)
      namen.emplace_back(a.art);
    for (auto &&[schluessel, wert] : datei_) {
      const std::string name(schluessel.str());
      if (std::find(namen.begin(), namen.end(), name) == namen.end())
        abweisen(zeile_von(wert), "unbekannte Tabelle '" + name + "'" + vorschlag(name, namen));
    }
    const toml::node *kopf = datei_.get("modell");
    if (!kopf || !kopf->is_table())
      abweisen(1, "die Tabelle [modell] mit name = \"...\" fehlt");
    tabelle k(*kopf->as_table(), "[modell]", art_von("modell").schluessel);
    m_.name = k.text("name");
    m_.titel = k.text("titel", m_.name);
    m_.mitschnitt = k.text("mitschnitt", "");
    k.nichts_uebrig();

    jede(datei_, "achse", [&](tabelle &t) { achse_lesen(t); });
    jede(datei_, "lampe", [&](tabelle &t) {
      lampe l{neuer_name(t, "lampe"), 0, t.zeile()};
      lampen_[l.name] = static_cast<int>(m_.lampen.size());
      l.ausgang = ausgang_belegen(t, "ausgang");
      m_.lampen.push_back(l);
    });
    jede(datei_, "schalter", [&](tabelle &t) { schalter_lesen(t); });
    jede(datei_, "poti", [&](tabelle &t) { poti_lesen(t); });
    jede(datei_, "lichtschranke", [&](tabelle &t) { licht_lesen(t, true); });
    jede(datei_, "fotosensor", [&](tabelle &t) { licht_lesen(t, false); });
    jede(datei_, "taster", [&](tabelle &t) {
      taster k2{neuer_name(t, "taster"), 0, {}, t.zeile()};
      k2.eingang = eingang_belegen(t, "eingang", SIM_EINGAENGE, eingaenge_);
      k2.gedrueckt = t.fenster("gedrueckt");
      m_.taster_liste.push_back(k2);
    });
    jede(datei_, "regel", [&](tabelle &t) { regel_lesen(t); });
    return std::move(m_);
  }

private:
  // Names are unique within their kind.
  std::string neuer_name(tabelle &t, const char *art) {
    std::string name = t.text("name");
    if (!namen_[art].insert(name).second)
      abweisen(t.zeile(), t.wo() + ": der Name '" + name + "' kommt zweimal vor");
    return name;
  }

  int eingang_belegen(tabelle &t, const char *schluessel, int anzahl,
                      std::vector<std::string> &belegt) {
    const int nummer = t.ganz(schluessel, 1, anzahl);
    if (belegt.size() < static_cast<size_t>(anzahl))
      belegt.resize(static_cast<size_t>(anzahl));
    std::string &wer = belegt[static_cast<size_t>(nummer - 1)];
    if (!wer.empty())
      abweisen(t.zeile(),
               t.wo() + ": " +
                   (schluessel == std::string("analog") ? "Analogeingang " : "Eingang ") +
                   std::to_string(nummer) + " ist schon von " + wer + " belegt");
    wer = t.wo();
    return nummer;
  }

  int ausgang_belegen(tabelle &t, const char *schluessel) {
    const int nummer = t.ganz(schluessel, 1, SIM_AUSGAENGE);
    for (const achse &a : m_.achsen)
      if (nummer == 2 * a.motor - 1 || nummer == 2 * a.motor)
        abweisen(t.zeile(), t.wo() + ": Ausgang " + std::to_string(nummer) + " gehört zu Motor " +
                                std::to_string(a.motor) + " der Achse '" + a.name + "'");
    return nummer;
  }

  int achse_finden(tabelle &t, const char *schluessel, bool muss = true) {
    if (!muss && !t.knoten(schluessel))
      return -1;
    const std::string name = t.text(schluessel);
    const auto a = achsen_.find(name);
    if (a == achsen_.end())
      abweisen(t.zeile(), t.wo() + ": es gibt keine Achse '" + name + "'");
    return a->second;
  }

  void achse_lesen(tabelle &t) {
    achse a;
    a.name = neuer_name(t, "achse");
    a.zeile = t.zeile();
    a.motor = t.ganz("motor", 1, SIM_MOTOREN);
    for (const achse &b : m_.achsen)
      if (b.motor == a.motor)
        abweisen(t.zeile(), t.wo() + ": Motor " + std::to_string(a.motor) +
                                " treibt schon die Achse '" + b.name + "'");
    a.min = t.vielleicht("min");
    a.max = t.vielleicht("max");
    if (a.min.has_value() != a.max.has_value() || (a.min && *a.min >= *a.max))
      abweisen(t.zeile(),
               t.wo() + ": eine Achse hat entweder min < max oder keins von beiden (endlos)");
    a.start = t.zahl("start", a.min.value_or(0));
    if (a.min && (a.start < *a.min || a.start > *a.max))
      abweisen(t.zeile(), t.wo() + ": 'start' liegt nicht zwischen min und max");
    const toml::node *g = t.knoten("geschwindigkeit");
    const std::vector<double> stufen =
        g && g->is_number() ? std::vector<double>(SIM_STUFEN, t.zahl("geschwindigkeit"))
                            : t.zahlen("geschwindigkeit");
    if (stufen.size() != SIM_STUFEN)
      abweisen(g ? zeile_von(*g) : t.zeile(),
               t.wo() + ": 'geschwindigkeit' ist eine Zahl oder eine Liste von " +
                   std::to_string(SIM_STUFEN) + " Zahlen (Einheiten je Sekunde bei Stufe 1 bis " +
                   std::to_string(SIM_STUFEN) + ")");
    for (size_t i = 0; i < SIM_STUFEN; ++i) {
      if (stufen[i] < 0)
        abweisen(zeile_von(*g), t.wo() + ": eine Geschwindigkeit ist nie negativ");
      a.geschwindigkeit[i] = stufen[i];
    }
    a.umgekehrt = t.wahrheit("umgekehrt", false);
    achsen_[a.name] = static_cast<int>(m_.achsen.size());
    m_.achsen.push_back(a);
  }

  void schalter_lesen(tabelle &t) {
    schalter s;
    s.name = neuer_name(t, "schalter");
    s.zeile = t.zeile();
    s.eingang = eingang_belegen(t, "eingang", SIM_EINGAENGE, eingaenge_);
    s.achse = achse_finden(t, "achse");
    s.ab = t.vielleicht("ab");
    s.bis = t.vielleicht("bis");
    if (!s.ab && !s.bis)
      abweisen(t.zeile(), t.wo() + ": ein Schalter braucht 'ab', 'bis' oder beide");
    if (s.ab && s.bis && *s.ab > *s.bis)
      abweisen(t.zeile(), t.wo() + ": 'ab' liegt hinter 'bis'");
    s.prellen_ms = t.ganz("prellen_ms", 0, 1000, 0);
    m_.schalter_liste.push_back(s);
  }

  void poti_lesen(tabelle &t) {
    poti p;
    p.name = neuer_name(t, "poti");
    p.zeile = t.zeile();
    p.analog = eingang_belegen(t, "analog", SIM_ANALOGE, analoge_);
    p.achse = achse_finden(t, "achse");
    const achse &a = m_.achsen[static_cast<size_t>(p.achse)];
    const std::vector<double> werte = t.zahlen("werte");
    if (!werte.empty() && werte.size() != 2)
      abweisen(t.zeile(), t.wo() + ": 'werte' ist ein Paar [Wert am Anfang, Wert am Ende]");
    if (werte.size() == 2) {
      p.wert_bei_min = werte[0];
      p.wert_bei_max = werte[1];
    }
    const std::vector<double> bereich = t.zahlen("bereich");
    if (bereich.size() == 2) {
      p.von = bereich[0];
      p.bis = bereich[1];
    } else if (bereich.empty() && a.min) {
      p.von = *a.min;
      p.bis = *a.max;
    } else {
      abweisen(t.zeile(),
               t.wo() + ": 'bereich' = [von, bis] fehlt (die Achse ist endlos) oder ist kein Paar");
    }
    if (p.von == p.bis)
      abweisen(t.zeile(), t.wo() + ": der Bereich ist leer");
    m_.potis.push_back(p);
  }

  void licht_lesen(tabelle &t, bool schranke) {
    licht l;
    l.name = neuer_name(t, schranke ? "lichtschranke" : "fotosensor");
    l.zeile = t.zeile();
    if (schranke) {
      l.eingang = eingang_belegen(t, "eingang", SIM_EINGAENGE, eingaenge_);
      const std::string aktiv = t.text("aktiv_bei", "licht");
      if (aktiv != "licht" && aktiv != "dunkel")
        abweisen(t.zeile(), t.wo() + ": 'aktiv_bei' ist \"licht\" oder \"dunkel\"");
      l.aktiv_bei_licht = aktiv == "licht";
    } else {
      l.analog = eingang_belegen(t, "analog", SIM_ANALOGE, analoge_);
      l.hell = static_cast<int32_t>(t.ganz("hell", -100000, 100000, 1000));
      l.dunkel = static_cast<int32_t>(t.ganz("dunkel", -100000, 100000, 50));
    }
    if (t.knoten("lampe")) {
      const std::string name = t.text("lampe");
      const auto lampe = lampen_.find(name);
      if (lampe == lampen_.end())
        abweisen(t.zeile(), t.wo() + ": es gibt keine Lampe '" + name + "'");
      l.lampe = lampe->second;
    }
    l.zeiten = t.fenster("zeiten");
    l.achse = achse_finden(t, "achse", false);
    if (l.achse >= 0) {
      l.bei = t.zahl("bei");
      l.laenge = t.zahl("laenge", 1);
      if (l.laenge <= 0)
        abweisen(t.zeile(), t.wo() + ": 'laenge' muss größer als 0 sein");
      l.teile = t.zahlen("teile");
    }
    m_.lichter.push_back(l);
  }

  int ausgang_nummer(tabelle &t, const char *schluessel) {
    return t.ganz(schluessel, 1, SIM_AUSGAENGE);
  }

  void regel_lesen(tabelle &t) {
    regel r;
    r.name = neuer_name(t, "regel");
    r.zeile = t.zeile();
    const std::string art = t.text("art");
    if (art == "anschlag") {
      r.typ = regel::art::anschlag;
      r.achse = achse_finden(t, "achse");
      if (!m_.achsen[static_cast<size_t>(r.achse)].min)
        abweisen(t.zeile(), t.wo() + ": die Achse '" +
                                m_.achsen[static_cast<size_t>(r.achse)].name +
                                "' ist endlos und hat keinen Anschlag");
    } else if (art == "nie_zusammen") {
      r.typ = regel::art::nie_zusammen;
      for (double z : t.zahlen("ausgaenge")) {
        if (z != std::floor(z) || z < 1 || z > SIM_AUSGAENGE)
          abweisen(t.zeile(), t.wo() + ": 'ausgaenge' sind Nummern von 1 bis " +
                                  std::to_string(SIM_AUSGAENGE));
        r.ausgaenge.push_back(static_cast<int>(z));
      }
      if (r.ausgaenge.size() < 2)
        abweisen(t.zeile(), t.wo() + ": 'ausgaenge' braucht mindestens zwei Ausgänge");
    } else if (art == "nur_mit") {
      r.typ = regel::art::nur_mit;
      r.ausgang = ausgang_nummer(t, "ausgang");
      r.mit = ausgang_nummer(t, "mit");
    } else if (art == "folgt") {
      r.typ = regel::art::folgt;
      r.wenn_eingang = t.ganz("wenn_eingang", 1, SIM_EINGAENGE);
      r.dann_ausgang = ausgang_nummer(t, "dann_ausgang");
    } else {
      abweisen(t.zeile(), t.wo() + ": unbekannte Art '" + art +
                              "' (anschlag, nie_zusammen, nur_mit oder folgt)");
    }
    r.binnen_ms = t.ganz("binnen_ms", 0, 3600000, 0);
    r.text = t.text("text", r.name);
    m_.regeln.push_back(r);
  }

  const toml::table &datei_;
  beschreibung m_;
  std::vector<std::string> eingaenge_, analoge_;
  std::map<std::string, std::set<std::string>> namen_;
  std::map<std::string, int> achsen_, lampen_;
};

} // namespace

ergebnis lesen(std::string_view text, const std::string &datei) {
  ergebnis e;
  if (text.size() > datei_platz) {
    const auto zeile = std::count(text.begin(), text.begin() + datei_platz, '\n') + 1;
    e.meldung = "Modell " + datei + ", Zeile " + std::to_string(zeile) +
                ": hier wird die Datei länger als 1 MiB, so lang ist kein Modell einer Box";
    return e;
  }
  // Notepad on older Windows saves ANSI. Such a file is not UTF-8 as soon as
  // it holds an umlaut, and then it can only mean Windows-1252: read it so.
  std::string umgewandelt;
  if (!ist_utf8(text)) {
    umgewandelt = aus_1252(text);
    text = umgewandelt;
    e.hinweis = "Hinweis: Modell " + datei +
                " ist nicht als UTF-8 gespeichert und wird als Windows-1252 (ANSI) gelesen; "
                "besser im Editor unter 'Speichern unter' die Codierung UTF-8 wählen.";
  }
  try {
    const toml::table tabelle = toml::parse(text, datei);
    e.modell = leser(tabelle).lesen();
  } catch (const toml::parse_error &f) {
    std::ostringstream s;
    s << "Modell " << datei << ", Zeile " << f.source().begin.line << ", Spalte "
      << f.source().begin.column << ": " << parserfehler_erklaeren(f.description());
    e.meldung = s.str();
    e.parser_text = f.description();
  } catch (const problem &p) {
    e.meldung = "Modell " + datei + ", Zeile " + std::to_string(p.zeile) + ": " + p.text;
  } catch (const std::exception &f) {
    e.meldung = "Modell " + datei + ": " + f.what();
  }
  return e;
}

} // namespace modell
