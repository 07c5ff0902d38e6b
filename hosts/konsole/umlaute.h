// German letters of code page 1252 for string literals, so that the sources
// stay ASCII and every text of the console is 1252: "Ausg" AE "nge".
#pragma once

#define AE "\xE4"
#define OE "\xF6"
#define UE "\xFC"
#define SZ "\xDF"
#define AE_GROSS "\xC4"
#define OE_GROSS "\xD6"
#define UE_GROSS "\xDC"
