/*
 * windows.cpp - the four windows, each led through every edge of its rules
 * in a fixed order, once with the pointer and once with the keyboard alone.
 * Catches: a main-window control usable at the wrong step of the chain; an
 * application row added, renamed or removed wrongly; a check that refuses
 * what it must accept, accepts what it must refuse or runs out of order; a
 * value read from or stored into the wrong place, cut, or stored without its
 * substitutions; a window, dialog or chooser that ends otherwise than its
 * button or the window manager's close says; a window whose layout (what
 * differs from GTK's defaults in every widget and its packing, the items of
 * its choices, the names a screen reader gives) or Tab order is not the one
 * layouts/ holds; a control that one hand can use and the other cannot; and
 * a focus lost after an action or not given back when an editing window
 * closes.  The forms typed, with what must come of them, are in forms.txt.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "harness.h"

#include <regex>
#include <sstream>

namespace {

enum Win { General, Runtime, NameDesc, Main };

/* The files of layouts/ that hold each window as expectLayout() reads it. */
const char *kLayoutFile[] = {"general.txt", "runtime.txt", "namedesc.txt", "main.txt"};

/* The stored form of a text: quotes and angle brackets are replaced. */
string stored(string text) {
    g_strdelimit(g_strdelimit(g_strdelimit(text.data(), "\"", '\''), "<", '['), ">", ']');
    return text;
}

/* A text split at each separator. */
Strs split(const string &text, char separator) {
    Strs parts;
    std::istringstream all(text + separator);
    for (string part; std::getline(all, part, separator);)
        parts.push_back(part);
    return parts;
}

/* The forms typed into a window, and what must come of them, from
 * forms.txt beside this file: the columns after the window's name,
 * unescaped, with the long values put in. */
vector<Strs> formsOf(const string &window) {
    vector<Strs> forms;
    std::ifstream file(fs::path(__FILE__).replace_filename("forms.txt"));
    for (string line; std::getline(file, line);) {
        line = std::regex_replace(owned(g_strcompress(line.c_str())), std::regex("\\{long\\}"), kLong);
        line = std::regex_replace(line, std::regex("\\{path\\}"), kLongPath);
        Strs columns = split(std::regex_replace(line, std::regex("\\{text\\}"), kLongText), '\t');
        columns.resize(6);
        if (columns[0] == window)
            forms.push_back(Strs(columns.begin() + 1, columns.end()));
    }
    return forms;
}

class Windows : public Gui {
protected:
    GtkWidget *window(Win which) {
        return which == Main ? w.window : main.parentWindow; /* the open editing window */
    }

    /* Presses the button of that label in a window. */
    void press(Win which, const string &label) {
        GtkWidget *pressed = button(window(which), label);
        if (pressed)
            activate(pressed);
        EXPECT_TRUE(pressed) << "no button " << label;
        pump();
    }

    /* A window's layout, read as it opens for a new application, against
     * the file of layouts/ that holds it. */
    void expectLayout(Win which) {
        std::ifstream file(fs::path(__FILE__).replace_filename("layouts") / kLayoutFile[which]);
        /* read whole: every widget with what differs from GTK's defaults,
         * then the controls that Tab visits from the first focus */
        string layout = tree(window(which)) + "tab: " + join(tabAround(window(which)), ", ") + "\n";
        EXPECT_EQ(string(std::istreambuf_iterator<char>(file), {}), layout) << "the layout in " << kLayoutFile[which];
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
        Strs found;
        each(w.window, [&](GtkWidget *widget) {
            if (gtk_widget_get_can_focus(widget) && gtk_widget_is_sensitive(widget))
                found.push_back(called(widget));
        });
        EXPECT_EQ(names, join(found, ", ")) << "the usable controls of the main window";
    }

    /* The fields of an editing window in the order of its form, by the
     * names a screen reader gives them, as forms.txt lists them. */
    Strs fieldsOf(Win which) {
        static const vector<Strs> all = formsOf("fields"); /* read once */
        return split(all[which][0], '|');
    }

