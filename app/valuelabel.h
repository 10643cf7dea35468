// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLabel;

namespace app {

// A label that shows a value (an operand, the sign, a counter, the level) offers it to screen
// readers as text too, not only inside its accessible name, so that a reader's review keys can
// spell it out and read it again. Qt gives plain labels a name only.
void exposeValueAsText(QLabel *label);

} // namespace app
