/*
 * guiharness.cpp - main() for GUI tests, the log guard, and the answerer of
 * modal dialogs.
 *
 * Dialogs run their own nested loop (gtk_dialog_run), so the answerer cannot
 * wait for them in the test's own code: a timeout source polls the toplevel
 * list from inside whatever loop is running, checks each newly shown dialog
 * against the front expectation and answers it through its own buttons.
 * Every path ends the nested loop, so a wrong program fails a test instead of
 * hanging it.
 */
#include "guiharness.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

namespace {

enum class DialogKind { Error, Folder, File };

struct Expectation {
    DialogKind kind;
    std::string title;
    std::string text; /* the message, or the path to choose */
    Answer answer;
    GtkWidget *parent; /* null: not checked */
};

/* What the answerer knows of a dialog it has seen, kept on the dialog. */
struct Seen {
    gint64 since;
    Expectation want;
    bool steering = false; /* choosing want.text before answering */
    gint64 nextNudge = 0;
    bool watchdogFired = false;
};

std::deque<Expectation> expectations;

constexpr int kPollMs = 20;
constexpr int kSteerMs = 5000;
constexpr int kNudgeMs = 200;
const char kSeenKey[] = "vornic-harness-seen";
const char kOldKey[] = "vornic-harness-old"; /* existed before the test began */

gint64 nowMs()
{
    return g_get_monotonic_time() / 1000;
}

std::string gstr(gchar *owned)
{
    std::string copy = owned ? owned : "(null)";
    g_free(owned);
    return copy;
}

std::string titleOf(GtkWidget *window)
{
    if (!window)
        return "no window";
    const char *title = gtk_window_get_title(GTK_WINDOW(window));
    return std::string("\"") + (title ? title : "") + "\"";
}

std::string describe(GtkWidget *dialog)
{
    std::string out = G_OBJECT_TYPE_NAME(dialog) + (" " + titleOf(dialog));
    if (GTK_IS_MESSAGE_DIALOG(dialog)) {
        gchar *text = nullptr;
        g_object_get(dialog, "text", &text, nullptr);
        out += " saying \"" + gstr(text) + "\"";
    }
    return out;
}

void logGuard(const gchar *domain, GLogLevelFlags level, const gchar *message, gpointer)
{
    ADD_FAILURE() << ((level & G_LOG_LEVEL_CRITICAL) ? "CRITICAL" : "WARNING") << " from "
                  << (domain ? domain : "(default domain)") << ": " << message;
}

void installLogGuard()
{
    const char *domains[] = {"Gtk",   "Gdk",       "GLib", "GLib-GObject", "GLib-GIO",
                             "Pango", "GdkPixbuf", "Atk",  nullptr};
    auto levels = GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL |
                                 G_LOG_FLAG_RECURSION);
    for (const char *domain : domains)
        g_log_set_handler(domain, levels, logGuard, nullptr);
}

/* Presses the dialog's own button for the response, as a user would. */
void pressResponse(GtkWidget *dialog, gint response)
{
    GtkWidget *button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response);
    if (button) {
        gtk_button_clicked(GTK_BUTTON(button));
        return;
    }
    ADD_FAILURE() << describe(dialog) << " has no button for response " << response;
    gtk_widget_hide(dialog); /* ends gtk_dialog_run all the same */
}

void deliverDelete(GtkWidget *toplevel)
{
    GdkWindow *window = gtk_widget_get_window(toplevel);
    if (!window) {
        ADD_FAILURE() << "delete-event for a window that is not realized";
        return;
    }
    GdkEvent *event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(window));
    event->any.send_event = TRUE;
    gtk_main_do_event(event);
    gdk_event_free(event);
}

void answer(GtkWidget *dialog, Answer how)
{
    switch (how) {
    case Answer::Ok: pressResponse(dialog, GTK_RESPONSE_OK); break;
    case Answer::Accept: pressResponse(dialog, GTK_RESPONSE_ACCEPT); break;
    case Answer::Cancel: pressResponse(dialog, GTK_RESPONSE_CANCEL); break;
    case Answer::Close: deliverDelete(dialog); break;
    }
}

