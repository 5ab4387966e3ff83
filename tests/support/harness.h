/*
 * harness.h - the real windows in process, under the private Xvfb of
 * with-display.sh, used as a user uses them, with one of two hands: the
 * pointer (a click on what is shown, usable and on top) or, with
 * --keyboard, the keyboard alone (Tab to a control, Return or Space to
 * press it, arrows in lists and choices).  Either hand types into the field
 * that has the focus and answers a message with the button that carries
 * the expected label; a file chooser is answered with the pointer.  An
 * action that a user could not take fails the test and says why, and so
 * does a focus that has left the control the user last used in a window
 * while it is still usable.  A GLib, GTK or GDK warning ends the test, and
 * a dialog that nobody expected, that is not modal over the right window,
 * that says the wrong words or lacks the expected button fails it.  tree()
 * reads a window whole, as the expected layouts are written.
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

#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
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
bool byKeyboard; /* the hand: set by --keyboard */

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

string join(const Strs &parts, const string &between) {
    string all;
    for (const string &part : parts)
        all += (&part == &parts[0] ? "" : between) + part;
    return all;
}

/* The texts of the rows of a list view or of a list. */
Strs rows(gpointer list) {
    GtkTreeModel *model = GTK_IS_TREE_VIEW(list) ? gtk_tree_view_get_model(GTK_TREE_VIEW(list)) : GTK_TREE_MODEL(list);
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
 * another control (a choice also by its inner button) by the name a screen
 * reader gives it. */
string called(GtkWidget *control) {
    GtkWidget *choice = gtk_widget_get_ancestor(control, GTK_TYPE_COMBO_BOX);
    if (choice && choice != control)
        return called(choice);
    if (GTK_IS_LABEL(control))
        return gtk_label_get_text(GTK_LABEL(control));
    if (GTK_IS_BUTTON(control) && !GTK_IS_TOGGLE_BUTTON(control))
        return called(gtk_test_find_label(control, "*"));
    const char *name = atk_object_get_name(gtk_widget_get_accessible(control));
    return name ? name : G_OBJECT_TYPE_NAME(control);
}

/* Visits a widget and every widget it holds, as they are packed. */
template <typename Visit> void each(GtkWidget *widget, const Visit &visit) {
    visit(widget);
    if (!GTK_IS_CONTAINER(widget))
        return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *child = children; child; child = child->next)
        each(GTK_WIDGET(child->data), visit);
    g_list_free(children);
}

/* Properties that follow what the window is doing rather than how it is
 * built: its place in the tree, the focus of the display, text selections,
 * scrolling and a column's current width. */
const char kPassing[] = " parent has-focus is-active has-toplevel-focus cursor-position selection-bound "
                        "scroll-offset hadjustment vadjustment visible position width ";

string changes(GObject *object, GtkWidget *parent = nullptr);

/* A property's value as text: an adjustment by what it changes, a list by
 * its rows, a widget as a user calls it. */
string shownValue(const GValue *value) {
    GObject *object = G_VALUE_HOLDS_OBJECT(value) ? G_OBJECT(g_value_get_object(value)) : nullptr;
    if (GTK_IS_ADJUSTMENT(object))
        return "{" + changes(object) + " }";
    if (GTK_IS_TREE_MODEL(object))
        return "{" + join(rows(object), "|") + "}";
    if (GTK_IS_WIDGET(object))
        return called(GTK_WIDGET(object));
    if (G_VALUE_HOLDS_OBJECT(value) || G_VALUE_HOLDS_BOXED(value)) /* none, or buffers, colours: not the layout's */
        return "";
    return owned(g_strdup_value_contents(value));
}

/* What differs from GTK's defaults, as " name=value" in GTK's order: an
 * object's properties against a new object of its type or, given its
 * parent, a child's packing against the defaults of the parent's kind. */
