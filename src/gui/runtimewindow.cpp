/*
 * runtimewindow.cpp - the Runtime settings window: unique ID, appdata and
 * starting directories, binary and arguments, the CPU frequency and X11 mode
 * choices and the two switches of the selected application.
 *
 * A choice is stored as the position of the active item, so the item lists
 * below must keep their order.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "gtkptr.h"
#include "gui.h"
#include "widgets.h"

namespace {

const char *const kX11Modes[] = {"Required", "No X11", "Don't care"};
const char *const kCpuFrequencies[] = {"No change", "200", "300", "400", "500", "600"};

template <std::size_t N>
GtkWidget *newChoiceBox(const char *const (&items)[N], std::int32_t active)
{
    GtkWidget *box = gtk_combo_box_text_new();
    for (const char *item : items)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(box), item);
    gtk_combo_box_set_active(GTK_COMBO_BOX(box), active);
    return box;
}

GtkWidget *newSwitch(std::int32_t on)
{
    /* The label beside it in the table names the switch. */
    GtkWidget *check = gtk_check_button_new_with_label("");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), on != 0);
    return check;
}

std::int32_t switchValue(GtkWidget *check)
{
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)) ? 1 : 0;
}

} // namespace

void guiMakeRuntimeDiag(GtkWidget *, vornicMain *main)
{
    const vornicApp *app = vornicSelectedApp(main);
    g_return_if_fail(app != nullptr);
    if (!guiBeginSubWindow(main))
        return;

    vornicRuntimeWidgets &w = main->runtime;
    w.window = guiNewEditingWindow("Vornic - Runtime settings", 200, 100);
    w.table = gtk_table_new(10, 3, FALSE);
    gtk_container_add(GTK_CONTAINER(w.window), w.table);

    w.uniqueIdLabel = gtk_label_new("Unique ID");
    w.appdataLabel = gtk_label_new("Appdata directory");
    w.startDirLabel = gtk_label_new("Starting directory");
    w.x11Label = gtk_label_new("x11 mode");
    w.binaryLabel = gtk_label_new("Application binary");
    w.argumentsLabel = gtk_label_new("Arguments");
    w.cpuLabel = gtk_label_new("CPU frequency");
    w.multitaskingLabel = gtk_label_new("Allow multitasking");
    w.inputFileLabel = gtk_label_new("Requires inputfile");
    w.browseButton = guiNewSizedButton("Browse");
    w.cancelButton = guiNewSizedButton("Cancel");
    w.okButton = guiNewSizedButton("OK");

    guiAttach(w.table, w.uniqueIdLabel, {0, 1, 0, 1});
    guiAttach(w.table, w.appdataLabel, {0, 1, 1, 2});
    guiAttach(w.table, w.startDirLabel, {0, 1, 2, 3});
    guiAttach(w.table, w.x11Label, {0, 1, 3, 4});
    guiAttach(w.table, w.binaryLabel, {0, 1, 4, 5});
    guiAttach(w.table, w.argumentsLabel, {0, 1, 5, 6});
    guiAttach(w.table, w.cpuLabel, {0, 1, 6, 7});
    guiAttach(w.table, w.multitaskingLabel, {0, 1, 7, 8});
    guiAttach(w.table, w.inputFileLabel, {0, 1, 8, 9});
    guiAttach(w.table, w.cancelButton, {0, 1, 9, 10});

    w.uniqueIdEntry = guiNewEntryWith(app->uniqueId);
    w.appdataEntry = guiNewEntryWith(app->appdataDir);
    w.startDirEntry = guiNewEntryWith(app->startDir);
    w.binaryEntry = guiNewEntryWith(app->binary);
    w.argumentsEntry = guiNewEntryWith(app->arguments);
    w.x11Combo = newChoiceBox(kX11Modes, app->x11Mode);
    w.cpuCombo = newChoiceBox(kCpuFrequencies, app->cpuFreq);
    w.multitaskingCheck = newSwitch(app->multitasking);
    w.inputFileCheck = newSwitch(app->inputFile);

    guiAttach(w.table, w.uniqueIdEntry, {1, 3, 0, 1});
    guiAttach(w.table, w.appdataEntry, {1, 3, 1, 2});
    guiAttach(w.table, w.startDirEntry, {1, 3, 2, 3});
    guiAttach(w.table, w.x11Combo, {1, 3, 3, 4});
    guiAttach(w.table, w.binaryEntry, {1, 2, 4, 5});
    guiAttach(w.table, w.browseButton, {2, 3, 4, 5});
    guiAttach(w.table, w.argumentsEntry, {1, 3, 5, 6});
    guiAttach(w.table, w.cpuCombo, {1, 3, 6, 7});
    guiAttach(w.table, w.multitaskingCheck, {1, 3, 7, 8});
    guiAttach(w.table, w.inputFileCheck, {1, 3, 8, 9});
    guiAttach(w.table, w.okButton, {1, 3, 9, 10});

    guiLabelFor(w.uniqueIdLabel, w.uniqueIdEntry);
    guiLabelFor(w.appdataLabel, w.appdataEntry);
    guiLabelFor(w.startDirLabel, w.startDirEntry);
    guiLabelFor(w.x11Label, w.x11Combo);
    guiLabelFor(w.binaryLabel, w.binaryEntry);
    guiLabelFor(w.argumentsLabel, w.argumentsEntry);
    guiLabelFor(w.cpuLabel, w.cpuCombo);
    guiLabelFor(w.multitaskingLabel, w.multitaskingCheck);
    guiLabelFor(w.inputFileLabel, w.inputFileCheck);

    g_signal_connect(w.browseButton, "clicked", G_CALLBACK(guiGetRuntimeExec), main);
    g_signal_connect(w.okButton, "clicked", G_CALLBACK(guiSetRuntime), main);
    g_signal_connect(w.cancelButton, "clicked", G_CALLBACK(guiWindowKill), main);
    guiAdoptSubWindow(main, w.window);

    gtk_widget_show_all(w.window);
}

void guiSetRuntime(GtkWidget *button, vornicMain *main)
{
    const vornicRuntimeWidgets &w = main->runtime;
    RuntimeForm form{guiEntryText(w.uniqueIdEntry),
                     guiEntryText(w.appdataEntry),
                     guiEntryText(w.startDirEntry),
                     guiEntryText(w.binaryEntry),
                     guiEntryText(w.argumentsEntry),
                     gtk_combo_box_get_active(GTK_COMBO_BOX(w.cpuCombo)),
                     gtk_combo_box_get_active(GTK_COMBO_BOX(w.x11Combo)),
                     switchValue(w.multitaskingCheck),
                     switchValue(w.inputFileCheck)};
    if (runtimeValidate(main, &form) != 0)
        return;
    if (runtimeSet(main, &form) != 0)
        return;
    guiWindowKill(button, main);
}

void guiGetRuntimeExec(GtkWidget *, vornicMain *main)
{
    GCharPtr path(guiGetSourceFile(main, "Select application binary", nullptr));
    if (path)
        guiSetEntryPath(main->runtime.binaryEntry, path.get());
}
