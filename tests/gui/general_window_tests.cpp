/*
 * general_window_tests.cpp - the General information window, reached as a
 * user reaches it: a project directory, an application added and selected in
 * the main window, then "General information".
 *
 * What the window shows is compared with what the record holds after each
 * way of closing it, because the two meet only through the form read on OK
 * and the values written back when the window is built again.
 */
#include "editing_window.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <tuple>

namespace {

using Widget = GtkWidget *vornicGeneralWidgets::*;

/* The values of the window, as typed or as shown. */
struct General {
    std::string author, homePage, email, icon;
    int major, minor, release, build;

    auto tied() const
    {
        return std::tie(author, homePage, email, icon, major, minor, release, build);
    }
    bool operator==(const General &other) const { return tied() == other.tied(); }
};

std::ostream &operator<<(std::ostream &out, const General &g)
{
    return out << "{\"" << g.author << "\", \"" << g.homePage << "\", \"" << g.email << "\", \""
               << g.icon << "\", " << g.major << "." << g.minor << "." << g.release << "."
               << g.build << "}";
}

/* The general information of a record and its mark, compared as a whole. */
auto storedGeneral(const vornicApp &app)
{
    return std::make_tuple(app.author, app.homePage, app.email, app.icon, app.verMajor,
                           app.verMinor, app.verRelease, app.verBuild,
                           (app.flags & APP_GENERAL_DONE) != 0);
}

/* Made in the project directory, and nowhere else. */
const char kIcon[] = "icons/menu.png";

/* Passes every check; the icon is found only relative to the project
 * directory. */
const General kValid = {"Ann", "http://example.org", "ann@example.org", kIcon, 2, 4, 6, 8};

class GeneralWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        makeFile(kIcon);
        useProjectDir(tempDir());
        appIndex = addAndSelectApp("Frogger");
        ASSERT_GE(appIndex, 0);
    }

    vornicGeneralWidgets &win() { return main.general; }
    const vornicApp &app() { return main.apps[static_cast<std::size_t>(appIndex)]; }
    GtkWidget *window() { return main.parentWindow; }

    /* Opens the window through the main window's button. */
    void open()
    {
        ASSERT_TRUE(click(main.mainWin.generalButton));
        ASSERT_TRUE(main.subWindowOpen);
        ASSERT_NE(main.mainWin.window, window());
    }

    void type(const General &g)
    {
        typeInto(win().authorEntry, g.author.c_str());
        typeInto(win().homePageEntry, g.homePage.c_str());
        typeInto(win().emailEntry, g.email.c_str());
        typeInto(win().iconEntry, g.icon.c_str());
        /* Typed text only: OK itself must take the value over. */
        typeInto(win().majorSpin, std::to_string(g.major).c_str());
        typeInto(win().minorSpin, std::to_string(g.minor).c_str());
        typeInto(win().releaseSpin, std::to_string(g.release).c_str());
        typeInto(win().buildSpin, std::to_string(g.build).c_str());
    }

    /* What the user sees: a spin button's text, which a typed value reaches
     * before the button's own value does. */
    General shown()
    {
        auto number = [](GtkWidget *spin) { return std::atoi(textOf(spin).c_str()); };
        return {textOf(win().authorEntry), textOf(win().homePageEntry),
                textOf(win().emailEntry),  textOf(win().iconEntry),
                number(win().majorSpin),   number(win().minorSpin),
                number(win().releaseSpin), number(win().buildSpin)};
    }

    /* Types g, presses OK and expects the window to close, once. */
    void store(const General &g)
    {
        type(g);
        ClosingProbe probe(main);
        ASSERT_TRUE(click(win().okButton));
        probe.expectClosedOnce();
    }

    std::int32_t appIndex = -1;
};

TEST_F(GeneralWindowTest, OpensAsItsOwnToplevelOverTheFreshRecord)
{
    open();
    expectEditingWindowFrame(window(), "Vornic - General information", win().table);
    EXPECT_EQ((General{"", "", "", "", 1, 0, 0, 0}), shown());
    EXPECT_EQ(std::vector<std::string>{}, sensitiveMainControls(main));
}