string changes(GObject *object, GtkWidget *parent) {
    guint count = 0;
    GParamSpec **properties = parent ? gtk_container_class_list_child_properties(G_OBJECT_GET_CLASS(parent), &count)
                                : g_object_class_list_properties(G_OBJECT_GET_CLASS(object), &count);
    GObject *fresh = parent ? nullptr : G_OBJECT(g_object_ref_sink(g_object_new(G_OBJECT_TYPE(object), nullptr)));
    string all;
    for (GParamSpec *property : vector<GParamSpec *>(properties, properties + count)) {
        /* the value of the property on an object, or its default on none */
        auto read = [&](GObject *from) {
            GValue value = G_VALUE_INIT;
            g_value_init(&value, property->value_type);
            if (!from)
                g_param_value_set_default(property, &value);
            else if (parent)
                gtk_container_child_get_property(GTK_CONTAINER(parent), GTK_WIDGET(from), property->name, &value);
            else
                g_object_get_property(from, property->name, &value);
            string shown = shownValue(&value);
            g_value_unset(&value);
            return shown;
        };
        if (!(property->flags & G_PARAM_READABLE) || strstr(kPassing, (" " + string(property->name) + " ").c_str()))
            continue;
        string now = read(object);
        if (now != read(fresh))
            all += " " + string(property->name) + "=" + now;
    }
    g_free(properties);
    if (GTK_IS_WIDGET(fresh))
        gtk_widget_destroy(GTK_WIDGET(fresh));
    if (fresh)
        g_object_unref(fresh);
    return all;
}

/* A widget and all it holds, a line each, indented by depth: its type, what
 * differs from GTK's defaults, its packing in brackets, the name a screen
 * reader gives it and a list's column title. */
string tree(GtkWidget *widget, int depth = 0) {
    string line = string(2 * depth, ' ') + G_OBJECT_TYPE_NAME(widget) + changes(G_OBJECT(widget));
    GtkWidget *parent = gtk_widget_get_parent(widget);
    string packing = parent ? changes(G_OBJECT(widget), parent) : "";
    if (!packing.empty())
        line += " [" + packing + " ]";
    if (const char *name = atk_object_get_name(gtk_widget_get_accessible(widget)))
        line += " name=\"" + string(name) + "\"";
    if (GTK_IS_TREE_VIEW(widget))
        line += changes(G_OBJECT(gtk_tree_view_get_column(GTK_TREE_VIEW(widget), 0)));
    line += "\n";
    if (GTK_IS_CONTAINER(widget) && !GTK_IS_BUTTON(widget) && !GTK_IS_COMBO_BOX(widget)) { /* not their insides */
        GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
        if (GTK_IS_TABLE(widget)) /* a table lists them last attached first */
            children = g_list_reverse(children);
        for (GList *child = children; child; child = child->next)
            line += tree(GTK_WIDGET(child->data), depth + 1);
        g_list_free(children);
    }
    return line;
}

/* A press and release of the first pointer button at a point of a window,
 * with the modifiers held.  The pointer is moved there first; the press goes
 * to whatever is on top at that point, as the X server would send it.  The
 * control must be sensitive and shown on top where the pointer goes; if
 * not, the test fails and says why. */
void clickAt(GtkWidget *control, GdkWindow *window, int x, int y, guint modifiers = 0) {
    int left, top;
    gdk_window_get_origin(window, &left, &top);
    GdkDisplay *display = gdk_display_get_default();
    gdk_display_warp_pointer(display, gdk_screen_get_default(), left + x, top + y);
    settle(); /* the control hears that the pointer entered it */
    GdkWindow *hit = gdk_display_get_window_at_pointer(display, &x, &y);
    gpointer owner = nullptr;
    if (hit)
        gdk_window_get_user_data(hit, &owner);
    string why;
    if (!gtk_widget_is_sensitive(control))
        why = "it is insensitive";
    else if (owner != control && !(owner && gtk_widget_is_ancestor(GTK_WIDGET(owner), control)))
        why = "it is not shown where it should be, or another window covers it";
    if (!why.empty()) {
        ADD_FAILURE() << called(control) << " cannot be clicked: " << why;
        return;
    }
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        gdk_test_simulate_button(hit, x, y, 1, GdkModifierType(modifiers), type);
        settle();
    }
}

/* A click in the middle of a control, placed within its parent's window. */
void click(GtkWidget *control) {
    GtkAllocation at;
    gtk_widget_get_allocation(control, &at);
    clickAt(control, gtk_widget_get_window(gtk_widget_get_parent(control)), at.x + at.width / 2,
            at.y + at.height / 2);
}

/* A key pressed and released on the keyboard, to the window that holds the
 * control; the window gives it to the widget that has the focus at once,
 * whose input method makes the character of the key. */
