/*
 * general.cpp - general information: its checks and its store, and the path
 * and string utilities that the runtime settings use as well.
 *
 * A store is all or nothing: every copy is made before the record changes,
 * so running out of memory can never leave a record half replaced or report
 * a lost field as stored.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "internal.h"

#include <array>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <unistd.h>

namespace {

const char kNoAuthor[] = "You must specify the author!";
const char kHomePagePrefix[] = "If you specify a home page, it should begin with \302\273http://\302\253";
const char kHomePageTld[] = "A home page must have a TLD...";
const char kBadMail[] = "If you enter a mail address, it must be valid!";
const char kNoIcon[] = "Icon file does not exist!";
const char kBadVersion[] = "Version numbers must be integers between 0 and 255!";

bool versionPartValid(std::int32_t part)
{
    return part >= 0 && part <= 255;
}

bool mailValid(const char *mail)
{
    const char *at = std::strchr(mail, '@');
    return at && std::strchr(at + 1, '.');
}

} // namespace

std::int32_t vornicPathIsRelative(const char *path)
{
    return path[0] != '/' ? 1 : 0;
}

std::int32_t vornicFileExists(const char *path)
{
    /* Opened as fopen(path, "r") would, but without waiting: a named pipe
     * (or a device) would otherwise block the check, and the whole program,
     * until something writes to it. */
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    close(fd);
    return 1;
}

void vornicEscapeXMLData(char *text)
{
    for (char *p = text; *p; ++p) {
        switch (*p) {
        case '"': *p = '\''; break;
        case '<': *p = '['; break;
        case '>': *p = ']'; break;
        default: break;
        }
    }
}

std::string vornicEscapedCopy(const char *text)
{
    std::string copy(text);
    vornicEscapeXMLData(copy.data());
    return copy;
}

const char *vornicProjectFileCheck(const vornicMain *main, const char *path, const char *notFound)
{
    if (!vornicPathIsRelative(path) || !main->projectDir)
        return vornicFileExists(path) ? nullptr : notFound;
    try {
        std::string joined = *main->projectDir + '/' + path;
        return vornicFileExists(joined.c_str()) ? nullptr : notFound;
    } catch (const std::bad_alloc &) {
        return kVornicOutOfRam;
    }
}

namespace {

/* The message of the first failing test, or null: the tests run in this
 * order and only the first failure is ever reported. */
const char *firstGeneralFailure(const vornicMain *main, const GeneralForm *form)
{
    if (form->author[0] == '\0')
        return kNoAuthor;
    if (form->homePage[0] != '\0') {
        if (std::strncmp(form->homePage, "http://", 7) != 0)
            return kHomePagePrefix;
        if (!std::strchr(form->homePage, '.'))
            return kHomePageTld;
    }
    if (form->email[0] != '\0' && !mailValid(form->email))
        return kBadMail;
    if (form->icon[0] != '\0') {
        if (const char *failure = vornicProjectFileCheck(main, form->icon, kNoIcon))
            return failure;
    }
    if (!versionPartValid(form->verMajor) || !versionPartValid(form->verMinor) ||
        !versionPartValid(form->verRelease) || !versionPartValid(form->verBuild))
        return kBadVersion;
    return nullptr;
}

} // namespace

std::int32_t generalValidate(vornicMain *main, const GeneralForm *form)
{
    return vornicCheckResult(main, firstGeneralFailure(main, form));
}

std::int32_t generalSet(vornicMain *main, const GeneralForm *form)
{
    vornicApp *app = vornicSelectedApp(main);
    if (!app)
        return -1;

    std::array<std::string, 4> copies;
    try {
        copies = {vornicEscapedCopy(form->author), vornicEscapedCopy(form->homePage),
                  vornicEscapedCopy(form->email), vornicEscapedCopy(form->icon)};
    } catch (const std::bad_alloc &) {
        guiShowErrorMessage(main, kVornicOutOfRam);
        return -1;
    }

    app->author = std::move(copies[0]);
    app->homePage = std::move(copies[1]);
    app->email = std::move(copies[2]);
    app->icon = std::move(copies[3]);
    app->verMajor = form->verMajor;
    app->verMinor = form->verMinor;
    app->verRelease = form->verRelease;
    app->verBuild = form->verBuild;
    app->flags |= APP_GENERAL_DONE;
    return 0;
}
