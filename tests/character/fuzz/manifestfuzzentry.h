// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace character {

// One fuzz input through the whole character folder load: the manifest, then optionally a NUL
// byte and the art to go with it (without one, a small built-in drawing). Both are written into
// a character folder that also holds the traps a hostile manifest may name: a link leading out,
// a FIFO, a link to a device, a folder. Bad input must end in a refusal, never in a crash, a hang
// or unbounded memory. Returns 1 when the input made a character.
int fuzzCharacterManifest(const uint8_t *data, size_t size);

} // namespace character
