/*
 * gui.h - the user interface's entry points: start-up, the dialog helpers and
 * every signal handler.  Each handler has the signature its signal calls,
 * with the program state as user data.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#ifndef VORNIC_GUI_GUI_H
#define VORNIC_GUI_GUI_H

#include "vornic.h"

#include <gtk/gtk.h>

/* Start-up and the main window.  vornicStart is everything main() does
 * before its main loop, so that the tests build the windows the same way. */
void vornicStart(vornicMain *main, int *argc, char ***argv);
int guiInit(vornicMain *main, int *argc, char ***argv);
int guiMakeMainWindow(vornicMain *main);
void guiDisableAllMainButtons(vornicMain *main);
void guiGetDir(GtkWidget *button, vornicMain *main);
void guiChangeAppList(GtkTreeSelection *selection, vornicMain *main);
void guiAddApp(GtkWidget *button, vornicMain *main);
void guiModApp(GtkWidget *button, vornicMain *main);
void guiDelApp(GtkWidget *button, vornicMain *main);

/* Dialog helpers and the sub-window rule. */
gchar *guiGetSourceFile(vornicMain *main, const char *title, const char *suggestion);
void guiInitListView(vornicMain *main, GtkWidget *view);
void guiAddToListView(vornicMain *main, GtkWidget *view, const char *text);
void guiWindowKill(GtkWidget *widget, vornicMain *main);
/* The first steps of every editing-window opener: false when a window is open
 * already, otherwise marks one open and makes the main window insensitive. */
bool guiBeginSubWindow(vornicMain *main);
/* Makes window the current parent and ties its "destroy" to guiWindowKill. */
void guiAdoptSubWindow(vornicMain *main, GtkWidget *window);
/* The store behind a view prepared by guiInitListView. */
GtkListStore *guiListStore(GtkWidget *view);
/* The text of the selected row of a one-column list, or null. */
gchar *guiSelectedListText(GtkWidget *view, GtkTreeIter *iter);
/* Names widget after label for assistive technologies; nothing visible
 * changes. */
void guiLabelFor(GtkWidget *label, GtkWidget *widget);
/* Names a control that has no label beside it for assistive technologies;
 * nothing visible changes. */
void guiAccessibleName(GtkWidget *widget, const char *name);

/* General information window. */
void guiMakeAppGeneralDiag(GtkWidget *button, vornicMain *main);
void guiSetGeneral(GtkWidget *button, vornicMain *main);
void guiGetGeneralIcon(GtkWidget *button, vornicMain *main);

/* Runtime settings window. */
void guiMakeRuntimeDiag(GtkWidget *button, vornicMain *main);
void guiSetRuntime(GtkWidget *button, vornicMain *main);
void guiGetRuntimeExec(GtkWidget *button, vornicMain *main);

/* Name and description window. */
void guiMakeNameDescDiag(GtkWidget *button, vornicMain *main);
void guiAddLocale(GtkWidget *button, vornicMain *main);
void guiModLocale(GtkWidget *button, vornicMain *main);
void guiDelLocale(GtkWidget *button, vornicMain *main);
void guiUpdateLocale(GtkTreeSelection *selection, vornicMain *main);

#endif
