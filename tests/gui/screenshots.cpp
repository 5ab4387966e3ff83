/*
 * screenshots.cpp - the pictures of the four windows in docs/, taken from the
 * real windows as a user fills them in for an example project.
 *
 * scripts/screenshots.sh runs this with VORNIC_SCREENSHOT_DIR set to docs/;
 * as a plain test it writes into a scratch directory and only checks that
 * four plausible pictures came out.  A picture is the window's own area as
 * the X server shows it (there is no window manager, so no frame), taken
 * once the window has been mapped and drawn.
 */
#include "guiharness.h"

#include <filesystem>
#include <set>

namespace {

struct Picture {
    std::string file;
    int width, height;
};

/* The window as the server shows it, fully drawn.  Without a window
 * manager the server maps a window as soon as it reads the request; once it
 * has (the first round trip), the whole window is drawn again and a second
 * round trip makes sure the server has every pixel of it. */
void settle(GtkWidget *window)
{
    pumpEvents();
    gdk_flush();
    GdkWindow *drawable = gtk_widget_get_window(window);
    ASSERT_TRUE(drawable && gdk_window_is_viewable(drawable));
    gdk_window_invalidate_rect(drawable, nullptr, TRUE);
    gdk_window_process_updates(drawable, TRUE);
    gdk_flush();
}

Picture saveWindow(GtkWidget *window, const std::string &dir, const std::string &name)
{
    settle(window);
    GdkWindow *drawable = gtk_widget_get_window(window);
    gint width = 0, height = 0;
    gdk_drawable_get_size(drawable, &width, &height);
    GdkPixbuf *pixels = gdk_pixbuf_get_from_drawable(nullptr, drawable, nullptr, 0, 0, 0, 0,
                                                     width, height);
    std::string file = dir + "/" + name;
    GError *error = nullptr;
    if (!pixels)
        ADD_FAILURE() << "cannot read back the pixels of " << name;
    else if (!gdk_pixbuf_save(pixels, file.c_str(), "png", &error, nullptr)) {
        ADD_FAILURE() << "cannot save " << file << ": " << error->message;
        g_error_free(error);
    }
    if (pixels)
        g_object_unref(pixels);
    return {file, width, height};
}

/* A picture that was written, has about the window's size and shows more
 * than one colour, so that a blank or unreadable capture is caught. */
void expectPlausible(const Picture &picture)
{
    SCOPED_TRACE(picture.file);
    GError *error = nullptr;
    GdkPixbuf *pixels = gdk_pixbuf_new_from_file(picture.file.c_str(), &error);
    ASSERT_TRUE(pixels) << (error ? error->message : "");
    int width = gdk_pixbuf_get_width(pixels), height = gdk_pixbuf_get_height(pixels);
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    EXPECT_GE(width, 150);
    EXPECT_LE(width, 1000);
    EXPECT_GE(height, 80);
    EXPECT_LE(height, 800);
    EXPECT_GT(std::filesystem::file_size(picture.file), 2000u);

    std::set<guint32> colours;
    const guchar *row = gdk_pixbuf_get_pixels(pixels);
    int channels = gdk_pixbuf_get_n_channels(pixels);
    for (int y = 0; y < height; ++y, row += gdk_pixbuf_get_rowstride(pixels))
        for (int x = 0; x < width; ++x) {
            const guchar *p = row + x * channels;
            colours.insert(guint32(p[0]) << 16 | guint32(p[1]) << 8 | p[2]);
        }
    EXPECT_GT(colours.size(), 16u) << "the picture is nearly blank";
    g_object_unref(pixels);
}

void setSpin(GtkWidget *spin, int value)
{
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), value);
}

void setDescription(GtkWidget *view, const char *text)
{
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), text, -1);
}

class Screenshots : public MainWindowTest {};

