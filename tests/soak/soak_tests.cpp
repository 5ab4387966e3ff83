/*
 * soak_tests.cpp - a seeded random walk of user actions across the four
 * windows, checked after every action against a model of the rules that is
 * written here from scratch and never asks the program for an answer.
 *
 * After each action: the application list shows the live applications'
 * names in the order they were added; the name entry holds what the model
 * expects; the eleven main controls follow the control rule; the open
 * editing window is the only other window, shows the values the model
 * stored or the user typed, and the Name and description window lists the
 * rows the model predicts; every dialog was predicted, with its text and its
 * parent; nothing warned.
 *
 *   VORNIC_SOAK_SEED=n VORNIC_SOAK_STEPS=m soak_tests   replays one walk
 */
#include "guiharness.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <random>

namespace {

using Strings = std::vector<std::string>;

std::string escaped(std::string text)
{
    for (char &c : text)
        c = c == '"' ? '\'' : c == '<' ? '[' : c == '>' ? ']' : c;
    return text;
}

template <typename T, typename Pred>
bool any(const std::vector<T> &items, Pred pred)
{
    return std::any_of(items.begin(), items.end(), pred);
}

/* ---- The model ------------------------------------------------------- */

struct Locale {
    std::string code, name, description;
    bool live;
};

struct App {
    App(int id, std::string name) : id(id), name(std::move(name)) {}
    int id;
    std::string name;
    /* author, home page, e-mail, icon, then the version parts as shown */
    Strings general = {"", "", "", "", "1", "0", "0", "0"};
    /* unique ID, appdata, starting directory, binary, arguments */
    Strings runtime = Strings(5);
    /* CPU frequency and X11 mode positions, multitasking, input file */
    std::vector<int> settings = {0, 2, 1, 0};
    bool generalDone = false, runtimeDone = false;
    std::vector<Locale> locales;         /* by slot */

    bool enUs() const
    {
        return any(locales, [](const Locale &l) { return l.live && l.code == "en_US"; });
    }
    Strings liveCodes() const
    {
        Strings codes;
        for (const Locale &l : locales)
            if (l.live)
                codes.push_back(l.code);
        return codes;
    }
};

enum class Win { None, General, Runtime, NameDesc };

const char *const kTitles[] = {"Vornic", "Vornic - General information",
                               "Vornic - Runtime settings", "Vornic - Name and description"};

struct Model {
    std::vector<App> apps; /* in row order */
    int nextId = 0;
    int selected = -1;    /* the selected application's id */
    int selectedRow = -1; /* the id of the application whose row is selected */
    bool directoryChosen = false;
    std::string directory;
    std::string nameEntry;

    /* The open editing window and what it shows. */
    Win open = Win::None;
    GtkWidget *window = nullptr;
    Strings fields;
    std::vector<int> settings;
    Strings localeRows;
    std::string localeRow; /* the selected row's code, or empty */

