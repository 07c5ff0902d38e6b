#include "umgebung.h"

void frisch::SetUp() {
  doubles::zuruecksetzen();
  sim_zuruecksetzen();
  lumbrik::schnittstelle = 0;
  lumbrik::stufe = 7;
  lumbrik::fehler = 0;
}

void frisch::TearDown() {
  EXPECT_EQ(doubles::lebende_bloecke(), 0) << "a global block was not freed";
}
