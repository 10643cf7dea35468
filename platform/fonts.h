// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// The font names the windows ask for, mapped to the installed fonts that match them best. Once,
// before the first window: every window then asks for its font by the one name.
void installFontSubstitutions();

// Reads the system's font configuration and font caches, which the toolkit otherwise does on the
// main thread at the first text it measures. Safe on any thread and before the application object
// exists; later calls return at once. Does nothing where fonts are not configured that way.
void loadFontConfiguration();

} // namespace platform
