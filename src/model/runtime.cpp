/*
 * runtime.cpp - runtime settings: the appdata name test, the checks and the
 * store.  Like the general information, a store is all or nothing.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "internal.h"

#include <array>
#include <cstring>
#include <new>

std::int32_t vornicArgIsPath(const char *text)
{
    return (std::strchr(text, '/') || std::strstr(text, "..") || std::strchr(text, '~')) ? 1 : 0;
}

namespace {

/* The message of the first failing test, or null.  The starting directory,
 * the arguments, the choices and the switches are never tested. */
const char *firstRuntimeFailure(const vornicMain *main, const RuntimeForm *form)
{
    if (form->uniqueId[0] == '\0')
        return "You must specify a unique ID!";
    if (form->binary[0] == '\0')
        return "You must specify the application binary!";
    if (const char *failure =
            vornicProjectFileCheck(main, form->binary, "Application binary does not exist!"))
        return failure;
    if (form->appdataDir[0] != '\0' && vornicArgIsPath(form->appdataDir))
        return "Appdata directory must be a name, not a path!";
    return nullptr;
}

} // namespace

std::int32_t runtimeValidate(vornicMain *main, const RuntimeForm *form)
{
    return vornicCheckResult(main, firstRuntimeFailure(main, form));
}

std::int32_t runtimeSet(vornicMain *main, const RuntimeForm *form)
{
    vornicApp *app = vornicSelectedApp(main);
    if (!app)
        return -1;

    std::array<std::string, 5> copies;
    try {
        copies = {vornicEscapedCopy(form->uniqueId), vornicEscapedCopy(form->appdataDir),
                  vornicEscapedCopy(form->startDir), vornicEscapedCopy(form->binary),
                  vornicEscapedCopy(form->arguments)};
    } catch (const std::bad_alloc &) {
        guiShowErrorMessage(main, kVornicOutOfRam);
        return -1;
    }

    app->uniqueId = std::move(copies[0]);
    app->appdataDir = std::move(copies[1]);
    app->startDir = std::move(copies[2]);
    app->binary = std::move(copies[3]);
    app->arguments = std::move(copies[4]);
    app->cpuFreq = form->cpuFreq;
    app->x11Mode = form->x11Mode;
    app->multitasking = form->multitasking;
    app->inputFile = form->inputFile;
    app->flags |= APP_RUNTIME_DONE;
    return 0;
}