TEST_F(GeneralWindowTest, EveryWidgetSitsInItsCell)
{
    using G = vornicGeneralWidgets;
    /* Created 6 by 6, the table grows to 7 by 7 as the widgets go in.  The
     * icon label's sign is the multiplication sign, U+00D7. */
    const Cell<G> cells[] = {
        {&G::authorLabel, "Author", 0, 1, 0, 1},
        {&G::homePageLabel, "Homepage", 0, 1, 1, 2},
        {&G::emailLabel, "E-mail", 0, 1, 2, 3},
        {&G::versionLabel, "Version", 0, 1, 3, 4},
        {&G::majorLabel, "Major", 1, 2, 4, 5},
        {&G::minorLabel, "Minor", 2, 3, 4, 5},
        {&G::releaseLabel, "Release", 3, 4, 4, 5},
        {&G::buildLabel, "Build", 4, 5, 4, 5},
        {&G::iconLabel, "Menu icon file\n(max 32\u00d732)", 0, 1, 5, 6},
        {&G::cancelButton, "Cancel", 0, 1, 6, 7},
        {&G::authorEntry, nullptr, 1, 7, 0, 1},
        {&G::homePageEntry, nullptr, 1, 7, 1, 2},
        {&G::emailEntry, nullptr, 1, 7, 2, 3},
        {&G::majorSpin, nullptr, 1, 2, 3, 4},
        {&G::minorSpin, nullptr, 2, 3, 3, 4},
        {&G::releaseSpin, nullptr, 3, 4, 3, 4},
        {&G::buildSpin, nullptr, 4, 5, 3, 4},
        {&G::iconEntry, nullptr, 1, 4, 5, 6},
        {&G::browseButton, "Browse", 4, 7, 5, 6, 0},
        {&G::okButton, "OK", 1, 7, 6, 7},
    };
    open();
    expectGrid(win(), 7, 7, cells);
}

TEST_F(GeneralWindowTest, VersionSpinsHoldWholeNumbersFrom0To255)
{
    open();
    const Widget spins[] = {&vornicGeneralWidgets::majorSpin, &vornicGeneralWidgets::minorSpin,
                            &vornicGeneralWidgets::releaseSpin, &vornicGeneralWidgets::buildSpin};
    for (Widget field : spins) {
        GtkSpinButton *spin = GTK_SPIN_BUTTON(win().*field);
        GtkAdjustment *range = gtk_spin_button_get_adjustment(spin);
        EXPECT_EQ(0.0, gtk_adjustment_get_lower(range));
        EXPECT_EQ(255.0, gtk_adjustment_get_upper(range));
        /* The page keys move by one as well. */
        EXPECT_EQ(1.0, gtk_adjustment_get_step_increment(range));
        EXPECT_EQ(1.0, gtk_adjustment_get_page_increment(range));
        EXPECT_EQ(0.0, gtk_adjustment_get_page_size(range));
        EXPECT_EQ(0u, gtk_spin_button_get_digits(spin));
        EXPECT_TRUE(gtk_spin_button_get_snap_to_ticks(spin));
    }

    /* Typed, never confirmed with Enter or by leaving the field. */
    type(kValid);
    typeInto(win().majorSpin, "300");
    typeInto(win().buildSpin, "0");
    ClosingProbe probe(main);
    ASSERT_TRUE(click(win().okButton));
    probe.expectClosedOnce();
    EXPECT_EQ(std::make_tuple(255, 4, 6, 0),
              std::make_tuple(app().verMajor, app().verMinor, app().verRelease, app().verBuild));
}

TEST_F(GeneralWindowTest, OkStoresSubstitutedStringsAndReopeningShowsThem)
{
    const General typed = {"Ann \"the <frog> keeper\"", "http://example.org/?a=<b>&c=\"d\"",
                           "\"ann\"@example.org", kIcon, 0, 255, 17, 3};
    const General stored = {"Ann 'the [frog] keeper'", "http://example.org/?a=[b]&c='d'",
                            "'ann'@example.org", kIcon, 0, 255, 17, 3};
    open();
    store(typed);
    EXPECT_EQ(std::make_tuple(vornicString(stored.author), vornicString(stored.homePage),
                              vornicString(stored.email), vornicString(stored.icon), 0, 255, 17,
                              3, true),
              storedGeneral(app()));
    EXPECT_EQ("Frogger", app().name);
    std::vector<std::string> idle = sensitiveMainControls(main);
    EXPECT_NE(idle.end(), std::find(idle.begin(), idle.end(), "Runtime data"));
    EXPECT_EQ(idle.end(), std::find(idle.begin(), idle.end(), "Name and description"));

    /* A second store replaces all eight values and keeps the mark. */
    open();
    EXPECT_EQ(stored, shown());
    store(kValid);
    EXPECT_EQ(std::make_tuple(vornicString(kValid.author), vornicString(kValid.homePage),
                              vornicString(kValid.email), vornicString(kValid.icon), 2, 4, 6, 8,
                              true),
              storedGeneral(app()));
    EXPECT_EQ(idle, sensitiveMainControls(main));
}

TEST_F(GeneralWindowTest, StoredIconIsCheckedAgainUnderItsSubstitutedName)
{
    /* The file exists as typed; the stored name, with an apostrophe, does
     * not, and that is what a reopened window hands back. */
    makeFile("icons/\"quoted\".png");
    General quoted = kValid;
    quoted.icon = "icons/\"quoted\".png";
    open();
    store(quoted);
    EXPECT_EQ(vornicString("icons/'quoted'.png"), app().icon);

    open();
    auto before = storedGeneral(app());
    expectError("Icon file does not exist!", window());
    ClosingProbe probe(main);
    ASSERT_TRUE(click(win().okButton));
    probe.expectStillOpen();
    EXPECT_EQ(before, storedGeneral(app()));
}

