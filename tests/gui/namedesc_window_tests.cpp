/*
 * namedesc_window_tests.cpp - the Name and description window, reached as a
 * user reaches it: an application added and selected in the main window, its
 * general information and runtime data stored, then "Name and description".
 *
 * Every action is checked twice, against the list the user sees and against
 * the entries the model keeps, because the two are tied only by the locale
 * code shown in each row.
 */
#include "editing_window.h"

#include <iterator>
#include <map>
#include <utility>

namespace {

struct Fields {
    std::string code, name, description;
    bool operator==(const Fields &other) const
    {
        return code == other.code && name == other.name && description == other.description;
    }
};

std::ostream &operator<<(std::ostream &out, const Fields &f)
{
    return out << "{\"" << f.code << "\", \"" << f.name << "\", \"" << f.description << "\"}";
}

/* Live entries by code: name and description. */
using Entries = std::map<std::string, std::pair<std::string, std::string>>;

/* The main controls usable with the app selected and no window open, before
 * the en_US mark decides "Menu categories". */
const std::vector<std::string> kIdleMainControls = {
    "name entry", "Add app",      "Rename app",          "Remove app",
    "app list",   "General information", "Runtime data", "Name and description"};

class NameDescWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        /* A code that merely begins with "en_US" is another locale. */
        main.catalogue.push_back("en_US.UTF-8");
        main.localeCount = static_cast<std::int32_t>(main.catalogue.size());
        useProjectDir(tempDir());
        appIndex = addAndSelectApp("Frogger");
        ASSERT_GE(appIndex, 0);
        /* The two earlier windows have their own tests; here only their
         * marks matter. */
        app().flags |= APP_GENERAL_DONE | APP_RUNTIME_DONE;
        guiUpdateMainButtonActivity(&main);
        openWindow();
    }

    vornicNameDescWidgets &win() { return main.nameDesc; }
    vornicApp &app() { return main.apps[static_cast<std::size_t>(appIndex)]; }
    bool enUsMark() { return (app().flags & APP_LOCALE_EN_US) != 0; }
    std::vector<std::string> rows() { return listRows(win().localeList); }
    int selectedRows()
    {
        return gtk_tree_selection_count_selected_rows(
            gtk_tree_view_get_selection(GTK_TREE_VIEW(win().localeList)));
    }

    /* A window opens with one row per live entry, in slot order, and three
     * empty fields. */
    void openWindow()
    {
        ASSERT_TRUE(click(main.mainWin.nameDescButton));
        ASSERT_TRUE(main.subWindowOpen);
        ASSERT_EQ(win().window, main.parentWindow);
        std::vector<std::string> live;
        for (const vornicLocale &entry : app().locales)
            if (entry.flags & SLOT_USED)
                live.push_back(entry.code);
        EXPECT_EQ(live, rows());
        EXPECT_EQ(Fields{}, shown());
        EXPECT_EQ(std::vector<std::string>{}, sensitiveMainControls(main));
    }

    void fill(const Fields &f)
    {
        typeInto(win().localeEntry, f.code.c_str());
        typeInto(win().nameEntry, f.name.c_str());
        typeInto(win().descView, f.description.c_str());
    }

    Fields shown()
    {
        return {textOf(win().localeEntry), textOf(win().nameEntry), textOf(win().descView)};
    }

    /* The model's live entries, each also checked to be found by its code. */
    Entries entries()
    {
        Entries live;
        for (std::size_t i = 0; i < app().locales.size(); ++i) {
            const vornicLocale &entry = app().locales[i];
            if (entry.flags & SLOT_USED) {
                live[entry.code] = {entry.name, entry.description};
                EXPECT_EQ(static_cast<std::int32_t>(i), localeExists(&main, entry.code.c_str()));
            }
            EXPECT_EQ(0u, entry.flags & SLOT_EDITING) << "slot " << i;
        }
        return live;
    }

    /* Clicks and returns what the click printed on standard output. */
    std::string clickCapturing(GtkWidget *button)
    {
        testing::internal::CaptureStdout();
        click(button);
        return testing::internal::GetCapturedStdout();
    }

    void add(const Fields &f)
    {
        fill(f);
        click(win().addButton);
    }

    std::int32_t appIndex = -1;
};

Fields fieldsOf(const Entries &entries, const std::string &code)
{
    auto found = entries.find(code);
    return found == entries.end() ? Fields{}
                                  : Fields{code, found->second.first, found->second.second};
}

