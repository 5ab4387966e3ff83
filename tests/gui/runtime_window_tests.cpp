/*
 * runtime_window_tests.cpp - the Runtime settings window, reached as a user
 * reaches it: a project directory chosen with "Select directory", an
 * application added and selected, its general information stored, then
 * "Runtime data".
 *
 * The two choice boxes are stored as item positions, so the tests go through
 * every item both ways: picked in the window and stored as a number, then
 * shown again from that number.
 */
#include "editing_window.h"

#include <algorithm>
#include <ostream>
#include <tuple>

namespace {

using Widget = GtkWidget *vornicRuntimeWidgets::*;

const std::vector<std::string> kX11Items = {"Required", "No X11", "Don't care"};
const std::vector<std::string> kCpuItems = {"No change", "200", "300", "400", "500", "600"};

/* The values of the window, as set by the user or as shown. */
struct Runtime {
    std::string uniqueId, appdata, startDir, binary, arguments;
    std::string cpu, x11; /* the active items */
    bool multitasking, inputFile;

    auto tied() const
    {
        return std::tie(uniqueId, appdata, startDir, binary, arguments, cpu, x11, multitasking,
                        inputFile);
    }
    bool operator==(const Runtime &other) const { return tied() == other.tied(); }
};

std::ostream &operator<<(std::ostream &out, const Runtime &r)
{
    return out << "{\"" << r.uniqueId << "\", \"" << r.appdata << "\", \"" << r.startDir
               << "\", \"" << r.binary << "\", \"" << r.arguments << "\", " << r.cpu << ", "
               << r.x11 << ", " << r.multitasking << ", " << r.inputFile << "}";
}

/* The runtime settings of a record and its mark, compared as a whole. */
auto storedRuntime(const vornicApp &app)
{
    return std::make_tuple(app.uniqueId, app.appdataDir, app.startDir, app.binary, app.arguments,
                           app.cpuFreq, app.x11Mode, app.multitasking, app.inputFile,
                           (app.flags & APP_RUNTIME_DONE) != 0);
}

const char kBinary[] = "bin/frogger";
const Runtime kFresh = {"", "", "", "", "", "No change", "Don't care", true, false};
/* Passes every check; the binary exists only relative to the project
 * directory. */
const Runtime kValid = {"frogger.ann", "frogger", "..", kBinary, "-v", "400", "Required",
                        false, true};

bool contains(const std::vector<std::string> &items, const std::string &item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

class RuntimeWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        makeFile(kBinary);
        expectFolderChooser("Select directory", tempDir(), Answer::Accept, main.mainWin.window);
        ASSERT_TRUE(click(main.mainWin.directoryButton));
        ASSERT_EQ(vornicString(tempDir()), main.projectDir);
        appIndex = addAndSelectApp("Frogger");
        ASSERT_GE(appIndex, 0);
        /* "Runtime data" is offered once the general information is in. */
        ASSERT_TRUE(click(main.mainWin.generalButton));
        typeInto(main.general.authorEntry, "Ann");
        ASSERT_TRUE(click(main.general.okButton));
        ASSERT_FALSE(main.subWindowOpen);
    }

    vornicRuntimeWidgets &win() { return main.runtime; }
    const vornicApp &app() { return main.apps[static_cast<std::size_t>(appIndex)]; }

    void open()
    {
        ASSERT_TRUE(click(main.mainWin.runtimeButton));
        ASSERT_TRUE(main.subWindowOpen);
        ASSERT_EQ(win().window, main.parentWindow);
    }

    /* Sets every value as a user would: typing, picking, clicking. */
    void enter(const Runtime &r)
    {
        typeInto(win().uniqueIdEntry, r.uniqueId.c_str());
        typeInto(win().appdataEntry, r.appdata.c_str());
        typeInto(win().startDirEntry, r.startDir.c_str());
        typeInto(win().binaryEntry, r.binary.c_str());
        typeInto(win().argumentsEntry, r.arguments.c_str());
        chooseComboItem(win().cpuCombo, r.cpu.c_str());
        chooseComboItem(win().x11Combo, r.x11.c_str());
        if (r.multitasking != checked(win().multitaskingCheck))
            click(win().multitaskingCheck);
        if (r.inputFile != checked(win().inputFileCheck))
            click(win().inputFileCheck);
    }

    Runtime shown()
    {
        return {textOf(win().uniqueIdEntry),  textOf(win().appdataEntry),
                textOf(win().startDirEntry),  textOf(win().binaryEntry),
                textOf(win().argumentsEntry), activeItem(win().cpuCombo),
                activeItem(win().x11Combo),   checked(win().multitaskingCheck),
                checked(win().inputFileCheck)};
    }