    /* The field of an open window that a screen reader gives that name. */
    GtkWidget *field(Win which, const string &name) {
        GtkWidget *found = nullptr;
        each(window(which), [&](GtkWidget *widget) {
            if (!found && !GTK_IS_LABEL(widget) && called(widget) == name)
                found = widget;
        });
        if (!found)
            throw std::runtime_error("no field is named " + name);
        return found;
    }

    /* What the first fields of the open window show, as a form. */
    string shown(Win which, std::size_t count) {
        Strs values;
        for (std::size_t i = 0; i < count; ++i)
            values.push_back(text(field(which, fieldsOf(which)[i])));
        return join(values, "|");
    }

    void type(Win which, const string &form) {
        Strs values = split(form, '|');
        for (std::size_t i = 0; i < values.size(); ++i)
            set(field(which, fieldsOf(which)[i]), values[i]);
        pump();
    }

    /* Opens an editing window.  While it is open no control of the main
     * window is usable. */
    void open(Win which) {
        const char *openers[] = {"General information", "Runtime data", "Name and description"};
        press(Main, openers[which]);
        expectUsable("");
    }

    /* Types a form into the open General information or Runtime settings
     * window and presses OK.  Refused, the window stays open as typed (a
     * refusal over the Runtime settings window is answered by closing it
     * from the window manager); stored, it closes and opens again with the
     * form as stored. */
    void submit(Win which, const string &typed, const string &refusal = "") {
        SCOPED_TRACE(typed);
        if (!refusal.empty())
            expectedDialogs.push_back({"Fatal error", refusal, window(which), which == Runtime ? "" : "OK"});
        type(which, typed);
        press(which, "OK");
        if (!refusal.empty())
            return;
        open(which);
        EXPECT_EQ(stored(typed), shown(which, split(typed, '|').size())) << "as stored";
    }

    /* The chain up to an editing window: a folder chosen, the application
     * "A" added and selected, and a form stored in each window before. */
    GtkWidget *chainTo(Win which) {
        chooseFolder(project, "Open");
        nameApp("Add app", "A");
        selectApp(0);
        for (int before = General; before < which; ++before) {
            open(Win(before));
            submit(Win(before), "id|||bin");
            closeWindow(window(Win(before)));
        }
        open(which);
        expectLayout(which);
        return window(which);
    }

    /* Picks a file of the project with Browse. */
    void browse(Win which, const string &file, const string &button) {
        const char *titles[] = {"Select icon image", "Select application binary"};
        expectedDialogs.push_back({titles[which], project + file, window(which), button});
        press(which, "Browse");
    }
};

TEST_F(Windows, MainWindowLeadsAlongTheChain) {
    expectLayout(Main);
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
    nameApp("Add app", kLong);
    /* Without a selected row, Rename and Remove do nothing. */
    nameApp("Rename app", "Z");
    press(Main, "Remove app");

    selectApp(2);
    EXPECT_EQ(kLong, text(w.nameEntry)) << "a selected row puts its name into the entry";
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information");
    nameApp("Rename app", "A", "It does alredy exist a app with that name!");
    nameApp("Rename app", "", "You must enter a name for the app!");
    nameApp("Rename app", kLong);
    nameApp("Rename app", "Ça " + kLong); /* another as long, beyond ASCII */

    /* The icon is found in the folder chosen last with Open. */
    selectApp(1);
    open(General);
    submit(General, "Ann|||icon");
    press(General, "Cancel");
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information, Runtime data");
    selectApp(0);
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information");
    /* A row deselected keeps its application selected, and Rename and
     * Remove do nothing. */
    selectApp(1);
    selectApp(1, GDK_CONTROL_MASK);
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information, Runtime data");
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
    EXPECT_EQ((Strs{"A", "Ça " + kLong, " D ü "}), rows(w.appList));
    selectApp(2);
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information");
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
    chainTo(General);
    for (const Strs &form : formsOf("general"))
        submit(General, form[0], form[1]);

    /* Browse puts the chosen file's full path, shown as text, into the
     * entry, and nothing else. */
    browse(General, "/\377.png", "Open");
    browse(General, "/icon", "Cancel");
    submit(General, "A", "Icon file does not exist!");
    browse(General, "/icon", "Open");

    /* The version parts take only digits and hold whole numbers up to 255,
     * each stored as its own. */
    type(General, "A|||" + project + "/icon|300|x-0.|7a|2b54");
    press(General, "OK");
    open(General);
    EXPECT_EQ("A|||" + project + "/icon|255|0|7|254", shown(General, 8));
}

