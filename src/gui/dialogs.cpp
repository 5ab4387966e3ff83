/*
 * dialogs.cpp - the helpers every window shares: the error dialog, the
 * open-file chooser, one-column list views, and the rule by which an editing
 * window opens and closes.
 *
 * At most one editing window is open at a time.  While it is open it is the
 * parent of every dialog and the main window is insensitive; guiWindowKill is
 * the one way it closes, whether by Cancel, a stored OK or the window
 * manager.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "gtkptr.h"
#include "gui.h"

void guiShowErrorMessage(vornicMain *main, const char *text)
{
    /* The text goes through "%s": a message is never a format. */
    DialogPtr dialog(gtk_message_dialog_new(GTK_WINDOW(main->parentWindow),
                                            GTK_DIALOG_DESTROY_WITH_PARENT, GTK_MESSAGE_ERROR,
                                            GTK_BUTTONS_OK, "%s", text));
    gtk_window_set_title(GTK_WINDOW(dialog.get()), "Fatal error");
    gtk_dialog_run(GTK_DIALOG(dialog.get()));
}

gchar *guiGetSourceFile(vornicMain *main, const char *title, const char *suggestion)
{
    DialogPtr chooser(gtk_file_chooser_dialog_new(
        title, GTK_WINDOW(main->parentWindow), GTK_FILE_CHOOSER_ACTION_OPEN, GTK_STOCK_CANCEL,
        GTK_RESPONSE_CANCEL, GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr));
    /* An open chooser has no name field to prefill, so a suggestion selects
     * that file instead. */
    if (suggestion)
        gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser.get()), suggestion);
    if (gtk_dialog_run(GTK_DIALOG(chooser.get())) != GTK_RESPONSE_ACCEPT)
        return nullptr;
    return gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser.get()));
}

void guiInitListView(vornicMain *, GtkWidget *view)
{
    GtkCellRenderer *renderer = gtk_cell_renderer_text_new();
    GtkTreeViewColumn *column =
        gtk_tree_view_column_new_with_attributes("List Items", renderer, "text", 0, nullptr);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), column);

    GtkListStore *store = gtk_list_store_new(1, G_TYPE_STRING);
    gtk_tree_view_set_model(GTK_TREE_VIEW(view), GTK_TREE_MODEL(store));
    g_object_unref(store); /* the view holds the only reference */
}

GtkListStore *guiListStore(GtkWidget *view)
{
    return GTK_LIST_STORE(gtk_tree_view_get_model(GTK_TREE_VIEW(view)));
}

void guiAddToListView(vornicMain *, GtkWidget *view, const char *text)
{
    GtkListStore *store = guiListStore(view);
    GtkTreeIter iter;
    gtk_list_store_append(store, &iter);
    gtk_list_store_set(store, &iter, 0, text, -1);
}

gchar *guiSelectedListText(GtkWidget *view, GtkTreeIter *iter)
{
    GtkTreeModel *model = nullptr;
    GtkTreeSelection *selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    if (!gtk_tree_selection_get_selected(selection, &model, iter))
        return nullptr;
    gchar *text = nullptr;
    gtk_tree_model_get(model, iter, 0, &text, -1);
    return text;
}

void guiAccessibleName(GtkWidget *widget, const char *name)
{
    atk_object_set_name(gtk_widget_get_accessible(widget), name);
}

void guiLabelFor(GtkWidget *label, GtkWidget *widget)
{
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), widget);
    /* Set outright: a check button with an empty label would otherwise be
     * read out without a name. */
    guiAccessibleName(widget, gtk_label_get_text(GTK_LABEL(label)));
    AtkObject *target = gtk_widget_get_accessible(widget);
    AtkObject *source = gtk_widget_get_accessible(label);
    atk_object_add_relationship(target, ATK_RELATION_LABELLED_BY, source);
    atk_object_add_relationship(source, ATK_RELATION_LABEL_FOR, target);
}

bool guiBeginSubWindow(vornicMain *main)
{
    if (main->subWindowOpen)
        return false;
    main->subWindowOpen = true;
    guiUpdateMainButtonActivity(main);
    return true;
}

void guiAdoptSubWindow(vornicMain *main, GtkWidget *window)
{
    main->parentWindow = window;
    main->subWindowDestroyHandler =
        g_signal_connect(window, "destroy", G_CALLBACK(guiWindowKill), main);
}

void guiWindowKill(GtkWidget *, vornicMain *main)
{
    /* Closing twice, or with no editing window adopted, would destroy the
     * main window as "the parent". */
    if (!main->subWindowOpen)
        return;
    GtkWidget *window = main->parentWindow;
    g_return_if_fail(window != main->mainWin.window);
    if (main->subWindowDestroyHandler) {
        g_signal_handler_disconnect(window, main->subWindowDestroyHandler);
        main->subWindowDestroyHandler = 0;
    }
    gtk_widget_destroy(window);
    main->subWindowOpen = false;
    main->parentWindow = main->mainWin.window;
    guiUpdateMainButtonActivity(main);
}