void checkAgainst(GtkWidget *dialog, const Expectation &want)
{
    bool chooser = GTK_IS_FILE_CHOOSER_DIALOG(dialog);
    bool error = want.kind == DialogKind::Error;
    if (error ? !GTK_IS_MESSAGE_DIALOG(dialog) : !chooser)
        ADD_FAILURE() << "expected " << (error ? "a message dialog" : "a file chooser") << ", got "
                      << describe(dialog);
    EXPECT_EQ("\"" + want.title + "\"", titleOf(dialog));
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog))) << describe(dialog) << " is not modal";
    GtkWidget *over = GTK_WIDGET(gtk_window_get_transient_for(GTK_WINDOW(dialog)));
    if (want.parent && over != want.parent)
        ADD_FAILURE() << describe(dialog) << " is over " << titleOf(over) << ", not over "
                      << titleOf(want.parent);
    if (error && GTK_IS_MESSAGE_DIALOG(dialog)) {
        gchar *text = nullptr;
        GtkMessageType type = GTK_MESSAGE_OTHER;
        g_object_get(dialog, "text", &text, "message-type", &type, nullptr);
        EXPECT_EQ(want.text, gstr(text));
        EXPECT_EQ(GTK_MESSAGE_ERROR, type);
    }
    if (!error && chooser) {
        EXPECT_EQ(want.kind == DialogKind::Folder ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                                  : GTK_FILE_CHOOSER_ACTION_OPEN,
                  gtk_file_chooser_get_action(GTK_FILE_CHOOSER(dialog)));
    }
}

/* Points the chooser at its path.  It loads folders in the background and
 * its own first load may land after our request and drop it, so the request
 * is repeated until the chooser reports the path. */
void steer(GtkWidget *dialog, Seen &seen)
{
    GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
    const std::string &path = seen.want.text;
    std::string shown = gstr(gtk_file_chooser_get_filename(chooser));
    if (shown == path) {
        seen.steering = false;
        answer(dialog, seen.want.answer);
    } else if (nowMs() - seen.since > kSteerMs) {
        ADD_FAILURE() << describe(dialog) << " never chose " << path << " (shows " << shown << ")";
        seen.steering = false;
        pressResponse(dialog, GTK_RESPONSE_CANCEL);
    } else if (nowMs() >= seen.nextNudge) {
        if (seen.want.kind == DialogKind::Folder)
            gtk_file_chooser_set_current_folder(chooser, path.c_str());
        else
            gtk_file_chooser_select_filename(chooser, path.c_str());
        seen.nextNudge = nowMs() + kNudgeMs;
    }
}

void handleNewDialog(GtkWidget *dialog, Seen &seen)
{
    if (expectations.empty()) {
        ADD_FAILURE() << "unexpected " << describe(dialog);
        deliverDelete(dialog);
        return;
    }
    seen.want = expectations.front();
    expectations.pop_front();
    checkAgainst(dialog, seen.want);
    /* A chooser is answered once its path is chosen, also when it is then
     * cancelled: a cancelled choice must not leak out. */
    seen.steering = seen.want.kind != DialogKind::Error && !seen.want.text.empty() &&
                    GTK_IS_FILE_CHOOSER(dialog);
    if (seen.steering)
        steer(dialog, seen);
    else
        answer(dialog, seen.want.answer);
}

/* Runs inside every loop, nested dialog loops included; acts on one dialog
 * per call, as acting may change the toplevel list. */
