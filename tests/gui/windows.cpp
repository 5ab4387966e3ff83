/*
 * windows.cpp - the four windows, each led through every edge of its rules
 * in a fixed order.  Catches: a main-window control usable at the wrong step
 * of the chain; an application row added, renamed or removed wrongly; a
 * check that refuses what it must accept, accepts what it must refuse or
 * runs out of order; a value read from or stored into the wrong place, or
 * stored without its substitutions; a window, dialog or chooser that ends
 * otherwise than its button or the window manager's close says; and a
 * window laid out, sized or named for a screen reader otherwise than
 * designed.
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
const char kMainLayout[] =
    "Vornic 200x100 5 |5| 5 Select directory^> 5 |5| 5 GtkEntry~Application name^> 5 Add app^> 5 Rename app^> 5 "
    "Remove app^> 5 |5| 10 GtkTreeView(List Items)~Applications[etched]^> 10 General information^> 5 |5| * Runtime "
    "data^> 5 |5| * Name and description^> 5 |5| * Menu categories^> 5 |5| 5 Export to PND^> 5";
const char *const kLayout[] = {
    "Vornic - General information 200x100 5 focus:Author |10| 10 Author 10 GtkEntry=Author 10 |10| 10 Homepage 10 "
    "GtkEntry=Homepage 10 |10| 10 E-mail 10 GtkEntry=E-mail 10 |10| 10 Version 10 GtkSpinButton=Major 10 "
    "GtkSpinButton=Minor 10 GtkSpinButton=Release 10 GtkSpinButton=Build * |10| * Major 10 Minor 10 Release 10 Build "
    "* |10| 10 Menu icon file\n(max 32\303\22732) 10 GtkEntry=Menu icon file\n(max 32\303\22732) 5 Browse[80x30] 5 "
    "|10| 10 Cancel[80x30] 10 OK[80x30] 10",
    "Vornic - Runtime settings 200x100 5 focus:Unique ID |10| 10 Unique ID 10 GtkEntry=Unique ID 10 |10| 10 Appdata directory 10 "
    "GtkEntry=Appdata directory 10 |10| 10 Starting directory 10 GtkEntry=Starting directory 10 |10| 10 x11 mode 10 "
    "GtkComboBox(Required,No X11,Don't care)=x11 mode 10 |10| 10 Application binary 10 GtkEntry=Application binary "
    "10 Browse[80x30] 10 |10| 10 Arguments 10 GtkEntry=Arguments 10 |10| 10 CPU frequency 10 GtkComboBox(No "
    "change,200,300,400,500,600)=CPU frequency 10 |10| 10 Allow multitasking 10 GtkCheckButton=Allow multitasking 10 "
    "|10| 10 Requires inputfile 10 GtkCheckButton=Requires inputfile 10 |10| 10 Cancel[80x30] 10 OK[80x30] 10",
    "Vornic - Name and description 400x300 5 focus:Locale |10| 10 Locale 10 GtkEntry=Locale> 10 |10| 10 Name of application 10 "
    "GtkEntry=Name of application> 10 |10| 10 Description^ 10 GtkTextView(wrapped)=Description[etched]^> 10 |10| "
    "10 Add>[80x30] 5 Modify>[80x30] 5 Delete>[80x30] 10 |10| 10 GtkTreeView(List Items)~Locales[etched]^> 10 |10| "
    "10 OK>[80x30] 10"};


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

/* The controls under a widget; boxes and tables only hold them. */
void collect(GtkWidget *widget, vector<GtkWidget *> &controls) {
    if (!GTK_IS_BOX(widget) && !GTK_IS_TABLE(widget)) {
        controls.push_back(widget);
        return;
    }
    EXPECT_FALSE(GTK_IS_BOX(widget) && gtk_box_get_homogeneous(GTK_BOX(widget))) << "a row of equal cells";
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

/* A control as a user meets it: a label or a button by its text, another
 * control by its kind and what it shows (a combo box its items, a list
 * its column's title and whether it shows it), then the name a screen
 * reader gives it, after "=" when a label names it and after "~"
 * otherwise.  A scrolled window counts as what it holds, with its frame
 * and whether it shows a scroll bar. */
string describe(GtkWidget *widget) {
    GtkWidget *control = widget;
    string frame;
    if (GTK_IS_SCROLLED_WINDOW(widget)) {
        control = gtk_bin_get_child(GTK_BIN(widget));
        GtkScrolledWindow *scroller = GTK_SCROLLED_WINDOW(widget);
        frame = gtk_scrolled_window_get_shadow_type(scroller) == GTK_SHADOW_ETCHED_IN ? "[etched]" : "[framed]";
        if (gtk_widget_get_visible(gtk_scrolled_window_get_vscrollbar(scroller)))
            frame += "[bar]"; /* the tests' lists are too short to need one */
    }
    string what = G_OBJECT_TYPE_NAME(control);
    if (GTK_IS_LABEL(control))
        what = gtk_label_get_text(GTK_LABEL(control));
    else if (GTK_IS_BUTTON(control) && !GTK_IS_CHECK_BUTTON(control))
        what = gtk_button_get_label(GTK_BUTTON(control));
    if (GTK_IS_TEXT_VIEW(control) && gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(control)) == GTK_WRAP_WORD)
        what += "(wrapped)";
    if (GTK_IS_TREE_VIEW(control)) {
        what += string("(") + gtk_tree_view_column_get_title(gtk_tree_view_get_column(GTK_TREE_VIEW(control), 0)) + ")";
        if (gtk_tree_view_get_headers_visible(GTK_TREE_VIEW(control)))
            what += "(headed)";
    }
    if (GTK_IS_COMBO_BOX(control)) {
        string items;
        for (const string &item : rows(control))
            items += "," + item;
        what += "(" + items.substr(1) + ")";
    }
    AtkObject *atk = gtk_widget_get_accessible(control);
    if (!atk_object_get_name(atk))
        return what + frame;
    AtkRelationSet *relations = atk_object_ref_relation_set(atk);
    what += atk_relation_set_contains(relations, ATK_RELATION_LABELLED_BY) ? "=" : "~";
    g_object_unref(relations);
    return what + atk_object_get_name(atk) + frame;
}