    App *find(int id)
    {
        for (App &app : apps)
            if (app.id == id)
                return &app;
        return nullptr;
    }
    App &current() { return *find(selected); }
    Locale *locale(const std::string &code)
    {
        for (Locale &l : current().locales)
            if (l.live && l.code == code)
                return &l;
        return nullptr;
    }
};

/* ---- What the user types --------------------------------------------- */

const Strings kCatalogue = {"en_US", "de_DE", "fr_FR", "ja_JP", "sr_RS@latin"};

/* Values the checks accept, then values they refuse. */
struct Pool {
    Strings good, bad;
};

const char *const kPieces[] = {"a", "b", "Z", " ", ".", "@", "/", "~", "\"", "<", ">",
                               "&", "'", "_", "é", "ж", "中", "🐸", "\n"};

struct Field {
    const char *pool;
    GtkWidget *widget;
};

class Soak : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        main.catalogue = kCatalogue;
        main.localeCount = std::int32_t(kCatalogue.size());
        for (const char *dir : {"proj-a", "proj é b"}) {
            dirs.push_back(tempDir() + "/" + dir);
            for (const char *file : {"icon.png", "bin/run", "sub/.keep", "ü.png"})
                makeFile(std::string(dir) + "/" + file);
        }
        /* Tested as typed but stored substituted, under a name that is missing. */
        makeFile("proj-a/q\"uote.png");
        makeFile("proj-a/<b>.png");
        absolute = makeFile("abs é/file.bin");
        Pool paths{{"icon.png", "bin/run", "sub", "bin/../icon.png", "./ü.png", absolute,
                    "q\"uote.png", "<b>.png"},
                   {"", "missing.png", "~/icon.png", "/no/such", "icon.png ", "bin/run/",
                    tempDir() + "/abs é/none"}};
        pools = {
            {"author", {{"Ann", "Zoë \"Z\" <z>", " "}, {""}}},
            {"home page",
             {{"", "http://example.org", "http://.", "http://host/a.b", "http://<x>.org"},
              {"http://", "http://localhost", "HTTP://a.b", "https://a.b", " http://a.b"}}},
            {"e-mail", {{"", "a@b.c", "@.", "\"q\"@x.y"}, {"a.b@c", "a@b", "@"}}},
            {"icon", paths},
            {"unique ID", {{"id", "\"<>\"", " "}, {""}}},
            {"appdata", {{"", "data", ".", "a.b", "ü"}, {"a..b", "a/b", "~x", "..", "/"}}},
            {"start dir", {{"", "../x", "\"a\" <b>", "/tmp"}, {}}},
            {"binary", paths},
            {"arguments", {{"", "-v \"x\" <in> >out", "a&b"}, {}}},
            {"name", {{"Frog", "frog", "Frög", "a\"b<c>", " ", "Frog "}, {""}}},
            {"locale", {kCatalogue, {"", "EN_US", "en_us", "xx_XX", "en_US ", " en_US"}}},
            {"localised name", {{"Frosch", "ç \"<>\""}, {""}}},
            {"description", {{"Hüpft", "two\nlines", " "}, {""}}},
        };
    }

    /* ---- Randomness and the trace for replay ---- */

    int below(int n) { return int(rng() % unsigned(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T &oneOf(const std::vector<T> &v) { return v[std::size_t(below(int(v.size())))]; }

    /* Mostly accepted values, often refused ones, sometimes anything. */
    std::string value(const char *pool)
    {
        if (std::string(pool) == "version")
            return std::to_string(below(300));
        int roll = below(100);
        if (roll < 10) {
            std::string text;
            for (int n = below(7); n > 0; --n)
                text += kPieces[below(int(std::size(kPieces)))];
            return text;
        }
        const Pool &p = pools.at(pool);
        return roll < 78 || p.bad.empty() ? oneOf(p.good) : oneOf(p.bad);
    }

    void note(const std::string &what)
    {
        trace.push_back("step " + std::to_string(step) + ": " + what);
        if (trace.size() > 30)
            trace.pop_front();
    }

    /* ---- The rules, as the model sees them ---- */

    Strings expectedControls()
    {
        if (m.open != Win::None)
            return {};
        const App *app = m.find(m.selected);
        bool general = app && app->generalDone, runtime = general && app->runtimeDone;
        const std::pair<bool, const char *> rule[] = {
            {m.directoryChosen, "name entry"},  {m.directoryChosen, "Add app"},
            {m.directoryChosen, "Rename app"},  {m.directoryChosen, "Remove app"},
            {!m.apps.empty(), "app list"},      {m.apps.empty(), "Select directory"},
            {app != nullptr, "General information"}, {general, "Runtime data"},
            {runtime, "Name and description"}, {runtime && app->enUs(), "Menu categories"},
        };
        Strings sensitive;
        for (const auto &[on, name] : rule)
            if (on)
                sensitive.push_back(name);
        return sensitive;
    }

    bool openable(const std::string &path)
    {
        std::string full = path[0] == '/' ? path : m.directory + "/" + path;
        return access(full.c_str(), R_OK) == 0;
    }

    const char *generalRefusal()
    {
        const Strings &f = m.fields;
        std::size_t at = std::min(f[2].find('@'), f[2].size());
        if (f[0].empty())
            return "You must specify the author!";
        if (!f[1].empty() && f[1].compare(0, 7, "http://") != 0)
            return "If you specify a home page, it should begin with »http://«";
        if (!f[1].empty() && f[1].find('.') == std::string::npos)
            return "A home page must have a TLD...";
        if (!f[2].empty() && f[2].find('.', at) == std::string::npos)
            return "If you enter a mail address, it must be valid!";
        if (!f[3].empty() && !openable(f[3]))
            return "Icon file does not exist!";
        return nullptr;
    }

    const char *runtimeRefusal()
    {
        const Strings &f = m.fields;
        if (f[0].empty())
            return "You must specify a unique ID!";
        if (f[3].empty())
            return "You must specify the application binary!";
        if (!openable(f[3]))
            return "Application binary does not exist!";
        if (f[1].find_first_of("/~") != std::string::npos || f[1].find("..") != std::string::npos)
            return "Appdata directory must be a name, not a path!";
        return nullptr;
    }

    /* The entry under modification is no duplicate of itself. */
    const char *localeRefusal(const Locale *editing)
    {
        const Strings &f = m.fields;
        if (f[0].empty())
            return "You must enter a locale!";
        if (std::find(kCatalogue.begin(), kCatalogue.end(), f[0]) == kCatalogue.end())
            return "Entered locale does not exist!";
        if (any(m.current().locales,
                [&](const Locale &l) { return l.live && &l != editing && l.code == f[0]; }))
            return "It does alredy exist a entry for that locale!";
        if (f[1].empty())
            return "You must enter a name for the application!";
        if (f[2].empty())
            return "You must enter a description for the application!";
        return nullptr;
    }

    /* Queues the dialog a refusal raises, over the window that is the
     * parent now; true when there is one. */
    bool refused(const char *check, const char *message)
    {
        if (message) /* answered with OK, or closed by the window manager */
            expectError(message, m.window ? m.window : main.mainWin.window,
                        chance(80) ? Answer::Ok : Answer::Close);
        tally[std::string(check) + ": " + (message ? message : "accepted")]++;
        return message != nullptr;
    }

    /* ---- Reading the windows back ---- */

    std::vector<Field> fieldsOf(Win window)
    {
        const vornicGeneralWidgets &g = main.general;
        const vornicRuntimeWidgets &r = main.runtime;
        const vornicNameDescWidgets &n = main.nameDesc;
        switch (window) {
        case Win::General:
            return {{"author", g.authorEntry}, {"home page", g.homePageEntry},
                    {"e-mail", g.emailEntry},  {"icon", g.iconEntry},
                    {"version", g.majorSpin},  {"version", g.minorSpin},
                    {"version", g.releaseSpin}, {"version", g.buildSpin}};
        case Win::Runtime:
            return {{"unique ID", r.uniqueIdEntry}, {"appdata", r.appdataEntry},
                    {"start dir", r.startDirEntry}, {"binary", r.binaryEntry},
                    {"arguments", r.argumentsEntry}};
        case Win::NameDesc:
            return {{"locale", n.localeEntry}, {"localised name", n.nameEntry},
                    {"description", n.descView}};
        case Win::None: break;
        }
        return {};
    }

    /* The runtime choices and switches, in the order of App::settings. */
    std::vector<GtkWidget *> settingWidgets()
    {
        const vornicRuntimeWidgets &r = main.runtime;
        return {r.cpuCombo, r.x11Combo, r.multitaskingCheck, r.inputFileCheck};
    }

    static Strings visibleWindows()
    {
        Strings titles;
        GList *toplevels = gtk_window_list_toplevels();
        for (GList *l = toplevels; l; l = l->next)
            if (gtk_window_get_window_type(GTK_WINDOW(l->data)) == GTK_WINDOW_TOPLEVEL &&
                gtk_widget_get_visible(GTK_WIDGET(l->data)))
                titles.push_back(gtk_window_get_title(GTK_WINDOW(l->data)));
        g_list_free(toplevels);
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    void checkAll()
    {
        Strings rows;
        for (const App &app : m.apps)
            rows.push_back(app.name);
        EXPECT_EQ(rows, listRows(main.mainWin.appList)) << "application list";
        EXPECT_EQ(m.nameEntry, textOf(main.mainWin.nameEntry)) << "application name entry";
        EXPECT_EQ(expectedControls(), sensitiveMainControls(main)) << "main controls";
        EXPECT_EQ(0u, pendingDialogs()) << "a predicted dialog did not appear";
        Strings windows = {kTitles[0]};
        if (m.open != Win::None)
            windows.push_back(kTitles[int(m.open)]);
        std::sort(windows.begin(), windows.end());
        EXPECT_EQ(windows, visibleWindows()) << "open windows";
        if (m.open == Win::None || HasFailure()) /* its widgets may be gone */
            return;

        Strings shown;
        for (const Field &f : fieldsOf(m.open))
            shown.push_back(textOf(f.widget));
        EXPECT_EQ(m.fields, shown) << "fields of " << kTitles[int(m.open)];
        if (m.open == Win::Runtime) {
            std::vector<int> settings;
            for (GtkWidget *widget : settingWidgets())
                settings.push_back(GTK_IS_COMBO_BOX(widget)
                                       ? gtk_combo_box_get_active(GTK_COMBO_BOX(widget))
                                       : gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)));
            EXPECT_EQ(m.settings, settings) << "choices and switches";
        }
        if (m.open == Win::NameDesc) {
            EXPECT_EQ(m.localeRows, listRows(main.nameDesc.localeList)) << "locale list";
            /* Rows added while the window is open stand at its end, not in
             * slot order; they are the live codes all the same. */
            Strings sorted = m.localeRows, live = m.current().liveCodes();
            std::sort(sorted.begin(), sorted.end());
            std::sort(live.begin(), live.end());
            EXPECT_EQ(live, sorted) << "locale rows against live entries";
        }
    }

    /* ---- Choosing an action ---- */

    struct Action {
        int weight;
        std::function<void()> run;
    };

    void offer(int weight, std::function<void()> run)
    {
        actions.push_back({weight, std::move(run)});
    }

    void act()
    {
        actions.clear();
        switch (m.open) {
        case Win::None: offerMain(); break;
        case Win::General: offerGeneral(); break;
        case Win::Runtime: offerRuntime(); break;
        case Win::NameDesc: offerNameDesc(); break;
        }
        int total = 0;
        for (const Action &a : actions)
            total += a.weight;
        int roll = below(total);
        for (const Action &a : actions)
            if ((roll -= a.weight) < 0)
                return a.run();
    }

    /* ---- The main window ---- */

    void offerMain()
    {
        const std::size_t apps = m.apps.size();
        if (apps == 0)
            offer(m.directoryChosen ? 2 : 10, [this] { chooseDirectory(); });
        if (m.directoryChosen) {
            offer(6, [this] {
                m.nameEntry = value("name");
                type("application name", main.mainWin.nameEntry, m.nameEntry);
            });
            offer(apps < 3 ? 4 : 1, [this] { addApp(); });
            offer(2, [this] { renameApp(); });
            offer(apps > 3 ? 2 : 1, [this] { removeApp(); });
        }
        if (apps > 0) {
            offer(6, [this] {
                const App &app = oneOf(m.apps);
                note("select row \"" + app.name + "\"");
                if (m.selectedRow != app.id) /* reselecting changes nothing */
                    m.nameEntry = app.name;
                m.selected = m.selectedRow = app.id;
                selectRow(main.mainWin.appList, app.name.c_str());
            });
            offer(1, [this] {
                note("deselect the application list");
                m.selectedRow = -1;
                deselectAll(main.mainWin.appList);
            });
        }
        const App *app = m.find(m.selected);
        if (!app)
            return;
        /* Mostly onwards along the chain, sometimes back. */
        GtkWidget *general = main.mainWin.generalButton, *runtime = main.mainWin.runtimeButton;
        offer(app->generalDone ? 2 : 5, [=] { openWindow(Win::General, general); });
        if (app->generalDone)
            offer(app->runtimeDone ? 3 : 6, [=] { openWindow(Win::Runtime, runtime); });
        if (app->generalDone && app->runtimeDone)
            offer(8, [this] { openWindow(Win::NameDesc, main.mainWin.nameDescButton); });
        if (app->generalDone && app->runtimeDone && app->enUs())
            offer(1, [this] {
                note("click Menu categories, which does nothing");
                click(main.mainWin.categoriesButton);
            });
    }

    void chooseDirectory()
    {
        Answer answer = oneOf(std::vector<Answer>{Answer::Accept, Answer::Accept, Answer::Cancel,
                                                  Answer::Close});
        std::string folder = oneOf(dirs);
        /* A folder chosen and then cancelled must not leak out. */
        bool steered = answer == Answer::Accept || chance(50);
        note("choose directory " + folder + ", answer " + std::to_string(int(answer)));
        expectFolderChooser("Select directory", steered ? folder : "", answer, main.mainWin.window);
        if (answer == Answer::Accept) {
            m.directoryChosen = true;
            m.directory = folder;
        }
        click(main.mainWin.directoryButton);
    }

    const char *nameRefusal(int self)
    {
        if (any(m.apps, [&](const App &a) { return a.id != self && a.name == m.nameEntry; }))
            return "It does alredy exist a app with that name!";
        return m.nameEntry.empty() ? "You must enter a name for the app!" : nullptr;
    }

    void addApp()
    {
        note("Add app \"" + m.nameEntry + "\"");
        if (!refused("add app", nameRefusal(-1)))
            m.apps.emplace_back(m.nextId++, m.nameEntry);
        click(main.mainWin.addButton);
    }

    void renameApp()
    {
        note("Rename app to \"" + m.nameEntry + "\"");
        App *app = m.find(m.selectedRow);
        if (app && !refused("rename app", nameRefusal(app->id)))
            app->name = m.nameEntry;
        click(main.mainWin.renameButton);
    }

    void removeApp()
    {
        note("Remove app");
        if (m.find(m.selectedRow)) {
            m.apps.erase(std::find_if(m.apps.begin(), m.apps.end(),
                                      [&](const App &a) { return a.id == m.selectedRow; }));
            m.selected = m.selectedRow = -1;
            m.nameEntry.clear();
        }
        click(main.mainWin.removeButton);
    }

    /* ---- The editing windows ---- */

    void openWindow(Win which, GtkWidget *button)
    {
        note(std::string("open ") + kTitles[int(which)]);
        const App &app = m.current();
        m.open = which;
        m.localeRow.clear();
        if (which == Win::General) {
            m.fields = app.general;
        } else if (which == Win::Runtime) {
            m.fields = app.runtime;
            m.settings = app.settings;
        } else {
            m.fields = Strings(3);
            m.localeRows = app.liveCodes(); /* a fresh window lists them by slot */
        }
        click(button);
        m.window = main.parentWindow; /* checked by its title after the step */
    }

    void closeWindow()
    {
        m.open = Win::None;
        m.window = nullptr;
    }

    /* Cancel (when the window has one) and the window manager's close. */
    void offerClosing(GtkWidget *cancel)
    {
        if (cancel)
            offer(1, [this, cancel] {
                note("Cancel");
                closeWindow();
                click(cancel);
            });
        offer(1, [this] {
            note("the window manager closes the window");
            GtkWidget *window = m.window;
            closeWindow();
            sendDeleteEvent(window);
        });
    }

    /* Entries hold one line: a line break is typed into a text view only. */
    void type(const char *what, GtkWidget *widget, std::string &text)
    {
        if (!GTK_IS_TEXT_VIEW(widget))
            text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
        note(std::string("type ") + what + " \"" + text + "\"");
        typeInto(widget, text.c_str());
    }

    void offerTyping(int weight)
    {
        std::vector<Field> fields = fieldsOf(m.open);
        for (std::size_t i = 0; i < fields.size(); ++i)
            offer(fields[i].pool == std::string("version") ? 1 : weight, [this, i, f = fields[i]] {
                m.fields[i] = value(f.pool);
                type(f.pool, f.widget, m.fields[i]);
            });
    }

    void offerBrowse(const char *title, GtkWidget *button, std::size_t field)
    {
        offer(1, [this, title, button, field] {
            Answer answer = oneOf(std::vector<Answer>{Answer::Accept, Answer::Cancel,
                                                      Answer::Close});
            note("Browse, answer " + std::to_string(int(answer)));
            expectFileChooser(title, answer == Answer::Accept || chance(30) ? absolute : "",
                              answer, m.window);
            if (answer == Answer::Accept)
                m.fields[field] = absolute;
            click(button);
        });
    }

    void offerGeneral()
    {
        const vornicGeneralWidgets &w = main.general;
        offerTyping(5);
        offerBrowse("Select icon image", w.browseButton, 3);
        offer(3, [this] {
            note("OK in General information");
            for (std::size_t i = 4; i < 8; ++i) /* the spin buttons clamp what was typed */
                m.fields[i] = std::to_string(std::min(std::stoi(m.fields[i]), 255));
            if (!refused("general", generalRefusal())) {
                App &app = m.current();
                std::transform(m.fields.begin(), m.fields.end(), app.general.begin(), escaped);
                app.generalDone = true;
                closeWindow();
            }
            click(main.general.okButton);
        });
        offerClosing(w.cancelButton);
    }

    void offerRuntime()
    {
        const vornicRuntimeWidgets &w = main.runtime;
        offerTyping(5);
        std::vector<GtkWidget *> settings = settingWidgets();
        for (std::size_t i = 0; i < settings.size(); ++i)
            offer(1, [this, i, widget = settings[i]] {
                if (GTK_IS_TOGGLE_BUTTON(widget)) {
                    note("toggle switch " + std::to_string(i));
                    m.settings[i] ^= 1;
                    click(widget);
                    return;
                }
                m.settings[i] = below(i == 0 ? 6 : 3);
                note("choose item " + std::to_string(m.settings[i]) + " of box " +
                     std::to_string(i));
                chooseComboItem(widget, comboItems(widget)[std::size_t(m.settings[i])].c_str());
            });
        offerBrowse("Select application binary", w.browseButton, 3);
        offer(3, [this] {
            note("OK in Runtime settings");
            if (!refused("runtime", runtimeRefusal())) {
                App &app = m.current();
                std::transform(m.fields.begin(), m.fields.end(), app.runtime.begin(), escaped);
                app.settings = m.settings;
                app.runtimeDone = true;
                closeWindow();
            }
            click(main.runtime.okButton);
        });
        offerClosing(w.cancelButton);
    }

    void offerNameDesc()
    {
        offerTyping(4);
        if (!m.localeRows.empty()) {
            offer(4, [this] {
                std::string code = oneOf(m.localeRows);
                note("select locale row " + code);
                if (code != m.localeRow) { /* reselecting changes nothing */
                    const Locale &l = *m.locale(code);
                    m.fields = {l.code, l.name, l.description};
                }
                m.localeRow = code;
                selectRow(main.nameDesc.localeList, code.c_str());
            });
            offer(1, [this] {
                note("deselect the locale list");
                m.localeRow.clear();
                deselectAll(main.nameDesc.localeList);
            });
        }
        offer(5, [this] {
            note("Add locale");
            if (!refused("add locale", localeRefusal(nullptr))) {
                std::vector<Locale> &slots = m.current().locales;
                Locale fresh{m.fields[0], m.fields[1], m.fields[2], true};
                auto free = std::find_if(slots.begin(), slots.end(),
                                         [](const Locale &l) { return !l.live; });
                if (free == slots.end())
                    slots.push_back(fresh);
                else
                    *free = fresh; /* the lowest free slot */
                m.localeRows.push_back(fresh.code);
            }
            click(main.nameDesc.addButton);
        });
        offer(3, [this] {
            note("Modify locale");
            Locale *l = m.localeRow.empty() ? nullptr : m.locale(m.localeRow);
            if (l && !refused("modify locale", localeRefusal(l))) {
                *l = Locale{m.fields[0], m.fields[1], m.fields[2], true};
                *std::find(m.localeRows.begin(), m.localeRows.end(), m.localeRow) = l->code;
                m.localeRow = l->code;
            }
            click(main.nameDesc.modButton);
        });
        offer(m.localeRows.size() > 2 ? 3 : 2, [this] {
            note("Delete locale");
            if (!m.localeRow.empty()) {
                m.locale(m.localeRow)->live = false;
                auto &rows = m.localeRows;
                rows.erase(std::find(rows.begin(), rows.end(), m.localeRow));
                m.localeRow.clear();
            }
            click(main.nameDesc.delButton);
        });
        /* Every change is already stored: OK only closes the window. */
        offer(1, [this] {
            note("OK in Name and description");
            closeWindow();
            click(main.nameDesc.okButton);
        });
        offerClosing(nullptr);
    }

    Model m;
    std::mt19937 rng;
    int step = 0;
    std::deque<std::string> trace;
    std::vector<Action> actions;
    Strings dirs;
    std::string absolute;
    std::map<std::string, Pool> pools;
    std::map<std::string, int> tally; /* how each check ended */
};

unsigned long fromEnvironment(const char *name, unsigned long fallback)
{
    const char *text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

TEST_F(Soak, RandomWalkKeepsToTheRules)
{
    unsigned long seed = fromEnvironment("VORNIC_SOAK_SEED", std::random_device{}());
    int steps = int(fromEnvironment("VORNIC_SOAK_STEPS", 2000));
    std::cout << "soak: VORNIC_SOAK_SEED=" << seed << " VORNIC_SOAK_STEPS=" << steps << std::endl;
    rng.seed(std::mt19937::result_type(seed));

    for (step = 1; step <= steps; ++step) {
        act();
        pumpEvents();
        checkAll();
        if (HasFailure()) {
            std::cout << "soak: failed at step " << step << " of seed " << seed
                      << "; the last actions:\n";
            for (const std::string &line : trace)
                std::cout << "  " << line << "\n";
            return;
        }
    }
    for (const auto &[outcome, times] : tally)
        std::cout << "soak: " << times << " x " << outcome << "\n";
}

} // namespace
