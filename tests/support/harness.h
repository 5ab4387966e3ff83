/*
 * harness.h - the real windows in process, under the private Xvfb of
 * with-display.sh, used as a user uses them: a pointer click on what is
 * shown, usable and on top, keystrokes into the field that has the focus,
 * and a dialog answered by the button that carries the expected label.  An
 * action that a user could not take fails the test and says why.  A GLib,
 * GTK or GDK warning ends the test, and a dialog that nobody expected, that
 * is not modal over the right window, or that says or offers the wrong
 * words fails it.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 *
 * A modal dialog runs its own nested loop, so the test cannot answer it
 * from its own code.  Expectations are queued before the action that raises
 * the dialogs; when a dialog comes up, the nested loop runs answer(), which
 * checks it against the front expectation and presses the button.
 */
#ifndef VORNIC_TESTS_HARNESS_H
#define VORNIC_TESTS_HARNESS_H

#include "gui.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using std::string;
using std::vector;
using Strs = vector<string>;

/* A dialog to come: its title; its message, or the path a chooser must
 * choose; the window it stands over; the label of the button pressed, or ""
 * for the window manager's close. */
struct Expected {
    string title, text;
    GtkWidget *parent;
    string button;
};
std::deque<Expected> expectedDialogs;

/* Values as users give them: long, beyond ASCII, with blanks at both ends
 * and, in a description, over several lines; a relative path of several
 * hundred characters to a file in the project. */
const string kLong = " Zoë " + string(300, 'n') + " ";
const string kLongText = "one\n\n ç \"<>\" " + string(400, 'x') + "\nlast ";
const string kLongPath = string(200, 'd') + "/ é " + string(200, 'e') + " /icon";

string owned(gchar *text) {
    string copy = text ? text : "";
    g_free(text);
    return copy;
}

/* Runs the events already waiting; X round trips first, so that what the
 * server has made of the last request is among them. */
void settle() {
    gdk_display_sync(gdk_display_get_default());
    while (gtk_events_pending())
        gtk_main_iteration();
}

vector<GtkWidget *> shownWindows() {
    vector<GtkWidget *> shown;
    GList *all = gtk_window_list_toplevels();
    for (GList *l = all; l; l = l->next) {
        if (gtk_widget_get_visible(GTK_WIDGET(l->data)))
            shown.push_back(GTK_WIDGET(l->data));
    }
    g_list_free(all);
    return shown;
}

/* The shown window of that title, found as a user finds it. */
GtkWidget *shownWindow(const string &title) {
    for (GtkWidget *window : shownWindows()) {
        if (title == gtk_window_get_title(GTK_WINDOW(window)))
            return window;
    }
    return nullptr;
}

/* The texts of a list view's rows. */
Strs rows(GtkWidget *view) {
    GtkTreeModel *model = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
    Strs all;
    GtkTreeIter at;
    for (gboolean on = gtk_tree_model_get_iter_first(model, &at); on; on = gtk_tree_model_iter_next(model, &at)) {
        gchar *row = nullptr;
        gtk_tree_model_get(model, &at, 0, &row, -1);
        all.push_back(owned(row));
    }
    return all;
}

/* What a control holds, as text: an entry's or a text view's text, a combo
 * box's active position, a check button as "1" or "0". */
string text(GtkWidget *widget) {
    if (GTK_IS_EDITABLE(widget) || GTK_IS_TEXT_VIEW(widget))
        return owned(gtk_test_text_get(widget));
    int active = 0;
    g_object_get(widget, "active", &active, nullptr);
    return std::to_string(active);
}

/* The button of a window that shows that label, or null. */
GtkWidget *button(GtkWidget *window, const string &label) {
    return gtk_widget_get_ancestor(gtk_test_find_label(window, label.c_str()), GTK_TYPE_BUTTON);
}

/* A control as a user calls it: a label by its text, a button by its label,
 * another control by the name a screen reader gives it. */
