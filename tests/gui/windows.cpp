/*
 * windows.cpp - the four windows, each led through every edge of its rules
 * in a fixed order.  Catches: a main-window control usable at the wrong step
 * of the chain; an application row added, renamed or removed wrongly; a
 * check that refuses what it must accept, accepts what it must refuse or
 * runs out of order; a value read from or stored into the wrong place, or
 * stored without its substitutions; a window, dialog or chooser that ends
 * otherwise than its button or the window manager's close says; and a
 * window whose controls stand in another order, are named otherwise for a
 * screen reader, take extra room otherwise as it grows, or that is modal,
 * transient or focused otherwise than designed.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "harness.h"

#include <algorithm>
#include <sstream>
#include <tuple>

namespace {

enum Win { General, Runtime, NameDesc, Main };
const char *const kTitle[] = {"Vornic - General information", "Vornic - Runtime settings",
                              "Vornic - Name and description", "Vornic"};

/* Each window as layoutOf() reads it. */
const char kMainLayout[] = "Vornic focus:Select directory Select directory^> | Application name^> Add app^> Rename app^> Remove app^> | General "
                           "information^> | Applications^> | Runtime data^> | Name and description^> | Menu "
                           "categories^> | Export to PND^>";
const char *const kLayout[] = {
    "Vornic - General information focus:Author Author Author | Homepage Homepage | E-mail E-mail | Version Major Minor "
    "Release Build | Major Minor Release Build | Menu icon file\n(max 32\303\22732) Menu icon file\n(max 32\303\22732) "
    "Browse | Cancel OK",
    "Vornic - Runtime settings focus:Unique ID Unique ID Unique ID | Appdata directory Appdata directory | Starting "
    "directory Starting directory | x11 mode x11 mode | Application binary Application binary Browse | Arguments "
    "Arguments | CPU frequency CPU frequency | Allow multitasking Allow multitasking | Requires inputfile Requires "
    "inputfile | Cancel OK",
    "Vornic - Name and description focus:Locale Locale Locale> | Name of application Name of application> | "
    "Description^ | Description^> | Add> Modify> Delete> | Locales^> | OK>"};

/* A form typed into the first fields of the General information or Runtime
 * settings window, their values in order between "|", and the message that
 * OK must bring; none when the form is stored. */
struct Form {
    string typed;
    string refusal = "";
};

/* Every check of the General information window, with the other fields
 * valid or, to show the order of the checks, failing later checks. */
const Form kGeneralForms[] = {
    /* author, home page, e-mail, icon */
    {"|x|x|missing", "You must specify the author!"},
    {"A| http://ab|x|missing", "If you specify a home page, it should begin with »http://«"},
    {"A|HTTP://a.b||", "If you specify a home page, it should begin with »http://«"},
    {"A|https://a.b||", "If you specify a home page, it should begin with »http://«"},
    {"A|http:/a.b||", "If you specify a home page, it should begin with »http://«"},
    {"A|http://ab|x|missing", "A home page must have a TLD..."},
    {" |||"},
    {"A|http://.|@.|~/icon"},
    {"A|http://x/a.b|a@b.c@d|fifo"}, /* nothing writes to the pipe: checking must not wait */
    {"A||a.b@c|missing", "If you enter a mail address, it must be valid!"},
    /* stored with its substitutions */
    {" Zoë \"Z\" <z> & 'k' |http://<x>.org|\"q\"@x.y|q\"uote"},
    {kLong + "|||" + kLongPath},
};

/* Every check of the Runtime settings window, likewise; the choices and the
 * switches are never checked. */
const Form kRuntimeForms[] = {
    /* unique ID, appdata directory, starting directory, binary, arguments,
     * then CPU frequency, X11 mode, multitasking and input file */
    {"|a/b|||", "You must specify a unique ID!"},
    {"id|a/b|||", "You must specify the application binary!"},
    {"id|a/b||missing|", "Application binary does not exist!"},
    {"id|a/b||bin|", "Appdata directory must be a name, not a path!"},
    {"id|~x||bin|", "Appdata directory must be a name, not a path!"},
    {"id|a..b||bin|", "Appdata directory must be a name, not a path!"},
    {" |.|../x|sub|"},
    {"id|||/dev/null||5|1|0|1"},
    {"\"<>\"|ü|\"a\" <b>|<b>| -v \"x\" <in> >out & "},
    {kLong + "||" + kLongPath + "|" + kLongPath + "|" + kLong},
};

