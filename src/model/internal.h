/*
 * internal.h - helpers shared by the model's source files, not part of its
 * public face.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#ifndef VORNIC_MODEL_INTERNAL_H
#define VORNIC_MODEL_INTERNAL_H

#include "vornic.h"

#include <string>

inline constexpr char kVornicOutOfRam[] = "Out of RAM!";


/* Whether the file a check names can be opened: a relative path is joined
 * to the project directory (without one it is taken as typed, relative to
 * the working directory); nothing is normalised.  The message of the failed
 * test, notFound or "Out of RAM!" when the joined path cannot be built, or
 * null when the file opens. */
const char *vornicProjectFileCheck(const vornicMain *main, const char *path, const char *notFound);

/* A fresh copy of text with the substitutions of vornicEscapeXMLData applied.
 * Throws std::bad_alloc when the copy cannot be made. */
std::string vornicEscapedCopy(const char *text);

/* The end of every check: 0 when nothing failed, else the one message of the
 * first failing test is shown and -1 returned. */
std::int32_t vornicCheckResult(vornicMain *main, const char *failure);

/* Shows "Out of RAM!" and ends the process with the given status. */
[[noreturn]] void vornicOutOfRam(vornicMain *main, const char *message, int status);

#endif