void key(GtkWidget *control, guint keyval, guint modifiers = 0) {
    GtkWidget *window = gtk_widget_get_toplevel(control);
    /* The window worked in has the keyboard, unless a menu has taken it. */
    if (!gtk_window_is_active(GTK_WINDOW(window)) && !gdk_display_pointer_is_grabbed(gdk_display_get_default())) {
        gdk_window_focus(gtk_widget_get_window(window), GDK_CURRENT_TIME);
        settle();
    }
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        GdkEvent *event = gdk_event_new(type);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
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

/* Whether the focus of a window is on a control or inside it. */
bool focusIn(GtkWidget *control) {
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(gtk_widget_get_toplevel(control)));
    return focus && (focus == control || gtk_widget_is_ancestor(focus, control));
}

/* Tab as a keyboard user presses it, from the focus of a window: to a
 * target, with Shift when it lies higher up or, as high, to the left,
 * until the focus is on it; without one, once around until the focus is
 * back.  The names of the controls it visits. */
Strs tabAround(GtkWidget *window, GtkWidget *target = nullptr) {
    GtkWidget *start = gtk_window_get_focus(GTK_WINDOW(window));
    int x = 0;
    int y = 0;
    if (target && start)
        gtk_widget_translate_coordinates(target, start, 0, 0, &x, &y);
    Strs visited;
    for (GtkWidget *at = start; at && visited.size() < 30; at = gtk_window_get_focus(GTK_WINDOW(window))) {
        if (target ? focusIn(target) : !visited.empty() && at == start)
            break;
        visited.push_back(called(at));
        /* Control+Tab leaves a text view, where Tab is typed */
        guint shift = y < 0 || (y == 0 && x < 0) ? GDK_SHIFT_MASK : 0;
        key(window, GDK_KEY_Tab, shift | (GTK_IS_TEXT_VIEW(at) ? GDK_CONTROL_MASK : 0));
        settle();
    }
    if (target && !focusIn(target))
        ADD_FAILURE() << called(target) << " cannot be reached with Tab";
    return visited;
}

/* A user finds the focus of a window where the last action in it left it,
 * as long as that control is usable.  Takes a control in hand: with the
 * pointer a click in its middle, unless the caller clicks it elsewhere,
 * with the keyboard the focus moved there. */
bool reach(GtkWidget *control, bool inMiddle = true) {
    GObject *window = G_OBJECT(gtk_widget_get_toplevel(control));
    auto *last = static_cast<GtkWidget *>(g_object_get_data(window, "used last"));
    g_object_set_data(window, "used last", control);
    if (last && gtk_widget_is_sensitive(last) && !focusIn(last))
        ADD_FAILURE() << "the focus has left " << called(last) << ", which was used last";
    else if (byKeyboard)
        tabAround(GTK_WIDGET(window), control);
    else if (inMiddle)
        click(control);
    return !testing::Test::HasFailure();
}

/* Presses a button: a click, or Return once the focus is on it. */
void activate(GtkWidget *control) {
    if (reach(control) && byKeyboard)
        key(control, GDK_KEY_Return);
    settle();
}

/* A user's hand on a control: a field is reached, emptied and typed into,
 * key by key (a line break is Return), and left with Return only from the
 * keyboard (with the pointer, by the next click elsewhere); a choice is
 * moved to the item at that position with the arrow keys, in the list the
 * pointer opens or, from the keyboard, in place; a switch is pressed when it
 * is not as wanted. */
void set(GtkWidget *control, const string &value) {
    int steps = 0;
    if (!GTK_IS_EDITABLE(control) && !GTK_IS_TEXT_VIEW(control))
        steps = std::stoi(value) - std::stoi(text(control));
    if (GTK_IS_TOGGLE_BUTTON(control)) {
        if (steps != 0 && reach(control) && byKeyboard)
            key(control, GDK_KEY_space);
        settle();
        return;
    }
    if (!reach(control))
        return;
    if (GTK_IS_COMBO_BOX(control)) {
        for (int step = 0; step < std::abs(steps); ++step)
            key(control, steps > 0 ? GDK_KEY_Down : GDK_KEY_Up);
        if (!byKeyboard)
            key(control, GDK_KEY_Return);
        settle();
        return;
    }
    key(control, GDK_KEY_a, GDK_CONTROL_MASK);
    key(control, GDK_KEY_BackSpace);
    for (const char *at = value.c_str(); *at; at = g_utf8_next_char(at)) {
        gunichar typed = g_utf8_get_char(at);
        if (typed == '\n')
            key(control, GDK_KEY_Return);
        else
            key(control, gdk_unicode_to_keyval(typed));
    }
    if (byKeyboard && GTK_IS_ENTRY(control))
        key(control, GDK_KEY_Return);
    settle();
}

