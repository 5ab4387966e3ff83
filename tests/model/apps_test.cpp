/*
 * apps_test.cpp - the application table: add, rename, delete, look-up, slot
 * reuse, and running out of memory while the table grows or a name is copied.
 */
#include "model_test.h"

#include <map>
#include <optional>
#include <random>
#include <set>

using ::testing::ExitedWithCode;

namespace {

const char kDuplicate[] = "It does alredy exist a app with that name!";
const char kEmpty[] = "You must enter a name for the app!";
const char kNoneSelected[] = "No app is selected!";
/* Long enough that copying it has to allocate. */
const char kLongName[] = "an application name too long for any small-string buffer";

void expectNewApp(const vornicApp &app, const char *name)
{
    /* Spelled out rather than taken from the record's own initialisers. */
    vornicApp expected;
    expected.name = name;
    expected.locales.assign(1, vornicLocale{});
    expected.categories.assign(1, vornicCat{});
    expected.cpuFreq = 0;
    expected.x11Mode = 2;
    expected.multitasking = 1;
    expected.inputFile = 0;
    expected.catCount = 0;
    expected.verMajor = 1;
    expected.verMinor = expected.verRelease = expected.verBuild = 0;
    expected.flags = SLOT_USED | (app.flags & SLOT_NEXT);
    EXPECT_EQ(describe(app), describe(expected));
}

} // namespace

