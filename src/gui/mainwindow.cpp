/*
 * mainwindow.cpp - start-up of the toolkit, the main window, and the one rule
 * that decides which of its controls can be used.
 *
 * The rule leads the user along a fixed chain: project directory, then
 * applications, then for the selected application general information,
 * runtime data, and name and description.  Rows of the application list are
 * tied to applications by name alone, never by position, because a new
 * application may take the table slot of a removed one while its row is
 * appended at the end.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "gtkptr.h"
#include "gui.h"
#include "widgets.h"

#include <string>
#include <vector>

namespace {

GtkWidget *newBox(bool vertical)
{
    return vertical ? gtk_vbox_new(FALSE, 5) : gtk_hbox_new(FALSE, 5);
}

void pack(GtkWidget *box, GtkWidget *child, guint padding = 0)
{
    gtk_box_pack_start(GTK_BOX(box), child, TRUE, TRUE, padding);
}

/*
 * The loader is named rather than left to guess from the file: guessing
 * loads the shared MIME database, which costs more than decoding the icons.
 */
GdkPixbuf *loadPng(const gchar *path)
{
    gchar *bytes = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path, &bytes, &length, nullptr))
        return nullptr;
    GCharPtr owned(bytes);
    GdkPixbufLoader *loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    GdkPixbuf *icon = nullptr;
    /* A failed write closes the loader itself; it must be closed only once. */
    if (gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar *>(bytes), length, nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr))
        icon = gdk_pixbuf_loader_get_pixbuf(loader);
    if (icon)
        g_object_ref(icon);
    g_object_unref(loader);
    return icon;
}

/*
 * Gives every window, dialogs included, the application icon at the sizes
 * that title bars and task lists show, from the hicolor folders of the XDG
 * data directories where an installation puts it.  Asking GTK's icon theme
 * instead would parse the whole theme index, hundreds of folders, which
 * adds more than 40% to the work of start-up.  Not installed, the windows
 * simply have no icon.
 */
void setDefaultIcon()
{
    std::vector<const gchar *> dirs{g_get_user_data_dir()};
    for (const gchar *const *dir = g_get_system_data_dirs(); *dir; ++dir)
        dirs.push_back(*dir);
    GList *icons = nullptr;
    for (const char *size : {"16x16", "32x32", "48x48"}) {
        for (const gchar *dir : dirs) {
            GCharPtr path(g_build_filename(dir, "icons", "hicolor", size, "apps", "io.github.vornic.vornic.png", nullptr));
            if (GdkPixbuf *icon = loadPng(path.get())) {
                icons = g_list_append(icons, icon);
                break;
            }
        }
    }
    gtk_window_set_default_icon_list(icons);
    g_list_free_full(icons, g_object_unref);
}

} // namespace

void vornicStart(vornicMain *main, int *argc, char ***argv)
{
    vornicInitMain(main);
    vornicInitApp(main);
    guiInit(main, argc, argv);
    guiMakeMainWindow(main);
    /* Its error dialogs stand over the main window, which is up already. */
    vornicLoadLocales(main);
    guiUpdateMainButtonActivity(main);
}

int guiInit(vornicMain *main, int *argc, char ***argv)
{
    gtk_init(argc, argv);
    setDefaultIcon();
    main->subWindowOpen = false;
    return 0;
}