gboolean poll(gpointer)
{
    GList *toplevels = gtk_window_list_toplevels();
    for (GList *l = toplevels; l; l = l->next) {
        GtkWidget *dialog = GTK_WIDGET(l->data);
        if (!GTK_IS_DIALOG(dialog) || !gtk_widget_get_visible(dialog))
            continue;
        auto *seen = static_cast<Seen *>(g_object_get_data(G_OBJECT(dialog), kSeenKey));
        if (!seen) {
            seen = new Seen{nowMs(), {}};
            g_object_set_data_full(G_OBJECT(dialog), kSeenKey, seen,
                                   [](gpointer p) { delete static_cast<Seen *>(p); });
            handleNewDialog(dialog, *seen);
        } else if (seen->steering) {
            steer(dialog, *seen);
        } else if (nowMs() - seen->since > kDialogWatchdogMs && !seen->watchdogFired) {
            seen->watchdogFired = true;
            ADD_FAILURE() << describe(dialog) << " still open after " << kDialogWatchdogMs
                          << " ms; closing it";
            gtk_widget_hide(dialog); /* ends gtk_dialog_run */
        } else {
            continue;
        }
        break;
    }
    g_list_free(toplevels);
    return G_SOURCE_CONTINUE;
}

/* Calls visit(iter, text) for each row of a one-column model (a list view's,
 * or a text combo box's items) until it returns true; returns whether one
 * did. */
template <typename Visit>
bool eachRow(GtkTreeModel *model, Visit visit)
{
    GtkTreeIter iter;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &iter); ok;
         ok = gtk_tree_model_iter_next(model, &iter)) {
        gchar *text = nullptr;
        gtk_tree_model_get(model, &iter, 0, &text, -1);
        if (visit(&iter, gstr(text)))
            return true;
    }
    return false;
}

template <typename Visit>
bool eachRow(GtkWidget *view, Visit visit)
{
    return eachRow(gtk_tree_view_get_model(GTK_TREE_VIEW(view)), visit);
}

/* The container of child, when it is of the given type; a failure if not. */
GtkContainer *holderOf(GtkWidget *child, GType type)
{
    GtkWidget *parent = gtk_widget_get_parent(child);
    if (parent && G_TYPE_CHECK_INSTANCE_TYPE(parent, type))
        return GTK_CONTAINER(parent);
    ADD_FAILURE() << G_OBJECT_TYPE_NAME(child) << " is not in a " << g_type_name(type);
    return nullptr;
}

bool usable(GtkWidget *widget, const char *action)
{
    if (gtk_widget_get_visible(widget) && gtk_widget_is_sensitive(widget))
        return true;
    ADD_FAILURE() << "cannot " << action << " the " << G_OBJECT_TYPE_NAME(widget) << " \""
                  << (GTK_IS_BUTTON(widget) ? gtk_button_get_label(GTK_BUTTON(widget)) : "")
                  << "\": it is hidden or insensitive";
    return false;
}

} // namespace

void pumpEvents()
{
    while (gtk_events_pending())
        gtk_main_iteration();
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    gint64 deadline = nowMs() + timeoutMs;
    while (!done()) {
        if (nowMs() > deadline)
            return false;
        pumpEvents();
        g_usleep(2000);
    }
    return true;
}

void expectError(const std::string &text, GtkWidget *parent, Answer answer)
{
    expectations.push_back({DialogKind::Error, "Fatal error", text, answer, parent});
}

void expectFolderChooser(const std::string &title, const std::string &folder, Answer answer,
                         GtkWidget *parent)
{
    expectations.push_back({DialogKind::Folder, title, folder, answer, parent});
}

void expectFileChooser(const std::string &title, const std::string &file, Answer answer,
                       GtkWidget *parent)
{
    expectations.push_back({DialogKind::File, title, file, answer, parent});
}

std::size_t pendingDialogs()
{
    return expectations.size();
}

bool typeInto(GtkWidget *entry, const char *text)
{
    if (!usable(entry, "type into"))
        return false;
    if (GTK_IS_TEXT_VIEW(entry))
        gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(entry)), text, -1);
    else
        gtk_entry_set_text(GTK_ENTRY(entry), text);
    pumpEvents();
    return true;
}

bool click(GtkWidget *button)
{
    if (!usable(button, "click"))
        return false;
    gtk_button_clicked(GTK_BUTTON(button));
    pumpEvents();
    return true;
}