TEST_F(NameDescWindowTest, OpensWithItsLayout)
{
    vornicNameDescWidgets &w = win();
    GtkWindow *window = GTK_WINDOW(w.window);
    EXPECT_STREQ("Vornic - Name and description", gtk_window_get_title(window));
    gint width = 0, height = 0;
    gtk_window_get_default_size(window, &width, &height);
    EXPECT_EQ(400, width);
    EXPECT_EQ(300, height);
    EXPECT_EQ(5u, gtk_container_get_border_width(GTK_CONTAINER(window)));
    EXPECT_FALSE(gtk_window_get_modal(window));
    EXPECT_EQ(nullptr, gtk_window_get_transient_for(window));
    EXPECT_TRUE(gtk_widget_get_visible(w.window));

    EXPECT_EQ(std::vector<GtkWidget *>{w.vbox}, childrenOf(w.window));
    EXPECT_EQ(std::vector<GtkWidget *>{w.table}, childrenOf(w.vbox));
    guint rowsN = 0, columnsN = 0;
    gboolean homogeneous = TRUE;
    g_object_get(w.table, "n-rows", &rowsN, "n-columns", &columnsN, "homogeneous", &homogeneous,
                 nullptr);
    EXPECT_EQ(6u, rowsN);
    EXPECT_EQ(2u, columnsN);
    EXPECT_FALSE(homogeneous);

    const auto shrinkFill = GtkAttachOptions(GTK_SHRINK | GTK_FILL);
    const auto expandFill = GtkAttachOptions(GTK_EXPAND | GTK_FILL);
    const struct {
        GtkWidget *child;
        const char *what;
        guint left, right, top, bottom;
        GtkAttachOptions x, y;
    } layout[] = {
        {w.localeLabel, "Locale", 0, 1, 0, 1, shrinkFill, shrinkFill},
        {w.nameLabel, "Name of application", 0, 1, 1, 2, shrinkFill, shrinkFill},
        {w.descLabel, "Description", 0, 1, 2, 3, shrinkFill, shrinkFill},
        {w.localeEntry, "locale entry", 1, 2, 0, 1, expandFill, shrinkFill},
        {w.nameEntry, "name entry", 1, 2, 1, 2, shrinkFill, shrinkFill},
        {w.descScroller, "description scroller", 1, 2, 2, 3, shrinkFill, expandFill},
        {w.buttonRow, "button row", 0, 2, 3, 4, shrinkFill, shrinkFill},
        {w.listScroller, "list scroller", 0, 2, 4, 5, shrinkFill, expandFill},
        {w.okButton, "OK", 0, 2, 5, 6, shrinkFill, shrinkFill},
    };
    EXPECT_EQ(std::size(layout), childrenOf(w.table).size());
    for (const auto &want : layout) {
        SCOPED_TRACE(want.what);
        TableAttach at = tableAttachment(want.child);
        EXPECT_EQ(want.left, at.left);
        EXPECT_EQ(want.right, at.right);
        EXPECT_EQ(want.top, at.top);
        EXPECT_EQ(want.bottom, at.bottom);
        EXPECT_EQ(want.x, at.xoptions);
        EXPECT_EQ(want.y, at.yoptions);
        EXPECT_EQ(5u, at.xpadding);
        EXPECT_EQ(5u, at.ypadding);
        if (GTK_IS_LABEL(want.child)) {
            EXPECT_STREQ(want.what, gtk_label_get_text(GTK_LABEL(want.child)));
        }
    }

    EXPECT_EQ((std::vector<GtkWidget *>{w.addButton, w.modButton, w.delButton}),
              childrenOf(w.buttonRow));
    for (GtkWidget *button : {w.addButton, w.modButton, w.delButton, w.okButton}) {
        gint bw = 0, bh = 0;
        gtk_widget_get_size_request(button, &bw, &bh);
        EXPECT_EQ(80, bw) << gtk_button_get_label(GTK_BUTTON(button));
        EXPECT_EQ(30, bh) << gtk_button_get_label(GTK_BUTTON(button));
    }
    EXPECT_STREQ("OK", gtk_button_get_label(GTK_BUTTON(w.okButton)));
    EXPECT_EQ(std::vector<GtkWidget *>{w.descView}, childrenOf(w.descScroller));
    EXPECT_EQ(std::vector<GtkWidget *>{w.localeList}, childrenOf(w.listScroller));
    EXPECT_FALSE(gtk_tree_view_get_headers_visible(GTK_TREE_VIEW(w.localeList)));
    EXPECT_EQ(GTK_WRAP_WORD, gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(w.descView)));
}

/* One user action and what must hold after it.  Before Modify and Delete the
 * fields hold stale text, so selecting the row must replace all three. */