int guiMakeMainWindow(vornicMain *main)
{
    vornicMainWidgets &w = main->mainWin;

    w.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(w.window), 200, 100);
    gtk_window_set_title(GTK_WINDOW(w.window), "Vornic");
    gtk_container_set_border_width(GTK_CONTAINER(w.window), 5);

    w.buttonColumn = newBox(true);
    w.listRow = newBox(false);
    w.directoryRow = newBox(false);
    w.entryRow = newBox(false);
    w.outerColumn = newBox(true);

    w.appListScroller = guiNewScroller();

    w.appList = gtk_tree_view_new();
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(w.appList), FALSE);
    /* With its header hidden the list has no visible title to be read by. */
    guiAccessibleName(w.appList, "Applications");

    gtk_container_add(GTK_CONTAINER(w.window), w.outerColumn);
    gtk_container_add(GTK_CONTAINER(w.outerColumn), w.directoryRow);
    gtk_container_add(GTK_CONTAINER(w.outerColumn), w.entryRow);
    gtk_container_add(GTK_CONTAINER(w.outerColumn), w.listRow);
    pack(w.listRow, w.appListScroller, 5);
    gtk_container_add(GTK_CONTAINER(w.appListScroller), w.appList);
    gtk_container_add(GTK_CONTAINER(w.listRow), w.buttonColumn);

    guiInitListView(main, w.appList);

    w.directoryButton = gtk_button_new_with_label("Select directory");
    w.generalButton = gtk_button_new_with_label("General information");
    w.runtimeButton = gtk_button_new_with_label("Runtime data");
    w.nameDescButton = gtk_button_new_with_label("Name and description");
    w.categoriesButton = gtk_button_new_with_label("Menu categories");
    w.exportButton = gtk_button_new_with_label("Export to PND");
    w.addButton = gtk_button_new_with_label("Add app");
    w.renameButton = gtk_button_new_with_label("Rename app");
    w.removeButton = gtk_button_new_with_label("Remove app");
    w.nameEntry = gtk_entry_new();
    guiAccessibleName(w.nameEntry, "Application name");

    pack(w.outerColumn, w.exportButton);
    pack(w.directoryRow, w.directoryButton);
    pack(w.entryRow, w.nameEntry);
    pack(w.entryRow, w.addButton);
    pack(w.entryRow, w.renameButton);
    pack(w.entryRow, w.removeButton);
    pack(w.buttonColumn, w.generalButton);
    pack(w.buttonColumn, w.runtimeButton);
    pack(w.buttonColumn, w.nameDescButton);
    pack(w.buttonColumn, w.categoriesButton);

    main->parentWindow = w.window;

    g_signal_connect(w.directoryButton, "clicked", G_CALLBACK(guiGetDir), main);
    g_signal_connect(w.generalButton, "clicked", G_CALLBACK(guiMakeAppGeneralDiag), main);
    g_signal_connect(w.runtimeButton, "clicked", G_CALLBACK(guiMakeRuntimeDiag), main);
    g_signal_connect(w.nameDescButton, "clicked", G_CALLBACK(guiMakeNameDescDiag), main);
    g_signal_connect(w.addButton, "clicked", G_CALLBACK(guiAddApp), main);
    g_signal_connect(w.renameButton, "clicked", G_CALLBACK(guiModApp), main);
    g_signal_connect(w.removeButton, "clicked", G_CALLBACK(guiDelApp), main);
    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(w.appList)), "changed",
                     G_CALLBACK(guiChangeAppList), main);
    g_signal_connect(w.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);

    guiUpdateMainButtonActivity(main);
    gtk_widget_show_all(w.window);
    return 0;
}

void guiDisableAllMainButtons(vornicMain *main)
{
    vornicMainWidgets &w = main->mainWin;
    GtkWidget *controls[] = {w.addButton,      w.renameButton,  w.removeButton,
                             w.nameEntry,      w.generalButton, w.runtimeButton,
                             w.categoriesButton, w.nameDescButton, w.appList,
                             w.directoryButton, w.exportButton};
    for (GtkWidget *control : controls)
        gtk_widget_set_sensitive(control, FALSE);
}

