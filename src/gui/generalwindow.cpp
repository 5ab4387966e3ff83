/*
 * generalwindow.cpp - the General information window: author, home page,
 * e-mail address, menu icon and the four-part version of the selected
 * application.
 *
 * Opening fills the widgets from the stored record; OK reads them into a
 * GeneralForm, which the model checks and stores.  A refused form keeps the
 * window open with everything the user typed.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "gtkptr.h"
#include "gui.h"
#include "widgets.h"

namespace {

GtkWidget *newVersionSpin(std::int32_t value)
{
    /* Page steps move by one as well; snapping keeps typed values whole. */
    GtkObject *adjustment = gtk_adjustment_new(value, 0, 255, 1, 1, 0);
    GtkWidget *spin = gtk_spin_button_new(GTK_ADJUSTMENT(adjustment), 1, 0);
    gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(spin), TRUE);
    gtk_spin_button_set_snap_to_ticks(GTK_SPIN_BUTTON(spin), TRUE);
    return spin;
}

std::int32_t spinValue(GtkWidget *spin)
{
    /* Without the update a value still being typed would be lost. */
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
    return gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(spin));
}

} // namespace

void guiMakeAppGeneralDiag(GtkWidget *, vornicMain *main)
{
    const vornicApp *app = vornicSelectedApp(main);
    g_return_if_fail(app != nullptr);
    if (!guiBeginSubWindow(main))
        return;

    vornicGeneralWidgets &w = main->general;
    GtkWidget *window = guiNewEditingWindow("Vornic - General information", 200, 100);
    main->parentWindow = window;

    w.table = gtk_table_new(6, 6, FALSE);
    gtk_container_add(GTK_CONTAINER(window), w.table);

    w.authorLabel = gtk_label_new("Author");
    w.homePageLabel = gtk_label_new("Homepage");
    w.emailLabel = gtk_label_new("E-mail");
    w.versionLabel = gtk_label_new("Version");
    w.majorLabel = gtk_label_new("Major");
    w.minorLabel = gtk_label_new("Minor");
    w.releaseLabel = gtk_label_new("Release");
    w.buildLabel = gtk_label_new("Build");
    w.iconLabel = gtk_label_new("Menu icon file\n(max 32\303\22732)");
    w.cancelButton = guiNewSizedButton("Cancel");
    w.okButton = guiNewSizedButton("OK");
    w.browseButton = guiNewSizedButton("Browse");

    guiAttach(w.table, w.authorLabel, {0, 1, 0, 1});
    guiAttach(w.table, w.homePageLabel, {0, 1, 1, 2});
    guiAttach(w.table, w.emailLabel, {0, 1, 2, 3});
    guiAttach(w.table, w.versionLabel, {0, 1, 3, 4});
    guiAttach(w.table, w.majorLabel, {1, 2, 4, 5});
    guiAttach(w.table, w.minorLabel, {2, 3, 4, 5});
    guiAttach(w.table, w.releaseLabel, {3, 4, 4, 5});
    guiAttach(w.table, w.buildLabel, {4, 5, 4, 5});
    guiAttach(w.table, w.iconLabel, {0, 1, 5, 6});
    guiAttach(w.table, w.cancelButton, {0, 1, 6, 7});

    w.authorEntry = guiNewEntryWith(app->author);
    w.homePageEntry = guiNewEntryWith(app->homePage);
    w.emailEntry = guiNewEntryWith(app->email);
    w.iconEntry = guiNewEntryWith(app->icon);
    w.majorSpin = newVersionSpin(app->verMajor);
    w.minorSpin = newVersionSpin(app->verMinor);
    w.releaseSpin = newVersionSpin(app->verRelease);
    w.buildSpin = newVersionSpin(app->verBuild);

    guiAttach(w.table, w.authorEntry, {1, 7, 0, 1});
    guiAttach(w.table, w.homePageEntry, {1, 7, 1, 2});
    guiAttach(w.table, w.emailEntry, {1, 7, 2, 3});
    guiAttach(w.table, w.majorSpin, {1, 2, 3, 4});
    guiAttach(w.table, w.minorSpin, {2, 3, 3, 4});
    guiAttach(w.table, w.releaseSpin, {3, 4, 3, 4});
    guiAttach(w.table, w.buildSpin, {4, 5, 3, 4});
    guiAttach(w.table, w.iconEntry, {1, 4, 5, 6});
    guiAttach(w.table, w.browseButton, {4, 7, 5, 6}, kShrinkFill, kShrinkFill, 0, 5);
    guiAttach(w.table, w.okButton, {1, 7, 6, 7});

    guiLabelFor(w.authorLabel, w.authorEntry);
    guiLabelFor(w.homePageLabel, w.homePageEntry);
    guiLabelFor(w.emailLabel, w.emailEntry);
    guiLabelFor(w.majorLabel, w.majorSpin);
    guiLabelFor(w.minorLabel, w.minorSpin);
    guiLabelFor(w.releaseLabel, w.releaseSpin);
    guiLabelFor(w.buildLabel, w.buildSpin);
    guiLabelFor(w.iconLabel, w.iconEntry);

    gtk_widget_show_all(window);

    g_signal_connect(w.browseButton, "clicked", G_CALLBACK(guiGetGeneralIcon), main);
    g_signal_connect(w.okButton, "clicked", G_CALLBACK(guiSetGeneral), main);
    g_signal_connect(w.cancelButton, "clicked", G_CALLBACK(guiWindowKill), main);
    guiAdoptSubWindow(main, window);
}

void guiSetGeneral(GtkWidget *button, vornicMain *main)
{
    const vornicGeneralWidgets &w = main->general;
    GeneralForm form{guiEntryText(w.authorEntry), guiEntryText(w.homePageEntry),
                     guiEntryText(w.emailEntry),  guiEntryText(w.iconEntry),
                     spinValue(w.majorSpin),      spinValue(w.minorSpin),
                     spinValue(w.releaseSpin),    spinValue(w.buildSpin)};
    if (generalValidate(main, &form) != 0)
        return;
    if (generalSet(main, &form) != 0)
        return;
    guiWindowKill(button, main);
}

void guiGetGeneralIcon(GtkWidget *, vornicMain *main)
{
    GCharPtr path(guiGetSourceFile(main, "Select icon image", nullptr));
    if (path)
        guiSetEntryPath(main->general.iconEntry, path.get());
}
