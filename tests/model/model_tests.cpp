/*
 * model_tests.cpp - the project model without GTK, for what the windows
 * cannot show.  Catches: an empty catalogue refused, or one that cannot be
 * read taken for an empty one (the window tests read the rules for its
 * lines); and an allocation that fails and then ends the program with
 * the wrong status or message, or fails an action that reports success,
 * says nothing or leaves the application changed.  The two calls into the
 * user interface are recorded here, and any allocation can be made to fail.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "vornic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;
using std::string;
using std::to_string;
using Strs = std::vector<string>;
using testing::ExitedWithCode;

namespace {
Strs said;
long failAt = 0; /* counts allocations down to the one that fails; 0: none */
} // namespace

void guiShowErrorMessage(vornicMain *, const char *text) {
    fprintf(stderr, "message: %s\n", text); /* what a death test matches */
    long armed = failAt;
    failAt = 0; /* recording is no allocation of the model's */
    said.emplace_back(text);
    failAt = armed;
}

void guiUpdateMainButtonActivity(vornicMain *) {}

/* The single-object forms, the nothrow one that googletest calls included,
 * take from malloc and give back to free, and each allocation counts down to
 * the one that fails.  The array and aligned forms are left to the library
 * or the sanitizer, which pairs them among themselves: the model has no
 * arrays and no type that needs alignment. */
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
using std::nothrow_t;
void *take(size_t size) {
    return failAt != 0 && --failAt == 0 ? nullptr : malloc(size + 1);
}
void *must(void *block) {
    return block ? block : throw std::bad_alloc();
}
void *operator new(size_t size) { return must(take(size)); }
void *operator new(size_t size, const nothrow_t &) noexcept { return take(size); }
void operator delete(void *block) noexcept { free(block); }
void operator delete(void *block, size_t) noexcept { free(block); }

namespace {

/* Runs an action with the given allocation, counted from 1, failing; a
 * death test's action must arm it, so that the test's own allocations do
 * not fail. */
template <typename Action> void failing(long allocation, Action action) {
    failAt = allocation;
    action();
}

/* Everything in an application that the actions below may change, slot
 * bits and marks included, as one text. */
string contents(const vornicApp &app) {
    string all = to_string(app.flags);
    for (const vornicString &text : {app.author, app.homePage, app.email, app.icon, app.uniqueId, app.appdataDir,
                                     app.startDir, app.binary, app.arguments})
        all += "|" + text.value_or("absent");
    for (const vornicLocale &entry : app.locales)
        all += "|" + entry.code + "," + entry.name + "," + entry.description + "," + to_string(entry.flags);
    return all;
}

/* An application "A", selected, in a scratch project folder, with a
 * catalogue of three codes. */
class Model : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir);
        vornicInitMain(&main);
        vornicInitApp(&main);
        main.catalogue = {"en_US", "de_DE", "fr_FR"};
        main.selectedApp = appAdd(&main, "A");
        said.clear();
    }

    void TearDown() override {
        fs::remove_all(dir);
    }

    vornicMain main;
    fs::path dir = fs::temp_directory_path() / ("vornic-model-" + to_string(getpid()));
};

/* The window tests read a catalogue of every kind of line; here, what only
 * a catalogue of its own can show. */
TEST_F(Model, CatalogueThatIsEmptyOrCannotBeRead) {
    fs::current_path(dir);
    std::ofstream("locales").flush();
    vornicLoadLocales(&main);
    EXPECT_EQ(Strs(), main.catalogue) << "an empty file";
    std::ofstream("locales") << "abcdefghijklmnopqr"; /* too long to be held without the heap */
    EXPECT_EXIT(failing(1, [&] { vornicLoadLocales(&main); }), ExitedWithCode(2),
                "^message: Out of RAM!\n$");
    fs::remove("locales");
    fs::create_directory("locales");
    EXPECT_EXIT(vornicLoadLocales(&main), ExitedWithCode(254),
                "^message: Failed to open locales file! Make sure it is in the same directory as this application and "
                "try again.\n$")
        << "a folder cannot be read";
    fs::current_path("/");
}

TEST_F(Model, OutOfMemoryEndsTheProgram) {
    const char *n = "a name too long to be stored without an allocation of its own";
    LocaleForm form{"en_US", n, n};
    for (long allocation = 1; allocation <= 4; ++allocation)
        EXPECT_EXIT(failing(allocation, [&] { appAdd(&main, n); }), ExitedWithCode(255), "^message: Out of RAM!\n$")
            << allocation;
    EXPECT_EXIT(failing(1, [&] { appMod(&main, n, 0); }), ExitedWithCode(255), "^message: Out of RAM!\n$");
    /* a locale array that cannot grow says it without the exclamation mark */
    EXPECT_EXIT(failing(1, [&] { localeAdd(&main, &form); }), ExitedWithCode(255), "^message: Out of RAM\n$");
}

/* Elsewhere an action that runs out of memory fails, says so, and changes
 * nothing, whichever allocation fails. */
TEST_F(Model, OutOfMemoryFailsTheActionCleanly) {
    const string big(100, 'n');
    const char *n = big.c_str();
    GeneralForm general{n, n, n, n, 1, 1, 1, 1};
    RuntimeForm runtime{n, "", n, n, n, 1, 1, 1, 1};
    LocaleForm first{"fr_FR", "x", "y"};
    LocaleForm second{"de_DE", "n", "d"};
    LocaleForm added{"en_US", n, n};
    LocaleForm changed{"de_DE", "x", n};
    localeAdd(&main, &first);
    localeAdd(&main, &second);
    localeDel(&main, "fr_FR"); /* entry 0 free: an add takes it without growing */
    const std::function<int32_t()> actions[] = {
        [&] { return generalSet(&main, &general); },
        [&] { return runtimeSet(&main, &runtime); },
        [&] { return localeAdd(&main, &added); },
        [&] { return localeMod(&main, "de_DE", &changed); },
    };
    for (const auto &action : actions) {
        /* each allocation in turn, until the action needs no more and is done */
        for (long allocation = 1;; ++allocation) {
            SCOPED_TRACE("allocation " + to_string(allocation));
            string before = contents(main.apps[0]);
            said.clear();
            failAt = allocation;
            int32_t result = action();
            if (failAt > 0)
                break;
            EXPECT_EQ(-1, result);
            EXPECT_EQ(Strs{"Out of RAM!"}, said);
            EXPECT_EQ(before, contents(main.apps[0]));
        }
        failAt = 0;
    }
}

} // namespace
