/*
 * general.cpp - general information: its checks and its store, and the path
 * and string utilities that the runtime settings use as well.
 *
 * A store is all or nothing: every copy is made before the record changes,
 * so running out of memory can never leave a record half replaced or report
 * a lost field as stored.
 */
#include "internal.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <new>

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
    std::FILE *file = std::fopen(path, "r");
    if (!file)
        return 0;
    std::fclose(file);
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

std::string vornicResolvePath(const vornicMain *main, const char *path)
{
    if (vornicPathIsRelative(path) && main->projectDir)
        return *main->projectDir + '/' + path;
    return path;
}

std::int32_t generalValidate(vornicMain *main, const GeneralForm *form)
{
    const char *failure = nullptr;
    if (form->author[0] == '\0')
        failure = kNoAuthor;
    else if (form->homePage[0] != '\0' && std::strncmp(form->homePage, "http://", 7) != 0)
        failure = kHomePagePrefix;
    else if (form->homePage[0] != '\0' && !std::strchr(form->homePage, '.'))
        failure = kHomePageTld;
    else if (form->email[0] != '\0' && !mailValid(form->email))
        failure = kBadMail;
    else if (form->icon[0] != '\0' &&
             !vornicFileExists(vornicResolvePath(main, form->icon).c_str()))
        failure = kNoIcon;
    else if (!versionPartValid(form->verMajor) || !versionPartValid(form->verMinor) ||
             !versionPartValid(form->verRelease) || !versionPartValid(form->verBuild))
        failure = kBadVersion;

    return vornicCheckResult(main, failure);
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
