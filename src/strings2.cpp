#include "src/strings2.h"

#include "src/plattform.h"

char *block_holen(uint32_t flags, uint32_t groesse) {
  HGLOBAL block = GlobalAlloc(flags, groesse);
  if (block == nullptr)
    return nullptr;
  char *zeiger = static_cast<char *>(GlobalLock(block));
  if (zeiger == nullptr)
    GlobalFree(block);
  return zeiger;
}

void block_freigeben(void *zeiger) {
  if (zeiger == nullptr)
    return;
  HGLOBAL block = GlobalHandle(zeiger);
  GlobalUnlock(block);
  GlobalFree(block);
}
