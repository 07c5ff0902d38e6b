// Trace, report and diagram of a headless run (see aufzeichnung.h).
#include "aufzeichnung.h"

#include "zeitdiagramm.h"

#include <cinttypes>

namespace modell {
namespace {

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

// A name in the trace: the CSV separator and line ends become '_'.
void name_schreiben(std::FILE *f, std::string_view name) {
  for (char c : name)
    std::fputc(c == ',' || c == '\n' || c == '\r' ? '_' : c, f);
}

} // namespace

const char *signalname(signalart art) {
  static const char *const namen[] = {"ausgang", "motor", "eingang", "analog", "achse", "fehler"};
  return namen[static_cast<size_t>(art)];
}

bool aufzeichnung::oeffnen(const std::string &bericht, std::string &meldung) {
  bericht_ = bericht;
  const size_t punkt = bericht.rfind('.');
  const size_t trenner = bericht.find_last_of("/\\");
  const bool endung =
      punkt != std::string::npos && (trenner == std::string::npos || punkt > trenner);
  const std::string stamm = endung ? bericht.substr(0, punkt) : bericht;
  spur_ = stamm + ".csv";
  diagramm_ = stamm + ".svg";
  if (spur_ == bericht_)
    spur_ = stamm + ".spur.csv";
  datei_ = std::fopen(spur_.c_str(), "wb");
  if (!datei_) {
    meldung = "Bericht: die Spur " + spur_ + " lässt sich nicht anlegen";
    return false;
  }
  std::setvbuf(datei_, puffer_, _IOFBF, sizeof puffer_);
  std::fputs("zeit_ms,art,name,wert\n", datei_);
  return true;
}

aufzeichnung::~aufzeichnung() {
  if (datei_)
    std::fclose(datei_);
}

void aufzeichnung::aenderung(int64_t zeit, signalart art, std::string_view name, double wert) {
  ++anzahl_[static_cast<size_t>(art)];
  if (!datei_)
    return;
  std::fprintf(datei_, "%" PRId64 ",%s,", zeit, signalname(art));
  name_schreiben(datei_, name);
  std::fprintf(datei_, ",%.10g\n", wert);
}

void aufzeichnung::fehler(int64_t zeit, const regel &r) {
  aenderung(zeit, signalart::fehler, r.name, 1);
}

void aufzeichnung::abschliessen(const lauf &l, int64_t laufzeit_ms, const std::string &meldung) {
  if (!datei_)
    return;
  std::fclose(datei_);
  datei_ = nullptr;

  std::string diagramm_meldung;
  const bool diagramm = zeitdiagramm(spur_, diagramm_, diagramm_meldung);

  std::FILE *f = std::fopen(bericht_.c_str(), "wb");
  if (!f)
    return;
  const beschreibung &m = l.modell();
  std::fprintf(f, "{\n  \"modell\": %s,\n  \"titel\": %s,\n", json_text(m.name).c_str(),
               json_text(m.titel).c_str());
  std::fprintf(f, "  \"meldung\": %s,\n  \"laufzeit_ms\": %" PRId64 ",\n",
               json_text(meldung).c_str(), laufzeit_ms);
  std::fprintf(f, "  \"fehler_anzahl\": %" PRIu64 ",\n  \"fehler\": [", l.fehler_anzahl());
  const char *komma = "";
  for (const fehler_eintrag &e : l.fehlerliste()) {
    const regel &r = m.regeln[static_cast<size_t>(e.regel)];
    std::fprintf(f, "%s\n    {\"zeit_ms\": %" PRId64 ", \"regel\": %s, \"text\": %s}", komma,
                 e.zeit, json_text(r.name).c_str(), json_text(r.text).c_str());
    komma = ",";
  }
  std::fprintf(f, "%s],\n  \"anzahl\": {", *komma ? "\n  " : "");
  uint64_t gesamt = 0;
  for (size_t i = 0; i < anzahl_.size(); ++i) {
    std::fprintf(f, "\"%s\": %" PRIu64 ", ", signalname(static_cast<signalart>(i)), anzahl_[i]);
    gesamt += anzahl_[i];
  }
  std::fprintf(f, "\"gesamt\": %" PRIu64 "},\n", gesamt);
  std::fprintf(f, "  \"spur\": %s,\n  \"zeitdiagramm\": %s\n}\n", json_text(spur_).c_str(),
               diagramm ? json_text(diagramm_).c_str() : "null");
  std::fclose(f);
}

} // namespace modell
