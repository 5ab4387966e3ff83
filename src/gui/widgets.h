/*
 * widgets.h - small widget constructors and readers shared by the windows,
 * so that each window's file reads as its layout and nothing else.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#ifndef VORNIC_GUI_WIDGETS_H
#define VORNIC_GUI_WIDGETS_H

#include "vornic.h"

#include <gtk/gtk.h>

/* The attach options every editing window uses unless its layout says
 * otherwise. */
constexpr GtkAttachOptions kShrinkFill = static_cast<GtkAttachOptions>(GTK_SHRINK | GTK_FILL);
constexpr GtkAttachOptions kExpandFill = static_cast<GtkAttachOptions>(GTK_EXPAND | GTK_FILL);

struct Attach {
    guint left, right, top, bottom;
};

void guiAttach(GtkWidget *table, GtkWidget *child, Attach at, GtkAttachOptions xoptions = kShrinkFill,
               GtkAttachOptions yoptions = kShrinkFill, guint xpadding = 5, guint ypadding = 5);

/* A scrolled window with automatic scroll bars and an etched-in frame. */
GtkWidget *guiNewScroller();

/* An editing window: toplevel, neither modal nor transient. */
GtkWidget *guiNewEditingWindow(const char *title, gint width, gint height);

/* A button of the editing windows' fixed size, 80 by 30 pixels. */
GtkWidget *guiNewSizedButton(const char *label);

/* An entry showing a stored string, or empty while the string is absent. */
GtkWidget *guiNewEntryWith(const vornicString &text);

/* An entry's text, borrowed from the widget while it is unchanged. */
const char *guiEntryText(GtkWidget *entry);

/* Puts a path returned by a file chooser into an entry, which holds UTF-8. */
void guiSetEntryPath(GtkWidget *entry, const gchar *path);

#endif