string called(GtkWidget *control) {
    if (GTK_IS_LABEL(control))
        return gtk_label_get_text(GTK_LABEL(control));
    if (GTK_IS_BUTTON(control) && !GTK_IS_TOGGLE_BUTTON(control))
        return called(gtk_test_find_label(control, "*"));
    const char *name = atk_object_get_name(gtk_widget_get_accessible(control));
    return name ? name : G_OBJECT_TYPE_NAME(control);
}

/* A press and release of the first pointer button at a point of a window,
 * with the modifiers held.  The pointer is moved there first; the press goes
 * to whatever is on top at that point, as the X server would send it.  The
 * control must be sensitive, not left under a modal dialog, and shown on
 * top where the pointer goes; if not, the test fails and says why. */
bool clickAt(GtkWidget *control, GdkWindow *window, int x, int y, guint modifiers = 0) {
    int left, top;
    gdk_window_get_origin(window, &left, &top);
    GdkDisplay *display = gdk_display_get_default();
    gdk_display_warp_pointer(display, gdk_screen_get_default(), left + x, top + y);
    GdkWindow *hit = gdk_display_get_window_at_pointer(display, &x, &y);
    gpointer owner = nullptr;
    if (hit)
        gdk_window_get_user_data(hit, &owner);
    GtkWidget *modal = gtk_grab_get_current();
    string why;
    if (!gtk_widget_is_sensitive(control))
        why = "it is insensitive";
    else if (modal && gtk_widget_get_toplevel(modal) != gtk_widget_get_toplevel(control))
        why = "it is under a modal window";
    else if (owner != control && !(owner && gtk_widget_is_ancestor(GTK_WIDGET(owner), control)))
        why = "it is not shown where it should be, or another window covers it";
    if (!why.empty()) {
        ADD_FAILURE() << called(control) << " cannot be clicked: " << why;
        return false;
    }
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        gdk_test_simulate_button(hit, x, y, 1, GdkModifierType(modifiers), type);
        settle();
    }
    return true;
}

/* A click in the middle of a control, placed within its parent's window. */
bool click(GtkWidget *control) {
    GtkAllocation at = control->allocation;
    return clickAt(control, gtk_widget_get_parent(control)->window, at.x + at.width / 2, at.y + at.height / 2);
}

/* A key pressed and released on the keyboard, to the window that holds the
 * control; the window gives it to the widget that has the focus at once,
 * whose input method makes the character of the key. */
void key(GtkWidget *control, guint keyval, guint modifiers = 0) {
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        GdkEvent *event = gdk_event_new(type);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_toplevel(control)->window));
        event->key.state = modifiers;
        event->key.keyval = keyval;
        GdkKeymapKey *keys = nullptr;
        gint count = 0;
        if (gdk_keymap_get_entries_for_keyval(nullptr, keyval, &keys, &count))
            event->key.hardware_keycode = guint16(keys[0].keycode);
        g_free(keys);
        gtk_main_do_event(event);
        gdk_event_free(event);
    }
}

/* The window manager's close. */
void closeWindow(GtkWidget *window) {
    GdkEventAny close = {GDK_DELETE, gtk_widget_get_window(window), TRUE};
    gtk_main_do_event(reinterpret_cast<GdkEvent *>(&close));
    settle();
}

/* A user's hand on a control: a field is clicked into, emptied and typed
 * into, key by key (a line break is Return), and a one-line field is left
 * with Return, which must do nothing more; a choice is opened with a
 * click and moved to the item at that position with the arrow keys; a
 * switch is clicked when it is not as wanted. */
