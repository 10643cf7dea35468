// SPDX-License-Identifier: GPL-3.0-or-later
// A library that loads but is not the engines module: it lacks the entry point.
extern "C" __attribute__((visibility("default"))) int zumbrel_something_else()
{
    return 1;
}
