// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// The font names the windows ask for, mapped to the installed fonts that match them best. Once,
// before the first window: every window then asks for its font by the one name.
void installFontSubstitutions();

} // namespace platform
