// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace character {

// One fuzz input through the character loader: the manifest, then optionally a NUL byte and the
// art to go with it (without one, a small built-in drawing). Bad input must end in a refusal,
// never in a crash, a hang or unbounded memory. Returns 1 when the input made a character.
int fuzzCharacterManifest(const uint8_t *data, size_t size);

} // namespace character
