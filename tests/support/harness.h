/*
 * harness.h - what the in-process GUI tests link: the real windows under a
 * private Xvfb, driven as a user would, where nothing may hang or warn.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 *
 * Its main() runs gtk_init once.  Any GLib, GTK or GDK warning or critical
 * fails the running test.  Modal dialogs are answered by expectations queued
 * before the action that raises them, in order; a dialog nobody expected is
 * a failure and is closed, so no test can hang on one.
 */
#ifndef VORNIC_TESTS_HARNESS_H
#define VORNIC_TESTS_HARNESS_H

#include "gui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

/* The next dialog must have this title, stand over parent and, if it is a
 * message, say text; a file chooser first chooses the path in text.  It is
 * then answered with response: a button's response presses that button,
 * GTK_RESPONSE_DELETE_EVENT is the window manager's close. */
void expectDialog(const std::string &title, const std::string &text, GtkWidget *parent, int response);

/* User actions, each followed by the events it causes. */
void pump();
void click(GtkWidget *button);
void type(GtkWidget *entryOrTextView, const std::string &text);
void selectRow(GtkWidget *view, const std::string &row); /* "" selects none */
void closeWindow(GtkWidget *toplevel);                   /* the window manager's close */

/* Reading back: the shown toplevel windows, the rows of a list view or the
 * items of a combo box, and what a control holds: an entry's or a text
 * view's text, a combo box's active position, a switch as "1" or "0". */
std::vector<GtkWidget *> shownWindows();
std::vector<std::string> rows(GtkWidget *viewOrCombo);
std::string text(GtkWidget *control);

/* The main window as main() builds it, over a catalogue read from a scratch
 * working directory that also holds the project folder `project`. */
class Gui : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    vornicMain main;
    vornicMainWidgets &w = main.mainWin;
    std::string project;
    const std::vector<std::string> catalogue = {"en_US", "de_DE", "fr_FR", "en_US.UTF-8"};
};

#endif
