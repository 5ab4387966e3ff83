/*
 * harness.h - the harness of the in-process GUI tests, whole: the real windows
 * under a private Xvfb, driven as a user would, where nothing may hang or
 * warn.  Include it in the one source file of a GUI test program; it brings
 * that program's main(), which runs gtk_init once.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 *
 * Any GLib, GTK or GDK warning or critical fails the running test.  Modal
 * dialogs are answered by expectations queued before the action that raises
 * them, in order: expectDialog(title, text, parent, response) says that the
 * next dialog must have this title, stand over parent and, if it is a
 * message, say text; a file chooser first chooses the path in text.  It is
 * then answered with response: a button's response presses that button,
 * GTK_RESPONSE_DELETE_EVENT is the window manager's close.  A dialog nobody
 * expected is a failure and is closed, so no test can hang on one.
 *
 * A dialog runs its own nested loop, so the test's code cannot answer it: a
 * timeout source, which runs inside every loop, meets each newly shown
 * dialog, checks it against the front expectation and answers it.  A file
 * chooser loads folders in the background and may drop an early request, so
 * it is asked for its path again until it reports it.
 */
#ifndef VORNIC_TESTS_HARNESS_H
#define VORNIC_TESTS_HARNESS_H

#include "gui.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Expected { std::string title, text; GtkWidget *parent; int response; };
std::deque<Expected> queue;
Expected now;
GtkFileChooser *steering = nullptr;
gint64 deadline;

std::string owned(gchar *s) { std::string copy = s ? s : ""; return g_free(s), copy; }

/* Reading back: the shown toplevel windows, the rows of a list view or the
 * items of a combo box, and what a control holds: an entry's or a text
 * view's text, a combo box's active position, a switch as "1" or "0". */
std::vector<GtkWidget *> shownWindows() {
    std::vector<GtkWidget *> shown;
    GList *all = gtk_window_list_toplevels();
    for (GList *l = all; l; l = l->next)
        if (gtk_widget_get_visible(GTK_WIDGET(l->data))) shown.push_back(GTK_WIDGET(l->data));
    g_list_free(all);
    return shown;
}

std::vector<std::string> rows(GtkWidget *widget) {
    std::vector<std::string> all;
    gtk_tree_model_foreach(GTK_IS_COMBO_BOX(widget) ? gtk_combo_box_get_model(GTK_COMBO_BOX(widget))
                                                    : gtk_tree_view_get_model(GTK_TREE_VIEW(widget)),
                           [](GtkTreeModel *model, GtkTreePath *, GtkTreeIter *at, gpointer into) {
                               gchar *row = nullptr;
                               gtk_tree_model_get(model, at, 0, &row, -1);
                               static_cast<std::vector<std::string> *>(into)->push_back(owned(row));
                               return FALSE;
                           }, &all);
    return all;
}

std::string text(GtkWidget *widget) {
    GtkTextIter start, end;
    if (GTK_IS_COMBO_BOX(widget)) return std::to_string(gtk_combo_box_get_active(GTK_COMBO_BOX(widget)));
    if (GTK_IS_TOGGLE_BUTTON(widget)) return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)) ? "1" : "0";
    if (!GTK_IS_TEXT_VIEW(widget)) return gtk_entry_get_text(GTK_ENTRY(widget));
    GtkTextBuffer *buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget));
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    return owned(gtk_text_buffer_get_text(buffer, &start, &end, TRUE));
}

/* Presses the button for the response, which must be the one a user reads
 * as that answer; the window manager's close has no button. */
void answer(GtkWidget *dialog, int response) {
    steering = nullptr;
    const char *stock = response == GTK_RESPONSE_ACCEPT ? GTK_STOCK_OPEN : response == GTK_RESPONSE_OK ? GTK_STOCK_OK
                                                                                                   : GTK_STOCK_CANCEL;
    if (GtkWidget *button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response)) {
        EXPECT_STREQ(stock, gtk_button_get_label(GTK_BUTTON(button))) << "the button of answer " << response;
        return gtk_button_clicked(GTK_BUTTON(button));
    }
    EXPECT_EQ(GTK_RESPONSE_DELETE_EVENT, response) << "no button for the answer";
    gtk_dialog_response(GTK_DIALOG(dialog), response);
}

void steer() {
    bool late = g_get_monotonic_time() > deadline;
    if (owned(gtk_file_chooser_get_filename(steering)) == now.text || late) {
        EXPECT_FALSE(late) << "the chooser never chose " << now.text;
        answer(GTK_WIDGET(steering), late ? GTK_RESPONSE_CANCEL : now.response);
    } else if (gtk_file_chooser_get_action(steering) == GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER)
        gtk_file_chooser_set_current_folder(steering, now.text.c_str());
    else
        gtk_file_chooser_select_filename(steering, now.text.c_str());
}

