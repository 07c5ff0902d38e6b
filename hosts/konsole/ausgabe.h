// All text the console writes goes through here. Texts are code page 1252
// (as lumbrik's box texts are): a console window gets them as UTF-16,
// a pipe or a file as UTF-8.
#pragma once

#include <string_view>

enum class kanal { normal, fehler };

void ausgeben(std::string_view text, kanal k = kanal::normal);

// The same with a line end ("\n") after it.
void zeile_ausgeben(std::string_view text, kanal k = kanal::normal);