bool selectRow(GtkWidget *view, const char *text)
{
    if (!usable(view, "select in"))
        return false;
    GtkTreeSelection *selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    if (eachRow(view, [&](GtkTreeIter *iter, const std::string &row) {
            if (row == text)
                gtk_tree_selection_select_iter(selection, iter);
            return row == text;
        })) {
        pumpEvents();
        return true;
    }
    ADD_FAILURE() << "no row \"" << text << "\" to select";
    return false;
}

bool chooseComboItem(GtkWidget *combo, const char *text)
{
    if (!usable(combo, "choose in"))
        return false;
    std::vector<std::string> items = comboItems(combo);
    auto found = std::find(items.begin(), items.end(), text);
    if (found == items.end()) {
        ADD_FAILURE() << "no item \"" << text << "\" to choose";
        return false;
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), gint(found - items.begin()));
    pumpEvents();
    return true;
}

void deselectAll(GtkWidget *view)
{
    gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)));
    pumpEvents();
}

void sendDeleteEvent(GtkWidget *toplevel)
{
    deliverDelete(toplevel);
    pumpEvents();
}

std::vector<std::string> listRows(GtkWidget *view)
{
    std::vector<std::string> rows;
    eachRow(view, [&](GtkTreeIter *, const std::string &row) {
        rows.push_back(row);
        return false;
    });
    return rows;
}

std::vector<std::string> comboItems(GtkWidget *combo)
{
    std::vector<std::string> items;
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    eachRow(model, [&](GtkTreeIter *, const std::string &item) {
        items.push_back(item);
        return false;
    });
    return items;
}

std::string textOf(GtkWidget *widget)
{
    if (!GTK_IS_TEXT_VIEW(widget))
        return gtk_entry_get_text(GTK_ENTRY(widget));
    GtkTextBuffer *buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    return gstr(gtk_text_buffer_get_text(buffer, &start, &end, TRUE));
}

std::vector<GtkWidget *> childrenOf(GtkWidget *container)
{
    GList *children = gtk_container_get_children(GTK_CONTAINER(container));
    std::vector<GtkWidget *> result;
    for (GList *l = children; l; l = l->next)
        result.push_back(GTK_WIDGET(l->data));
    g_list_free(children);
    return result;
}

std::vector<std::string> sensitiveMainControls(const vornicMain &main)
{
    const vornicMainWidgets &w = main.mainWin;
    const std::pair<GtkWidget *, const char *> controls[] = {
        {w.nameEntry, "name entry"},
        {w.addButton, "Add app"},
        {w.renameButton, "Rename app"},
        {w.removeButton, "Remove app"},
        {w.appList, "app list"},
        {w.directoryButton, "Select directory"},
        {w.generalButton, "General information"},
        {w.runtimeButton, "Runtime data"},
        {w.nameDescButton, "Name and description"},
        {w.categoriesButton, "Menu categories"},
        {w.exportButton, "Export to PND"},
    };
    std::vector<std::string> sensitive;
    for (const auto &[widget, name] : controls)
        if (gtk_widget_get_sensitive(widget))
            sensitive.push_back(name);
    return sensitive;
}

TableAttach tableAttachment(GtkWidget *child)
{
    TableAttach at{};
    if (GtkContainer *table = holderOf(child, GTK_TYPE_TABLE))
        gtk_container_child_get(table, child, "left-attach", &at.left, "right-attach", &at.right,
                                "top-attach", &at.top, "bottom-attach", &at.bottom, "x-options",
                                &at.xoptions, "y-options", &at.yoptions, "x-padding",
                                &at.xpadding, "y-padding", &at.ypadding, nullptr);
    return at;
}

BoxPacking boxPacking(GtkWidget *child)
{
    BoxPacking at{};
    if (GtkContainer *box = holderOf(child, GTK_TYPE_BOX))
        gtk_container_child_get(box, child, "expand", &at.expand, "fill", &at.fill, "padding",
                                &at.padding, "pack-type", &at.packType, "position",
                                &at.position, nullptr);
    return at;
}