/* The Name and description window step by step: the row clicked first
 * (-1: none), what is typed over the first fields, the button pressed,
 * whether the application then has its en_US mark, and the message the
 * button must bring, if any.  After each step the entries still show what
 * was typed.  Every check of Add comes first, then Modify. */
struct LocaleStep {
    int row;
    string typed;
    string button;
    bool enUs;
    string refusal = "";
};
const LocaleStep kLocaleSteps[] = {
    /* row, locale|name|description, button, en_US mark, refusal */
    {-1, "", "Add", false, "You must enter a locale!"},
    {-1, "en_us|n|d", "Add", false, "Entered locale does not exist!"},
    {-1, "en_U|n|d", "Add", false, "Entered locale does not exist!"},
    {-1, "EN_US||", "Add", false, "You must enter a name for the application!"},
    {-1, "EN_US|n|", "Add", false, "You must enter a description for the application!"},
    {-1, "EN_US| |two\nlines", "Add", false},
    {-1, "EN_US||", "Add", false, "It does alredy exist a entry for that locale!"},
    {-1, "en_US.UTF-8|" + kLong + "|" + kLongText, "Add", false},
    {-1, "de_DE|Frosch|Hüpft", "Add", false},
    {-1, "en_US|Name|Text", "Add", true},
    {0, "de_DE", "Modify", true, "It does alredy exist a entry for that locale!"},
    {0, "EN_US|Name|", "Modify", true, "You must enter a description for the application!"},
    {0, "EN_US|Name|Text", "Modify", true},
    {3, "fr_FR", "Modify", false},
    {2, "en_US", "Modify", true},
};

/* The controls under a widget; boxes and tables only hold them, and a
 * scrolled window counts as what it holds. */
void collect(GtkWidget *widget, vector<GtkWidget *> &controls) {
    if (GTK_IS_SCROLLED_WINDOW(widget))
        widget = gtk_bin_get_child(GTK_BIN(widget));
    if (!GTK_IS_BOX(widget) && !GTK_IS_TABLE(widget)) {
        controls.push_back(widget);
        return;
    }
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *child = children; child; child = child->next)
        collect(GTK_WIDGET(child->data), controls);
    g_list_free(children);
}

/* The controls of a window as a user reads them, row by row. */
vector<GtkWidget *> controlsOf(GtkWidget *window) {
    vector<GtkWidget *> controls;
    collect(gtk_bin_get_child(GTK_BIN(window)), controls);
    std::sort(controls.begin(), controls.end(), [](GtkWidget *a, GtkWidget *b) {
        return std::tie(a->allocation.y, a->allocation.x) < std::tie(b->allocation.y, b->allocation.x);
    });
    return controls;
}

/* A window as a user meets it: its title, whether it is modal or transient
 * for another window and where the focus starts, then row by row (" |") its
 * controls as a user calls them, each with "^" and ">" when it takes extra
 * height and width as the window is enlarged. */
string layoutOf(GtkWidget *window) {
    GtkWindow *shown = GTK_WINDOW(window);
    string all = gtk_window_get_title(shown);
    if (gtk_window_get_modal(shown))
        all += " modal";
    if (gtk_window_get_transient_for(shown))
        all += " transient";
    if (GtkWidget *focus = gtk_window_get_focus(shown))
        all += " focus:" + called(focus);
    vector<GtkWidget *> controls = controlsOf(window);
    vector<GtkAllocation> at;
    for (GtkWidget *control : controls)
        at.push_back(control->allocation);
    GtkAllocation was = window->allocation;
    GtkAllocation larger = {0, 0, was.width + 100, was.height + 100};
    gtk_widget_size_allocate(window, &larger);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (i > 0 && at[i].y != at[i - 1].y)
            all += " |";
        all += " " + called(controls[i]);
        if (controls[i]->allocation.height > at[i].height)
            all += "^";
        if (controls[i]->allocation.width > at[i].width)
            all += ">";
    }
    gtk_widget_size_allocate(window, &was);
    return all;
}