enum class Action { Add, Modify, Delete };
struct Step {
    const char *what;
    Action action;
    const char *row; /* the row selected first; null: none */
    Fields typed;
    std::vector<std::string> rows;
    bool enUsMark;
};

TEST_F(NameDescWindowTest, EachActionKeepsListModelAndEnUsMarkInStep)
{
    const Step script[] = {
        {"add en_US", Action::Add, nullptr, {"en_US", "Frog", "Jumps\nacross roads.\n"},
         {"en_US"}, true},
        {"add a second code", Action::Add, nullptr, {"de_DE", "Frosch", "Hüpft über Straßen"},
         {"en_US", "de_DE"}, true},
        {"modify en_US to another code", Action::Modify, "en_US",
         {"fr_FR", "Grenouille", "Saute les routes"}, {"fr_FR", "de_DE"}, false},
        {"modify another entry to en_US", Action::Modify, "de_DE",
         {"en_US", "Frog", "Two\nlines"}, {"fr_FR", "en_US"}, true},
        {"modify keeping the code", Action::Modify, "en_US", {"en_US", "Froggy", "Two\nlines"},
         {"fr_FR", "en_US"}, true},
        {"add a third code", Action::Add, nullptr, {"ja_JP", "Kaeru", "Tobu"},
         {"fr_FR", "en_US", "ja_JP"}, true},
        {"modify with no row selected", Action::Modify, nullptr, {"de_DE", "Frosch", "Hüpft"},
         {"fr_FR", "en_US", "ja_JP"}, true},
        {"delete the first row", Action::Delete, "fr_FR", {}, {"en_US", "ja_JP"}, true},
        {"delete en_US", Action::Delete, "en_US", {}, {"ja_JP"}, false},
        {"add a code that begins with en_US", Action::Add, nullptr,
         {"en_US.UTF-8", "Frog", "Jumps"}, {"ja_JP", "en_US.UTF-8"}, false},
    };

    Entries expected;
    for (const Step &step : script) {
        SCOPED_TRACE(step.what);
        fill({"stale", "stale name", "stale\ndescription"});
        deselectAll(win().localeList);
        if (step.row) {
            ASSERT_TRUE(selectRow(win().localeList, step.row));
            EXPECT_EQ(fieldsOf(expected, step.row), shown());
        }
        if (step.action != Action::Delete)
            fill(step.typed);
        Fields before = shown();

        GtkWidget *button = step.action == Action::Add      ? win().addButton
                            : step.action == Action::Modify ? win().modButton
                                                            : win().delButton;
        std::string printed = clickCapturing(button);

        if (step.action == Action::Delete)
            expected.erase(step.row);
        else if (step.action == Action::Add || step.row) {
            if (step.row)
                expected.erase(step.row);
            expected[step.typed.code] = {step.typed.name, step.typed.description};
        }
        EXPECT_EQ(step.rows, rows());
        EXPECT_EQ(expected, entries());
        EXPECT_EQ(step.enUsMark, enUsMark());
        EXPECT_EQ(before, shown()) << "the fields must keep their contents";
        EXPECT_EQ(step.action == Action::Delete ? "Free() did okay...\n" : "", printed);
        if (step.action == Action::Add) {
            EXPECT_EQ(0, selectedRows());
        }
        EXPECT_EQ(win().window, main.parentWindow);
    }
}

/* A refused action shows its one message over this window and changes
 * nothing: not the list, the entries, the mark, nor what was typed. */
struct Refusal {
    const char *what;
    const char *row; /* null: Add; otherwise Modify of this row */
    Fields typed;
    const char *message;
};