/* A distance in pixels; "*" is free space, not a gap. */
string gap(int pixels) {
    return pixels > 15 ? "*" : std::to_string(pixels);
}

/* A window as a user meets it: its title, default size and border, whether
 * it is modal or transient for another window, then
 * row by row its controls as describe() puts them.  Each row comes after its
 * distance from the row above (|10|), each control after its distance from
 * the one to its left, and each row ends with its right margin; these hold
 * whatever the font.  A control also shows a size the program fixes for it
 * ([80x30]), and "^" and ">" when it takes extra height and width as the
 * window is enlarged. */
string layoutOf(GtkWidget *window) {
    vector<GtkWidget *> controls = controlsOf(window);
    vector<GtkAllocation> at;
    for (GtkWidget *control : controls)
        at.push_back(control->allocation);
    GtkWindow *shown = GTK_WINDOW(window);
    int width, height;
    gtk_window_get_default_size(shown, &width, &height);
    string all = owned(g_strdup_printf("%s %dx%d %u", gtk_window_get_title(shown), width, height,
                                       gtk_container_get_border_width(GTK_CONTAINER(window))));
    if (gtk_window_get_modal(shown))
        all += " modal";
    if (gtk_window_get_transient_for(shown))
        all += " transient";
    if (GtkWidget *focus = gtk_window_get_focus(shown))
        all += " focus:" + called(focus);
    GtkAllocation was = window->allocation;
    GtkAllocation larger = {0, 0, was.width + 100, was.height + 100};
    gtk_widget_size_allocate(window, &larger);
    GtkAllocation before = {0, 0, 0, 0}; /* the control before, or the top edge */
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (i == 0 || before.y != at[i].y)
            all += " |" + gap(at[i].y - before.y - before.height) + "| " + gap(at[i].x);
        else
            all += " " + gap(at[i].x - before.x - before.width);
        before = at[i];
        all += " " + describe(controls[i]);
        if (controls[i]->allocation.height > at[i].height)
            all += "^";
        if (controls[i]->allocation.width > at[i].width)
            all += ">";
        gtk_widget_get_size_request(controls[i], &width, &height);
        if (width > 0)
            all += owned(g_strdup_printf("[%dx%d]", width, height));
        if (i + 1 == controls.size() || at[i + 1].y != at[i].y)
            all += " " + gap(was.width - at[i].x - at[i].width);
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

    /* A refusal over the main window, answered with OK. */
    void expectRefusal(const string &message) {
        expectedDialogs.push_back({"Fatal error", message, w.window, "OK"});
    }

    /* Types a name into the main window's entry and presses the button;
     * with a refusal, the message that must come. */
    void nameApp(const string &label, const string &name, const string &refusal = "") {
        if (!refusal.empty())
            expectRefusal(refusal);
        set(w.nameEntry, name);
        press(Main, label);
    }

    /* The main window's usable controls from top to bottom, as a user calls
     * them. */
    void expectUsable(const string &names) {
        string usable;
        for (GtkWidget *control : controlsOf(w.window)) {
            if (GTK_IS_SCROLLED_WINDOW(control))
                control = gtk_bin_get_child(GTK_BIN(control));
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
        if (!form.refusal.empty()) {
            ASSERT_TRUE(window(which)) << "a refused form closed its window";
            return;
        }
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
    settle();
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
    chooseFolder(project + "/sub", "");
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
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information");
    nameApp("Rename app", "A", "It does alredy exist a app with that name!");
    nameApp("Rename app", "", "You must enter a name for the app!");
    nameApp("Rename app", "B");
    nameApp("Rename app", "C");

    /* The icon is found in the folder chosen last with Open. */
    selectApp(1);
    open(General);
    submit(General, {"Ann|||icon"});
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
    EXPECT_EQ((Strs{"A", "C", " D ü "}), rows(w.appList));
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
    reach(General);
    for (const Form &form : kGeneralForms)
        submit(General, form);

    /* Browse puts the chosen file's full path, shown as text, into the
     * entry, and nothing else. */
    browse(General, "/\377.png", "Open");
    browse(General, "/icon", "Cancel");
    browse(General, "/icon", "");
    submit(General, {"A", "Icon file does not exist!"});
    browse(General, "/icon", "Open");

    /* The version parts take only digits and hold whole numbers from 0 to
     * 255; the arrow and page keys move them by one. */
    type(General, "A|||" + project + "/icon|300|x-0.|-7a|2b55");
    spinKey(main.general.releaseSpin, GDK_Up);
    spinKey(main.general.buildSpin, GDK_Page_Down);
    press(General, "OK");
    open(General);
    string kept = "A|||" + project + "/icon|255|0|1|254";
    EXPECT_EQ(kept, shown(General, 8));
    /* Cancel discards what was typed. */
    type(General, "B||||1|1|1|1");
    press(General, "Cancel");
    open(General);
    EXPECT_EQ(kept, shown(General, 8)) << "after Cancel";
}

TEST_F(Windows, RuntimeSettingsCheckAndStoreEachField) {
    reach(Runtime);
    EXPECT_EQ("|||||0|2|1|0", shown(Runtime, 9)) << "a new application";
    for (const Form &form : kRuntimeForms)
        submit(Runtime, form);

    browse(Runtime, "/bin", "Open");
    browse(Runtime, "/icon", "Cancel");
    browse(Runtime, "/icon", "");
    press(Runtime, "OK");
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information, Runtime data, "
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
    expectUsable("Application name, Add app, Rename app, Remove app, Applications, General information, Runtime data, "
                 "Name and description, Menu categories");
}

} // namespace
