// Placeholder until the sound engine lands: nothing holds cart records yet.
#include "machine/cart.h"

void brim_audio_release_cart(const zurkel_cart*) {}
