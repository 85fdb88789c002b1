#pragma once
// The process-wide pseudo-random generator. Every random number of the program comes from it, in
// the order the code draws them, so the exact sequence is part of the show's look.
#include <cstdint>

// Sets the generator's state. Before any seeding the state is 1.
void random_seed(uint32_t seed);

// Advances the state (state * 214013 + 2531011, modulo 2^32) and returns bits 16..30: 0..32767.
int random_next();

// random_next() / 32767.0: 0 and 1 are both possible.
double random_unit();
