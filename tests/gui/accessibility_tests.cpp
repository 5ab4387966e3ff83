/*
 * accessibility_tests.cpp - what a screen reader learns about every control
 * of the four windows: its role, its name, and the label that names it.
 *
 * A screen reader sees the windows through ATK, as the AT-SPI bridge
 * (GTK_MODULES=gail:atk-bridge) exports them; ctest loads gail, which gives
 * the widgets their real accessible objects, and the tests read them back in
 * process.  Besides each window's table of expected names, every control
 * found in the window's widget tree must be in that table, so a control added
 * later without a name fails here.
 */
#include "guiharness.h"

#include <set>

namespace {

struct Control {
    GtkWidget *widget;
    AtkRole role;
    const char *name;
    GtkWidget *label; /* the visible label that names it, or null */
};

std::string describe(GtkWidget *widget)
{
    std::string out = G_OBJECT_TYPE_NAME(widget);
    if (GTK_IS_BUTTON(widget) && gtk_button_get_label(GTK_BUTTON(widget)))
        out += std::string(" \"") + gtk_button_get_label(GTK_BUTTON(widget)) + "\"";
    return out;
}

std::vector<AtkObject *> relationTargets(AtkObject *object, AtkRelationType type)
{
    std::vector<AtkObject *> targets;
    AtkRelationSet *set = atk_object_ref_relation_set(object);
    if (AtkRelation *relation = atk_relation_set_get_relation_by_type(set, type)) {
        GPtrArray *found = atk_relation_get_target(relation);
        for (guint i = 0; i < found->len; ++i)
            targets.push_back(ATK_OBJECT(g_ptr_array_index(found, i)));
    }
    g_object_unref(set);
    return targets;
}

bool isControl(GtkWidget *widget)
{
    return GTK_IS_BUTTON(widget) || GTK_IS_ENTRY(widget) || GTK_IS_COMBO_BOX(widget) ||
           GTK_IS_TREE_VIEW(widget) || GTK_IS_TEXT_VIEW(widget);
}

/* The controls under widget, not looking inside a control (a button's own
 * label is part of the button). */
void collectControls(GtkWidget *widget, std::set<GtkWidget *> &found)
{
    if (isControl(widget)) {
        found.insert(widget);
        return;
    }
    if (GTK_IS_CONTAINER(widget))
        for (GtkWidget *child : childrenOf(widget))
            collectControls(child, found);
}

void expectAccessible(GtkWidget *window, const std::vector<Control> &controls)
{
    /* Without gail every widget has a placeholder with no role at all. */
    ASSERT_TRUE(g_str_has_prefix(G_OBJECT_TYPE_NAME(gtk_widget_get_accessible(window)), "Gail"))
        << "gail is not loaded: run with GTK_MODULES=gail";

    std::set<GtkWidget *> listed;
    for (const Control &c : controls) {
        SCOPED_TRACE(describe(c.widget) + " named \"" + c.name + "\"");
        listed.insert(c.widget);
        AtkObject *object = gtk_widget_get_accessible(c.widget);
        EXPECT_STREQ(atk_role_get_name(c.role), atk_role_get_name(atk_object_get_role(object)));
        const char *name = atk_object_get_name(object);
        EXPECT_STREQ(c.name, name ? name : "(none)");

        std::vector<AtkObject *> labelledBy = relationTargets(object, ATK_RELATION_LABELLED_BY);
        if (!c.label) {
            EXPECT_TRUE(labelledBy.empty()) << "labelled by something";
            continue;
        }
        AtkObject *label = gtk_widget_get_accessible(c.label);
        EXPECT_EQ(std::vector<AtkObject *>{label}, labelledBy);
        EXPECT_EQ(std::vector<AtkObject *>{object}, relationTargets(label, ATK_RELATION_LABEL_FOR));
        EXPECT_EQ(c.widget, gtk_label_get_mnemonic_widget(GTK_LABEL(c.label)));
        EXPECT_STREQ(c.name, gtk_label_get_text(GTK_LABEL(c.label)));
    }

    std::set<GtkWidget *> found;
    collectControls(window, found);
    for (GtkWidget *widget : found)
        EXPECT_TRUE(listed.count(widget)) << describe(widget) << " is missing from the table";
    EXPECT_EQ(found.size(), listed.size()) << "the table lists widgets the window does not hold";
}

class AccessibilityTest : public MainWindowTest {
protected:
    /* An application selected with the given progress marks, so that the
     * editing window under test can be opened. */
    void selectAppWithMarks(std::uint32_t marks)
    {
        useProjectDir(tempDir());
        std::int32_t index = addAndSelectApp("Frogger");
        ASSERT_GE(index, 0);
        main.apps[static_cast<std::size_t>(index)].flags |= marks;
        guiUpdateMainButtonActivity(&main);
    }
};

TEST_F(AccessibilityTest, MainWindow)
{
    const vornicMainWidgets &w = main.mainWin;
    expectAccessible(w.window, {
        {w.directoryButton, ATK_ROLE_PUSH_BUTTON, "Select directory", nullptr},
        {w.nameEntry, ATK_ROLE_TEXT, "Application name", nullptr},
        {w.addButton, ATK_ROLE_PUSH_BUTTON, "Add app", nullptr},
        {w.renameButton, ATK_ROLE_PUSH_BUTTON, "Rename app", nullptr},
        {w.removeButton, ATK_ROLE_PUSH_BUTTON, "Remove app", nullptr},
        {w.appList, ATK_ROLE_TABLE, "Applications", nullptr},
        {w.generalButton, ATK_ROLE_PUSH_BUTTON, "General information", nullptr},
        {w.runtimeButton, ATK_ROLE_PUSH_BUTTON, "Runtime data", nullptr},
        {w.nameDescButton, ATK_ROLE_PUSH_BUTTON, "Name and description", nullptr},
        {w.categoriesButton, ATK_ROLE_PUSH_BUTTON, "Menu categories", nullptr},
        {w.exportButton, ATK_ROLE_PUSH_BUTTON, "Export to PND", nullptr},
    });
    /* The name is for assistive technologies only: no label is shown. */
    EXPECT_TRUE(gtk_widget_list_mnemonic_labels(w.nameEntry) == nullptr);
}

TEST_F(AccessibilityTest, GeneralInformationWindow)
{
    selectAppWithMarks(0);
    ASSERT_TRUE(click(main.mainWin.generalButton));
    const vornicGeneralWidgets &w = main.general;
    expectAccessible(main.parentWindow, {
        {w.authorEntry, ATK_ROLE_TEXT, "Author", w.authorLabel},
        {w.homePageEntry, ATK_ROLE_TEXT, "Homepage", w.homePageLabel},
        {w.emailEntry, ATK_ROLE_TEXT, "E-mail", w.emailLabel},
        {w.majorSpin, ATK_ROLE_SPIN_BUTTON, "Major", w.majorLabel},
        {w.minorSpin, ATK_ROLE_SPIN_BUTTON, "Minor", w.minorLabel},
        {w.releaseSpin, ATK_ROLE_SPIN_BUTTON, "Release", w.releaseLabel},
        {w.buildSpin, ATK_ROLE_SPIN_BUTTON, "Build", w.buildLabel},
        {w.iconEntry, ATK_ROLE_TEXT, "Menu icon file\n(max 32\303\22732)", w.iconLabel},
        {w.browseButton, ATK_ROLE_PUSH_BUTTON, "Browse", nullptr},
        {w.okButton, ATK_ROLE_PUSH_BUTTON, "OK", nullptr},
        {w.cancelButton, ATK_ROLE_PUSH_BUTTON, "Cancel", nullptr},
    });
}

TEST_F(AccessibilityTest, RuntimeSettingsWindow)
{
    selectAppWithMarks(APP_GENERAL_DONE);
    ASSERT_TRUE(click(main.mainWin.runtimeButton));
    const vornicRuntimeWidgets &w = main.runtime;
    expectAccessible(w.window, {
        {w.uniqueIdEntry, ATK_ROLE_TEXT, "Unique ID", w.uniqueIdLabel},
        {w.appdataEntry, ATK_ROLE_TEXT, "Appdata directory", w.appdataLabel},
        {w.startDirEntry, ATK_ROLE_TEXT, "Starting directory", w.startDirLabel},
        {w.x11Combo, ATK_ROLE_COMBO_BOX, "x11 mode", w.x11Label},
        {w.binaryEntry, ATK_ROLE_TEXT, "Application binary", w.binaryLabel},
        {w.argumentsEntry, ATK_ROLE_TEXT, "Arguments", w.argumentsLabel},
        {w.cpuCombo, ATK_ROLE_COMBO_BOX, "CPU frequency", w.cpuLabel},
        {w.multitaskingCheck, ATK_ROLE_CHECK_BOX, "Allow multitasking", w.multitaskingLabel},
        {w.inputFileCheck, ATK_ROLE_CHECK_BOX, "Requires inputfile", w.inputFileLabel},
        {w.browseButton, ATK_ROLE_PUSH_BUTTON, "Browse", nullptr},
        {w.okButton, ATK_ROLE_PUSH_BUTTON, "OK", nullptr},
        {w.cancelButton, ATK_ROLE_PUSH_BUTTON, "Cancel", nullptr},
    });
    /* The switches are named for assistive technologies only; on screen
     * the row label names them. */
    EXPECT_STREQ("", gtk_button_get_label(GTK_BUTTON(w.multitaskingCheck)));
    EXPECT_STREQ("", gtk_button_get_label(GTK_BUTTON(w.inputFileCheck)));
}

TEST_F(AccessibilityTest, NameAndDescriptionWindow)
{
    selectAppWithMarks(APP_GENERAL_DONE | APP_RUNTIME_DONE);
    ASSERT_TRUE(click(main.mainWin.nameDescButton));
    const vornicNameDescWidgets &w = main.nameDesc;
    expectAccessible(w.window, {
        {w.localeEntry, ATK_ROLE_TEXT, "Locale", w.localeLabel},
        {w.nameEntry, ATK_ROLE_TEXT, "Name of application", w.nameLabel},
        {w.descView, ATK_ROLE_TEXT, "Description", w.descLabel},
        {w.localeList, ATK_ROLE_TABLE, "Locales", nullptr},
        {w.addButton, ATK_ROLE_PUSH_BUTTON, "Add", nullptr},
        {w.modButton, ATK_ROLE_PUSH_BUTTON, "Modify", nullptr},
        {w.delButton, ATK_ROLE_PUSH_BUTTON, "Delete", nullptr},
        {w.okButton, ATK_ROLE_PUSH_BUTTON, "OK", nullptr},
    });
}

} // namespace
