/*
 * widgets.cpp - small widget constructors shared by the editing windows.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "widgets.h"

#include "gtkptr.h"

void guiAttach(GtkWidget *table, GtkWidget *child, Attach at, GtkAttachOptions xoptions,
               GtkAttachOptions yoptions, guint xpadding, guint ypadding)
{
    gtk_table_attach(GTK_TABLE(table), child, at.left, at.right, at.top, at.bottom, xoptions,
                     yoptions, xpadding, ypadding);
}

GtkWidget *guiNewEditingWindow(const char *title, gint width, gint height)
{
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), width, height);
    gtk_window_set_title(GTK_WINDOW(window), title);
    gtk_container_set_border_width(GTK_CONTAINER(window), 5);
    return window;
}

GtkWidget *guiNewSizedButton(const char *label)
{
    GtkWidget *button = gtk_button_new_with_label(label);
    gtk_widget_set_size_request(button, 80, 30);
    return button;
}

GtkWidget *guiNewEntryWith(const vornicString &text)
{
    GtkWidget *entry = gtk_entry_new();
    if (text)
        gtk_entry_set_text(GTK_ENTRY(entry), text->c_str());
    return entry;
}

GtkWidget *guiNewScroller()
{
    GtkWidget *scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_ETCHED_IN);
    /* GTK puts a scrolled window itself in the Tab order while what it
     * holds cannot take the focus, as an insensitive list cannot; the stop
     * would take no key that does anything, and a screen reader would name
     * an empty frame. */
    gtk_widget_set_can_focus(scroller, FALSE);
    return scroller;
}

const char *guiEntryText(GtkWidget *entry)
{
    return gtk_entry_get_text(GTK_ENTRY(entry));
}

void guiSetEntryPath(GtkWidget *entry, const gchar *path)
{
    /* A file name need not be UTF-8.  Its display form is, and names no
     * file, so the check on OK refuses it rather than the model storing
     * bytes that are not text. */
    GCharPtr shown(g_filename_display_name(path));
    gtk_entry_set_text(GTK_ENTRY(entry), shown.get());
}
