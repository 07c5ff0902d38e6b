#include "tests/native/umgebung.h"

void frisch::SetUp() {
  doubles::zuruecksetzen();
  simulierte_box_setzen(box_.get());
  lumbrik::schnittstelle = 0;
  lumbrik::stufe = 7;
  lumbrik::fehler = 0;
}

void frisch::TearDown() {
  simulierte_box_setzen(nullptr);
  EXPECT_EQ(doubles::lebende_bloecke(), 0) << "a global block was not freed";
}
