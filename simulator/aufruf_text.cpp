#include "simulator/aufruf_text.h"

#include <cstdio>
#include <iterator>

std::string handle_text(uint32_t handle) {
  char text[12];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(handle));
  return text;
}

const char *funktionsname(int32_t funktion) {
#define NAME(name, ergebnis, parameter, argumente, bytes) #name,
  static const char *const namen[] = {"?", UMFISH40_FUNKTIONEN(NAME)};
#undef NAME
  const bool bekannt = funktion > 0 && funktion < static_cast<int32_t>(std::size(namen));
  return namen[bekannt ? funktion : 0];
}

std::string aufruf_zeile(const sim_aufruf &aufruf) {
  // Opening takes two plain numbers and answers with a handle; every other
  // call takes the handle first.
  const bool oeffnen = aufruf.funktion == sim_rbOpenInterfaceUSB;
  std::string text = funktionsname(aufruf.funktion);
  text += '(';
  for (int32_t k = 0; k < aufruf.anzahl_argumente && k < 4; ++k) {
    if (k > 0)
      text += ", ";
    const int32_t wert = aufruf.argumente[k];
    text += k == 0 && !oeffnen ? handle_text(static_cast<uint32_t>(wert)) : std::to_string(wert);
  }
  text += ") = ";
  text += oeffnen ? handle_text(static_cast<uint32_t>(aufruf.ergebnis))
                  : std::to_string(aufruf.ergebnis);
  return text;
}

std::string zustand_text(const sim_zustand &z) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
  // "literal" + std::string&&.
  std::string text = "  | Ausg\xE4nge (Stufe, - aus):";
  for (int i = 0; i < SIM_AUSGAENGE; ++i) {
    text += ' ';
    text += z.ausgang_an[i] ? std::to_string(z.ausgang_stufe[i]) : "-";
  }
  text += "   Motoren:";
  for (int i = 0; i < SIM_MOTOREN; ++i)
    text += z.motor_richtung[i] > 0 ? " vor"
                                    : (z.motor_richtung[i] < 0 ? " zur\xFC"
                                                                 "ck"
                                                               : " -");
  text += "\n  | Eing\xE4nge:";
  for (int i = 0; i < SIM_EINGAENGE; ++i) {
    text += ' ';
    text += std::to_string(z.eingang[i]);
  }
  text += "   Analog: AX ";
  text += std::to_string(z.analog[0]);
  text += ", AY ";
  text += std::to_string(z.analog[1]);
  text += "   Spannung: ";
  text += std::to_string(z.spannung[0]);
  text += ", ";
  text += std::to_string(z.spannung[1]);
  return text;
}
