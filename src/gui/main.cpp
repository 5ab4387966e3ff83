/*
 * main.cpp - start-up: the program state, the toolkit, the main window, the
 * locale catalogue, and the main loop.  Nothing is saved or released at the
 * end: all data lives in memory for the life of the process.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "gui.h"

int main(int argc, char **argv)
{
    vornicMain state;
    vornicStart(&state, &argc, &argv);
    gtk_main();
    return 0;
}
