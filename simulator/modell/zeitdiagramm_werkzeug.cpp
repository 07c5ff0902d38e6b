// lumbrik-zeitdiagramm SPUR.csv [BILD.svg]: draws a trace of the simulated
// box as a timing diagram, as the DLL does beside its report.
#include "simulator/modell/zeitdiagramm.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("Aufruf: lumbrik-zeitdiagramm SPUR.csv [BILD.svg]\n", stderr);
    return 2;
  }
  const std::string spur = argv[1];
  std::string bild = argc == 3 ? argv[2] : spur;
  if (argc == 2) {
    const size_t punkt = bild.rfind('.');
    bild = (punkt == std::string::npos ? bild : bild.substr(0, punkt)) + ".svg";
  }
  std::string meldung;
  if (!modell::zeitdiagramm(spur, bild, meldung)) {
    std::fprintf(stderr, "%s\n", meldung.c_str());
    return 1;
  }
  return 0;
}
