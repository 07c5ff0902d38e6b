// The text of the start-up notice box.
#pragma once

#include <cstddef>

// Size of the block hinweis_bauen returns.
constexpr size_t hinweis_blockgroesse = 128;

// Builds leading notice + `meldung` + trailing notice in a new locked global
// block of hinweis_blockgroesse bytes, zero-filled behind the text; the caller
// frees it with block_freigeben. Texts that would not fit are cut short.
// Returns nullptr when no block could be had.
char *hinweis_bauen(const char *meldung);
