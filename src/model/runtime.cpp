/*
 * runtime.cpp - runtime settings: the appdata name test, the checks and the
 * store.  Like the general information, a store is all or nothing.
 */
#include "internal.h"

#include <array>
#include <cstring>
#include <new>

std::int32_t vornicArgIsPath(const char *text)
{
    return (std::strchr(text, '/') || std::strstr(text, "..") || std::strchr(text, '~')) ? 1 : 0;
}

std::int32_t runtimeValidate(vornicMain *main, const RuntimeForm *form)
{
    const char *failure = nullptr;
    if (form->uniqueId[0] == '\0')
        failure = "You must specify a unique ID!";
    else if (form->binary[0] == '\0')
        failure = "You must specify the application binary!";
    else if (!vornicFileExists(vornicResolvePath(main, form->binary).c_str()))
        failure = "Application binary does not exist!";
    else if (form->appdataDir[0] != '\0' && vornicArgIsPath(form->appdataDir))
        failure = "Appdata directory must be a name, not a path!";

    return vornicCheckResult(main, failure);
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