/* The stored form of a text: quotes and angle brackets are replaced. */
string stored(string text) {
    std::replace(text.begin(), text.end(), '"', '\'');
    std::replace(text.begin(), text.end(), '<', '[');
    std::replace(text.begin(), text.end(), '>', ']');
    return text;
}

/* The values of a form, split at each "|". */
Strs valuesOf(const string &form) {
    Strs values;
    std::istringstream fields(form + "|");
    for (string value; std::getline(fields, value, '|');)
        values.push_back(value);
    return values;
}

class Windows : public Gui {
protected:
    GtkWidget *window(Win which) {
        return shownWindow(kTitle[which]);
    }

    /* Clicks the button of that label in a window. */
    void press(Win which, const string &label) {
        if (!button(window(which), label))
            ADD_FAILURE() << "no button " << label;
        else
            click(button(window(which), label));
        pump();
    }

    void selectApp(int row, guint modifiers = 0) {
        selectRow(w.appList, row, modifiers);
        pump();
    }

    void chooseFolder(const string &folder, const string &button) {
        expectedDialogs.push_back({"Select directory", folder, w.window, button});
        press(Main, "Select directory");
    }

    /* Types a name into the main window's entry and presses the button;
     * with a refusal, the message that must come over the main window. */
    void nameApp(const string &label, const string &name, const string &refusal = "") {
        if (!refusal.empty())
            expectedDialogs.push_back({"Fatal error", refusal, w.window, "OK"});
        set(w.nameEntry, name);
        press(Main, label);
    }

    /* The main window's usable controls from top to bottom, as a user calls
     * them. */
    void expectUsable(const string &names) {
        string usable;
        for (GtkWidget *control : controlsOf(w.window)) {
            if (!gtk_widget_get_sensitive(control))
                continue;
            if (!usable.empty())
                usable += ", ";
            usable += called(control);
        }
        EXPECT_EQ(names, usable) << "the usable controls of the main window";
    }

    /* The fields of an editing window in the order of its form. */
    vector<GtkWidget *> fields(Win which) {
        const vornicGeneralWidgets &g = main.general;
        const vornicRuntimeWidgets &r = main.runtime;
        const vornicNameDescWidgets &n = main.nameDesc;
        if (which == General)
            return {g.authorEntry, g.homePageEntry, g.emailEntry, g.iconEntry,
                    g.majorSpin,   g.minorSpin,     g.releaseSpin, g.buildSpin};
        if (which == Runtime)
            return {r.uniqueIdEntry, r.appdataEntry, r.startDirEntry,     r.binaryEntry,   r.argumentsEntry,
                    r.cpuCombo,      r.x11Combo,     r.multitaskingCheck, r.inputFileCheck};
        return {n.localeEntry, n.nameEntry, n.descView};
    }

    /* What the first fields of the open window show, as a form. */
    string shown(Win which, std::size_t count) {
        vector<GtkWidget *> all = fields(which);
        string values = text(all[0]);
        for (std::size_t i = 1; i < count; ++i)
            values += "|" + text(all[i]);
        return values;
    }

    void type(Win which, const string &form) {
        Strs values = valuesOf(form);
        for (std::size_t i = 0; i < values.size(); ++i)
            set(fields(which)[i], values[i]);
        pump();
    }

    /* Opens an editing window, laid out as designed.  While it is open no
     * control of the main window is usable. */
    GtkWidget *open(Win which) {
        const char *openers[] = {"General information", "Runtime data", "Name and description"};
        press(Main, openers[which]);
        EXPECT_EQ(kLayout[which], layoutOf(window(which)));
        expectUsable("");
        return window(which);
    }

    /* Types a form into the open General information or Runtime settings
     * window and presses OK.  Refused, the window stays open as typed (a
     * refusal over the Runtime settings window is answered by closing it
     * from the window manager); stored, it closes and opens again with the
     * form as stored. */
    void submit(Win which, const Form &form) {
        SCOPED_TRACE(form.typed);
        string answer = which == Runtime ? "" : "OK";
        if (!form.refusal.empty())
            expectedDialogs.push_back({"Fatal error", form.refusal, window(which), answer});
        type(which, form.typed);
        press(which, "OK");
        if (!form.refusal.empty())
            return;
        open(which);
        EXPECT_EQ(stored(form.typed), shown(which, valuesOf(form.typed).size())) << "as stored";
    }

