// The results for the teacher: klasse.html (self-contained, opens from a
// school's file share without network), klasse.csv for German Excel and
// klasse.json for anything else.
#include "hosts/klasse/kern.h"

#include "basis/csv.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>

namespace klasse {

namespace {

std::string html(std::string_view s) {
  std::string aus;
  for (char c : s) {
    switch (c) {
    case '&':
      aus += "&amp;";
      break;
    case '<':
      aus += "&lt;";
      break;
    case '>':
      aus += "&gt;";
      break;
    case '"':
      aus += "&quot;";
      break;
    default:
      aus += c;
    }
  }
  return aus;
}

// A link's path: each part percent-encoded, so names with spaces, umlauts
// or # still lead to their file.
std::string url(std::string_view pfad) {
  std::string aus;
  for (char c : pfad) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
        std::string_view("-._~/").find(c) != std::string_view::npos) {
      aus += c;
    } else {
      std::array<char, 4> h{};
      std::snprintf(h.data(), h.size(), "%%%02X", b);
      aus += h.data();
    }
  }
  return aus;
}

std::string base64(std::string_view s) {
  constexpr std::string_view zeichen =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string aus;
  size_t i = 0;
  for (; i + 2 < s.size(); i += 3) {
    const uint32_t w = static_cast<uint32_t>(static_cast<unsigned char>(s[i]) << 16 |
                                             static_cast<unsigned char>(s[i + 1]) << 8 |
                                             static_cast<unsigned char>(s[i + 2]));
    for (int k = 18; k >= 0; k -= 6)
      aus += zeichen[w >> k & 63];
  }
  if (i < s.size()) {
    uint32_t w = static_cast<uint32_t>(static_cast<unsigned char>(s[i]) << 16);
    if (i + 1 < s.size())
      w |= static_cast<uint32_t>(static_cast<unsigned char>(s[i + 1]) << 8);
    aus += zeichen[w >> 18 & 63];
    aus += zeichen[w >> 12 & 63];
    aus += i + 1 < s.size() ? zeichen[w >> 6 & 63] : '=';
    aus += '=';
  }
  return aus;
}

std::string sekunden(double s, char komma) {
  std::array<char, 32> b{};
  std::snprintf(b.data(), b.size(), "%.1f", s);
  std::string aus = b.data();
  for (char &c : aus)
    if (c == '.')
      c = komma;
  return aus;
}

// The first faults in words, for a row that stays short.
std::string erste_fehler(const bewertung &b, size_t anzahl) {
  std::string aus;
  for (size_t i = 0; i < b.fehler.size() && i < anzahl; ++i)
    aus += (i ? "; " : "") + b.fehler[i].text;
  if (b.fehler.size() > anzahl)
    aus += " …";
  return aus;
}

std::string beschreibung(const zeile &z) {
  if (z.b.u == urteil::fehler)
    return z.b.grund.empty() ? erste_fehler(z.b, 2) : z.b.grund;
  return z.b.grund;
}

