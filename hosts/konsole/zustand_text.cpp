#include "zustand_text.h"

#include "umlaute.h"
#include "verbinden.h"

std::string zustand_text(const sim_zustand &z) {
  std::string text = "  | Ausg" AE "nge (Stufe, - aus):";
  for (int i = 0; i < SIM_AUSGAENGE; ++i)
    text += z.ausgang_an[i] ? verbinden({" ", std::to_string(z.ausgang_stufe[i])}) : " -";
  text += "   Motoren:";
  for (int i = 0; i < SIM_MOTOREN; ++i)
    text += z.motor_richtung[i] > 0 ? " vor" : (z.motor_richtung[i] < 0 ? " zur" UE "ck" : " -");
  text += "\n  | Eing" AE "nge:";
  for (int i = 0; i < SIM_EINGAENGE; ++i)
    text += verbinden({" ", std::to_string(z.eingang[i])});
  text += verbinden({"   Analog: AX ", std::to_string(z.analog[0]), ", AY ",
                     std::to_string(z.analog[1]), "   Spannung: ", std::to_string(z.spannung[0]),
                     ", ", std::to_string(z.spannung[1])});
  return text;
}
