// The report written (see bericht.h).
#include "aufzeichnung/bericht.h"

#include "aufzeichnung/datei.h"

#include <cinttypes>
#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace akte {

std::string json_text(std::string_view s) {
  std::string aus = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      aus += '\\';
      aus += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char kode[8];
      std::snprintf(kode, sizeof kode, "\\u%04x", c);
      aus += kode;
    } else {
      aus += c;
    }
  }
  return aus + "\"";
}

namespace {

std::string zahl(uint64_t n) {
  return std::to_string(n);
}

std::string liste(const std::vector<std::pair<std::string, uint64_t>> &zahlen) {
  std::string text;
  for (const auto &[name, n] : zahlen)
    text += (text.empty() ? "" : ", ") + json_text(name) + ": " + zahl(n);
  return text;
}

} // namespace

std::string json(const bericht &b) {
  std::string t =
      "{\n  \"modell\": " + json_text(b.modell) + ",\n  \"titel\": " + json_text(b.titel) +
      ",\n  \"beginn\": " + json_text(b.beginn) + ",\n  \"meldung\": " + json_text(b.meldung) +
      ",\n  \"laufzeit_ms\": " + std::to_string(b.laufzeit_ms) +
      ",\n  \"fehler_anzahl\": " + zahl(b.fehler_anzahl) + ",\n  \"fehler\": [";
  const char *komma = "";
  for (const bericht::fehler_eintrag &e : b.fehler) {
    t += std::string(komma) + "\n    {\"zeit_ms\": " + std::to_string(e.zeit_ms) +
         ", \"regel\": " + json_text(e.regel) + ", \"text\": " + json_text(e.text) + "}";
    komma = ",";
  }
  t += std::string(*komma ? "\n  " : "") + "],\n  \"anzahl\": {";
  uint64_t gesamt = 0;
  for (const auto &[name, n] : b.anzahl) {
    t += std::string("\"") + (name ? name : "") + "\": " + zahl(n) + ", ";
    gesamt += n;
  }
  t += "\"gesamt\": " + zahl(gesamt) + "},\n";
  if (b.vor_null_ms)
    t += "  \"vor_null_ms\": " + std::to_string(*b.vor_null_ms) + ",\n";
  if (const auto &m = b.mitschnitt)
    t += "  \"mitschnitt\": {\n    \"hersteller\": " + json_text(m->hersteller) +
         ",\n    \"oeffnen\": " + std::to_string(m->oeffnen) +
         ",\n    \"vor_null_ms\": " + std::to_string(m->vor_null_ms) + ",\n    \"aufrufe\": {" +
         liste(m->aufrufe) + "},\n    \"gleich\": {" + liste(m->gleich) +
         "},\n    \"ohne_offene_schnittstelle\": " + zahl(m->ohne_offene_schnittstelle) +
         ",\n    \"spannung\": " + zahl(m->spannung) +
         ",\n    \"ausgangzustand\": " + zahl(m->ausgangzustand) + "\n  },\n";
  if (const auto &a = b.aufnahme)
    t += "  \"aufnahme\": {\"spur\": " + json_text(a->spur) +
         ", \"null_ms\": " + std::to_string(a->null_ms) + "},\n";
  if (!b.parser_meldung.empty())
    t += "  \"parser_meldung\": " + json_text(b.parser_meldung) + ",\n";
  t += "  \"spur\": " + json_text(b.spur) +
       ",\n  \"zeitdiagramm\": " + (b.zeitdiagramm ? json_text(*b.zeitdiagramm) : "null") + "\n}\n";
  return t;
}

bool ersetzen(const std::string &pfad, const std::string &text, std::string &meldung) {
  const std::string neu = pfad + ".neu";
  {
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(datei_oeffnen(neu, "wb"), std::fclose);
    if (!f) {
      meldung = "Bericht: " + neu + " lässt sich nicht anlegen";
      return false;
    }
    if (std::fwrite(text.data(), 1, text.size(), f.get()) != text.size() ||
        std::fflush(f.get()) != 0) {
      meldung = "Bericht: " + neu + " ließ sich nicht ganz schreiben";
      return false;
    }
  }
  if (!umbenennen(neu, pfad)) {
    meldung = "Bericht: " + neu + " lässt sich nicht in " + pfad + " umbenennen";
    return false;
  }
  return true;
}

} // namespace akte
