/*
 * editing_window.h - checks shared by the tests of the General information
 * and Runtime settings windows, which are built, laid out and closed by the
 * same rules.  The Name and description window closes by the same rule too,
 * so its tests use ClosingProbe.
 */
#ifndef VORNIC_TESTS_EDITING_WINDOW_H
#define VORNIC_TESTS_EDITING_WINDOW_H

#include "guiharness.h"

#include <cstddef>
#include <string>

/* Watches the open editing window until it closes.
 *
 * Closing must run guiWindowKill exactly once.  Its one outward effect that
 * can be counted is the recomputation of the main controls: while the window
 * is open every control is insensitive, and one recomputation turns the
 * "General information" button (sensitive whenever an application is
 * selected) on exactly once.  A second run would turn it off and on again. */
class ClosingProbe {
public:
    /* Call while the editing window is open: it is the current parent. */
    explicit ClosingProbe(vornicMain &main);
    ~ClosingProbe();
    ClosingProbe(const ClosingProbe &) = delete;
    ClosingProbe &operator=(const ClosingProbe &) = delete;

    /* The window is finalized, the sub-window state is back to "main window
     * only", and the controls were recomputed exactly once. */
    void expectClosedOnce() const;
    /* Nothing closed, nothing was recomputed, the main window is still
     * entirely insensitive. */
    void expectStillOpen() const;

private:
    const vornicMain &main_;
    GtkWidget *window_;
    GtkWidget *button_;
    gulong handler_;
    int flips_ = 0;
};

/* The ways of closing an editing window that store nothing. */
struct DiscardingClose {
    const char *name;
    void (*close)(GtkWidget *cancelButton, GtkWidget *window);
};
extern const DiscardingClose kDiscardingCloses[2];

/* A toplevel of its own with this title, neither modal nor transient, 200 by
 * 100 by default, a border of 5, and the table as its only child. */
void expectEditingWindowFrame(GtkWidget *window, const char *title, GtkWidget *table);

/* Where one widget of a window's group sits in the layout table. */
template <typename Group>
struct Cell {
    GtkWidget *Group::*widget;
    const char *text; /* of a label or button; null for the others */
    guint left, right, top, bottom;
    guint xpadding = 5;
};

/* One cell: attachment, shrink|fill both ways, padding, and the text; a
 * plain button also has the windows' fixed 80 by 30 size. */
void expectCell(GtkWidget *table, GtkWidget *widget, const char *text, TableAttach expected);

/* A non-homogeneous table of exactly this grid, holding exactly these
 * cells. */
template <typename Group, std::size_t N>
void expectGrid(const Group &group, guint rows, guint columns, const Cell<Group> (&cells)[N])
{
    GtkWidget *table = group.table;
    guint nRows = 0, nColumns = 0;
    gboolean homogeneous = TRUE;
    g_object_get(table, "n-rows", &nRows, "n-columns", &nColumns, "homogeneous", &homogeneous,
                 nullptr);
    EXPECT_EQ(std::make_pair(rows, columns), std::make_pair(nRows, nColumns));
    EXPECT_FALSE(homogeneous);
    EXPECT_EQ(N, childrenOf(table).size());
    const auto shrinkFill = GtkAttachOptions(GTK_SHRINK | GTK_FILL);
    for (const Cell<Group> &cell : cells)
        expectCell(table, group.*cell.widget, cell.text,
                   {cell.left, cell.right, cell.top, cell.bottom, shrinkFill, shrinkFill,
                    cell.xpadding, 5});
}

/* Browse, answered four ways: cancelled and closed choosers leave the entry
 * as it was, an accepted one puts the chosen file's full path in it.  The
 * last file chosen, latin1, is an absolute path ending in a name with the
 * ISO 8859-1 byte for "é", which is not UTF-8: the entry is left holding
 * its display form, valid UTF-8 that names no file. */
void expectBrowseFills(GtkWidget *browseButton, GtkWidget *entry, const char *title,
                       const std::string &chosen, const std::string &latin1, GtkWidget *window);

#endif