void meet(GtkWidget *dialog) {
    GtkWindow *window = GTK_WINDOW(dialog);
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected dialog " << gtk_window_get_title(window);
        return gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
    }
    now = queue.front();
    queue.pop_front();
    EXPECT_EQ(now.title, gtk_window_get_title(window));
    EXPECT_EQ(now.parent, GTK_WIDGET(gtk_window_get_transient_for(window))) << now.title << ": " << now.text;
    if (GTK_IS_FILE_CHOOSER(dialog)) {
        steering = GTK_FILE_CHOOSER(dialog);
        deadline = g_get_monotonic_time() + 5000000;
        return steer();
    }
    gchar *said = nullptr;
    GtkMessageType kind;
    g_object_get(dialog, "text", &said, "message-type", &kind, nullptr);
    EXPECT_EQ(now.text, owned(said));
    EXPECT_EQ(GTK_MESSAGE_ERROR, kind);
    EXPECT_TRUE(gtk_window_get_destroy_with_parent(window));
    answer(dialog, now.response);
}

/* Runs inside every main loop, the dialogs' own included.  A dialog still
 * open 10 seconds after it was met did not take its answer: it is closed. */
gboolean poll(gpointer) {
    int seconds = int(g_get_monotonic_time() / 1000000);
    if (steering) return steer(), G_SOURCE_CONTINUE;
    for (GtkWidget *window : shownWindows()) {
        int met = GTK_IS_DIALOG(window) ? GPOINTER_TO_INT(g_object_get_data(G_OBJECT(window), "met")) : seconds;
        if (!met) g_object_set_data(G_OBJECT(window), "met", GINT_TO_POINTER(seconds)), meet(window);
        else if (seconds - met > 10)
            gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_DELETE_EVENT), ADD_FAILURE() << "a dialog kept open";
        if (!met || seconds - met > 10) return G_SOURCE_CONTINUE; /* acting changes the windows */
    }
    return G_SOURCE_CONTINUE;
}

/* Test code's side of the answerer, and user actions, each followed by the
 * events it causes; closeWindow is the window manager's close. */
void expectDialog(const std::string &title, const std::string &text, GtkWidget *parent, int response) {
    queue.push_back({title, text, parent, response});
}

void pump() { while (gtk_events_pending()) gtk_main_iteration(); }

void click(GtkWidget *button) { gtk_button_clicked(GTK_BUTTON(button)), pump(); }

void type(GtkWidget *widget, const std::string &text) {
    if (GTK_IS_TEXT_VIEW(widget))
        gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget)), text.c_str(), -1);
    else
        gtk_entry_set_text(GTK_ENTRY(widget), text.c_str());
    pump();
}

void selectRow(GtkWidget *view, int row) { /* -1: none */
    GtkTreeSelection *selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    GtkTreePath *path = gtk_tree_path_new_from_indices(row, -1);
    row < 0 ? gtk_tree_selection_unselect_all(selection) : gtk_tree_selection_select_path(selection, path);
    gtk_tree_path_free(path), pump();
}

void closeWindow(GtkWidget *toplevel) {
    GdkEventAny close = {GDK_DELETE, gtk_widget_get_window(toplevel), TRUE};
    gtk_main_do_event(reinterpret_cast<GdkEvent *>(&close));
    pump();
}

/* The main window as main() builds it, over a catalogue read from a scratch
 * working directory that also holds the project folder `project`. */
class Gui : public ::testing::Test {
protected:
    void SetUp() override {
        queue.clear();
        std::filesystem::path dir = owned(g_dir_make_tmp("vornic-gui-XXXXXX", nullptr));
        std::filesystem::create_directories((project = dir / "proj é") + "/sub");
        std::filesystem::create_directories(project + "/~");
        for (const char *file : {"icon", "bin", "~/icon", "q\"uote", "<b>", "\377.png"})
            std::ofstream(project + "/" + file).flush();
        std::ofstream(dir / "locales") << "en_US\nde_DE\nfr_FR\nen_US.UTF-8\n";
        EXPECT_EQ(0, chdir(dir.c_str()));
        /* main() but for gtk_init, which ran once for the whole program */
        vornicInitMain(&main);
        vornicInitApp(&main);
        guiMakeMainWindow(&main);
        EXPECT_FALSE(gtk_widget_get_sensitive(w.addButton)) << "controls usable before the rule ran";
        vornicLoadLocales(&main);
        guiUpdateMainButtonActivity(&main);
        pump();
    }
    void TearDown() override {
        for (const Expected &left : queue) ADD_FAILURE() << left.title << " (" << left.text << ") never came";
        g_signal_handlers_disconnect_by_func(w.window, gpointer(gtk_main_quit), nullptr);
        if (main.subWindowOpen) gtk_widget_destroy(main.parentWindow);
        gtk_widget_destroy(w.window);
        pump();
        std::filesystem::remove_all(std::filesystem::current_path());
    }
    vornicMain main;
    vornicMainWidgets &w = main.mainWin;
    std::string project;
    const std::vector<std::string> catalogue = {"en_US", "de_DE", "fr_FR", "en_US.UTF-8"};
};

} // namespace

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    g_log_set_default_handler([](const gchar *domain, GLogLevelFlags level, const gchar *message, gpointer) {
        if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING))
            ADD_FAILURE() << (domain ? domain : "") << ": " << message;
    }, nullptr);
    if (!gtk_init_check(&argc, &argv)) return std::fprintf(stderr, "no display: run under with-display.sh\n"), 1;
    g_timeout_add(20, poll, nullptr);
    return RUN_ALL_TESTS();
}

#endif
