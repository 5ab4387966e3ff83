/*
 * apps.cpp - the program state and the application table.
 *
 * Applications live in a slot array: a deleted application leaves a free
 * entry that the next add takes, lowest first, so indices held elsewhere stay
 * valid.  Rows of the main window's list are tied to applications by name
 * alone, which is why names must stay distinct among live applications.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "internal.h"
#include "slots.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

namespace {

const char kDuplicateName[] = "It does alredy exist a app with that name!";
const char kEmptyName[] = "You must enter a name for the app!";
const char kNoneSelected[] = "No app is selected!";

bool isLiveApp(const vornicMain *main, std::int32_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < main->apps.size() &&
           (main->apps[static_cast<std::size_t>(index)].flags & SLOT_USED);
}

} // namespace

void vornicExit(int status)
{
    std::exit(status);
}

void vornicOutOfRam(vornicMain *main, const char *message, int status)
{
    guiShowErrorMessage(main, message);
    vornicExit(status);
}

const vornicApp *vornicSelectedApp(const vornicMain *main)
{
    if (!isLiveApp(main, main->selectedApp))
        return nullptr;
    return &main->apps[static_cast<std::size_t>(main->selectedApp)];
}

std::int32_t vornicCheckResult(vornicMain *main, const char *failure)
{
    if (!failure)
        return 0;
    guiShowErrorMessage(main, failure);
    return -1;
}

vornicApp *vornicSelectedApp(vornicMain *main)
{
    return const_cast<vornicApp *>(vornicSelectedApp(static_cast<const vornicMain *>(main)));
}

void vornicInitMain(vornicMain *main)
{
    main->selectedApp = -1;
    main->directoryChosen = false;
    main->subWindowOpen = false;
    main->appCount = 0;
    main->projectDir.reset();
}

void vornicInitApp(vornicMain *main)
{
    main->apps.assign(1, vornicApp{});
    main->apps[0].flags = 0;
}

void vornicInitCat(vornicMain *main, std::int32_t index)
{
    vornicApp &app = main->apps[static_cast<std::size_t>(index)];
    app.categories.assign(1, vornicCat{});
    app.catCount = 0;
}

std::int32_t appGetID(const vornicMain *main, const char *name)
{
    const std::string_view wanted(name); /* measured once, not per entry */
    std::int32_t found = -1;
    slotWalk(main->apps, [&](std::int32_t i, const vornicApp &app) {
        if (slotLive(app.flags) && app.name == wanted)
            found = i; /* the highest match wins, so the walk goes on */
        return false;
    });
    return found;
}

std::int32_t appAdd(vornicMain *main, const char *name)
{
    if (appGetID(main, name) != -1) {
        guiShowErrorMessage(main, kDuplicateName);
        return -1;
    }
    if (name[0] == '\0') {
        guiShowErrorMessage(main, kEmptyName);
        return -1;
    }

    std::size_t slot = slotTake(main->apps);
    try {
        /* Build the whole record before touching the table, so that running
         * out of memory part-way leaves nothing half made. */
        vornicApp fresh;
        fresh.name = name;
        fresh.locales.assign(1, vornicLocale{});

        if (main->apps[slot].flags & SLOT_USED) {
            /* Every entry is live: the table grows by exactly one entry. */
            main->apps.emplace_back();
            main->apps[slot].flags |= SLOT_NEXT;
            slot = main->apps.size() - 1;
            fresh.flags = SLOT_USED;
        } else {
            fresh.flags = SLOT_USED | (main->apps[slot].flags & SLOT_NEXT);
        }
        main->apps[slot] = std::move(fresh);
        vornicInitCat(main, static_cast<std::int32_t>(slot));
    } catch (const std::bad_alloc &) {
        vornicOutOfRam(main, kVornicOutOfRam, VORNIC_EXIT_OUT_OF_RAM);
    }

    main->appCount++;
    guiUpdateMainButtonActivity(main);
    return static_cast<std::int32_t>(slot);
}

std::int32_t appMod(vornicMain *main, const char *name, std::int32_t index)
{
    if (!isLiveApp(main, index)) {
        guiShowErrorMessage(main, kNoneSelected);
        return -1;
    }
    vornicApp &app = main->apps[static_cast<std::size_t>(index)];

    app.flags |= SLOT_EDITING;
    if (appGetID(main, name) != -1) {
        app.flags &= ~SLOT_EDITING;
        guiShowErrorMessage(main, kDuplicateName);
        return -1;
    }
    if (name[0] == '\0') {
        app.flags &= ~SLOT_EDITING;
        guiShowErrorMessage(main, kEmptyName);
        return -1;
    }
    app.flags &= ~SLOT_EDITING;

    try {
        std::string copy(name);
        app.name = std::move(copy);
    } catch (const std::bad_alloc &) {
        vornicOutOfRam(main, kVornicOutOfRam, VORNIC_EXIT_OUT_OF_RAM);
    }
    return 0;
}

std::int32_t appDel(vornicMain *main)
{
    if (!isLiveApp(main, main->selectedApp))
        return -1;
    std::int32_t index = main->selectedApp;
    main->apps[static_cast<std::size_t>(index)].flags &= ~SLOT_USED;
    appFree(main, index);
    main->appCount--;
    main->selectedApp = -1;
    guiUpdateMainButtonActivity(main);
    return 0;
}

void appFree(vornicMain *main, std::int32_t index)
{
    vornicApp &app = main->apps[static_cast<std::size_t>(index)];
    /* Assigning a fresh record releases every string and both lists; only
     * the slot's flags survive, so the table's chain stays intact. */
    std::uint32_t flags = app.flags;
    app = vornicApp{};
    app.flags = flags;
}