TEST_F(Windows, RuntimeSettingsCheckAndStoreEachField) {
    chainTo(Runtime);
    for (const Strs &form : formsOf("runtime"))
        submit(Runtime, form[0], form[1]);

    browse(Runtime, "/bin", "Open");
    press(Runtime, "OK");
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information, Runtime data, "
                 "Name and description");
    /* Cancel discards what was typed. */
    open(Runtime);
    set(field(Runtime, "Application binary"), "missing");
    press(Runtime, "Cancel");
    open(Runtime);
    EXPECT_EQ(project + "/bin", text(field(Runtime, "Application binary"))) << "the binary chosen with Browse, after Cancel";
}

TEST_F(Windows, NamesAndDescriptionsAreKeptPerLocale) {
    GtkWidget *window = chainTo(NameDesc);
    GtkWidget *list = field(NameDesc, "Locales");
    for (const Strs &step : formsOf("locale")) {
        /* what is typed, the refusal, the row clicked first, the button,
         * and whether the application then has its en_US mark */
        SCOPED_TRACE(step[0]);
        if (!step[2].empty())
            selectRow(list, std::stoi(step[2]));
        type(NameDesc, step[0]);
        if (!step[1].empty())
            expectedDialogs.push_back({"Fatal error", step[1], window, "OK"});
        press(NameDesc, step[3]);
        EXPECT_EQ(step[0], shown(NameDesc, split(step[0], '|').size())) << "the entries";
        EXPECT_EQ(step[4] == "1", bool(vornicSelectedApp(&main)->flags & APP_LOCALE_EN_US)) << "the en_US mark";
    }

    /* A delete writes its line to standard output at once. */
    selectRow(list, 2);
    press(NameDesc, "Delete");
    EXPECT_EQ("Free() did okay...\n", piped());
    EXPECT_FALSE(vornicSelectedApp(&main)->flags & APP_LOCALE_EN_US) << "the en_US mark after its entry is deleted";
    EXPECT_EQ("n", text(field(NameDesc, "Name of application"))) << "the name entry after a delete";
    /* The deleted entry's row goes, and does not come back when the window
     * opens again; a selected row shows its entry. */
    Strs left = {"EN_US", "en_US.UTF-8", "fr_FR", "abcdefghijklmnopqr", " x "};
    EXPECT_EQ(left, rows(list)) << "after a delete";
    closeWindow(window);
    open(NameDesc);
    list = field(NameDesc, "Locales");
    EXPECT_EQ(left, rows(list)) << "after a delete, in a window opened again";
    selectRow(list, 1);
    EXPECT_EQ("en_US.UTF-8|" + kLong + "|" + kLongText, shown(NameDesc, 3));
    selectRow(list, 2);
    type(NameDesc, "en_US");
    press(NameDesc, "Modify");
    press(NameDesc, "OK");
    /* Storing general information again keeps the later marks. */
    open(General);
    press(General, "OK");
    EXPECT_EQ("General information, Runtime data, Name and description, Menu categories, Application name, Add app, "
              "Rename app, Remove app, Applications",
              join(tabAround(w.window), ", "));
}

} // namespace
