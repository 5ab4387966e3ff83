/*
 * memcheck_session.cpp - one whole working session, started and ended the
 * way main() starts and ends it, for valgrind's memcheck to watch.
 *
 * The catalogue comes from a "locales" file in the working directory; a
 * project directory is chosen; three applications go through all three
 * editing windows, with refused values, a browsed icon, substituted
 * characters and every way of closing a window; applications are renamed
 * and removed, and a fourth takes a freed slot; the main window is closed
 * from the window manager while the main loop runs, which ends the loop.
 * The checks are light: the point is that every path runs, and that
 * memcheck sees no invalid access and no lost block of ours.
 */
#include "guiharness.h"

#include <unistd.h>

#include <fstream>

namespace {

const char *const kApps[] = {"Frog", "Toad \"<1>\"", "Newt"};

class Session : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        project = tempDir() + "/project é";
        makeFile("project é/icons/menu.png");
        makeFile("project é/bin/run");
        std::ofstream(tempDir() + "/locales") << "en_US\nde_DE\nfr_FR\nja_JP";
        char here[4096];
        ASSERT_NE(nullptr, getcwd(here, sizeof here));
        startedIn = here;
        ASSERT_EQ(0, chdir(tempDir().c_str()));
    }
    void TearDown() override
    {
        EXPECT_EQ(0, chdir(startedIn.c_str()));
        GuiTest::TearDown();
    }

    /* What main() does before its main loop; gtk_init ran once already. */
    void start()
    {
        vornicInitMain(&main);
        vornicInitApp(&main);
        main.subWindowOpen = false;
        guiMakeMainWindow(&main);
        vornicLoadLocales(&main);
        guiUpdateMainButtonActivity(&main);
        pumpEvents();
        ASSERT_EQ(4, main.localeCount);
    }

    GtkWidget *editing() { return main.parentWindow; }

    void general(int pass)
    {
        ASSERT_TRUE(click(main.mainWin.generalButton));
        const vornicGeneralWidgets &w = main.general;
        expectError("You must specify the author!", editing());
        click(w.okButton);
        typeInto(w.authorEntry, "Ann \"<A>\"");
        typeInto(w.homePageEntry, "http://example.org/<x>");
        typeInto(w.emailEntry, "ann@example.org");
        typeInto(w.majorSpin, "2");
        if (pass == 0) {
            expectFileChooser("Select icon image", project + "/icons/menu.png", Answer::Accept,
                              editing());
            click(w.browseButton);
        } else {
            typeInto(w.iconEntry, "icons/menu.png");
        }
        click(w.okButton);
        ASSERT_FALSE(main.subWindowOpen);
    }

    void runtime()
    {
        ASSERT_TRUE(click(main.mainWin.runtimeButton));
        const vornicRuntimeWidgets &w = main.runtime;
        typeInto(w.uniqueIdEntry, "frog-1");
        typeInto(w.binaryEntry, "bin/run");
        typeInto(w.appdataEntry, "../data");
        expectError("Appdata directory must be a name, not a path!", editing());
        click(w.okButton);
        typeInto(w.appdataEntry, "data");
        typeInto(w.argumentsEntry, "-v \"x\" <in>");
        gtk_combo_box_set_active(GTK_COMBO_BOX(w.cpuCombo), 5);
        click(w.inputFileCheck);
        click(w.okButton);
        ASSERT_FALSE(main.subWindowOpen);
    }

    void nameDesc()
    {
        ASSERT_TRUE(click(main.mainWin.nameDescButton));
        const vornicNameDescWidgets &w = main.nameDesc;
        for (const char *code : {"en_US", "de_DE", "fr_FR"}) {
            typeInto(w.localeEntry, code);
            typeInto(w.nameEntry, "Frosch");
            typeInto(w.descView, "Hüpft\nund springt");
            click(w.addButton);
        }
        expectError("It does alredy exist a entry for that locale!", editing());
        click(w.addButton);
        selectRow(w.localeList, "de_DE");
        typeInto(w.localeEntry, "ja_JP");
        click(w.modButton);
        selectRow(w.localeList, "en_US");
        click(w.delButton);
        typeInto(w.localeEntry, "en_US");
        click(w.addButton); /* into the freed slot */
        sendDeleteEvent(editing());
        ASSERT_FALSE(main.subWindowOpen);
    }

    vornicMain main;
    std::string project, startedIn;
};

TEST_F(Session, ThreeApplicationsFromStartToClose)
{
    start();
    const vornicMainWidgets &w = main.mainWin;
    expectFolderChooser("Select directory", project, Answer::Accept, w.window);
    click(w.directoryButton);

    for (int i = 0; i < 3; ++i) {
        typeInto(w.nameEntry, kApps[i]);
        click(w.addButton);
        selectRow(w.appList, kApps[i]);
        general(i);
        runtime();
        nameDesc();
        /* Reopened windows are filled from what was stored, then let go. */
        click(w.generalButton);
        click(main.general.cancelButton);
        click(w.runtimeButton);
        sendDeleteEvent(editing());
    }
    EXPECT_TRUE(gtk_widget_get_sensitive(w.categoriesButton));

    selectRow(w.appList, kApps[1]);
    typeInto(w.nameEntry, "Toad");
    click(w.renameButton);
    typeInto(w.nameEntry, kApps[2]);
    expectError("It does alredy exist a app with that name!", w.window);
    click(w.renameButton);
    selectRow(w.appList, kApps[0]);
    click(w.removeButton);
    selectRow(w.appList, kApps[2]);
    click(w.removeButton);
    typeInto(w.nameEntry, "Salamander");
    click(w.addButton);
    EXPECT_EQ((std::vector<std::string>{"Toad", "Salamander"}), listRows(w.appList));

    /* The window manager closes the main window; its "destroy" ends the
     * main loop, as at the end of every run. */
    g_idle_add(
        [](gpointer window) {
            sendDeleteEvent(GTK_WIDGET(window));
            return G_SOURCE_REMOVE;
        },
        w.window);
    gtk_main();
}

} // namespace
