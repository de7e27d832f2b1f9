// The cart author's keys beside the player's: F7 takes the screen of the
// running cart as its label, and Ctrl+R reloads and reruns a cart that has
// stopped, also after a syntax or runtime error (while the cart runs the
// running keys do it).
#pragma once

struct zurkel_machine;

// Once per update, after the update step.
void author_keys(zurkel_machine* m);