    /* The chain up to an editing window: a folder chosen, the application
     * "A" added and selected, and a form stored in each window before. */
    GtkWidget *reach(Win which) {
        chooseFolder(project, "Open");
        nameApp("Add app", "A");
        selectApp(0);
        for (int before = General; before < which; ++before) {
            open(Win(before));
            submit(Win(before), {"id|||bin"});
            closeWindow(window(Win(before)));
        }
        return open(which);
    }

    /* Picks a file of the project with Browse. */
    void browse(Win which, const string &file, const string &button) {
        const char *titles[] = {"Select icon image", "Select application binary"};
        expectedDialogs.push_back({titles[which], project + file, window(which), button});
        press(which, "Browse");
    }
};

/* Presses an arrow or page key in a version part, clicked into first. */
void spinKey(GtkWidget *spin, guint keyval) {
    click(spin);
    key(spin, keyval);
}

TEST_F(Windows, MainWindowLeadsAlongTheChain) {
    EXPECT_EQ(kMainLayout, layoutOf(w.window));
    expectUsable("Select directory");
    /* A folder choice not made changes nothing, however it ends. */
    chooseFolder(project, "Cancel");
    chooseFolder(project, "");
    expectUsable("Select directory");
    chooseFolder(project + "/sub", "Open");
    expectUsable("Select directory, Application name, Add app, Rename app, Remove app");
    chooseFolder(project, "Open");
    chooseFolder(project + "/sub", "Cancel");

    nameApp("Add app", "", "You must enter a name for the app!");
    nameApp("Add app", "A");
    EXPECT_EQ("A", text(w.nameEntry)) << "the entry keeps the name added";
    expectUsable("Application name, Add app, Rename app, Remove app, Applications");
    nameApp("Add app", "A", "It does alredy exist a app with that name!");
    nameApp("Add app", "a");
    nameApp("Add app", "B");
    /* Without a selected row, Rename and Remove do nothing. */
    nameApp("Rename app", "Z");
    press(Main, "Remove app");

    selectApp(2);
    EXPECT_EQ("B", text(w.nameEntry)) << "a selected row puts its name into the entry";
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications");
    nameApp("Rename app", "A", "It does alredy exist a app with that name!");
    nameApp("Rename app", "", "You must enter a name for the app!");
    nameApp("Rename app", "B");
    nameApp("Rename app", "C");

    /* The icon is found in the folder chosen last with Open. */
    selectApp(1);
    open(General);
    submit(General, {"Ann|||icon"});
    press(General, "Cancel");
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications, Runtime data");
    selectApp(0);
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications");
    /* A row deselected keeps its application selected, and Rename and
     * Remove do nothing. */
    selectApp(1);
    selectApp(1, GDK_CONTROL_MASK);
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications, Runtime data");
    nameApp("Rename app", "Z");
    press(Main, "Remove app");

    selectApp(1);
    press(Main, "Remove app");
    EXPECT_EQ("", text(w.nameEntry)) << "the entry after a removal";
    expectUsable("Application name, Add app, Rename app, Remove app, Applications");
    /* " D ü " takes the slot that "a" left, but not its data; its row
     * comes last. */
    nameApp("Add app", " D ü ");
    expectUsable("Application name, Add app, Rename app, Remove app, Applications");
    EXPECT_EQ((Strs{"A", "C", " D ü "}), rows(w.appList));
    selectApp(2);
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications");
    open(General);
    EXPECT_EQ("||||1|0|0|0", shown(General, 8)) << "a new application";
    press(General, "Cancel");
    /* A dialog after an editing window closes stands over the main window. */
    nameApp("Rename app", "", "You must enter a name for the app!");

    /* With every application removed, a folder may be chosen again. */
    for (int left = 3; left > 0; --left) {
        selectApp(0);
        press(Main, "Remove app");
    }
    expectUsable("Select directory, Application name, Add app, Rename app, Remove app");
}

