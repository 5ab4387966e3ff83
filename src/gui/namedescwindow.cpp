/*
 * namedescwindow.cpp - the Name and description window: the localised names
 * and descriptions of the selected application, one list row per live entry.
 *
 * Every Add, Modify and Delete is stored at once; there is nothing to confirm.
 * Rows are tied to entries by their locale code.  The window also keeps the
 * application's en_US mark, which makes "Menu categories" usable once it
 * closes.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "gtkptr.h"
#include "gui.h"
#include "widgets.h"
#include "slots.h"

#include <cstring>

namespace {

/* The description is the view's whole text; the caller owns the copy. */
GCharPtr descriptionText(const vornicNameDescWidgets &w)
{
    GtkTextBuffer *buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(w.descView));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    return GCharPtr(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
}

LocaleForm readForm(const vornicNameDescWidgets &w, const GCharPtr &description)
{
    return LocaleForm{guiEntryText(w.localeEntry), guiEntryText(w.nameEntry), description.get()};
}

void refreshEnUsMark(vornicMain *main)
{
    vornicApp *app = vornicSelectedApp(main);
    if (localeExists(main, "en_US") != -1)
        app->flags |= APP_LOCALE_EN_US;
    else
        app->flags &= ~APP_LOCALE_EN_US;
}

} // namespace

void guiMakeNameDescDiag(GtkWidget *, vornicMain *main)
{
    const vornicApp *app = vornicSelectedApp(main);
    g_return_if_fail(app != nullptr);
    if (!guiBeginSubWindow(main))
        return;

    vornicNameDescWidgets &w = main->nameDesc;
    w.window = guiNewEditingWindow("Vornic - Name and description", 400, 300);
    w.vbox = gtk_vbox_new(FALSE, 5);
    w.buttonRow = gtk_hbox_new(FALSE, 5);
    w.table = gtk_table_new(6, 2, FALSE);
    gtk_container_add(GTK_CONTAINER(w.window), w.vbox);
    gtk_container_add(GTK_CONTAINER(w.vbox), w.table);

    w.descScroller = guiNewScroller();
    w.listScroller = guiNewScroller();
    w.localeLabel = gtk_label_new("Locale");
    w.nameLabel = gtk_label_new("Name of application");
    w.descLabel = gtk_label_new("Description");

    w.localeList = gtk_tree_view_new();
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(w.localeList), FALSE);
    guiAccessibleName(w.localeList, "Locales");
    guiInitListView(main, w.localeList);

    w.addButton = guiNewSizedButton("Add");
    w.modButton = guiNewSizedButton("Modify");
    w.delButton = guiNewSizedButton("Delete");
    w.okButton = guiNewSizedButton("OK");

    /* Rows follow the slots, so a code added into a freed slot comes before
     * codes added earlier into later slots. */
    slotWalk(app->locales, [&](std::int32_t, const vornicLocale &entry) {
        if (entry.flags & SLOT_USED)
            guiAddToListView(main, w.localeList, entry.code.c_str());
        return false;
    });

    w.descView = gtk_text_view_new();
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(w.descView), GTK_WRAP_WORD);
    w.nameEntry = gtk_entry_new();
    w.localeEntry = gtk_entry_new();
    gtk_container_add(GTK_CONTAINER(w.descScroller), w.descView);
    gtk_container_add(GTK_CONTAINER(w.listScroller), w.localeList);

    guiAttach(w.table, w.localeLabel, {0, 1, 0, 1});
    guiAttach(w.table, w.nameLabel, {0, 1, 1, 2});
    guiAttach(w.table, w.descLabel, {0, 1, 2, 3});
    guiAttach(w.table, w.localeEntry, {1, 2, 0, 1}, kExpandFill, kShrinkFill);
    guiAttach(w.table, w.nameEntry, {1, 2, 1, 2});
    guiAttach(w.table, w.descScroller, {1, 2, 2, 3}, kShrinkFill, kExpandFill);
    guiAttach(w.table, w.buttonRow, {0, 2, 3, 4});
    guiAttach(w.table, w.listScroller, {0, 2, 4, 5}, kShrinkFill, kExpandFill);
    guiAttach(w.table, w.okButton, {0, 2, 5, 6});
    gtk_container_add(GTK_CONTAINER(w.buttonRow), w.addButton);
    gtk_container_add(GTK_CONTAINER(w.buttonRow), w.modButton);
    gtk_container_add(GTK_CONTAINER(w.buttonRow), w.delButton);

    guiLabelFor(w.localeLabel, w.localeEntry);
    guiLabelFor(w.nameLabel, w.nameEntry);
    guiLabelFor(w.descLabel, w.descView);

    main->parentWindow = w.window;
    g_signal_connect(w.addButton, "clicked", G_CALLBACK(guiAddLocale), main);
    g_signal_connect(w.modButton, "clicked", G_CALLBACK(guiModLocale), main);
    g_signal_connect(w.delButton, "clicked", G_CALLBACK(guiDelLocale), main);
    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(w.localeList)), "changed",
                     G_CALLBACK(guiUpdateLocale), main);
    /* Every change is stored as it is made, so OK only closes the window,
     * exactly as the window manager's close does. */
    g_signal_connect(w.okButton, "clicked", G_CALLBACK(guiWindowKill), main);
    guiAdoptSubWindow(main, w.window);

    gtk_widget_show_all(w.window);
}

void guiAddLocale(GtkWidget *, vornicMain *main)
{
    const vornicNameDescWidgets &w = main->nameDesc;
    GCharPtr description = descriptionText(w);
    LocaleForm form = readForm(w, description);
    if (localeValidate(main, &form) != 0 || localeAdd(main, &form) != 0)
        return;
    if (std::strcmp(form.code, "en_US") == 0)
        vornicSelectedApp(main)->flags |= APP_LOCALE_EN_US;
    guiAddToListView(main, w.localeList, form.code);
}

void guiModLocale(GtkWidget *, vornicMain *main)
{
    const vornicNameDescWidgets &w = main->nameDesc;
    GCharPtr description = descriptionText(w);
    LocaleForm form = readForm(w, description);
    GtkTreeIter iter;
    GCharPtr code(guiSelectedListText(w.localeList, &iter));
    if (code) {
        if (localeMod(main, code.get(), &form) != 0)
            return;
        gtk_list_store_set(guiListStore(w.localeList), &iter, 0, form.code, -1);
    }
    refreshEnUsMark(main);
}

void guiDelLocale(GtkWidget *, vornicMain *main)
{
    const vornicNameDescWidgets &w = main->nameDesc;
    GtkTreeIter iter;
    GCharPtr code(guiSelectedListText(w.localeList, &iter));
    if (!code)
        return;
    if (localeDel(main, code.get()) != 0)
        return;
    gtk_list_store_remove(guiListStore(w.localeList), &iter);
    refreshEnUsMark(main);
}

void guiUpdateLocale(GtkTreeSelection *, vornicMain *main)
{
    const vornicNameDescWidgets &w = main->nameDesc;
    GtkTreeIter iter;
    GCharPtr code(guiSelectedListText(w.localeList, &iter));
    if (!code)
        return;
    std::int32_t index = localeExists(main, code.get());
    if (index == -1)
        return;
    const vornicLocale &entry = vornicSelectedApp(main)->locales[static_cast<std::size_t>(index)];
    gtk_entry_set_text(GTK_ENTRY(w.localeEntry), entry.code.c_str());
    gtk_entry_set_text(GTK_ENTRY(w.nameEntry), entry.name.c_str());
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(w.descView)),
                             entry.description.c_str(), -1);
}
