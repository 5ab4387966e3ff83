/*
 * model_tests.cpp - the project model without GTK, for what the walk through
 * the windows cannot see: slot layouts and indices, the catalogue file, the
 * checks no widget can feed, the output, and running out of memory.  The two
 * calls into the user interface are recorded here, and any allocation can be
 * made to fail.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "vornic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;
using Strs = std::vector<std::string>;
using Ints = std::vector<std::int64_t>; /* results, and slot flags masked to the slot bits */

namespace {
Strs messages;
long failAt = 0; /* counts allocations down to the one that fails; 0: none */
bool fired = false;
} // namespace

void guiShowErrorMessage(vornicMain *, const char *text) {
    std::fprintf(stderr, "message: %s\n", text); /* what a death test matches */
    long armed = std::exchange(failAt, 0);       /* recording is no allocation of the model's */
    messages.emplace_back(text);
    failAt = armed;
}
void guiUpdateMainButtonActivity(vornicMain *) { messages.emplace_back("update"); }

/* These pair malloc with free themselves; GCC takes them for a mismatch. */
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void *operator new(std::size_t size) {
    void *block = failAt > 0 && --failAt == 0 && (fired = true) ? nullptr : std::malloc(size ? size : 1);
    return block ? block : throw std::bad_alloc();
}
void operator delete(void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }

namespace {

const char *const kOutOfRam = "^message: Out of RAM!\n$";

class Model : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir);
        mkfifo((dir / "fifo").c_str(), 0600);
        vornicInitMain(&main);
        vornicInitApp(&main);
        main.projectDir = dir;
        main.catalogue = {"en_US", "de_DE", "fr_FR"};
        main.selectedApp = appAdd(&main, "A");
        messages.clear();
    }
    void TearDown() override { fs::remove_all(dir); }
    template <typename T> Ints flags(const std::vector<T> &slots) { /* the slot bits of each entry */
        Ints all;
        for (const T &slot : slots) all.push_back(slot.flags & 7);
        return all;
    }
    Ints localeFlags() { return flags(main.apps[main.selectedApp].locales); }
    Strs said(const std::function<std::int32_t()> &call) { return messages.clear(), call(), messages; }

    vornicMain main;
    fs::path dir = fs::temp_directory_path() / ("vornic-model-" + std::to_string(getpid()));
};

TEST_F(Model, ApplicationsKeepTheirSlots) {
    EXPECT_EQ((Ints{1, 2, -1, -1, 3}), (Ints{appAdd(&main, "B"), appAdd(&main, "C"), appAdd(&main, "B"),
                                            appAdd(&main, ""), appAdd(&main, "b")}));
    EXPECT_EQ((Ints{3, 3, 3, 2}), flags(main.apps)); /* grown by one each time: no free entry at the end */
    main.apps[main.selectedApp = 1].flags |= APP_GENERAL_DONE | APP_RUNTIME_DONE;
    EXPECT_EQ(Strs{"update"}, said([&] { return appDel(&main); }));
    EXPECT_EQ((Ints{3, 1, 3, 2}), flags(main.apps));
    EXPECT_EQ((Ints{-1, 3, -1, 2}), (Ints{main.selectedApp, main.appCount, appDel(&main), appGetID(&main, "C")}));
    EXPECT_EQ(1, appAdd(&main, "D")); /* the lowest free entry, afresh */
    EXPECT_EQ((Ints{SLOT_USED | SLOT_NEXT, 0, 0}),
              (Ints{main.apps[1].flags, main.apps[1].locales.at(0).flags, main.apps[1].categories.at(0).flags}));
    EXPECT_EQ(Strs{"No app is selected!"}, said([&] { return appMod(&main, "Z", -1); }));
    EXPECT_EQ((Ints{-1, 0}), (Ints{appMod(&main, "C", 0), appGetID(&main, "A")})); /* refused: the name stays */
}

TEST_F(Model, ChecksNoWidgetCanFeed) {
    for (int part = 0; part < 4; ++part)
        for (auto [value, refused] : {std::pair{-1, true}, {0, false}, {255, false}, {256, true}}) {
            std::int32_t v[4] = {1, 1, 1, 1};
            v[part] = value;
            bool missing = part == 1 && value == 256; /* the icon is checked first; a named pipe, unwaited, exists */
            GeneralForm form{"A", "", "", missing ? "missing" : "fifo", v[0], v[1], v[2], v[3]};
            const char *message = missing ? "Icon file does not exist!"
                                          : "Version numbers must be integers between 0 and 255!";
            EXPECT_EQ(refused ? Strs{message} : Strs{},
                      said([&] { return generalValidate(&main, &form); })) << part << " " << value;
        }
    for (const char *binary : {"fifo", "missing"}) { /* the binary is checked before the appdata directory */
        RuntimeForm runtime{"id", "a/b", "", binary, "", 0, 0, 0, 0};
        EXPECT_EQ(Strs{*binary == 'f' ? "Appdata directory must be a name, not a path!"
                                      : "Application binary does not exist!"},
                  said([&] { return runtimeValidate(&main, &runtime); }));
    }
}

