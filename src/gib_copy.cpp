#include "src/gib_copy.h"

#include "src/plattform.h"
#include "src/strings2.h"

#include <cstring>

namespace {

constexpr unsigned block_flags = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr size_t hilfstext_groesse = 129;

// The notice pieces are computed a character at a time from this base, so
// they never stand in the module's data as plain text: a search of the DLL
// for the notice finds nothing to read or to patch out, and the table check
// makes sure it stays that way.
constexpr int basis = 100;

// Appends one character if it fits together with the terminating zero.
void zeichen_anhaengen(char *ziel, size_t platz, int code) {
  const size_t laenge = strnlen(ziel, platz);
  if (laenge + 1 >= platz)
    return;
  ziel[laenge] = static_cast<char>(code & 0xFF);
  ziel[laenge + 1] = '\0';
}

// Appends as much of `text` as fits; the target stays zero-terminated.
void text_anhaengen(char *ziel, size_t platz, const char *text) {
  for (; *text != '\0'; ++text)
    zeichen_anhaengen(ziel, platz, static_cast<unsigned char>(*text));
}

void vorne_bauen(char *s, size_t platz) {
  zeichen_anhaengen(s, platz, basis + 8);
  zeichen_anhaengen(s, platz, basis + 17);
  zeichen_anhaengen(s, platz, basis + 9);
  zeichen_anhaengen(s, platz, basis - 2);
  zeichen_anhaengen(s, platz, basis + 14);
  zeichen_anhaengen(s, platz, basis + 5);
  zeichen_anhaengen(s, platz, basis + 7);
  text_anhaengen(s, platz, " ");
  zeichen_anhaengen(s, platz, basis + 9);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 8);
  zeichen_anhaengen(s, platz, basis + 0);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 16);
  zeichen_anhaengen(s, platz, basis - 42);
  text_anhaengen(s, platz, " ");
}

void hinten_bauen(char *s, size_t platz) {
  zeichen_anhaengen(s, platz, basis - 14);
  zeichen_anhaengen(s, platz, basis + 5);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 8);
  text_anhaengen(s, platz, " ");
  zeichen_anhaengen(s, platz, basis - 17);
  zeichen_anhaengen(s, platz, basis + 12);
  zeichen_anhaengen(s, platz, basis - 3);
  zeichen_anhaengen(s, platz, basis + 123);
  text_anhaengen(s, platz, " ");
  zeichen_anhaengen(s, platz, basis - 2);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 5);
  zeichen_anhaengen(s, platz, basis + 9);
  text_anhaengen(s, platz, " ");
  zeichen_anhaengen(s, platz, basis - 34);
  zeichen_anhaengen(s, platz, basis - 3);
  zeichen_anhaengen(s, platz, basis + 17);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 10);
  text_anhaengen(s, platz, " ");
  text_anhaengen(s, platz, "und");
  text_anhaengen(s, platz, " ");
  zeichen_anhaengen(s, platz, basis - 17);
  zeichen_anhaengen(s, platz, basis + 16);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 17);
  zeichen_anhaengen(s, platz, basis + 1);
  zeichen_anhaengen(s, platz, basis + 14);
  zeichen_anhaengen(s, platz, basis + 10);
  text_anhaengen(s, platz, "!");
}

} // namespace

char *hinweis_bauen(const char *meldung) {
  char *block = block_holen(block_flags, hinweis_blockgroesse);
  if (block == nullptr)
    return nullptr;
  block[0] = '\0';

  char stueck[hilfstext_groesse] = {};
  vorne_bauen(stueck, sizeof stueck);
  text_anhaengen(block, hinweis_blockgroesse, stueck);

  char hilfstext[hilfstext_groesse] = {};
  text_anhaengen(hilfstext, sizeof hilfstext, meldung);
  text_anhaengen(block, hinweis_blockgroesse, hilfstext);

  hilfstext[0] = '\0';
  hinten_bauen(hilfstext, sizeof hilfstext);
  text_anhaengen(block, hinweis_blockgroesse, hilfstext);
  return block;
}
