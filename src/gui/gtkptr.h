/*
 * gtkptr.h - owning handles for what GLib and GTK hand back.
 *
 * Strings freed with g_free and widgets destroyed with gtk_widget_destroy are
 * different kinds of ownership; each gets its own handle so that neither can
 * be released the wrong way.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#ifndef VORNIC_GUI_GTKPTR_H
#define VORNIC_GUI_GTKPTR_H

#include <gtk/gtk.h>

#include <memory>

struct GFreeDeleter {
    void operator()(gchar *text) const { g_free(text); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct WidgetDestroyer {
    void operator()(GtkWidget *widget) const { gtk_widget_destroy(widget); }
};
/* A dialog that is destroyed however the scope that ran it is left. */
using DialogPtr = std::unique_ptr<GtkWidget, WidgetDestroyer>;

#endif