TEST_F(ModelTest, FirstAddUsesInitialEntrySecondGrows)
{
    ASSERT_EQ(m.apps.size(), 1u);
    EXPECT_EQ(appAdd(&m, "one"), 0);
    EXPECT_EQ(m.apps.size(), 1u);
    EXPECT_EQ(m.apps[0].flags, SLOT_USED);
    EXPECT_EQ(appAdd(&m, "two"), 1);
    ASSERT_EQ(m.apps.size(), 2u);
    EXPECT_EQ(m.apps[0].flags, SLOT_USED | SLOT_NEXT);
    EXPECT_EQ(m.apps[1].flags, SLOT_USED);
    expectNewApp(m.apps[0], "one");
    expectNewApp(m.apps[1], "two");
    EXPECT_EQ(m.appCount, 2);
    EXPECT_EQ(recordedUpdates(), 2);
    EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(ModelTest, ReusedSlotStartsFromDefaults)
{
    for (const char *name : {"a", "b", "c"})
        appAdd(&m, name);
    m.selectedApp = 1;
    GeneralForm general{"Ann", "http://a.org", "a@b.c", "", 9, 8, 7, 6};
    RuntimeForm runtime{"id", "data", "dir", "bin", "-x", 5, 0, 0, 1};
    generalSet(&m, &general);
    runtimeSet(&m, &runtime);
    m.catalogue = {"en_US"};
    LocaleForm locale{"en_US", "Name", "Text"};
    ASSERT_EQ(localeAdd(&m, &locale), 0);
    m.apps[1].flags |= APP_LOCALE_EN_US;

    recordingClear();
    ASSERT_EQ(appDel(&m), 0);
    EXPECT_EQ(m.selectedApp, -1);
    EXPECT_EQ(m.appCount, 2);
    EXPECT_EQ(m.apps[1].flags & (SLOT_USED | SLOT_NEXT), SLOT_NEXT);
    EXPECT_EQ(appGetID(&m, "b"), -1);
    EXPECT_EQ(recordedUpdates(), 1);

    EXPECT_EQ(appAdd(&m, "d"), 1);
    EXPECT_EQ(m.apps.size(), 3u);
    EXPECT_EQ(m.apps[1].flags, SLOT_USED | SLOT_NEXT);
    expectNewApp(m.apps[1], "d");
    EXPECT_EQ(m.appCount, 3);
    EXPECT_TRUE(recordedMessages().empty());
}

/* A live application with an empty name cannot be made through the table's
 * operations, but it shows which check comes first. */
TEST_F(ModelTest, DuplicateCheckComesBeforeEmptyCheck)
{
    appAdd(&m, "x");
    appAdd(&m, "y");
    m.apps[0].name = "";
    recordingClear();
    EXPECT_EQ(appAdd(&m, ""), -1);
    EXPECT_EQ(appMod(&m, "", 1), -1);
    EXPECT_EQ(recordedMessages(), (Messages{kDuplicate, kDuplicate}));
}

TEST_F(ModelTest, GetIdSkipsFreeAndEditedEntriesAndPrefersTheHighest)
{
    for (const char *name : {"x", "y", "z"})
        appAdd(&m, name);
    EXPECT_EQ(appGetID(&m, "y"), 1);
    EXPECT_EQ(appGetID(&m, "Y"), -1);
    m.apps[2].name = "y";
    EXPECT_EQ(appGetID(&m, "y"), 2);
    m.apps[2].flags |= SLOT_EDITING;
    EXPECT_EQ(appGetID(&m, "y"), 1);
    m.apps[1].flags &= ~SLOT_USED;
    EXPECT_EQ(appGetID(&m, "y"), -1);
}

/* An independent model of the table: a vector of optional names. */
struct ReferenceTable {
    std::vector<std::optional<std::string>> slots{std::nullopt};
    std::int32_t selected = -1;

    bool taken(const std::string &name, std::int32_t except) const
    {
        for (std::size_t i = 0; i < slots.size(); ++i)
            if (static_cast<std::int32_t>(i) != except && slots[i] == name)
                return true;
        return false;
    }
    std::int32_t add(const std::string &name, const char *&message)
    {
        message = taken(name, -1) ? kDuplicate : name.empty() ? kEmpty : nullptr;
        if (message)
            return -1;
        std::size_t i = 0;
        while (i < slots.size() && slots[i])
            ++i;
        if (i == slots.size())
            slots.emplace_back();
        slots[i] = name;
        return static_cast<std::int32_t>(i);
    }
    std::int32_t rename(const std::string &name, const char *&message)
    {
        message = selected < 0            ? kNoneSelected
                  : taken(name, selected) ? kDuplicate
                  : name.empty()          ? kEmpty
                                          : nullptr;
        if (message)
            return -1;
        slots[static_cast<std::size_t>(selected)] = name;
        return 0;
    }
};

/* Random adds, renames, deletes and selections over a small pool of names
 * (empty, differing in case, long) must agree with the reference in result,
 * message, button updates and every slot, and keep the table's invariants. */
TEST_F(ModelTest, RandomOperationsAgreeWithReference)
{
    const std::vector<std::string> pool = {"", "a", "A", "b", "bb", "c", "d", kLongName};
    std::map<std::string, int> outcomes;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SetUp();
        ReferenceTable ref;
        std::mt19937 rng(seed);
        auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
        for (int step = 0; step < 400; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            recordingClear();
            const std::string &name = pool[pick(pool.size())];
            const char *message = nullptr;
            std::int32_t got, want;
            int updates = 0;
            std::size_t op = pick(4);
            if (op == 0) {
                got = appAdd(&m, name.c_str());
                want = ref.add(name, message);
                updates = want >= 0;
            } else if (op == 1) {
                bool own = ref.selected >= 0 && ref.slots[static_cast<std::size_t>(ref.selected)] == name;
                got = appMod(&m, name.c_str(), m.selectedApp);
                want = ref.rename(name, message);
                outcomes["rename to own name"] += own;
            } else if (op == 2) {
                got = appDel(&m);
                want = ref.selected < 0 ? -1 : 0;
                if (want == 0)
                    ref.slots[static_cast<std::size_t>(ref.selected)].reset();
                ref.selected = -1;
                updates = want == 0;
            } else {
                std::vector<std::int32_t> live = {-1};
                for (std::size_t i = 0; i < ref.slots.size(); ++i)
                    if (ref.slots[i])
                        live.push_back(static_cast<std::int32_t>(i));
                got = want = m.selectedApp = ref.selected = live[pick(live.size())];
            }
            outcomes[message ? message : want < 0 ? "silent failure" : "success"]++;
            ASSERT_EQ(got, want);
            ASSERT_EQ(recordedMessages(), message ? Messages{message} : Messages{});
            ASSERT_EQ(recordedUpdates(), updates);
            ASSERT_EQ(m.selectedApp, ref.selected);

            ASSERT_EQ(m.apps.size(), ref.slots.size());
            std::set<std::string> names;
            for (std::size_t i = 0; i < m.apps.size(); ++i) {
                std::uint32_t flags = m.apps[i].flags;
                ASSERT_EQ(bool(flags & SLOT_NEXT), i + 1 < m.apps.size()) << "entry " << i;
                ASSERT_FALSE(flags & SLOT_EDITING) << "entry " << i;
                ASSERT_EQ(bool(flags & SLOT_USED), ref.slots[i].has_value()) << "entry " << i;
                if (flags & SLOT_USED) {
                    ASSERT_EQ(m.apps[i].name, *ref.slots[i]);
                    ASSERT_TRUE(names.insert(m.apps[i].name).second) << "twice: " << m.apps[i].name;
                }
            }
            ASSERT_EQ(m.appCount, static_cast<std::int32_t>(names.size()));
        }
    }
    /* The walk reached every kind of outcome. */
    for (const char *outcome : {kDuplicate, kEmpty, kNoneSelected, "silent failure", "success",
                                "rename to own name"})
        EXPECT_GT(outcomes[outcome], 0) << outcome;
}

/* Any allocation failing while the table grows ends the program at once:
 * the message, then status 255, with no update of the main buttons. */
TEST_F(ModelTest, OutOfMemoryWhileTableGrowsExits)
{
    appAdd(&m, "first");
    vornicMain dryRun = m;
    long count = allocationsOf([&] { appAdd(&dryRun, kLongName); });
    ASSERT_GT(count, 0);
    for (long n = 1; n <= count; ++n)
        EXPECT_EXIT(echoedWithFault(n, [&] { appAdd(&m, kLongName); }), ExitedWithCode(255),
                    onlyMessage("Out of RAM!"))
            << "allocation " << n;
}

TEST_F(ModelTest, OutOfMemoryWhileRenameCopiesExits)
{
    appAdd(&m, "first");
    EXPECT_EXIT(echoedWithFault(1, [&] { appMod(&m, kLongName, 0); }), ExitedWithCode(255),
                onlyMessage("Out of RAM!"));
}
