/*
 * main_window_tests.cpp - the main window driven through its real widgets:
 * its layout, the control rule, the directory chooser, the application list,
 * and the shared dialog helpers and sub-window rule beneath them.
 */
#include "guiharness.h"

#include <filesystem>

namespace {

using Names = std::vector<std::string>;

const char kDuplicate[] = "It does alredy exist a app with that name!";
const char kEmpty[] = "You must enter a name for the app!";

/* The states the control rule moves through, as sensitiveMainControls
 * lists them. */
const Names kAtStart = {"Select directory"};
const Names kDirectoryOnly = {"name entry", "Add app", "Rename app", "Remove app",
                              "Select directory"};
const Names kAppsNoneSelected = {"name entry", "Add app", "Rename app", "Remove app", "app list"};

std::size_t toplevelCount()
{
    GList *toplevels = gtk_window_list_toplevels();
    std::size_t count = g_list_length(toplevels);
    g_list_free(toplevels);
    return count;
}

Names plus(Names base, const Names &more)
{
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

class MainWindow : public MainWindowTest {
protected:
    GtkWidget *window() { return main.mainWin.window; }

    void addApp(const char *name)
    {
        typeInto(main.mainWin.nameEntry, name);
        click(main.mainWin.addButton);
    }

    std::string makeDir(const char *name)
    {
        std::string dir = tempDir() + "/" + name;
        std::filesystem::create_directories(dir);
        return dir;
    }

    Names names(std::initializer_list<const char *> list) { return Names(list.begin(), list.end()); }
};

/* ---- Layout ---------------------------------------------------------- */

TEST_F(MainWindow, IsBuiltAsLaidOut)
{
    const vornicMainWidgets &w = main.mainWin;
    EXPECT_STREQ("Vornic", gtk_window_get_title(GTK_WINDOW(w.window)));
    EXPECT_EQ(5u, gtk_container_get_border_width(GTK_CONTAINER(w.window)));
    gint width = 0, height = 0;
    gtk_window_get_default_size(GTK_WINDOW(w.window), &width, &height);
    EXPECT_EQ(200, width);
    EXPECT_EQ(100, height);
    EXPECT_TRUE(gtk_widget_get_visible(w.window));
    EXPECT_EQ(main.parentWindow, w.window);

    struct Box {
        GtkWidget *box;
        bool vertical;
        std::vector<GtkWidget *> children;
    };
    const Box boxes[] = {
        {w.outerColumn, true, {w.directoryRow, w.entryRow, w.listRow, w.exportButton}},
        {w.directoryRow, false, {w.directoryButton}},
        {w.entryRow, false, {w.nameEntry, w.addButton, w.renameButton, w.removeButton}},
        {w.listRow, false, {w.appListScroller, w.buttonColumn}},
        {w.buttonColumn, true, {w.generalButton, w.runtimeButton, w.nameDescButton,
                                w.categoriesButton}},
    };
    EXPECT_EQ(std::vector<GtkWidget *>{w.outerColumn}, childrenOf(w.window));
    EXPECT_EQ(std::vector<GtkWidget *>{w.appList}, childrenOf(w.appListScroller));
    for (const Box &b : boxes) {
        EXPECT_EQ(b.vertical, GTK_IS_VBOX(b.box) != 0);
        EXPECT_FALSE(gtk_box_get_homogeneous(GTK_BOX(b.box)));
        EXPECT_EQ(5, gtk_box_get_spacing(GTK_BOX(b.box)));
        ASSERT_EQ(b.children, childrenOf(b.box));
        for (GtkWidget *child : b.children) {
            BoxPacking p = boxPacking(child);
            EXPECT_TRUE(p.expand && p.fill) << G_OBJECT_TYPE_NAME(child);
            EXPECT_EQ(GTK_PACK_START, p.packType);
            EXPECT_EQ(child == w.appListScroller ? 5u : 0u, p.padding);
        }
    }

    const std::pair<GtkWidget *, const char *> labels[] = {
        {w.directoryButton, "Select directory"}, {w.generalButton, "General information"},
        {w.runtimeButton, "Runtime data"},       {w.nameDescButton, "Name and description"},
        {w.categoriesButton, "Menu categories"}, {w.exportButton, "Export to PND"},
        {w.addButton, "Add app"},                {w.renameButton, "Rename app"},
        {w.removeButton, "Remove app"}};
    for (const auto &[button, label] : labels)
        EXPECT_STREQ(label, gtk_button_get_label(GTK_BUTTON(button)));

    GtkScrolledWindow *scroller = GTK_SCROLLED_WINDOW(w.appListScroller);
    GtkPolicyType h, v;
    gtk_scrolled_window_get_policy(scroller, &h, &v);
    EXPECT_EQ(GTK_POLICY_AUTOMATIC, h);
    EXPECT_EQ(GTK_POLICY_AUTOMATIC, v);
    EXPECT_EQ(GTK_SHADOW_ETCHED_IN, gtk_scrolled_window_get_shadow_type(scroller));

    GtkTreeView *list = GTK_TREE_VIEW(w.appList);
    EXPECT_FALSE(gtk_tree_view_get_headers_visible(list));
    EXPECT_EQ(GTK_SELECTION_SINGLE, gtk_tree_selection_get_mode(gtk_tree_view_get_selection(list)));
    EXPECT_TRUE(listRows(w.appList).empty());
}

/* ---- The control rule ------------------------------------------------ */

TEST_F(MainWindow, ControlsFollowDirectoryAndApplications)
{
    EXPECT_EQ(kAtStart, sensitiveMainControls(main));

    std::string dir = makeDir("project");
    expectFolderChooser("Select directory", dir, Answer::Accept, window());
    click(main.mainWin.directoryButton);
    EXPECT_EQ(kDirectoryOnly, sensitiveMainControls(main));

    addApp("first");
    EXPECT_EQ(kAppsNoneSelected, sensitiveMainControls(main)) << "the directory is fixed now";
    addApp("second");
    selectRow(main.mainWin.appList, "first");
    EXPECT_EQ(plus(kAppsNoneSelected, {"General information"}), sensitiveMainControls(main));

    click(main.mainWin.removeButton);
    EXPECT_EQ(kAppsNoneSelected, sensitiveMainControls(main)) << "one application is left";
    selectRow(main.mainWin.appList, "second");
    click(main.mainWin.removeButton);
    EXPECT_EQ(kDirectoryOnly, sensitiveMainControls(main)) << "a directory can be chosen again";
    EXPECT_EQ(dir, main.projectDir.value_or(""));
}

TEST_F(MainWindow, PerApplicationButtonsFollowTheProgressChainInOrder)
{
    useProjectDir(tempDir());
    std::int32_t index = addAndSelectApp("app");
    ASSERT_GE(index, 0);

    /* A mark counts only when every mark before it is there too. */
    struct Case {
        std::uint32_t marks;
        Names extra;
    };
    const Case cases[] = {
        {0, {"General information"}},
        {APP_GENERAL_DONE, {"General information", "Runtime data"}},
        {APP_GENERAL_DONE | APP_RUNTIME_DONE,
         {"General information", "Runtime data", "Name and description"}},
        {APP_GENERAL_DONE | APP_RUNTIME_DONE | APP_LOCALE_EN_US,
         {"General information", "Runtime data", "Name and description", "Menu categories"}},
        {APP_RUNTIME_DONE, {"General information"}},
        {APP_RUNTIME_DONE | APP_LOCALE_EN_US, {"General information"}},
        {APP_GENERAL_DONE | APP_LOCALE_EN_US, {"General information", "Runtime data"}},
    };
    vornicApp &app = main.apps[static_cast<std::size_t>(index)];
    const std::uint32_t slotBits = app.flags & (SLOT_NEXT | SLOT_USED);
    for (const Case &c : cases) {
        app.flags = slotBits | c.marks;
        guiUpdateMainButtonActivity(&main);
        EXPECT_EQ(plus(kAppsNoneSelected, c.extra), sensitiveMainControls(main))
            << "marks 0x" << std::hex << c.marks;
    }

    /* "Menu categories" is usable but has no action: no dialog, no window. */
    app.flags = slotBits | APP_GENERAL_DONE | APP_RUNTIME_DONE | APP_LOCALE_EN_US;
    guiUpdateMainButtonActivity(&main);
    std::size_t windows = toplevelCount();
    click(main.mainWin.categoriesButton);
    EXPECT_EQ(windows, toplevelCount());
}

TEST_F(MainWindow, OpenEditingWindowMakesEveryControlInsensitive)
{
    useProjectDir(tempDir());
    std::int32_t index = addAndSelectApp("app");
    ASSERT_GE(index, 0);
    main.apps[static_cast<std::size_t>(index)].flags |= APP_GENERAL_DONE | APP_RUNTIME_DONE;
    guiUpdateMainButtonActivity(&main);
    Names before = sensitiveMainControls(main);

    ASSERT_TRUE(guiBeginSubWindow(&main));
    EXPECT_TRUE(sensitiveMainControls(main).empty());
    guiAdoptSubWindow(&main, gtk_window_new(GTK_WINDOW_TOPLEVEL));
    EXPECT_FALSE(guiBeginSubWindow(&main)) << "a second editing window may not open";
    guiUpdateMainButtonActivity(&main);
    EXPECT_TRUE(sensitiveMainControls(main).empty());

    guiWindowKill(nullptr, &main);
    EXPECT_EQ(before, sensitiveMainControls(main));
}

/* ---- Choosing the project directory ------------------------------------ */

TEST_F(MainWindow, DirectoryChooserStoresOnlyAnAcceptedFolder)
{
    std::string first = makeDir("first"), second = makeDir("second");
    GtkWidget *chooser = main.mainWin.directoryButton;

    expectFolderChooser("Select directory", first, Answer::Cancel, window());
    click(chooser);
    EXPECT_FALSE(main.directoryChosen);
    EXPECT_FALSE(main.projectDir.has_value());
    EXPECT_EQ(kAtStart, sensitiveMainControls(main));

    expectFolderChooser("Select directory", first, Answer::Accept, window());
    click(chooser);
    EXPECT_TRUE(main.directoryChosen);
    EXPECT_EQ(first, main.projectDir.value_or(""));

    expectFolderChooser("Select directory", second, Answer::Accept, window());
    click(chooser);
    EXPECT_EQ(second, main.projectDir.value_or("")) << "a second choice replaces the first";

    expectFolderChooser("Select directory", first, Answer::Cancel, window());
    click(chooser);
    expectFolderChooser("Select directory", first, Answer::Close, window());
    click(chooser);
    EXPECT_EQ(second, main.projectDir.value_or(""));
    EXPECT_TRUE(main.directoryChosen);
    EXPECT_EQ(kDirectoryOnly, sensitiveMainControls(main));
}

/* ---- The application list ---------------------------------------------- */

TEST_F(MainWindow, AddRenameRemoveAndSelectKeepRowsAndTableInStep)
{
    useProjectDir(tempDir());
    GtkWidget *list = main.mainWin.appList, *entry = main.mainWin.nameEntry;

    addApp("alpha");
    EXPECT_EQ(names({"alpha"}), listRows(list));
    EXPECT_STREQ("alpha", gtk_entry_get_text(GTK_ENTRY(entry))) << "the entry keeps its text";
    EXPECT_EQ(-1, main.selectedApp) << "adding selects nothing";
    addApp("beta");
    addApp("Alpha");
    EXPECT_EQ(names({"alpha", "beta", "Alpha"}), listRows(list)) << "names compare exactly";
    EXPECT_EQ(3, main.appCount);

    selectRow(list, "beta");
    EXPECT_EQ(appGetID(&main, "beta"), main.selectedApp);
    EXPECT_STREQ("beta", gtk_entry_get_text(GTK_ENTRY(entry)));

    std::int32_t beta = main.selectedApp;
    typeInto(entry, "gamma");
    click(main.mainWin.renameButton);
    EXPECT_EQ(names({"alpha", "gamma", "Alpha"}), listRows(list));
    EXPECT_EQ(beta, appGetID(&main, "gamma"));
    EXPECT_EQ(-1, appGetID(&main, "beta"));
    EXPECT_EQ(beta, main.selectedApp) << "a rename keeps the selection";

    typeInto(entry, "gamma");
    click(main.mainWin.renameButton); /* its own name: accepted, no message */
    EXPECT_EQ(names({"alpha", "gamma", "Alpha"}), listRows(list));

    click(main.mainWin.removeButton);
    EXPECT_EQ(names({"alpha", "Alpha"}), listRows(list));
    EXPECT_STREQ("", gtk_entry_get_text(GTK_ENTRY(entry)));
    EXPECT_EQ(-1, main.selectedApp);
    EXPECT_EQ(2, main.appCount);
    EXPECT_EQ(-1, appGetID(&main, "gamma"));
    EXPECT_EQ(kAppsNoneSelected, sensitiveMainControls(main));

    /* Rename and Remove without a selected row do nothing and say nothing. */
    typeInto(entry, "delta");
    click(main.mainWin.renameButton);
    click(main.mainWin.removeButton);
    EXPECT_EQ(names({"alpha", "Alpha"}), listRows(list));
    EXPECT_EQ(2, main.appCount);
}

TEST_F(MainWindow, NewApplicationInAFreedSlotGetsTheLastRow)
{
    useProjectDir(tempDir());
    addApp("one");
    addApp("two");
    addApp("three");
    selectRow(main.mainWin.appList, "one");
    ASSERT_EQ(0, main.selectedApp);
    /* The slot's old marks must not reach the next application in it. */
    main.apps[0].flags |= APP_GENERAL_DONE | APP_RUNTIME_DONE | APP_LOCALE_EN_US;
    click(main.mainWin.removeButton);

    addApp("four");
    EXPECT_EQ(names({"two", "three", "four"}), listRows(main.mainWin.appList));
    selectRow(main.mainWin.appList, "four");
    EXPECT_EQ(0, main.selectedApp) << "the lowest freed slot is taken";
    EXPECT_EQ("four", main.apps[0].name);
    EXPECT_EQ(plus(kAppsNoneSelected, {"General information"}), sensitiveMainControls(main));

    selectRow(main.mainWin.appList, "three");
    EXPECT_EQ(2, main.selectedApp);
}

TEST_F(MainWindow, DeselectingKeepsTheSelectedApplication)
{
    useProjectDir(tempDir());
    addApp("keep");
    std::int32_t index = addAndSelectApp("other");
    ASSERT_GE(index, 0);
    main.apps[static_cast<std::size_t>(index)].flags |= APP_GENERAL_DONE;
    guiUpdateMainButtonActivity(&main);
    Names controls = sensitiveMainControls(main);

    deselectAll(main.mainWin.appList);
    EXPECT_EQ(index, main.selectedApp);
    EXPECT_EQ(controls, sensitiveMainControls(main));

    typeInto(main.mainWin.nameEntry, "renamed");
    click(main.mainWin.renameButton);
    click(main.mainWin.removeButton);
    EXPECT_EQ(names({"keep", "other"}), listRows(main.mainWin.appList));
    EXPECT_EQ("other", main.apps[static_cast<std::size_t>(index)].name);
    EXPECT_EQ(2, main.appCount);
}

TEST_F(MainWindow, RefusedNamesShowTheModelMessageAndChangeNoRow)
{
    useProjectDir(tempDir());
    addApp("beta");
    std::int32_t alpha = addAndSelectApp("alpha");
    ASSERT_GE(alpha, 0);

    struct Case {
        GtkWidget *button;
        const char *name;
        const char *message;
    };
    const Case cases[] = {
        {main.mainWin.addButton, "beta", kDuplicate},
        {main.mainWin.addButton, "alpha", kDuplicate},
        {main.mainWin.addButton, "", kEmpty},
        {main.mainWin.renameButton, "beta", kDuplicate},
        {main.mainWin.renameButton, "", kEmpty},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(gtk_button_get_label(GTK_BUTTON(c.button))) + " \"" + c.name +
                     "\"");
        typeInto(main.mainWin.nameEntry, c.name);
        expectError(c.message, window());
        click(c.button);
        EXPECT_EQ(0u, pendingDialogs());
        EXPECT_EQ(names({"beta", "alpha"}), listRows(main.mainWin.appList));
        EXPECT_EQ(alpha, appGetID(&main, "alpha"));
        EXPECT_EQ(alpha, main.selectedApp);
        EXPECT_EQ(2, main.appCount);
    }

    /* Closing the message by the window manager ends it just the same. */
    typeInto(main.mainWin.nameEntry, "");
    expectError(kEmpty, window(), Answer::Close);
    click(main.mainWin.addButton);
    EXPECT_EQ(2, main.appCount);
}

/* ---- Dialog helpers and the sub-window rule --------------------------- */

TEST_F(MainWindow, ErrorMessagesGoOverTheCurrentParentWindow)
{
    /* Shown unchanged: a message is never a format. */
    const char text[] = "100% sure: \"%s\" <b>%d</b>";
    expectError(text, window());
    guiShowErrorMessage(&main, text);

    GtkWidget *editing = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    ASSERT_TRUE(guiBeginSubWindow(&main));
    guiAdoptSubWindow(&main, editing);
    gtk_widget_show(editing);
    expectError("over the editing window", editing);
    guiShowErrorMessage(&main, "over the editing window");

    guiWindowKill(nullptr, &main);
    expectError("back over the main window", window(), Answer::Close);
    guiShowErrorMessage(&main, "back over the main window");
}

/* Every way an editing window closes runs guiWindowKill exactly once. */
TEST_F(MainWindow, EditingWindowClosesOnceWhicheverWayItCloses)
{
    enum class How { Cancel, Destroy, WindowManager };
    for (How how : {How::Cancel, How::Destroy, How::WindowManager}) {
        SCOPED_TRACE(static_cast<int>(how));
        Names before = sensitiveMainControls(main);
        GtkWidget *editing = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        ASSERT_TRUE(guiBeginSubWindow(&main));
        guiAdoptSubWindow(&main, editing);
        gtk_widget_show(editing);
        pumpEvents();
        EXPECT_EQ(editing, main.parentWindow);
        EXPECT_NE(0u, main.subWindowDestroyHandler);
        g_object_add_weak_pointer(G_OBJECT(editing), reinterpret_cast<gpointer *>(&editing));

        /* With no application "Select directory" is switched off and on by
         * every recomputation: one notification per guiWindowKill. */
        int recomputed = 0;
        gulong counter = g_signal_connect_swapped(
            main.mainWin.directoryButton, "notify::sensitive",
            G_CALLBACK(+[](int *count) { ++*count; }), &recomputed);
        switch (how) {
        case How::Cancel: guiWindowKill(nullptr, &main); break;
        case How::Destroy: gtk_widget_destroy(editing); break;
        case How::WindowManager: sendDeleteEvent(editing); break;
        }
        pumpEvents();
        g_signal_handler_disconnect(main.mainWin.directoryButton, counter);

        EXPECT_EQ(nullptr, editing) << "the editing window is destroyed";
        EXPECT_EQ(1, recomputed);
        EXPECT_FALSE(main.subWindowOpen);
        EXPECT_EQ(window(), main.parentWindow);
        EXPECT_EQ(before, sensitiveMainControls(main));
        if (editing)
            g_object_remove_weak_pointer(G_OBJECT(editing), reinterpret_cast<gpointer *>(&editing));
    }
}

TEST_F(MainWindow, ListViewStartsEmptyAndKeepsAppendOrder)
{
    GtkWidget *view = g_object_ref_sink(gtk_tree_view_new());
    guiInitListView(&main, view);

    GtkTreeViewColumn *column = gtk_tree_view_get_column(GTK_TREE_VIEW(view), 0);
    ASSERT_NE(nullptr, column);
    EXPECT_STREQ("List Items", gtk_tree_view_column_get_title(column));
    EXPECT_EQ(nullptr, gtk_tree_view_get_column(GTK_TREE_VIEW(view), 1));
    GtkTreeModel *store = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
    ASSERT_TRUE(GTK_IS_LIST_STORE(store));
    EXPECT_EQ(1, gtk_tree_model_get_n_columns(store));
    EXPECT_EQ(G_TYPE_STRING, gtk_tree_model_get_column_type(store, 0));
    EXPECT_TRUE(listRows(view).empty());

    std::string borrowed = "zulu";
    for (const char *text : {"mike", "alpha", "", "alpha"})
        guiAddToListView(&main, view, text);
    guiAddToListView(&main, view, borrowed.c_str());
    borrowed = "changed"; /* the store keeps its own copy */
    EXPECT_EQ(names({"mike", "alpha", "", "alpha", "zulu"}), listRows(view));

    /* The view holds the only reference to its store. */
    g_object_add_weak_pointer(G_OBJECT(store), reinterpret_cast<gpointer *>(&store));
    gtk_widget_destroy(view);
    g_object_unref(view);
    EXPECT_EQ(nullptr, store);
}

TEST_F(MainWindow, SourceFileChooserReturnsOnlyAnAcceptedPath)
{
    std::string file = makeFile("bin/tool");
    GtkWidget *editing = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    ASSERT_TRUE(guiBeginSubWindow(&main));
    guiAdoptSubWindow(&main, editing);
    gtk_widget_show(editing);

    struct Case {
        Answer answer;
        const char *suggestion;
        bool returnsPath;
    };
    const Case cases[] = {
        {Answer::Accept, nullptr, true},
        {Answer::Cancel, nullptr, false},
        {Answer::Close, nullptr, false},
        {Answer::Accept, "elsewhere", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        expectFileChooser("Select application binary", file, c.answer, editing);
        gchar *chosen = guiGetSourceFile(&main, "Select application binary", c.suggestion);
        EXPECT_EQ(0u, pendingDialogs());
        EXPECT_EQ(c.returnsPath ? file : "(none)", chosen ? chosen : "(none)");
        g_free(chosen);
    }
    guiWindowKill(nullptr, &main);
}

} // namespace
