// Global memory blocks that live locked: allocate-and-lock, unlock-and-free.
#pragma once

#include <cstdint>

// Allocates a global block of `groesse` bytes with the allocation `flags`,
// locks it and returns the pointer; nullptr when either step fails.
char *block_holen(uint32_t flags, uint32_t groesse);

// Unlocks and frees the block that `zeiger` points into. nullptr is ignored.
void block_freigeben(void *zeiger);