TEST_F(Screenshots, FourWindowsOfAnExampleProject)
{
    const char *wanted = g_getenv("VORNIC_SCREENSHOT_DIR");
    std::string dir = wanted && *wanted ? wanted : tempDir() + "/pictures";
    std::filesystem::create_directories(dir);

    /* The project: a folder holding the icon and the binary. */
    std::string project = tempDir() + "/frogger";
    makeFile("frogger/frogger.png");
    makeFile("frogger/bin/frogger");
    makeFile("frogger/bin/leveledit");
    const vornicMainWidgets &m = main.mainWin;
    expectFolderChooser("Select directory", project, Answer::Accept, m.window);
    ASSERT_TRUE(click(m.directoryButton));
    for (const char *name : {"Frogger", "Frogger Level Editor"}) {
        ASSERT_TRUE(typeInto(m.nameEntry, name));
        ASSERT_TRUE(click(m.addButton));
    }
    ASSERT_TRUE(selectRow(m.appList, "Frogger"));

    std::vector<Picture> pictures;

    ASSERT_TRUE(click(m.generalButton));
    const vornicGeneralWidgets &g = main.general;
    typeInto(g.authorEntry, "Jane Doe");
    typeInto(g.homePageEntry, "http://frogger.example.org");
    typeInto(g.emailEntry, "jane.doe@example.org");
    typeInto(g.iconEntry, "frogger.png");
    setSpin(g.majorSpin, 1);
    setSpin(g.minorSpin, 2);
    setSpin(g.releaseSpin, 0);
    setSpin(g.buildSpin, 7);
    pictures.push_back(saveWindow(main.parentWindow, dir, "general-information.png"));
    ASSERT_TRUE(click(g.okButton));
    ASSERT_FALSE(main.subWindowOpen) << "the general information was refused";

    ASSERT_TRUE(click(m.runtimeButton));
    const vornicRuntimeWidgets &r = main.runtime;
    typeInto(r.uniqueIdEntry, "frogger-jdoe-01");
    typeInto(r.appdataEntry, "frogger");
    typeInto(r.startDirEntry, "bin");
    typeInto(r.binaryEntry, "bin/frogger");
    typeInto(r.argumentsEntry, "--fullscreen");
    gtk_combo_box_set_active(GTK_COMBO_BOX(r.x11Combo), 1);  /* "No X11" */
    gtk_combo_box_set_active(GTK_COMBO_BOX(r.cpuCombo), 4);  /* "500" */
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(r.multitaskingCheck), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(r.inputFileCheck), FALSE);
    pictures.push_back(saveWindow(r.window, dir, "runtime-settings.png"));
    ASSERT_TRUE(click(r.okButton));
    ASSERT_FALSE(main.subWindowOpen) << "the runtime data was refused";

    ASSERT_TRUE(click(m.nameDescButton));
    const vornicNameDescWidgets &n = main.nameDesc;
    const struct {
        const char *code, *name, *description;
    } entries[] = {
        {"en_US", "Frogger",
         "Guide the frog across a busy road and a fast river to its home on the far bank. "
         "Five homes to fill, three lives, and the traffic gets faster every level."},
        {"de_DE", "Frogger",
         "Bringe den Frosch \303\274ber die Stra\303\237e und den Fluss sicher nach Hause."},
        {"fr_FR", "Frogger",
         "Aidez la grenouille \303\240 traverser la route et la rivi\303\250re."},
    };
    for (const auto &entry : entries) {
        typeInto(n.localeEntry, entry.code);
        typeInto(n.nameEntry, entry.name);
        setDescription(n.descView, entry.description);
        ASSERT_TRUE(click(n.addButton));
    }
    ASSERT_TRUE(selectRow(n.localeList, "en_US"));
    pictures.push_back(saveWindow(n.window, dir, "name-and-description.png"));
    ASSERT_TRUE(click(n.okButton));

    /* Frogger is complete, so every button of its chain is usable. */
    ASSERT_TRUE(gtk_widget_is_sensitive(m.categoriesButton));
    pictures.push_back(saveWindow(m.window, dir, "main-window.png"));

    for (const Picture &picture : pictures)
        expectPlausible(picture);
}

} // namespace