TEST_F(Windows, GeneralInformationChecksAndStoresEachField) {
    reach(General);
    for (const Form &form : kGeneralForms)
        submit(General, form);

    /* Browse puts the chosen file's full path, shown as text, into the
     * entry, and nothing else. */
    browse(General, "/\377.png", "Open");
    browse(General, "/icon", "Cancel");
    submit(General, {"A", "Icon file does not exist!"});
    browse(General, "/icon", "Open");

    /* The version parts take only digits and hold whole numbers from 0 to
     * 255; the arrow and page keys move them by one. */
    type(General, "A|||" + project + "/icon|300|x-0.|-7a|2b55");
    spinKey(main.general.releaseSpin, GDK_Up);
    spinKey(main.general.buildSpin, GDK_Page_Down);
    press(General, "OK");
    open(General);
    EXPECT_EQ("A|||" + project + "/icon|255|0|1|254", shown(General, 8));
}

TEST_F(Windows, RuntimeSettingsCheckAndStoreEachField) {
    reach(Runtime);
    EXPECT_EQ("|||||0|2|1|0", shown(Runtime, 9)) << "a new application";
    for (const Form &form : kRuntimeForms)
        submit(Runtime, form);

    browse(Runtime, "/bin", "Open");
    press(Runtime, "OK");
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications, Runtime data, "
                 "Name and description");
    /* Cancel discards what was typed. */
    open(Runtime);
    set(main.runtime.binaryEntry, "missing");
    press(Runtime, "Cancel");
    open(Runtime);
    EXPECT_EQ(project + "/bin", text(main.runtime.binaryEntry)) << "the binary chosen with Browse, after Cancel";
}

TEST_F(Windows, NamesAndDescriptionsAreKeptPerLocale) {
    GtkWidget *window = reach(NameDesc);
    GtkWidget *list = main.nameDesc.localeList;
    for (const LocaleStep &step : kLocaleSteps) {
        SCOPED_TRACE(step.typed);
        if (step.row >= 0)
            selectRow(list, step.row);
        type(NameDesc, step.typed);
        if (!step.refusal.empty())
            expectedDialogs.push_back({"Fatal error", step.refusal, window, "OK"});
        press(NameDesc, step.button);
        EXPECT_EQ(step.typed, shown(NameDesc, valuesOf(step.typed).size())) << "the entries";
        EXPECT_EQ(step.enUs, bool(vornicSelectedApp(&main)->flags & APP_LOCALE_EN_US)) << "the en_US mark";
    }

    /* A delete writes its line to standard output at once. */
    selectRow(list, 2);
    press(NameDesc, "Delete");
    EXPECT_EQ("Free() did okay...\n", piped());
    EXPECT_FALSE(vornicSelectedApp(&main)->flags & APP_LOCALE_EN_US) << "the en_US mark after its entry is deleted";
    EXPECT_EQ("Frosch", text(main.nameDesc.nameEntry)) << "the name entry after a delete";
    /* The deleted entry's row goes, and does not come back when the window
     * opens again; a selected row shows its entry. */
    Strs left = {"EN_US", "en_US.UTF-8", "fr_FR"};
    EXPECT_EQ(left, rows(list)) << "after a delete";
    closeWindow(window);
    open(NameDesc);
    list = main.nameDesc.localeList;
    EXPECT_EQ(left, rows(list)) << "after a delete, in a window opened again";
    selectRow(list, 0);
    EXPECT_EQ("EN_US|Name|Text", shown(NameDesc, 3));
    selectRow(list, 1);
    EXPECT_EQ("en_US.UTF-8|" + kLong + "|" + kLongText, shown(NameDesc, 3));
    selectRow(list, 2);
    type(NameDesc, "en_US");
    press(NameDesc, "Modify");
    press(NameDesc, "OK");
    /* Storing general information again keeps the later marks. */
    open(General);
    press(General, "OK");
    expectUsable("Application name, Add app, Rename app, Remove app, General information, Applications, Runtime data, "
                 "Name and description, Menu categories");
}

} // namespace