void set(GtkWidget *control, const string &value) {
    int steps = 0;
    if (!GTK_IS_EDITABLE(control) && !GTK_IS_TEXT_VIEW(control))
        steps = std::stoi(value) - std::stoi(text(control));
    if (GTK_IS_TOGGLE_BUTTON(control) && steps == 0)
        return;
    if (!click(control) || GTK_IS_TOGGLE_BUTTON(control))
        return;
    if (GTK_IS_COMBO_BOX(control)) {
        for (int step = 0; step < std::abs(steps); ++step)
            key(control, steps > 0 ? GDK_Down : GDK_Up);
        key(control, GDK_Return);
        settle();
        return;
    }
    if (!gtk_widget_has_focus(control)) {
        ADD_FAILURE() << called(control) << " cannot be typed into: it took no focus when clicked";
        return;
    }
    key(control, GDK_a, GDK_CONTROL_MASK);
    key(control, GDK_BackSpace);
    for (const char *at = value.c_str(); *at; at = g_utf8_next_char(at)) {
        gunichar typed = g_utf8_get_char(at);
        if (typed == '\n')
            key(control, GDK_Return);
        else
            key(control, gdk_unicode_to_keyval(typed));
    }
    if (GTK_IS_ENTRY(control))
        key(control, GDK_Return);
    settle();
}

/* Clicks a row of a list view, with the modifiers held: with Control, a
 * selected row is deselected. */
void selectRow(GtkWidget *view, int row, guint modifiers = 0) {
    GtkTreeView *tree = GTK_TREE_VIEW(view);
    GtkTreePath *path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_view_scroll_to_cell(tree, path, nullptr, FALSE, 0, 0); /* as a user scrolls */
    settle();
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(tree, path, gtk_tree_view_get_column(tree, 0), &cell);
    gtk_tree_path_free(path);
    clickAt(view, gtk_tree_view_get_bin_window(tree), cell.x + cell.width / 2, cell.y + cell.height / 2, modifiers);
}

/* The labels of a dialog's buttons, left to right. */
string buttonsOf(GtkWidget *dialog) {
    GList *buttons = gtk_container_get_children(GTK_CONTAINER(gtk_dialog_get_action_area(GTK_DIALOG(dialog))));
    buttons = g_list_sort(buttons, [](gconstpointer a, gconstpointer b) {
        return GTK_WIDGET(a)->allocation.x - GTK_WIDGET(b)->allocation.x;
    });
    string labels;
    for (GList *b = buttons; b; b = b->next)
        labels += "[" + called(GTK_WIDGET(b->data)) + "]";
    g_list_free(buttons);
    return labels;
}

/* Meets a dialog in its nested loop, checks it against the front
 * expectation and answers it.  A file chooser is first steered to the
 * expected path: typed into GTK's location entry, a path races the
 * chooser's folder loading and completion, so the harness selects the file
 * itself, which only sets what the chooser would hold after a user's
 * choice; Open or Cancel is then pressed as a user presses it. */
gboolean answer(gpointer data) {
    GtkWidget *dialog = GTK_WIDGET(data);
    const char *title = gtk_window_get_title(GTK_WINDOW(dialog));
    if (expectedDialogs.empty()) {
        ADD_FAILURE() << "a dialog nobody expected: " << title;
        closeWindow(dialog);
        return FALSE;
    }
    Expected now = expectedDialogs.front();
    expectedDialogs.pop_front();
    EXPECT_EQ(now.title, title);
    EXPECT_EQ(now.parent, GTK_WIDGET(gtk_window_get_transient_for(GTK_WINDOW(dialog)))) << now.text;
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog))) << now.title << " is not modal";
    string buttons = "[OK]";
    if (GTK_IS_FILE_CHOOSER(dialog)) {
        buttons = "[Cancel][Open]";
        GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
        gtk_file_chooser_select_filename(chooser, now.text.c_str());
        /* the folder is loaded in the background; a path it never holds
         * ends the test at ctest's timeout */
        while (owned(gtk_file_chooser_get_filename(chooser)) != now.text)
            gtk_main_iteration();
    } else {
        gchar *message = nullptr;
        GtkMessageType kind;
        g_object_get(dialog, "text", &message, "message-type", &kind, nullptr);
        EXPECT_EQ(now.text, owned(message));
        EXPECT_EQ(GTK_MESSAGE_ERROR, kind) << now.text;
        EXPECT_TRUE(gtk_window_get_destroy_with_parent(GTK_WINDOW(dialog))) << now.text;
    }
    EXPECT_EQ(buttons, buttonsOf(dialog)) << now.title;
    GtkWidget *pressed = now.button.empty() ? nullptr : button(dialog, now.button);
    if (!pressed || !click(pressed))
        closeWindow(dialog); /* as asked, or failed already: the test must not hang */
    return FALSE;
}

