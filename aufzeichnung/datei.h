// The files and environment of a run, by UTF-8 names. On Windows names are
// wide underneath, so any folder name works (a learner's
// "...\Schüler\lauf.json") and every path the simulator and the recorder
// write is UTF-8; natively names are bytes as they are. The only platform
// code of the record library and the model engine.
#pragma once

#include <cstdio>
#include <string>

namespace akte {

// An environment variable as UTF-8; "" when it is not set.
std::string umgebung(const char *name);

// Opens by a UTF-8 name, as fopen does with `modus` ("rb", "wb").
std::FILE *datei_oeffnen(const std::string &pfad, const char *modus);

// Opens for writing and holds the file so that no other run can write it
// while it stays open (others may read it). The content stays until
// `leeren`, so a file that turns out to be held elsewhere loses nothing.
// Null on failure; `belegt` then tells whether another one holds it.
std::FILE *allein_schreiben(const std::string &pfad, bool &belegt);
// Empties a file opened so, before the first write.
bool leeren(std::FILE *f);

bool ist_ordner(const std::string &pfad);
// Whether there is a file or folder of that name.
bool gibt_es(const std::string &pfad);

// The full path a relative name stands for here, for a message that says
// where a file was looked for; the name itself when that fails.
std::string voller_pfad(const std::string &pfad);

// Renames `von` to `nach`, replacing what is there.
bool umbenennen(const std::string &von, const std::string &nach);

// Writes UTF-8 text to stdout or stderr. A console window on Windows would
// read its bytes in its own code page (850 in a German one), so it gets the
// text as UTF-16; a pipe or a file gets UTF-8.
void ausgeben(std::FILE *ziel, const std::string &text);

} // namespace akte
