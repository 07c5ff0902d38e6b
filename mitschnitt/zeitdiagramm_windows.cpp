// lumbrik-zeitdiagramm.exe: the timing diagram of a trace (say the one a
// killed host left) on Windows. Its arguments come as UTF-16 and go on as
// UTF-8, the engine's names, so a folder like "Schüler" works too.
#include "basis/windows_text.h"

#include <windows.h>

#include <string>
#include <vector>

int werkzeug_main(int argc, char **argv);

int wmain(int argc, wchar_t **argv) {
  std::vector<std::string> texte;
  texte.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i)
    texte.push_back(windows_text::utf8(argv[i]));
  std::vector<char *> zeiger;
  zeiger.reserve(texte.size() + 1);
  for (std::string &t : texte)
    zeiger.push_back(t.data());
  zeiger.push_back(nullptr);
  return werkzeug_main(argc, zeiger.data());
}
