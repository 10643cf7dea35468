// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// The font names the windows ask for, mapped to the installed fonts that match them best. Once,
// before the first window: a font that asks by one of the names is then drawn in its substitute.
void installFontSubstitutions();

// The installed family that stands for one of those names: the name itself when it is installed,
// else the first installed of its substitutes. Any other name comes back unchanged. A font that
// asks for the installed family directly spares the toolkit a search of all fonts for a name it
// does not have, a millisecond at the first text in each font. The first call works out the answer
// for every name, on any thread once the application object exists; other callers wait for it.
QString installedFamily(const QString &name);

// Reads the system's font configuration and font caches, which the toolkit otherwise does on the
// main thread at the first text it measures. Safe on any thread and before the application object
// exists; later calls return at once. Does nothing where fonts are not configured that way.
void loadFontConfiguration();

} // namespace platform