void guiUpdateMainButtonActivity(vornicMain *main)
{
    vornicMainWidgets &w = main->mainWin;
    /* GTK takes the keyboard focus from a control made insensitive and never
     * gives it back, so disabling everything first would leave a keyboard
     * user without a focus after every action.  The control that had it
     * gets it back below when it is still usable; while an editing window
     * is open it is kept for the moment that window closes. */
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(w.window));
    if (!focus)
        focus = w.focusKept;
    w.focusKept = nullptr;
    guiDisableAllMainButtons(main);
    if (main->subWindowOpen) {
        w.focusKept = focus;
        return;
    }

    if (main->directoryChosen) {
        gtk_widget_set_sensitive(w.nameEntry, TRUE);
        gtk_widget_set_sensitive(w.addButton, TRUE);
        gtk_widget_set_sensitive(w.renameButton, TRUE);
        gtk_widget_set_sensitive(w.removeButton, TRUE);
    }
    if (main->appCount > 0)
        gtk_widget_set_sensitive(w.appList, TRUE);

    /* Each mark counts only when the one before it is there: the chain is
     * walked in order, never skipped. */
    if (const vornicApp *app = vornicSelectedApp(main)) {
        gtk_widget_set_sensitive(w.generalButton, TRUE);
        if (app->flags & APP_GENERAL_DONE) {
            gtk_widget_set_sensitive(w.runtimeButton, TRUE);
            if (app->flags & APP_RUNTIME_DONE) {
                gtk_widget_set_sensitive(w.nameDescButton, TRUE);
                if (app->flags & APP_LOCALE_EN_US)
                    gtk_widget_set_sensitive(w.categoriesButton, TRUE);
            }
        }
    }

    if (main->appCount == 0)
        gtk_widget_set_sensitive(w.directoryButton, TRUE);

    if (focus && gtk_widget_is_sensitive(focus))
        gtk_widget_grab_focus(focus);
}

void guiGetDir(GtkWidget *, vornicMain *main)
{
    DialogPtr chooser(gtk_file_chooser_dialog_new(
        "Select directory", GTK_WINDOW(main->mainWin.window),
        GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL,
        GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr));
    if (gtk_dialog_run(GTK_DIALOG(chooser.get())) == GTK_RESPONSE_ACCEPT) {
        GCharPtr folder(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser.get())));
        /* A folder without a local path cannot hold the files we test. */
        if (folder) {
            main->projectDir = std::string(folder.get());
            main->directoryChosen = true;
        }
    }
    guiUpdateMainButtonActivity(main);
}

void guiChangeAppList(GtkTreeSelection *, vornicMain *main)
{
    /* With no rows there is no selection either: nothing to follow. */
    GtkTreeIter iter;
    GCharPtr text(guiSelectedListText(main->mainWin.appList, &iter));
    if (!text)
        return;
    main->selectedApp = appGetID(main, text.get());
    if (const vornicApp *app = vornicSelectedApp(main))
        gtk_entry_set_text(GTK_ENTRY(main->mainWin.nameEntry), app->name.c_str());
    guiUpdateMainButtonActivity(main);
}

void guiAddApp(GtkWidget *, vornicMain *main)
{
    /* A copy: the model may raise a dialog before the row is added. */
    std::string name = guiEntryText(main->mainWin.nameEntry);
    if (appAdd(main, name.c_str()) == -1)
        return;
    guiAddToListView(main, main->mainWin.appList, name.c_str());
}

void guiModApp(GtkWidget *, vornicMain *main)
{
    std::string name = guiEntryText(main->mainWin.nameEntry);
    GtkWidget *list = main->mainWin.appList;
    GtkTreeIter iter;
    GCharPtr current(guiSelectedListText(list, &iter));
    if (!current)
        return;
    if (appMod(main, name.c_str(), appGetID(main, current.get())) == -1)
        return;
    gtk_list_store_set(guiListStore(list), &iter, 0, name.c_str(), -1);
}

void guiDelApp(GtkWidget *, vornicMain *main)
{
    GtkWidget *list = main->mainWin.appList;
    GtkTreeIter iter;
    GCharPtr current(guiSelectedListText(list, &iter));
    if (!current)
        return;
    if (appDel(main) == -1)
        return;
    gtk_entry_set_text(GTK_ENTRY(main->mainWin.nameEntry), "");
    gtk_list_store_remove(guiListStore(list), &iter);
}
