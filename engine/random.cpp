#include "engine/random.h"

namespace {
uint32_t random_state = 1;
}

void random_seed(uint32_t seed) { random_state = seed; }

int random_next() {
  random_state = random_state * 214013u + 2531011u;
  return int((random_state >> 16) & 32767u);
}

double random_unit() { return random_next() / 32767.0; }
