/*
 * editing_window.cpp - checks shared by the editing-window tests.
 */
#include "editing_window.h"

#include <tuple>

namespace {

void countFlip(GObject *, GParamSpec *, int *flips)
{
    ++*flips;
}

} // namespace

ClosingProbe::ClosingProbe(vornicMain &main)
    : main_(main), window_(main.parentWindow), button_(main.mainWin.generalButton)
{
    g_object_add_weak_pointer(G_OBJECT(window_), reinterpret_cast<gpointer *>(&window_));
    handler_ = g_signal_connect(button_, "notify::sensitive", G_CALLBACK(countFlip), &flips_);
}

ClosingProbe::~ClosingProbe()
{
    g_signal_handler_disconnect(button_, handler_);
    if (window_)
        g_object_remove_weak_pointer(G_OBJECT(window_), reinterpret_cast<gpointer *>(&window_));
}

void ClosingProbe::expectClosedOnce() const
{
    EXPECT_EQ(nullptr, window_) << "the editing window still exists";
    EXPECT_FALSE(main_.subWindowOpen);
    EXPECT_EQ(main_.mainWin.window, main_.parentWindow);
    EXPECT_EQ(1, flips_) << "main controls recomputed a wrong number of times";
    EXPECT_TRUE(gtk_widget_get_sensitive(button_));
}

void ClosingProbe::expectStillOpen() const
{
    ASSERT_NE(nullptr, window_) << "the editing window is gone";
    EXPECT_TRUE(gtk_widget_get_visible(window_));
    EXPECT_TRUE(main_.subWindowOpen);
    EXPECT_EQ(window_, main_.parentWindow);
    EXPECT_EQ(0, flips_);
    EXPECT_EQ(std::vector<std::string>{}, sensitiveMainControls(main_));
}

const DiscardingClose kDiscardingCloses[2] = {
    {"Cancel", [](GtkWidget *cancelButton, GtkWidget *) { click(cancelButton); }},
    {"window manager", [](GtkWidget *, GtkWidget *window) { sendDeleteEvent(window); }},
};

void expectEditingWindowFrame(GtkWidget *window, const char *title, GtkWidget *table)
{
    GtkWindow *w = GTK_WINDOW(window);
    EXPECT_STREQ(title, gtk_window_get_title(w));
    EXPECT_EQ(GTK_WINDOW_TOPLEVEL, gtk_window_get_window_type(w));
    EXPECT_FALSE(gtk_window_get_modal(w));
    EXPECT_EQ(nullptr, gtk_window_get_transient_for(w));
    gint width = 0, height = 0;
    gtk_window_get_default_size(w, &width, &height);
    EXPECT_EQ(std::make_pair(200, 100), std::make_pair(width, height));
    EXPECT_EQ(5u, gtk_container_get_border_width(GTK_CONTAINER(w)));
    EXPECT_EQ(std::vector<GtkWidget *>{table}, childrenOf(window));
}

void expectCell(GtkWidget *table, GtkWidget *widget, const char *text, TableAttach expected)
{
    SCOPED_TRACE(text ? text : G_OBJECT_TYPE_NAME(widget));
    ASSERT_EQ(table, gtk_widget_get_parent(widget));
    TableAttach at = tableAttachment(widget);
    EXPECT_EQ(std::make_tuple(expected.left, expected.right, expected.top, expected.bottom),
              std::make_tuple(at.left, at.right, at.top, at.bottom));
    EXPECT_EQ(expected.xoptions, at.xoptions);
    EXPECT_EQ(expected.yoptions, at.yoptions);
    EXPECT_EQ(std::make_pair(expected.xpadding, expected.ypadding),
              std::make_pair(at.xpadding, at.ypadding));
    if (GTK_IS_LABEL(widget)) {
        EXPECT_STREQ(text, gtk_label_get_text(GTK_LABEL(widget)));
    } else if (GTK_IS_BUTTON(widget)) {
        EXPECT_STREQ(text, gtk_button_get_label(GTK_BUTTON(widget)));
        if (!GTK_IS_CHECK_BUTTON(widget)) {
            gint width = 0, height = 0;
            gtk_widget_get_size_request(widget, &width, &height);
            EXPECT_EQ(std::make_pair(80, 30), std::make_pair(width, height));
        }
    } else {
        EXPECT_EQ(nullptr, text);
        EXPECT_TRUE(GTK_IS_ENTRY(widget) || GTK_IS_COMBO_BOX(widget));
    }
}

void expectBrowseFills(GtkWidget *browseButton, GtkWidget *entry, const char *title,
                       const std::string &chosen, const std::string &latin1, GtkWidget *window)
{
    const char kOld[] = "old/name";
    std::string latin1Shown = latin1;
    latin1Shown.replace(latin1Shown.find('\xe9'), 1, "\ufffd");
    const std::tuple<Answer, std::string, std::string> picks[] = {
        {Answer::Cancel, chosen, kOld},
        {Answer::Close, chosen, kOld},
        {Answer::Accept, chosen, chosen},
        {Answer::Accept, latin1, latin1Shown},
    };
    typeInto(entry, kOld);
    for (const auto &[answer, path, expected] : picks) {
        SCOPED_TRACE("leaving \"" + expected + "\"");
        expectFileChooser(title, path, answer, window);
        ASSERT_TRUE(click(browseButton));
        EXPECT_EQ(0u, pendingDialogs());
        EXPECT_EQ(expected, textOf(entry));
    }
}