TEST_F(NameDescWindowTest, RefusalsShowTheirMessageAndChangeNothing)
{
    const char *const noLocale = "You must enter a locale!";
    const char *const unknown = "Entered locale does not exist!";
    const char *const duplicate = "It does alredy exist a entry for that locale!";
    const char *const noName = "You must enter a name for the application!";
    const char *const noDescription = "You must enter a description for the application!";
    const Refusal refusals[] = {
        {"empty code", nullptr, {"", "Frog", "Jumps"}, noLocale},
        {"empty code and name", nullptr, {"", "", "Jumps"}, noLocale},
        {"code not in the catalogue", nullptr, {"xx_XX", "Frog", "Jumps"}, unknown},
        {"code differing in case", nullptr, {"EN_us", "Frog", "Jumps"}, unknown},
        {"code with a trailing blank", nullptr, {"en_US ", "Frog", "Jumps"}, unknown},
        {"duplicate code", nullptr, {"de_DE", "Frosch", "Hüpft"}, duplicate},
        {"empty name", nullptr, {"en_US", "", "Jumps"}, noName},
        {"empty description", nullptr, {"en_US", "Frog", ""}, noDescription},
        {"modify to another live code", "fr_FR", {"de_DE", "Frosch", "Hüpft"}, duplicate},
        {"modify to an unknown code", "de_DE", {"de_de", "Frosch", "Hüpft"}, unknown},
        {"modify with an empty name", "de_DE", {"de_DE", "", "Hüpft"}, noName},
        {"modify with an empty description", "fr_FR", {"ja_JP", "Kaeru", ""}, noDescription},
    };

    add({"de_DE", "Frosch", "Hüpft"});
    add({"fr_FR", "Grenouille", "Saute"});
    const Entries stored = entries();
    const std::vector<std::string> listed = rows();
    ASSERT_EQ(2u, stored.size());

    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        deselectAll(win().localeList);
        if (refusal.row) {
            ASSERT_TRUE(selectRow(win().localeList, refusal.row));
        }
        fill(refusal.typed);

        expectError(refusal.message, win().window);
        click(refusal.row ? win().modButton : win().addButton);
        EXPECT_EQ(0u, pendingDialogs());

        EXPECT_EQ(listed, rows());
        EXPECT_EQ(stored, entries());
        EXPECT_FALSE(enUsMark());
        EXPECT_EQ(refusal.typed, shown());
        EXPECT_TRUE(main.subWindowOpen);
        EXPECT_EQ(win().window, main.parentWindow);
    }
}

/* Closing by OK and by the window manager are the same road: each runs
 * guiWindowKill once and leaves "Menu categories" usable exactly when a live
 * en_US entry exists, also after the window was reopened in between. */
enum class Close { OkButton, WindowManager };
struct Visit {
    const char *what;
    std::function<void()> act;
    Close close;
    bool categories;
};

TEST_F(NameDescWindowTest, ClosingReturnsToTheMainWindowWithTheMarkApplied)
{
    auto modify = [this](const char *row, const Fields &f) {
        return [this, row, f] {
            selectRow(win().localeList, row);
            fill(f);
            click(win().modButton);
        };
    };
    auto remove = [this](const char *row) {
        return [this, row] {
            selectRow(win().localeList, row);
            clickCapturing(win().delButton);
        };
    };
    auto add = [this](const Fields &f) { return [this, f] { this->add(f); }; };
    const Visit visits[] = {
        {"nothing stored", [] {}, Close::OkButton, false},
        {"en_US added", add({"en_US", "Frog", "Jumps"}), Close::WindowManager, true},
        {"en_US modified away", modify("en_US", {"de_DE", "Frosch", "Hüpft"}), Close::OkButton,
         false},
        {"another entry modified to en_US", modify("de_DE", {"en_US", "Frog", "Jumps"}),
         Close::WindowManager, true},
        {"en_US deleted", remove("en_US"), Close::WindowManager, false},
        {"en_US added again", add({"en_US", "Frog", "Jumps"}), Close::OkButton, true},
    };

    for (std::size_t i = 0; i < std::size(visits); ++i) {
        const Visit &visit = visits[i];
        SCOPED_TRACE(visit.what);
        if (i > 0)
            openWindow();
        visit.act();

        ClosingProbe probe(main);
        if (visit.close == Close::OkButton)
            click(win().okButton);
        else
            sendDeleteEvent(win().window);
        probe.expectClosedOnce();
        EXPECT_EQ(0ul, main.subWindowDestroyHandler);
        EXPECT_EQ(visit.categories, enUsMark());
        std::vector<std::string> usable = kIdleMainControls;
        if (visit.categories)
            usable.push_back("Menu categories");
        EXPECT_EQ(usable, sensitiveMainControls(main));
    }
}

TEST_F(NameDescWindowTest, ReopenedWindowListsRowsInSlotOrder)
{
    add({"en_US", "Frog", "Jumps"});
    add({"de_DE", "Frosch", "Hüpft"});
    selectRow(win().localeList, "en_US");
    EXPECT_EQ("Free() did okay...\n", clickCapturing(win().delButton));
    add({"fr_FR", "Grenouille", "Saute"});
    EXPECT_EQ((std::vector<std::string>{"de_DE", "fr_FR"}), rows());

    click(win().okButton);
    openWindow();
    /* fr_FR took the slot that en_US freed. */
    EXPECT_EQ(0, localeExists(&main, "fr_FR"));
    EXPECT_EQ((std::vector<std::string>{"fr_FR", "de_DE"}), rows());
    ASSERT_TRUE(selectRow(win().localeList, "fr_FR"));
    EXPECT_EQ((Fields{"fr_FR", "Grenouille", "Saute"}), shown());
}

} // namespace