TEST_F(GeneralWindowTest, RefusedValuesStayInTheOpenWindowUntilCorrected)
{
    struct Refusal {
        Widget field;
        const char *typed;
        const char *message;
        Answer dismissal;
    };
    const Refusal refusals[] = {
        {&vornicGeneralWidgets::authorEntry, "", "You must specify the author!", Answer::Ok},
        {&vornicGeneralWidgets::homePageEntry, "https://example.org",
         "If you specify a home page, it should begin with \u00bbhttp://\u00ab", Answer::Ok},
        {&vornicGeneralWidgets::homePageEntry, "http://localhost", "A home page must have a TLD...",
         Answer::Ok},
        {&vornicGeneralWidgets::emailEntry, "ann.smith@example",
         "If you enter a mail address, it must be valid!", Answer::Ok},
        /* Exists in the project directory only under icons/. */
        {&vornicGeneralWidgets::iconEntry, "menu.png", "Icon file does not exist!",
         Answer::Close},
    };
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.message);
        open();
        type(kValid);
        typeInto(win().*refusal.field, refusal.typed);
        const General typed = shown();
        auto before = storedGeneral(app());

        expectError(refusal.message, window(), refusal.dismissal);
        {
            ClosingProbe probe(main);
            ASSERT_TRUE(click(win().okButton));
            EXPECT_EQ(0u, pendingDialogs());
            probe.expectStillOpen();
        }
        EXPECT_EQ(typed, shown());
        EXPECT_EQ(before, storedGeneral(app()));

        /* Corrected in place, the same window stores and closes. */
        store(kValid);
        EXPECT_EQ(vornicString(kValid.author), app().author);
        EXPECT_EQ(vornicString(kValid.icon), app().icon);
    }
}

TEST_F(GeneralWindowTest, CancelAndWindowManagerCloseDiscardEdits)
{
    const General edits = {"Bob", "http://bob.example", "bob@example.org", "", 9, 9, 9, 9};
    for (bool storedFirst : {false, true}) {
        if (storedFirst) {
            open();
            store(kValid);
        }
        const General expectedOnReopen =
            storedFirst ? kValid : General{"", "", "", "", 1, 0, 0, 0};
        for (const DiscardingClose &way : kDiscardingCloses) {
            SCOPED_TRACE(std::string(way.name) + (storedFirst ? " after a store" : " when fresh"));
            open();
            auto before = storedGeneral(app());
            type(edits);
            {
                ClosingProbe probe(main);
                way.close(win().cancelButton, window());
                probe.expectClosedOnce();
            }
            EXPECT_EQ(before, storedGeneral(app()));
            open();
            EXPECT_EQ(expectedOnReopen, shown());
            click(win().cancelButton);
        }
    }
}

TEST_F(GeneralWindowTest, OpenersDoNothingWhileAWindowIsOpen)
{
    open();
    GtkWidget *opened = window();
    GtkWidget *author = win().authorEntry;
    typeInto(author, "typed");
    GList *before = gtk_window_list_toplevels();
    const guint toplevels = g_list_length(before);
    g_list_free(before);

    ClosingProbe probe(main);
    guiMakeAppGeneralDiag(main.mainWin.generalButton, &main);
    guiMakeRuntimeDiag(main.mainWin.runtimeButton, &main);
    pumpEvents();

    probe.expectStillOpen();
    GList *after = gtk_window_list_toplevels();
    EXPECT_EQ(toplevels, g_list_length(after));
    g_list_free(after);
    EXPECT_EQ(opened, window());
    EXPECT_EQ(author, win().authorEntry);
    EXPECT_EQ("typed", textOf(author));
}

TEST_F(GeneralWindowTest, BrowseFillsTheIconEntryOnlyWhenAFileIsChosen)
{
    const std::string chosen = makeFile("art/large-icon.png");
    open();
    typeInto(win().authorEntry, "Ann");
    expectBrowseFills(win().browseButton, win().iconEntry, "Select icon image", chosen,
                      makeFile("art/caf\xe9.png"), window());

    /* The display form of a name that is not UTF-8 is refused, not
     * stored. */
    expectError("Icon file does not exist!", window());
    ASSERT_TRUE(click(win().okButton));
    EXPECT_EQ(std::make_tuple(vornicString(), false),
              std::make_tuple(app().icon, (app().flags & APP_GENERAL_DONE) != 0));

    /* An absolute path is checked as it stands, whatever its image size. */
    typeInto(win().iconEntry, chosen.c_str());
    ClosingProbe probe(main);
    ASSERT_TRUE(click(win().okButton));
    probe.expectClosedOnce();
    EXPECT_EQ(vornicString(chosen), app().icon);
}

} // namespace
