/*
 * baseline.cpp - the floor the start-up benchmark measures Vornic against.
 *
 * The least a GTK+ 2 program of Vornic's shape must do before its window is
 * on screen: initialise the toolkit, build one toplevel window holding the
 * same widgets as Vornic's main window (five boxes, a scrolled tree view over
 * a one-column list store, an entry, nine buttons), show it, read a catalogue
 * file of one code per line into memory, and run the main loop.  It is built
 * as C++ with the project's own compiler and flags, so it pays for the same
 * runtime.  Nothing else is connected: no handlers, no sensitivity.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void pack(GtkWidget *box, GtkWidget *child, guint padding = 0)
{
    gtk_box_pack_start(GTK_BOX(box), child, TRUE, TRUE, padding);
}

GtkWidget *makeWindow()
{
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 100);
    gtk_window_set_title(GTK_WINDOW(window), "Baseline");
    gtk_container_set_border_width(GTK_CONTAINER(window), 5);

    GtkWidget *outer = gtk_vbox_new(FALSE, 5);
    GtkWidget *directoryRow = gtk_hbox_new(FALSE, 5);
    GtkWidget *entryRow = gtk_hbox_new(FALSE, 5);
    GtkWidget *listRow = gtk_hbox_new(FALSE, 5);
    GtkWidget *buttonColumn = gtk_vbox_new(FALSE, 5);
    gtk_container_add(GTK_CONTAINER(window), outer);
    gtk_container_add(GTK_CONTAINER(outer), directoryRow);
    gtk_container_add(GTK_CONTAINER(outer), entryRow);
    gtk_container_add(GTK_CONTAINER(outer), listRow);

    GtkWidget *scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_ETCHED_IN);
    GtkWidget *list = gtk_tree_view_new();
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(list), FALSE);
    pack(listRow, scroller, 5);
    gtk_container_add(GTK_CONTAINER(scroller), list);
    gtk_container_add(GTK_CONTAINER(listRow), buttonColumn);

    GtkCellRenderer *renderer = gtk_cell_renderer_text_new();
    gtk_tree_view_append_column(
        GTK_TREE_VIEW(list),
        gtk_tree_view_column_new_with_attributes("List Items", renderer, "text", 0, nullptr));
    GtkListStore *store = gtk_list_store_new(1, G_TYPE_STRING);
    gtk_tree_view_set_model(GTK_TREE_VIEW(list), GTK_TREE_MODEL(store));
    g_object_unref(store);

    /* Same labels as Vornic's, so text layout costs the same. */
    pack(directoryRow, gtk_button_new_with_label("Select directory"));
    pack(entryRow, gtk_entry_new());
    for (const char *label : {"Add app", "Rename app", "Remove app"})
        pack(entryRow, gtk_button_new_with_label(label));
    for (const char *label :
         {"General information", "Runtime data", "Name and description", "Menu categories"})
        pack(buttonColumn, gtk_button_new_with_label(label));
    pack(outer, gtk_button_new_with_label("Export to PND"));

    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    return window;
}

/* One code per line, kept in memory as the program would keep them. */
std::vector<std::string> readCatalogue(const char *path)
{
    std::vector<std::string> codes;
    std::FILE *file = std::fopen(path, "r");
    if (!file)
        return codes;
    char line[20];
    while (std::fgets(line, sizeof line, file)) {
        std::size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n')
            --length;
        codes.emplace_back(line, length);
    }
    std::fclose(file);
    return codes;
}

} // namespace

int main(int argc, char **argv)
{
    gtk_init(&argc, &argv);
    makeWindow();
    std::vector<std::string> codes = readCatalogue("locales");
    if (codes.empty()) {
        std::fputs("baseline: no codes read from ./locales\n", stderr);
        return 1;
    }
    gtk_main();
    return 0;
}