    /* Enters r, presses OK and expects the window to close, once. */
    void store(const Runtime &r)
    {
        enter(r);
        ClosingProbe probe(main);
        ASSERT_TRUE(click(win().okButton));
        probe.expectClosedOnce();
    }

    static bool checked(GtkWidget *check)
    {
        return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check));
    }
    static std::string activeItem(GtkWidget *combo)
    {
        gint active = gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
        std::vector<std::string> items = comboItems(combo);
        return active >= 0 && std::size_t(active) < items.size() ? items[std::size_t(active)]
                                                                  : "(none)";
    }

    std::int32_t appIndex = -1;
};

TEST_F(RuntimeWindowTest, OpensAsItsOwnToplevelOverTheFreshRecord)
{
    open();
    GtkWidget *window = win().window;
    expectEditingWindowFrame(window, "Vornic - Runtime settings", win().table);

    EXPECT_EQ(kX11Items, comboItems(win().x11Combo));
    EXPECT_EQ(kCpuItems, comboItems(win().cpuCombo));
    EXPECT_EQ(kFresh, shown());

    /* Neither opener may touch the open window. */
    typeInto(win().uniqueIdEntry, "typed");
    GtkWidget *entry = win().uniqueIdEntry;
    ClosingProbe probe(main);
    guiMakeRuntimeDiag(main.mainWin.runtimeButton, &main);
    guiMakeAppGeneralDiag(main.mainWin.generalButton, &main);
    pumpEvents();
    probe.expectStillOpen();
    EXPECT_EQ(window, win().window);
    EXPECT_EQ(entry, win().uniqueIdEntry);
    EXPECT_EQ("typed", textOf(entry));
}

TEST_F(RuntimeWindowTest, EveryWidgetSitsInItsCell)
{
    using R = vornicRuntimeWidgets;
    const Cell<R> cells[] = {
        {&R::uniqueIdLabel, "Unique ID", 0, 1, 0, 1},
        {&R::appdataLabel, "Appdata directory", 0, 1, 1, 2},
        {&R::startDirLabel, "Starting directory", 0, 1, 2, 3},
        {&R::x11Label, "x11 mode", 0, 1, 3, 4},
        {&R::binaryLabel, "Application binary", 0, 1, 4, 5},
        {&R::argumentsLabel, "Arguments", 0, 1, 5, 6},
        {&R::cpuLabel, "CPU frequency", 0, 1, 6, 7},
        {&R::multitaskingLabel, "Allow multitasking", 0, 1, 7, 8},
        {&R::inputFileLabel, "Requires inputfile", 0, 1, 8, 9},
        {&R::cancelButton, "Cancel", 0, 1, 9, 10},
        {&R::uniqueIdEntry, nullptr, 1, 3, 0, 1},
        {&R::appdataEntry, nullptr, 1, 3, 1, 2},
        {&R::startDirEntry, nullptr, 1, 3, 2, 3},
        {&R::x11Combo, nullptr, 1, 3, 3, 4},
        {&R::binaryEntry, nullptr, 1, 2, 4, 5},
        {&R::browseButton, "Browse", 2, 3, 4, 5},
        {&R::argumentsEntry, nullptr, 1, 3, 5, 6},
        {&R::cpuCombo, nullptr, 1, 3, 6, 7},
        /* Named by the label beside them, so their own is empty. */
        {&R::multitaskingCheck, "", 1, 3, 7, 8},
        {&R::inputFileCheck, "", 1, 3, 8, 9},
        {&R::okButton, "OK", 1, 3, 9, 10},
    };
    open();
    expectGrid(win(), 10, 3, cells);
}

TEST_F(RuntimeWindowTest, OkStoresChoicesSwitchesAndSubstitutedStrings)
{
    const Runtime typed = {"<frogger> \"1\"", "frog.data", "/usr/<share>", kBinary,
                           "--title \"A <b>\" & more", "600", "No X11", false, true};
    const Runtime stored = {"[frogger] '1'", "frog.data", "/usr/[share]", kBinary,
                            "--title 'A [b]' & more", "600", "No X11", false, true};
    open();
    store(typed);
    EXPECT_EQ(std::make_tuple(vornicString(stored.uniqueId), vornicString(stored.appdata),
                              vornicString(stored.startDir), vornicString(stored.binary),
                              vornicString(stored.arguments), 5, 1, 0, 1, true),
              storedRuntime(app()));
    EXPECT_EQ("Frogger", app().name);
    EXPECT_EQ(vornicString("Ann"), app().author);
    EXPECT_TRUE(contains(sensitiveMainControls(main), "Name and description"));

    open();
    EXPECT_EQ(stored, shown());
    click(win().cancelButton);

    /* Every item is stored as its position and shown again from it. */
    for (std::size_t cpu = 0; cpu < kCpuItems.size(); ++cpu) {
        const std::size_t x11 = cpu % kX11Items.size();
        SCOPED_TRACE(kCpuItems[cpu] + " / " + kX11Items[x11]);
        Runtime r = kValid;
        r.cpu = kCpuItems[cpu];
        r.x11 = kX11Items[x11];
        r.multitasking = cpu % 2 == 0;
        r.inputFile = cpu % 2 == 1;
        open();
        store(r);
        EXPECT_EQ(std::make_tuple(std::int32_t(cpu), std::int32_t(x11),
                                  std::int32_t(cpu % 2 == 0), std::int32_t(cpu % 2 == 1)),
                  std::make_tuple(app().cpuFreq, app().x11Mode, app().multitasking,
                                  app().inputFile));
        open();
        EXPECT_EQ(r, shown());
        click(win().cancelButton);
    }
}