/* A dialog is met once it is on the screen, after the events that show it. */
gboolean dialogMapped(GSignalInvocationHint *, guint, const GValue *values, gpointer) {
    GObject *shown = G_OBJECT(g_value_get_object(values));
    if (GTK_IS_DIALOG(shown))
        g_idle_add(answer, shown);
    return TRUE;
}

/* A test ends at its first failure: the windows it would go on to drive may
 * be gone. */
void pump() {
    settle();
    if (testing::Test::HasFailure())
        throw std::runtime_error("the test stops at its first failure");
}

/* The main window as main() builds it, in a scratch working directory that
 * holds the catalogue "locales" and the project folder.  Standard output
 * goes to a pipe, as a user's shell may send it, from start to end. */
class Gui : public testing::Test {
protected:
    void SetUp() override {
        expectedDialogs.clear();
        fs::path dir = owned(g_dir_make_tmp("vornic-gui-XXXXXX", nullptr));
        project = dir / "proj é";
        for (const string &folder : {string("sub"), string("~"), fs::path(kLongPath).parent_path().string()})
            fs::create_directories(project + "/" + folder);
        for (const char *file : {"icon", "bin", "~/icon", "q\"uote", "<b>", "\377.png", kLongPath.c_str()})
            std::ofstream(project + "/" + file).flush();
        mkfifo((project + "/fifo").c_str(), 0600);
        std::ofstream(dir / "locales") << "en_US\nde_DE\nfr_FR\nen_US.UTF-8\nEN_US\n";
        fs::current_path(dir);
        int ends[2];
        EXPECT_EQ(0, pipe2(ends, O_NONBLOCK));
        fflush(stdout);
        terminal = dup(1);
        dup2(ends[1], 1);
        close(ends[1]);
        output = ends[0];
        /* main() up to its main loop; GTK, set up once for the whole
         * program, is not set up again */
        vornicInitMain(&main);
        vornicInitApp(&main);
        guiInit(&main, nullptr, nullptr);
        guiMakeMainWindow(&main);
        vornicLoadLocales(&main);
        guiUpdateMainButtonActivity(&main);
        pump();
    }

    void TearDown() override {
        for (const Expected &left : expectedDialogs)
            ADD_FAILURE() << left.title << " never came: " << left.text;
        g_signal_handlers_disconnect_by_func(w.window, gpointer(gtk_main_quit), nullptr);
        for (GtkWidget *window : shownWindows()) {
            if (window != w.window) /* first: closing it updates the main window */
                gtk_widget_destroy(window);
        }
        gtk_widget_destroy(w.window);
        settle();
        fflush(stdout);
        dup2(terminal, 1);
        close(terminal);
        /* also holds the test's own failure reports, which show here */
        EXPECT_EQ("", piped()) << "on standard output";
        close(output);
        fs::remove_all(fs::current_path());
    }

    /* What the program has written to standard output since last asked. */
    string piped() {
        char block[65536]; /* what a pipe holds */
        ssize_t got = read(output, block, sizeof block);
        return string(block, std::size_t(std::max(got, ssize_t(0))));
    }

    vornicMain main;
    vornicMainWidgets &w = main.mainWin;
    string project;
    int terminal = -1;
    int output = -1;
};

} // namespace

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    /* a GLib, GTK or GDK warning ends the test, as GTK's own tests do */
    g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
    gtk_init(&argc, &argv); /* without a display it says so: run under with-display.sh */
    g_type_class_unref(g_type_class_ref(GTK_TYPE_WIDGET));
    g_signal_add_emission_hook(g_signal_lookup("map-event", GTK_TYPE_WIDGET), 0, dialogMapped, nullptr, nullptr);
    return RUN_ALL_TESTS();
}

#endif
