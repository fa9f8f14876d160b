#pragma once
// The program's compiled-in pictures (icon, button glyphs) under ":/cibrano/". They live in a
// static library, where nothing would pull them into the program unless asked for by name.

namespace cibrano {

// Registers them; idempotent. Every window that shows one calls it first.
void loadAppResources();

} // namespace cibrano