TEST_F(Model, LocalisedEntriesGrowAndGoOnce) {
    LocaleForm en{"en_US", "n", "d"}, de{"de_DE", "n", "d"}, fr{"fr_FR", "n", "d"};
    EXPECT_EQ((Ints{0, 0, 0}), (Ints{localeAdd(&main, &en), localeAdd(&main, &de), localeAdd(&main, &fr)}));
    EXPECT_EQ((Ints{3, 3, 3, 0}), localeFlags()); /* a free entry always last */
    ::testing::internal::CaptureStdout();
    EXPECT_EQ((Ints{0, -1, -1}), (Ints{localeDel(&main, "en_US"), localeDel(&main, "en_US"), localeDel(&main, "")}));
    EXPECT_EQ("Free() did okay...\n", ::testing::internal::GetCapturedStdout());
    EXPECT_EQ((Ints{1, 3, 3, 0}), localeFlags());
    EXPECT_EQ(Strs{}, said([&] { return localeMod(&main, "en_US", &de); })); /* no entry, nothing said */
    EXPECT_EQ((Ints{-1, 0}), (Ints{localeMod(&main, "en_US", &de), localeAdd(&main, &en)}));
    EXPECT_EQ((Ints{3, 3, 3, 0}), localeFlags()); /* into the freed entry */
}

TEST_F(Model, CatalogueIsReadLineByLine) {
    const std::pair<std::string, Strs> cases[] = {
        {"en_US\nde_DE\n", {"en_US", "de_DE"}}, {"en_US\nde_DE", {"en_US", "de_DE"}}, {"", {}},
        {"\n\nx\n", {"", "", "x"}}, {"en_US\r\n x \n", {"en_US\r", " x "}},
        {"abcdefghijklmnopqr\nabcdefghijklmnopqrs\nz\nabcdefghijklmnopqrs", {"abcdefghijklmnopqr", "z"}},
        {std::string("a\0b\nx\ny\nx\n", 10), {std::string("a\0b", 3), "x", "y", "x"}},
    };
    fs::current_path(dir);
    for (const auto &[file, codes] : cases) {
        std::ofstream("locales", std::ios::binary) << file;
        vornicLoadLocales(&main);
        EXPECT_EQ(codes, main.catalogue);
        EXPECT_EQ(std::int32_t(codes.size()), main.localeCount);
    }
    EXPECT_EQ((Ints{1, 2, -1, -1}), (Ints{localeIsValid(&main, "x"), localeIsValid(&main, "y"),
                                          localeIsValid(&main, "X"), localeIsValid(&main, "a")}));
    EXPECT_EXIT((Strs().swap(main.catalogue), failAt = 1, vornicLoadLocales(&main)), ::testing::ExitedWithCode(2),
                kOutOfRam);
    const char *missing = "^message: Failed to open locales file! Make sure it is in the same directory as this "
                          "application and try again.\n$";
    fs::remove("locales");
    EXPECT_EXIT(vornicLoadLocales(&main), ::testing::ExitedWithCode(254), missing);
    fs::create_directory("locales");
    EXPECT_EXIT(vornicLoadLocales(&main), ::testing::ExitedWithCode(254), missing);
    fs::current_path("/");
}

TEST_F(Model, RunningOutOfMemoryFailsCleanlyOrEnds) {
    const std::string big(100, 'n');
    const char *n = big.c_str();
    for (long allocation = 1; allocation <= 4; ++allocation) /* growing the table, a new name */
        EXPECT_EXIT((failAt = allocation, appAdd(&main, n)), ::testing::ExitedWithCode(255), kOutOfRam);
    EXPECT_EXIT((failAt = 1, appMod(&main, n, 0)), ::testing::ExitedWithCode(255), kOutOfRam);
    LocaleForm fresh{"en_US", n, n}, changed{"de_DE", "x", n}, first{"fr_FR", "x", "y"}, second{"de_DE", n, "d"};
    EXPECT_EXIT((failAt = 1, localeAdd(&main, &fresh)), ::testing::ExitedWithCode(255), "^message: Out of RAM\n$");

    /* Elsewhere the action fails, says so, and changes nothing. */
    GeneralForm general{n, n, n, n, 1, 1, 1, 1};
    RuntimeForm runtime{n, "", n, n, n, 1, 1, 1, 1};
    std::string far = "sub/" + big;
    GeneralForm joined{"A", "", "", far.c_str(), 1, 0, 0, 0};
    const std::function<std::int32_t()> actions[] = {
        [&] { return generalSet(&main, &general); }, [&] { return runtimeSet(&main, &runtime); },
        [&] { return localeAdd(&main, &fresh); }, [&] { return localeMod(&main, "de_DE", &changed); },
        [&] { return generalValidate(&main, &joined); }};
    for (const auto &action : actions)
        for (long allocation = 1;; ++allocation) {
            vornicInitApp(&main);
            vornicApp &app = main.apps[main.selectedApp = appAdd(&main, "A")];
            app.author = app.uniqueId = "old";
            localeAdd(&main, &first);
            localeAdd(&main, &second);
            localeDel(&main, "fr_FR"); /* entry 0 is free: an add takes it without growing */
            messages.clear();
            fired = false;
            failAt = allocation;
            std::int32_t result = action();
            failAt = 0;
            if (!fired) break;
            EXPECT_EQ(-1, result) << allocation;
            EXPECT_EQ(Strs{"Out of RAM!"}, messages) << allocation;
            EXPECT_EQ("oldold" + big + "d",
                      *app.author + *app.uniqueId + app.locales[1].name + app.locales[1].description);
            EXPECT_EQ((Ints{-1, 1, 0, 1}), (Ints{localeExists(&main, "en_US"), localeExists(&main, "de_DE"),
                                                 app.flags & (APP_GENERAL_DONE | APP_RUNTIME_DONE),
                                                 app.locales[0].flags})); /* entry 0 free again */
        }
}

} // namespace
