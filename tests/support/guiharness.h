/*
 * guiharness.h - what every GUI test links: the real windows, run in-process
 * under Xvfb, with nothing allowed to hang or to warn.
 *
 * How to use it:
 *   - Link vornic_gui_harness (vornic_add_gui_test does) and write no main():
 *     the harness's main() calls gtk_init once and runs the tests.
 *   - Derive fixtures from GuiTest, or from MainWindowTest, which also builds
 *     a fresh main window over a fresh vornicMain (`main`) with a small
 *     catalogue (kTestCatalogue) and tears it down again.
 *   - Any GTK, GDK, GLib or Pango warning or critical fails the running test.
 *   - Modal dialogs are answered by expectations queued BEFORE the action
 *     that raises them, matched in order:
 *         expectError("You must enter a name for the app!", main.mainWin.window);
 *         click(main.mainWin.addButton);
 *     A file chooser is steered to the path, and answered only once the
 *     chooser reports that path as chosen.  A dialog that nothing expected,
 *     an expectation left unmet at the end of a test, and a dialog still open
 *     after kDialogWatchdogMs are failures; the dialog is closed, so a test
 *     never hangs.
 *   - click(), selectRow() and typeInto() act like a user: they refuse (and
 *     fail) on an insensitive widget; they pump events before returning.
 */
#ifndef VORNIC_TESTS_GUIHARNESS_H
#define VORNIC_TESTS_GUIHARNESS_H

#include "gui.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

/* How a dialog is answered.  Close is the window manager's close button. */
enum class Answer { Ok, Accept, Cancel, Close };

constexpr int kDialogWatchdogMs = 10000;

/* Runs the main loop until nothing is pending. */
void pumpEvents();
/* Pumps events until done() holds or timeoutMs passes; returns done(). */
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000);

/* A "Fatal error" message dialog with exactly this text, transient for
 * parent, answered with Ok or Close. */
void expectError(const std::string &text, GtkWidget *parent, Answer answer = Answer::Ok);
/* A select-folder chooser with this title.  Unless folder is empty it is
 * chosen first, whatever the answer; parent is checked when given. */
void expectFolderChooser(const std::string &title, const std::string &folder, Answer answer,
                         GtkWidget *parent = nullptr);
/* An open-file chooser with this title; the file, unless empty, is chosen
 * first, whatever the answer. */
void expectFileChooser(const std::string &title, const std::string &file, Answer answer,
                       GtkWidget *parent = nullptr);
/* Expectations not yet met. */
std::size_t pendingDialogs();

/* User actions.  Each returns false (after a test failure) when the widget is
 * insensitive or, for selectRow and chooseComboItem, when no row or item has
 * the text.  typeInto replaces the whole text of an entry or a text view. */
bool typeInto(GtkWidget *entry, const char *text);
bool click(GtkWidget *button);
bool selectRow(GtkWidget *view, const char *text);
/* Makes the item with this text the active one of a text combo box. */
bool chooseComboItem(GtkWidget *combo, const char *text);
void deselectAll(GtkWidget *view);
/* A window manager's close button on a realized toplevel. */
void sendDeleteEvent(GtkWidget *toplevel);

/* Reading widgets back. */
std::vector<std::string> listRows(GtkWidget *view); /* column 0, top to bottom */
std::vector<std::string> comboItems(GtkWidget *combo); /* a text combo's, in order */
std::string textOf(GtkWidget *entryOrTextView);    /* the whole text */
std::vector<GtkWidget *> childrenOf(GtkWidget *container);
/* The eleven main controls that are sensitive, by label ("name entry" and
 * "app list" for the two without one), in a fixed order. */
std::vector<std::string> sensitiveMainControls(const vornicMain &main);

struct TableAttach {
    guint left, right, top, bottom;
    GtkAttachOptions xoptions, yoptions;
    guint xpadding, ypadding;
};
/* Where child sits in the GtkTable that holds it. */
TableAttach tableAttachment(GtkWidget *child);

struct BoxPacking {
    gboolean expand, fill;
    guint padding;
    GtkPackType packType;
    gint position;
};
/* How child is packed into the GtkBox that holds it. */
BoxPacking boxPacking(GtkWidget *child);

/* Fails the test on unmet dialog expectations, destroys toplevels the test
 * left behind, and removes the test's scratch directory. */
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    /* A scratch directory for this test, made on first use. */
    const std::string &tempDir();
    /* Creates an empty file (and its folders) under tempDir(); returns its
     * absolute path. */
    std::string makeFile(const std::string &relative);
    /* Destroys every toplevel window made since SetUp, except keep. */
    void destroyNewToplevels(GtkWidget *keep = nullptr);

private:
    std::vector<GtkWidget *> toplevelsAtStart_;
    std::string tempDir_;
};

extern const std::vector<std::string> kTestCatalogue;

/* A main window built as main() builds it, without the catalogue file. */
class MainWindowTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;
    /* A project directory as if chosen with "Select directory". */
    void useProjectDir(const std::string &dir);
    /* Adds an application through the entry and "Add app" and selects its
     * row; returns its index, or -1. */
    std::int32_t addAndSelectApp(const char *name);

    vornicMain main;
};

#endif
