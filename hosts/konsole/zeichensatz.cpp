#include "hosts/konsole/zeichensatz.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

// 0x80 to 0x9F; the five unused bytes map to the control characters of the
// same number, as Windows maps them.
constexpr char32_t obere_steuerzeichen[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t zeichen_nach_unicode(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 0x80 && b <= 0x9F)
    return obere_steuerzeichen[b - 0x80];
  return b;
}

char unicode_nach_zeichen(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
    return static_cast<char>(u);
  for (unsigned i = 0; i < 32; ++i)
    if (obere_steuerzeichen[i] == u)
      return static_cast<char>(0x80 + i);
  return '?';
}

void utf8_anhaengen(std::string &ziel, char32_t u) {
  if (u < 0x80) {
    ziel += static_cast<char>(u);
  } else if (u < 0x800) {
    ziel += static_cast<char>(0xC0 | (u >> 6));
    ziel += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    // 1252 reaches no further than the Basic Multilingual Plane.
    ziel += static_cast<char>(0xE0 | (u >> 12));
    ziel += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    ziel += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Strict decoding: overlong forms, surrogates and values past U+10FFFF are
// not UTF-8, so such a line is taken as 1252.
std::optional<std::vector<char32_t>> utf8_lesen(std::string_view text) {
  std::vector<char32_t> zeichen;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    size_t laenge = 0;
    char32_t u = 0;
    char32_t kleinster = 0;
    if (b < 0x80) {
      laenge = 1;
      u = b;
    } else if ((b & 0xE0) == 0xC0) {
      laenge = 2;
      u = b & 0x1Fu;
      kleinster = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      laenge = 3;
      u = b & 0x0Fu;
      kleinster = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      laenge = 4;
      u = b & 0x07u;
      kleinster = 0x10000;
    } else {
      return std::nullopt;
    }
    if (i + laenge > text.size())
      return std::nullopt;
    for (size_t k = 1; k < laenge; ++k) {
      const auto f = static_cast<unsigned char>(text[i + k]);
      if ((f & 0xC0) != 0x80)
        return std::nullopt;
      u = (u << 6) | (f & 0x3Fu);
    }
    if (u < kleinster || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF))
      return std::nullopt;
    zeichen.push_back(u);
    i += laenge;
  }
  return zeichen;
}

} // namespace

std::string nach_utf8(std::string_view text) {
  std::string ergebnis;
  ergebnis.reserve(text.size());
  for (char c : text)
    utf8_anhaengen(ergebnis, zeichen_nach_unicode(c));
  return ergebnis;
}

std::string utf16_nach_1252(std::u16string_view text) {
  std::string ergebnis;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // A surrogate pair is one character beyond 1252.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      ++i;
    ergebnis += unicode_nach_zeichen(c);
  }
  return ergebnis;
}

std::optional<std::string> utf16_skript_nach_1252(std::string_view bytes) {
  const bool klein = bytes.starts_with("\xFF\xFE");
  if (!klein && !bytes.starts_with("\xFE\xFF"))
    return std::nullopt;
  std::u16string text;
  // A lone byte at the end has no partner; it is dropped.
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(klein ? (b << 8 | a) : (a << 8 | b));
  }
  return utf16_nach_1252(text);
}

std::string utf8_nach_1252(std::string_view utf8) {
  std::string ergebnis;
  if (const auto zeichen = utf8_lesen(utf8)) {
    ergebnis.reserve(zeichen->size());
    for (char32_t u : *zeichen)
      ergebnis += unicode_nach_zeichen(u);
  } else {
    for (char c : utf8)
      ergebnis += static_cast<unsigned char>(c) < 0x80 ? c : '?';
  }
  return ergebnis;
}

std::string eingabe_nach_1252(std::string_view zeile) {
  return utf8_lesen(zeile) ? utf8_nach_1252(zeile) : std::string(zeile);
}

std::string mit_komma(double wert) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", wert);
  std::string aus = text;
  while (aus.back() == '0')
    aus.pop_back();
  if (aus.back() == '.')
    aus.pop_back();
  std::replace(aus.begin(), aus.end(), '.', ',');
  return aus;
}
