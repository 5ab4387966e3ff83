/*
 * locales.cpp - the localised names and descriptions of the selected
 * application.
 *
 * The locale array keeps a free entry at its end: adding into the last entry
 * first grows the array by one.  A modification makes its copies before it
 * releases anything, so running out of memory leaves the entry as it was.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "internal.h"
#include "slots.h"

#include <cstdio>
#include <new>
#include <string_view>

namespace {

struct LocaleCopies {
    std::string code, name, description;
};

/* Throws std::bad_alloc when a copy cannot be made. */
LocaleCopies copyForm(const LocaleForm *form)
{
    return LocaleCopies{form->code, form->name, form->description};
}

void storeCopies(vornicLocale &entry, LocaleCopies &copies)
{
    entry.code = std::move(copies.code);
    entry.name = std::move(copies.name);
    entry.description = std::move(copies.description);
}

} // namespace

std::int32_t localeExists(const vornicMain *main, const char *code)
{
    const vornicApp *app = vornicSelectedApp(main);
    if (!app)
        return -1;
    const std::string_view wanted(code); /* measured once, not per entry */
    std::int32_t found = -1;
    slotWalk(app->locales, [&](std::int32_t i, const vornicLocale &entry) {
        if (slotLive(entry.flags) && entry.code == wanted) {
            found = i;
            return true;
        }
        return false;
    });
    return found;
}

namespace {

/* The message of the first failing test, or null.  A text of blanks is not
 * empty. */
const char *firstLocaleFailure(const vornicMain *main, const LocaleForm *form)
{
    if (form->code[0] == '\0')
        return "You must enter a locale!";
    if (localeIsValid(main, form->code) == -1)
        return "Entered locale does not exist!";
    if (localeExists(main, form->code) != -1)
        return "It does alredy exist a entry for that locale!";
    if (form->name[0] == '\0')
        return "You must enter a name for the application!";
    if (form->description[0] == '\0')
        return "You must enter a description for the application!";
    return nullptr;
}

} // namespace

std::int32_t localeValidate(vornicMain *main, const LocaleForm *form)
{
    return vornicCheckResult(main, firstLocaleFailure(main, form));
}

std::int32_t localeAdd(vornicMain *main, const LocaleForm *form)
{
    vornicApp *app = vornicSelectedApp(main);
    if (!app)
        return -1;
    std::vector<vornicLocale> &locales = app->locales;

    std::size_t slot = slotTake(locales);
    if (!(locales[slot].flags & SLOT_NEXT)) {
        /* Taking the last entry: grow first, so a free entry stays last. */
        try {
            locales.emplace_back();
        } catch (const std::bad_alloc &) {
            vornicOutOfRam(main, "Out of RAM", VORNIC_EXIT_OUT_OF_RAM);
        }
        locales.back().flags = 0;
        locales[slot].flags |= SLOT_NEXT;
    }
    locales[slot].flags |= SLOT_USED;

    try {
        LocaleCopies copies = copyForm(form);
        storeCopies(locales[slot], copies);
    } catch (const std::bad_alloc &) {
        locales[slot].flags &= ~SLOT_USED;
        guiShowErrorMessage(main, kVornicOutOfRam);
        return -1;
    }
    return 0;
}

std::int32_t localeMod(vornicMain *main, const char *code, const LocaleForm *form)
{
    std::int32_t index = localeExists(main, code);
    if (index == -1)
        return -1;
    vornicApp *app = vornicSelectedApp(main);
    vornicLocale &entry = app->locales[static_cast<std::size_t>(index)];

    entry.flags |= SLOT_EDITING;
    std::int32_t checked = localeValidate(main, form);
    entry.flags &= ~SLOT_EDITING;
    if (checked != 0)
        return -1;

    try {
        LocaleCopies copies = copyForm(form);
        storeCopies(entry, copies);
    } catch (const std::bad_alloc &) {
        guiShowErrorMessage(main, kVornicOutOfRam);
        return -1;
    }
    return 0;
}

std::int32_t localeDel(vornicMain *main, const char *code)
{
    std::int32_t index = localeExists(main, code);
    if (index == -1)
        return -1;
    vornicLocale &entry = vornicSelectedApp(main)->locales[static_cast<std::size_t>(index)];
    /* Swapping with empty strings gives their storage back at once. */
    std::string().swap(entry.code);
    std::string().swap(entry.name);
    std::string().swap(entry.description);
    entry.flags &= ~SLOT_USED;
    std::fputs("Free() did okay...\n", stdout);
    std::fflush(stdout);
    return 0;
}