constexpr std::string_view stil = R"(
body { font-family: system-ui, "Segoe UI", Arial, sans-serif; margin: 1.5em; color: #111; }
h1 { font-size: 1.4em; margin-bottom: .2em; }
.kopf { color: #444; margin-top: 0; }
#zusammenfassung { font-size: 1.1em; font-weight: bold; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #bbb; padding: .3em .5em; text-align: left; vertical-align: top; }
th button { font: inherit; font-weight: bold; background: none; border: 0; padding: 0;
  cursor: pointer; }
th[aria-sort=ascending] button::after { content: " ▲"; }
th[aria-sort=descending] button::after { content: " ▼"; }
td.zahl { text-align: right; }
tr.zeile { cursor: pointer; }
tr.zeile:hover { background: #f3f3f3; }
.urteil { font-weight: bold; white-space: nowrap; }
.bestanden { color: #11671f; }
.fehler, .abgestuerzt, .startet_nicht { color: #a31515; }
.haengt, .nie_geoeffnet { color: #8a5300; }
tr.details td { background: #fafafa; }
tr.details img { max-width: 100%; border: 1px solid #ddd; background: #fff; }
.auf { border: 0; background: none; font: inherit; cursor: pointer; padding: 0 .3em 0 0; }
@media print {
  body { margin: 0; }
  .auf, th button::after { display: none; }
  tr.zeile, tbody { break-inside: avoid; }
  a { color: inherit; text-decoration: none; }
}
)";

constexpr std::string_view skript = R"(
(function () {
  var tabelle = document.getElementById("klasse");
  function umschalten(koerper) {
    var details = koerper.querySelector("tr.details");
    var knopf = koerper.querySelector("button.auf");
    details.hidden = !details.hidden;
    knopf.setAttribute("aria-expanded", String(!details.hidden));
    knopf.textContent = details.hidden ? "▸" : "▾";
  }
  tabelle.querySelectorAll("tbody").forEach(function (koerper) {
    koerper.querySelector("tr.zeile").addEventListener("click", function (e) {
      if (e.target.closest("a")) return;
      umschalten(koerper);
    });
  });
  tabelle.querySelectorAll("th").forEach(function (kopf, spalte) {
    var knopf = kopf.querySelector("button");
    if (!knopf) return;
    knopf.addEventListener("click", function () {
      var auf = kopf.getAttribute("aria-sort") !== "ascending";
      tabelle.querySelectorAll("th").forEach(function (k) { k.removeAttribute("aria-sort"); });
      kopf.setAttribute("aria-sort", auf ? "ascending" : "descending");
      var koerper = Array.prototype.slice.call(tabelle.querySelectorAll("tbody"));
      var zahl = kopf.hasAttribute("data-zahl");
      function wert(k) {
        var zelle = k.querySelector("tr.zeile").children[spalte];
        var w = zelle.getAttribute("data-wert");
        if (w === null) w = zelle.textContent.trim();
        return zahl ? parseFloat(w) : w;
      }
      koerper.sort(function (a, b) {
        var x = wert(a), y = wert(b);
        var r = zahl ? x - y : String(x).localeCompare(String(y), "de");
        return auf ? r : -r;
      });
      koerper.forEach(function (k) { tabelle.appendChild(k); });
    });
  });
})();
)";

} // namespace

std::string zusammenfassung(const klasse_stand &k) {
  std::array<size_t, 6> anzahl{};
  for (const zeile &z : k.zeilen)
    ++anzahl[static_cast<size_t>(z.b.u)];
  std::string aus = std::to_string(k.zeilen.size()) +
                    (k.zeilen.size() == 1 ? " Abgabe: " : " Abgaben: ") +
                    std::to_string(anzahl[0]) + " bestanden";
  for (size_t i = 1; i < anzahl.size(); ++i)
    if (anzahl[i] > 0)
      aus +=
          ", " + std::to_string(anzahl[i]) + " " + std::string(urteil_text(static_cast<urteil>(i)));
  if (!k.uebersprungen.empty())
    aus += "; " + std::to_string(k.uebersprungen.size()) + " übersprungen";
  return aus;
}

std::string klasse_html(const klasse_stand &k) {
  std::string s = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                  "<meta name=\"viewport\" content=\"width=device-width\">\n<title>" +
                  html(k.titel) + "</title>\n<style>" + std::string(stil) +
                  "</style>\n</head>\n<body>\n<h1>" + html(k.titel) + "</h1>\n<p class=\"kopf\">" +
                  html(k.zeitpunkt);
  if (!k.modell.empty())
    s += " · Modell: " + html(k.modell);
  if (!k.vorbild.empty())
    s += " · Vorbild: " + html(k.vorbild);
  s += "</p>\n<p id=\"zusammenfassung\">" + html(zusammenfassung(k)) + "</p>\n";
  s += "<table id=\"klasse\">\n<thead><tr><th><button type=\"button\">Name</button></th>"
       "<th data-zahl><button type=\"button\">Urteil</button></th>"
       "<th data-zahl><button type=\"button\">Fehler</button></th><th>Was</th>"
       "<th data-zahl><button type=\"button\">Laufzeit</button></th>"
       "<th>Bericht</th></tr></thead>\n";
  for (const zeile &z : k.zeilen) {
    const auto u = static_cast<int>(z.b.u);
    constexpr std::array<const char *, 6> klassen = {"bestanden", "fehler",        "abgestuerzt",
                                                     "haengt",    "nie_geoeffnet", "startet_nicht"};
    const std::string klasse_name = klassen.at(static_cast<size_t>(u));
    s += "<tbody>\n<tr class=\"zeile\"><td><button class=\"auf\" type=\"button\" "
         "aria-expanded=\"false\">▸</button>" +
         html(z.a.name) + "</td><td class=\"urteil " + klasse_name + "\" data-wert=\"" +
         std::to_string(u) + "\">" + html(urteil_text(z.b.u)) + "</td><td class=\"zahl\">" +
         std::to_string(z.b.fehler_anzahl) + "</td><td>" + html(beschreibung(z)) +
         "</td><td class=\"zahl\" data-wert=\"" + sekunden(z.lauf.laufzeit_s, '.') + "\">" +
         sekunden(z.lauf.laufzeit_s, ',') + " s</td><td>";
    const char *trenner = "";
    for (const auto &[ziel, text] :
         {std::pair{&z.bericht, "Bericht"}, {&z.spur, "Spur"}, {&z.ausgabe, "Ausgabe"}})
      if (!ziel->empty()) {
        s += std::string(trenner) + "<a href=\"" + html(url(*ziel)) + "\">" + text + "</a>";
        trenner = " · ";
      }
    s += "</td></tr>\n<tr class=\"details\" hidden><td colspan=\"6\">";
    s += "<p>" + html(z.a.programm) + (z.bits ? " (" + std::to_string(z.bits) + " Bit)" : "") +
         (z.lauf.gestartet ? ", Exit-Code " + std::to_string(z.lauf.exit_code) : "") + "</p>";
    if (!z.b.grund.empty())
      s += "<p>" + html(z.b.grund) + "</p>";
    if (!z.b.fehler.empty()) {
      s += "<ol class=\"fehlerliste\">";
      for (const fehler_eintrag &f : z.b.fehler)
        s += "<li>" + sekunden(static_cast<double>(f.zeit_ms) / 1000, ',') + " s, " +
             html(f.regel) + ": " + html(f.text) + "</li>";
      s += "</ol>";
    }
    if (!z.lauf.meldungen.empty()) {
      s += "<p>Meldungen (mit OK beantwortet):</p><ul class=\"meldungen\">";
      for (const std::string &m : z.lauf.meldungen)
        s += "<li>" + html(m) + "</li>";
      s += "</ul>";
    }
    if (!z.svg.empty())
      s += "<img class=\"diagramm\" alt=\"Zeitdiagramm von " + html(z.a.name) +
           "\" src=\"data:image/svg+xml;base64," + base64(z.svg) + "\">";
    else
      s += "<p>Kein Zeitdiagramm: der Lauf hinterließ keines.</p>";
    s += "</td></tr>\n</tbody>\n";
  }
  s += "</table>\n";
  if (!k.uebersprungen.empty()) {
    s += "<h2>Übersprungen</h2>\n<ul id=\"uebersprungen\">\n";
    for (const auslassung &u : k.uebersprungen)
      s += "<li>" + html(u.name) + ": " + html(u.grund) + "</li>\n";
    s += "</ul>\n";
  }
  return s + "<script>" + std::string(skript) + "</script>\n</body>\n</html>\n";
}

namespace {

std::string csv_feld(std::string_view text) {
  return ::csv_feld(text, ';');
}

} // namespace

std::string klasse_csv(const klasse_stand &k) {
  std::string s = "\xEF\xBB\xBFName;Urteil;Fehler;Was;Laufzeit (s);Bit;Exit-Code;Bericht;Spur\r\n";
  for (const zeile &z : k.zeilen)
    s += csv_feld(z.a.name) + ";" + csv_feld(urteil_text(z.b.u)) + ";" +
         std::to_string(z.b.fehler_anzahl) + ";" + csv_feld(beschreibung(z)) + ";" +
         sekunden(z.lauf.laufzeit_s, ',') + ";" + std::to_string(z.bits) + ";" +
         (z.lauf.gestartet ? std::to_string(z.lauf.exit_code) : "") + ";" + csv_feld(z.bericht) +
         ";" + csv_feld(z.spur) + "\r\n";
  return s;
}

std::string klasse_json(const klasse_stand &k) {
  using nlohmann::json;
  json j = {{"titel", k.titel},
            {"zeitpunkt", k.zeitpunkt},
            {"modell", k.modell},
            {"vorbild", k.vorbild},
            {"zusammenfassung", zusammenfassung(k)},
            {"schueler", json::array()},
            {"uebersprungen", json::array()}};
  for (const zeile &z : k.zeilen) {
    json fehler = json::array();
    for (const fehler_eintrag &f : z.b.fehler)
      fehler.push_back({{"zeit_ms", f.zeit_ms}, {"regel", f.regel}, {"text", f.text}});
    j["schueler"].push_back({{"name", z.a.name},
                             {"programm", z.a.programm},
                             {"bit", z.bits},
                             {"urteil", urteil_text(z.b.u)},
                             {"grund", z.b.grund},
                             {"fehler_anzahl", z.b.fehler_anzahl},
                             {"fehler", fehler},
                             {"meldungen", z.lauf.meldungen},
                             {"exit_code", z.lauf.gestartet ? json(z.lauf.exit_code) : json()},
                             {"laufzeit_s", z.lauf.laufzeit_s},
                             {"bericht", z.bericht},
                             {"spur", z.spur},
                             {"ausgabe", z.ausgabe}});
  }
  for (const auslassung &u : k.uebersprungen)
    j["uebersprungen"].push_back({{"name", u.name}, {"grund", u.grund}});
  // Names a Windows file share holds need not be valid UTF-8: replaced, not thrown.
  return j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace klasse