/* Selects a row of a list view, with the modifiers held: with Control, a
 * selected row is deselected.  The pointer clicks the row; the keyboard
 * moves the cursor there with the arrow keys, which selects each row it
 * passes, and presses Space. */
void selectRow(GtkWidget *view, int row, guint modifiers = 0) {
    GtkTreeView *tree = GTK_TREE_VIEW(view);
    if (byKeyboard && reach(view)) {
        /* the cursor, not yet on a row or not moved by the first key after
         * Tab, is followed to the row */
        auto cursor = [&] {
            GtkTreePath *at = nullptr;
            gtk_tree_view_get_cursor(tree, &at, nullptr);
            int on = at ? gtk_tree_path_get_indices(at)[0] : -1;
            gtk_tree_path_free(at);
            return on;
        };
        for (int step = 0; step < 30 && cursor() != row; ++step)
            key(view, cursor() < row ? GDK_KEY_Down : GDK_KEY_Up);
        key(view, GDK_KEY_space, modifiers);
    } else if (!byKeyboard) {
        GtkTreePath *path = gtk_tree_path_new_from_indices(row, -1);
        gtk_tree_view_scroll_to_cell(tree, path, nullptr, FALSE, 0, 0); /* as a user scrolls */
        settle();
        GdkRectangle cell;
        gtk_tree_view_get_cell_area(tree, path, gtk_tree_view_get_column(tree, 0), &cell);
        gtk_tree_path_free(path);
        if (reach(view, false)) /* on the start of a row, which may be wider than the list */
            clickAt(view, gtk_tree_view_get_bin_window(tree), cell.x + std::min(cell.width / 2, 20),
                    cell.y + cell.height / 2, modifiers);
    }
    settle();
}

/* Meets a dialog in its nested loop, checks it against the front
 * expectation and answers it, from the keyboard with Return.  A file
 * chooser is first steered to the expected path: typed into GTK's location
 * entry, a path races the chooser's folder loading and completion, so the
 * harness selects the file itself, which only sets what the chooser would
 * hold after a user's choice; Open or Cancel is then clicked. */
gboolean answer(gpointer data) {
    GtkWidget *dialog = GTK_WIDGET(data);
    GtkWindow *shown = GTK_WINDOW(dialog);
    gchar *message = nullptr;
    GtkMessageType kind = GTK_MESSAGE_ERROR;
    if (GTK_IS_MESSAGE_DIALOG(dialog))
        g_object_get(dialog, "text", &message, "message-type", &kind, nullptr);
    string said = owned(message);
    Expected now{"a dialog nobody expected", "", nullptr, ""}; /* closed, once it has failed */
    if (!expectedDialogs.empty()) {
        now = expectedDialogs.front();
        expectedDialogs.pop_front();
    }
    if (GTK_IS_FILE_CHOOSER(dialog)) {
        gtk_file_chooser_select_filename(GTK_FILE_CHOOSER(dialog), now.text.c_str());
        /* the folder is loaded in the background */
        gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
        while ((said = owned(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)))) != now.text &&
               g_get_monotonic_time() < deadline)
            g_main_context_iteration(nullptr, FALSE);
    }
    /* what it says, or the file it holds after ten seconds at most */
    EXPECT_EQ(now.title + ": " + now.text, gtk_window_get_title(shown) + (": " + said));
    EXPECT_EQ(now.parent, GTK_WIDGET(gtk_window_get_transient_for(shown))) << now.text << ": over another window";
    EXPECT_TRUE(gtk_window_get_modal(shown)) << now.text << ": not modal";
    EXPECT_EQ(GTK_MESSAGE_ERROR, kind);
    GtkWidget *pressed = now.button.empty() ? nullptr : button(dialog, now.button);
    if (pressed && GTK_IS_FILE_CHOOSER(dialog))
        click(pressed);
    else if (pressed)
        activate(pressed);
    else if (!now.button.empty())
        ADD_FAILURE() << now.text << ": the dialog offers no " << now.button;
    if (!pressed || testing::Test::HasFailure())
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