TEST_F(RuntimeWindowTest, RefusedValuesStayInTheOpenWindowUntilCorrected)
{
    struct Refusal {
        Widget field;
        const char *typed;
        const char *message;
        Answer dismissal;
    };
    const Refusal refusals[] = {
        {&vornicRuntimeWidgets::uniqueIdEntry, "", "You must specify a unique ID!", Answer::Ok},
        {&vornicRuntimeWidgets::binaryEntry, "", "You must specify the application binary!",
         Answer::Ok},
        /* Exists in the project directory only under bin/. */
        {&vornicRuntimeWidgets::binaryEntry, "frogger", "Application binary does not exist!",
         Answer::Close},
        {&vornicRuntimeWidgets::appdataEntry, "data/frogger",
         "Appdata directory must be a name, not a path!", Answer::Ok},
        {&vornicRuntimeWidgets::appdataEntry, "frog..data",
         "Appdata directory must be a name, not a path!", Answer::Ok},
    };
    /* Choices and switches away from the stored ones must survive too. */
    Runtime valid = kValid;
    valid.cpu = "500";
    valid.x11 = "No X11";
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(std::string(refusal.message) + " for \"" + refusal.typed + "\"");
        open();
        enter(valid);
        typeInto(win().*refusal.field, refusal.typed);
        const Runtime typed = shown();
        auto before = storedRuntime(app());

        expectError(refusal.message, win().window, refusal.dismissal);
        {
            ClosingProbe probe(main);
            ASSERT_TRUE(click(win().okButton));
            EXPECT_EQ(0u, pendingDialogs());
            probe.expectStillOpen();
        }
        EXPECT_EQ(typed, shown());
        EXPECT_EQ(before, storedRuntime(app()));

        store(valid);
        EXPECT_EQ(std::make_tuple(vornicString(valid.uniqueId), vornicString(valid.binary), 4, 1),
                  std::make_tuple(app().uniqueId, app().binary, app().cpuFreq, app().x11Mode));
    }
}

TEST_F(RuntimeWindowTest, CancelAndWindowManagerCloseDiscardEdits)
{
    const Runtime edits = {"other", "otherdata", "/tmp", "/bin/sh", "-x", "200", "No X11",
                           false, true};
    for (bool storedFirst : {false, true}) {
        if (storedFirst) {
            open();
            store(kValid);
        }
        for (const DiscardingClose &way : kDiscardingCloses) {
            SCOPED_TRACE(std::string(way.name) + (storedFirst ? " after a store" : " when fresh"));
            open();
            auto before = storedRuntime(app());
            enter(edits);
            {
                ClosingProbe probe(main);
                way.close(win().cancelButton, win().window);
                probe.expectClosedOnce();
            }
            EXPECT_EQ(before, storedRuntime(app()));
            EXPECT_EQ(storedFirst, contains(sensitiveMainControls(main), "Name and description"));
            open();
            EXPECT_EQ(storedFirst ? kValid : kFresh, shown());
            click(win().cancelButton);
        }
    }
}

TEST_F(RuntimeWindowTest, BrowseFillsTheBinaryEntryOnlyWhenAFileIsChosen)
{
    const std::string chosen = makeFile("build/frogger.bin");
    open();
    typeInto(win().uniqueIdEntry, "frogger.ann");
    expectBrowseFills(win().browseButton, win().binaryEntry, "Select application binary",
                      chosen, makeFile("build/caf\xe9"), win().window);

    expectError("Application binary does not exist!", win().window);
    ASSERT_TRUE(click(win().okButton));
    EXPECT_EQ(std::make_tuple(vornicString(), false),
              std::make_tuple(app().binary, (app().flags & APP_RUNTIME_DONE) != 0));

    /* An absolute path is checked as it stands. */
    typeInto(win().binaryEntry, chosen.c_str());
    ClosingProbe probe(main);
    ASSERT_TRUE(click(win().okButton));
    probe.expectClosedOnce();
    EXPECT_EQ(vornicString(chosen), app().binary);
}

} // namespace
