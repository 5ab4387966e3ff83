/*
 * harness.h - the real windows in process, under the private Xvfb of
 * with-display.sh, driven as a user drives them.  It catches what no single
 * test states: a GLib, GTK or GDK warning fails the running test, and so
 * does a dialog that nobody expected, that stands over the wrong window or
 * that says the wrong words.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 *
 * A modal dialog runs its own nested loop, so the test cannot answer it
 * from its own code.  Expectations are queued before the action that raises
 * the dialogs, and this program's own gtk_dialog_run meets each dialog,
 * checks it against the front expectation and answers it.
 */
#ifndef VORNIC_TESTS_HARNESS_H
#define VORNIC_TESTS_HARNESS_H

#include "gui.h"

#include <gtest/gtest.h>

#include <deque>
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
 * choose; the window it stands over; the response that ends it, a button's
 * or GTK_RESPONSE_DELETE_EVENT for the window manager's close. */
struct Expected {
    string title, text;
    GtkWidget *parent;
    int response;
};
std::deque<Expected> expectedDialogs;

string owned(gchar *text) {
    string copy = text ? text : "";
    g_free(text);
    return copy;
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

/* The texts of a list view's rows or of a combo box's items. */
Strs rows(GtkWidget *widget) {
    GtkTreeModel *model = GTK_IS_COMBO_BOX(widget) ? gtk_combo_box_get_model(GTK_COMBO_BOX(widget))
                                                   : gtk_tree_view_get_model(GTK_TREE_VIEW(widget));
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
    gchar *shown = nullptr;
    if (GTK_IS_TEXT_VIEW(widget))
        g_object_get(gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget)), "text", &shown, nullptr);
    else if (GTK_IS_ENTRY(widget))
        g_object_get(widget, "text", &shown, nullptr);
    else {
        int active = 0;
        g_object_get(widget, "active", &active, nullptr);
        return std::to_string(active);
    }
    return owned(shown);
}

} // namespace

/* Runs every modal dialog in the place of GTK's own loop: the dialog is
 * checked against the front expectation and ends with its response, which
 * one of its buttons must give.  A file chooser is first steered to the
 * expected path; it loads folders in the background, so it is asked again
 * until it has it. */
gint gtk_dialog_run(GtkDialog *dialog) {
    const char *title = gtk_window_get_title(GTK_WINDOW(dialog));
    if (expectedDialogs.empty()) {
        ADD_FAILURE() << "a dialog nobody expected: " << title;
        return GTK_RESPONSE_DELETE_EVENT;
    }
    Expected now = expectedDialogs.front();
    expectedDialogs.pop_front();
    EXPECT_EQ(now.title, title);
    EXPECT_EQ(now.parent, GTK_WIDGET(gtk_window_get_transient_for(GTK_WINDOW(dialog)))) << now.text;
    gtk_widget_show(GTK_WIDGET(dialog));
    if (GTK_IS_FILE_CHOOSER(dialog)) {
        GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
        bool folder = gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
        EXPECT_EQ(fs::is_directory(now.text), folder) << "whether " << now.title << " chooses a folder";
        for (int attempt = 0; owned(gtk_file_chooser_get_filename(chooser)) != now.text; ++attempt) {
            if (attempt == 250) {
                ADD_FAILURE() << "the chooser never chose " << now.text;
                return GTK_RESPONSE_DELETE_EVENT;
            }
            gtk_file_chooser_select_filename(chooser, now.text.c_str());
            g_usleep(20000);
            while (gtk_events_pending())
                gtk_main_iteration();
        }
    } else {
        gchar *message = nullptr;
        GtkMessageType kind;
        g_object_get(dialog, "text", &message, "message-type", &kind, nullptr);
        EXPECT_EQ(now.text, owned(message));
        EXPECT_EQ(GTK_MESSAGE_ERROR, kind) << now.text;
        EXPECT_TRUE(gtk_window_get_destroy_with_parent(GTK_WINDOW(dialog))) << now.text;
    }
    if (now.response == GTK_RESPONSE_DELETE_EVENT)
        return now.response;
    EXPECT_TRUE(gtk_dialog_get_widget_for_response(dialog, now.response)) << now.title;
    return now.response;
}

namespace {

/* User actions, each followed by the events it causes.  A test ends at its
 * first failure: the windows it would go on to drive may be gone. */
void pump() {
    while (gtk_events_pending())
        gtk_main_iteration();
    if (testing::Test::HasFailure())
        throw std::runtime_error("the test stops at its first failure");
}

void click(GtkWidget *button) {
    gtk_button_clicked(GTK_BUTTON(button));
    pump();
}

/* The window manager's close. */
void closeWindow(GtkWidget *window) {
    GdkEventAny close = {GDK_DELETE, gtk_widget_get_window(window), TRUE};
    gtk_main_do_event(reinterpret_cast<GdkEvent *>(&close));
    pump();
}

/* Puts a value into a control as text() reads it back. */
void set(GtkWidget *widget, const string &value) {
    if (GTK_IS_TEXT_VIEW(widget))
        g_object_set(gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget)), "text", value.c_str(), nullptr);
    else if (GTK_IS_ENTRY(widget))
        g_object_set(widget, "text", value.c_str(), nullptr);
    else
        g_object_set(widget, "active", std::stoi(value), nullptr);
    pump();
}

/* Selects a row of a list view, or with -1 none. */
void selectRow(GtkWidget *view, int row) {
    GtkTreeSelection *selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    gtk_tree_selection_unselect_all(selection);
    if (row >= 0) {
        GtkTreePath *path = gtk_tree_path_new_from_indices(row, -1);
        gtk_tree_selection_select_path(selection, path);
        gtk_tree_path_free(path);
    }
    pump();
}

/* The main window as main() builds it, in a scratch working directory that
 * holds the catalogue "locales" and the project folder. */
class Gui : public testing::Test {
protected:
    void SetUp() override {
        expectedDialogs.clear();
        fs::path dir = owned(g_dir_make_tmp("vornic-gui-XXXXXX", nullptr));
        project = dir / "proj é";
        fs::create_directories(project + "/sub");
        fs::create_directories(project + "/~");
        for (const char *file : {"icon", "bin", "~/icon", "q\"uote", "<b>", "\377.png"})
            std::ofstream(project + "/" + file).flush();
        mkfifo((project + "/fifo").c_str(), 0600);
        std::ofstream(dir / "locales") << "en_US\nde_DE\nfr_FR\nen_US.UTF-8\nEN_US\n";
        EXPECT_EQ(0, chdir(dir.c_str()));
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
            ADD_FAILURE() << left.title << " " << left.text << " never came";
        g_signal_handlers_disconnect_by_func(w.window, gpointer(gtk_main_quit), nullptr);
        for (GtkWidget *window : shownWindows()) {
            if (window != w.window) /* first: closing it updates the main window */
                gtk_widget_destroy(window);
        }
        gtk_widget_destroy(w.window);
        while (gtk_events_pending())
            gtk_main_iteration();
        fs::remove_all(fs::current_path());
    }

    vornicMain main;
    vornicMainWidgets &w = main.mainWin;
    string project;
};

} // namespace

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    g_log_set_default_handler(
        [](const gchar *domain, GLogLevelFlags level, const gchar *message, gpointer) {
            if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING))
                ADD_FAILURE() << (domain ? domain : "") << ": " << message;
        },
        nullptr);
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "no display: run under with-display.sh\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}

#endif
