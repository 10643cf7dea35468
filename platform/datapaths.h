// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Thin layers over the operating system: where the program's data lives, opening a page in the
// desktop's browser, and turning termination signals into an ordinary Qt signal.

#include <QString>
#include <QStringList>

namespace platform {

// The folders that may hold the program's data, most specific first: when the program runs from
// its build folder, the source tree's data folder that the build noted beside it; then the
// installed data folder beside the program (../share/zumbrel); then zumbrel in each of the
// desktop's data folders (XDG_DATA_HOME, XDG_DATA_DIRS). Only folders that exist are listed.
QStringList dataDirectories();

// The folders that may hold the program's modules: the build's module folder that the build noted
// beside the program, then the installed one relative to the program (../lib/<arch>/zumbrel).
// Never the desktop's folders: a module is code, and only what was installed with the program runs.
QStringList moduleDirectories();

// The file, beside a program of the build tree, that names the source tree's data folder (first
// line) and the build's module folder (second line).
QString buildTreeMarkerName();

// The first existing file or folder of that relative path in dataDirectories(); empty if none.
QString findDataPath(const QString &relativePath);

} // namespace platform