void GuiTest::SetUp()
{
    expectations.clear();
    GList *toplevels = gtk_window_list_toplevels();
    for (GList *l = toplevels; l; l = l->next)
        g_object_set_data(G_OBJECT(l->data), kOldKey, GINT_TO_POINTER(1));
    g_list_free(toplevels);
}

void GuiTest::TearDown()
{
    pumpEvents();
    for (const Expectation &left : expectations)
        ADD_FAILURE() << "expected dialog \"" << left.title << "\" never appeared (" << left.text
                      << ")";
    expectations.clear();
    destroyNewToplevels();
    pumpEvents();
    if (!tempDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(tempDir_, ignored);
    }
}

void GuiTest::destroyNewToplevels(GtkWidget *keep)
{
    for (;;) {
        GtkWidget *victim = nullptr;
        GList *toplevels = gtk_window_list_toplevels();
        for (GList *l = toplevels; l && !victim; l = l->next) {
            GtkWidget *window = GTK_WIDGET(l->data);
            if (window != keep && !g_object_get_data(G_OBJECT(window), kOldKey) &&
                gtk_window_get_window_type(GTK_WINDOW(window)) == GTK_WINDOW_TOPLEVEL)
                victim = window;
        }
        g_list_free(toplevels);
        if (!victim)
            return;
        /* Marked first: a window that outlives its destruction (someone
         * holds a reference) must not be destroyed again. */
        g_object_set_data(G_OBJECT(victim), kOldKey, GINT_TO_POINTER(1));
        gtk_widget_destroy(victim);
    }
}

const std::string &GuiTest::tempDir()
{
    if (tempDir_.empty()) {
        gchar *made = g_dir_make_tmp("vornic-gui-XXXXXX", nullptr);
        if (!made)
            ADD_FAILURE() << "cannot make a scratch directory";
        tempDir_ = gstr(made);
    }
    return tempDir_;
}

std::string GuiTest::makeFile(const std::string &relative)
{
    std::filesystem::path path = std::filesystem::path(tempDir()) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path.string()).flush();
    return path.string();
}

const std::vector<std::string> kTestCatalogue = {"en_US", "de_DE", "fr_FR", "ja_JP"};

void MainWindowTest::SetUp()
{
    GuiTest::SetUp();
    /* main() without gtk_init, which ran once, and without the catalogue
     * file, which the working directory need not hold. */
    vornicInitMain(&main);
    vornicInitApp(&main);
    main.subWindowOpen = false;
    guiMakeMainWindow(&main);
    main.catalogue = kTestCatalogue;
    main.localeCount = static_cast<std::int32_t>(main.catalogue.size());
    guiUpdateMainButtonActivity(&main);
    pumpEvents();
}

void MainWindowTest::TearDown()
{
    GtkWidget *window = main.mainWin.window;
    /* gtk_main_quit outside gtk_main is a critical. */
    g_signal_handlers_disconnect_by_func(window, reinterpret_cast<gpointer>(gtk_main_quit),
                                         nullptr);
    /* Editing windows first: closing one recomputes the main controls. */
    destroyNewToplevels(window);
    gtk_widget_destroy(window);
    GuiTest::TearDown();
}

void MainWindowTest::useProjectDir(const std::string &dir)
{
    main.projectDir = dir;
    main.directoryChosen = true;
    guiUpdateMainButtonActivity(&main);
}

std::int32_t MainWindowTest::addAndSelectApp(const char *name)
{
    if (!typeInto(main.mainWin.nameEntry, name) || !click(main.mainWin.addButton) ||
        !selectRow(main.mainWin.appList, name))
        return -1;
    return main.selectedApp;
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    installLogGuard();
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "GUI tests need a display; run them through with-display.sh\n");
        return 1;
    }
    g_timeout_add(kPollMs, poll, nullptr);
    return RUN_ALL_TESTS();
}
