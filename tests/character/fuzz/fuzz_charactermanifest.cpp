// SPDX-License-Identifier: GPL-3.0-or-later
#include "manifestfuzzentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    character::fuzzCharacterManifest(data, size);
    return 0;
}