/* Standard output is the test's pipe while a test runs, and the terminal
 * otherwise; googletest's report of a failure goes to the terminal as it
 * happens, between two of these, which point standard output at the
 * terminal and back. */
int terminal = -1;
int piping = -1;
struct Aside : testing::EmptyTestEventListener {
    const int &to;
    explicit Aside(const int &to) : to(to) {}
    void OnTestPartResult(const testing::TestPartResult &) override {
        fflush(stdout);
        dup2(to, 1); /* outside a test there is nothing to point at */
    }
};

/* The main window as main() builds it, in a scratch working directory that
 * holds the catalogue "locales" and the project folder.  Standard output
 * goes to a pipe, as a user's shell may send it. */
class Gui : public testing::Test {
protected:
    void SetUp() override {
        expectedDialogs.clear();
        fs::path dir = owned(g_dir_make_tmp("vornic-gui-XXXXXX", nullptr));
        project = dir / "proj é";
        for (const string &file : Strs{"icon", "bin", "~/icon", "q\"uote", "<b>", "\377.png", "sub/", kLongPath}) {
            fs::create_directories(fs::path(project + "/" + file).parent_path());
            std::ofstream(project + "/" + file).flush(); /* a folder, where the name ends with a slash */
        }
        mkfifo((project + "/fifo").c_str(), 0600);
        /* a code with a carriage return, an empty line, codes of 19 and of
         * 18 characters, and a last line without a line feed */
        std::ofstream(dir / "locales") << "en_US\nde_DE\nfr_FR\nen_US.UTF-8\nEN_US\nit_IT\r\n\nabcdefghijklmnopqrs\n"
                                          "abcdefghijklmnopqr\n x ";
        fs::current_path(dir);
        int ends[2];
        pipe2(ends, O_NONBLOCK);
        fflush(stdout);
        terminal = dup(1);
        piping = ends[1];
        dup2(piping, 1);
        output = ends[0];
        vornicStart(&main, nullptr, nullptr); /* GTK, set up already, is not set up again */
        pump();
    }

    void TearDown() override {
        for (const Expected &left : expectedDialogs)
            ADD_FAILURE() << left.title << " never came: " << left.text;
        g_signal_handlers_disconnect_by_func(w.window, gpointer(gtk_main_quit), nullptr);
        if (main.subWindowOpen) /* first: closing it updates the main window */
            gtk_widget_destroy(main.parentWindow);
        gtk_widget_destroy(w.window);
        settle();
        fflush(stdout);
        dup2(terminal, 1);
        close(terminal);
        close(piping);
        terminal = -1;
        piping = -1;
        EXPECT_EQ("", piped()) << "on standard output";
        close(output);
        fs::remove_all(fs::current_path());
    }

    /* What the program has written to standard output since last asked. */
    string piped() {
        char block[65536]; /* what a pipe holds */
        return string(block, std::max<ssize_t>(read(output, block, sizeof block), 0));
    }

    vornicMain main;
    vornicMainWidgets &w = main.mainWin;
    string project;
    int output = -1;
};

} // namespace

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    byKeyboard = argc > 1 && string(argv[1]) == "--keyboard";
    testing::TestEventListeners &listeners = testing::UnitTest::GetInstance()->listeners();
    auto *printer = listeners.Release(listeners.default_result_printer());
    listeners.Append(new Aside(terminal));
    listeners.Append(printer);
    listeners.Append(new Aside(piping));
    /* a GLib, GTK or GDK warning ends the test, as GTK's own tests do */
    g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
    gtk_init(&argc, &argv); /* without a display it says so: run under with-display.sh */
    /* a user's clicks lie far enough apart never to make a double click */
    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", 0, nullptr);
    g_type_class_unref(g_type_class_ref(GTK_TYPE_WIDGET));
    g_signal_add_emission_hook(g_signal_lookup("map-event", GTK_TYPE_WIDGET), 0, dialogMapped, nullptr, nullptr);
    return RUN_ALL_TESTS();
}

#endif
