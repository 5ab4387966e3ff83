/*
 * walk.cpp - a seeded random walk of user actions through the four windows,
 * checked at every step against a small model of the rules written here from
 * scratch: it never asks the program for an answer.
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 *
 * After each action the shown windows, the main window's rows, name entry
 * and usable controls, and the open editing window's fields, choices and
 * rows must be as the model says, and every dialog must have come as it
 * predicted, with its text, over its window.  Each window is also read, as
 * it opens, for what stands where, what takes the room when it is enlarged,
 * and what a screen reader calls it.
 * VORNIC_WALK_SEED and VORNIC_WALK_STEPS replay a walk.
 */
#include "harness.h"

#include <algorithm>
#include <functional>
#include <random>
#include <unistd.h>

namespace {

using Strs = std::vector<std::string>;
using Pools = std::vector<std::pair<Strs, Strs>>; /* per field: values that pass, values refused */
enum Win { None, General, Runtime, NameDesc };
const char *const kTitle[] = {"Vornic", "Vornic - General information", "Vornic - Runtime settings",
                              "Vornic - Name and description"};
/* Each window as layoutOf() below reads it. */
const char *const kLayout[] = {
    "200x100 5 |5| 5 Select directory^ 5 |5| 5 entry~Application name^ 5 Add app^ 5 Rename app^ 5 Remove app^ 5 |5| "
    "10 list(List Items)~Applications[etched]^ 10 General information^ 5 |5| * Runtime data^ 5 |5| * Name and "
    "description^ 5 |5| * Menu categories^ 5 |5| 5 Export to PND^ 5",
    "200x100 5 |10| 10 Author 10 entry=Author 10 |10| 10 Homepage 10 entry=Homepage 10 |10| 10 E-mail 10 "
    "entry=E-mail 10 |10| 10 Version 10 spin=Major 10 spin=Minor 10 spin=Release 10 spin=Build * |10| * Major 10 "
    "Minor 10 Release 10 Build * |10| 10 Menu icon file\n(max 32\303\22732) 10 entry=Menu icon file\n(max "
    "32\303\22732) 5 Browse[80x30] 5 |10| 10 Cancel[80x30] 10 OK[80x30] 10",
    "200x100 5 |10| 10 Unique ID 10 entry=Unique ID 10 |10| 10 Appdata directory 10 entry=Appdata directory 10 "
    "|10| 10 Starting directory 10 entry=Starting directory 10 |10| 10 x11 mode 10 combo(Required,No X11,Don't "
    "care)=x11 mode 10 |10| 10 Application binary 10 entry=Application binary 10 Browse[80x30] 10 |10| 10 "
    "Arguments 10 entry=Arguments 10 |10| 10 CPU frequency 10 combo(No change,200,300,400,500,600)=CPU frequency "
    "10 |10| 10 Allow multitasking 10 check=Allow multitasking 10 |10| 10 Requires inputfile 10 check=Requires "
    "inputfile 10 |10| 10 Cancel[80x30] 10 OK[80x30] 10",
    "400x300 5 |10| 10 Locale 10 entry=Locale 10 |10| 10 Name of application 10 entry=Name of application 10 |10| 10 "
    "Description^ 10 text=Description[etched]^ 10 |10| 10 Add[80x30] 5 Modify[80x30] 5 Delete[80x30] 10 |10| 10 "
    "list(List Items)~Locales[etched]^ 10 |10| 10 OK[80x30] 10"};
const std::pair<Strs, Strs> kPath = {{"icon", "sub", "./icon", "sub/../icon", "~/icon", "q\"uote", "<b>"},
                                     {"", "missing", "/no/such", "icon "}};
const std::pair<Strs, Strs> kVersion = {{"0", "7", "255"}, {"256", "999"}}; /* typed: held to 0 to 255 */
const Pools kPools[] = { /* by window, then by field */
    {},
    {{{"Ann", "Zoë \"Z\" <z> & 'k'", " "}, {""}},
     {{"", "http://a.b", "http://.", "http://x/a.b", "http://<x>.org"},
      {"http://x", "HTTP://a.b", "https://a.b", " http://ab", "http:/a.b", "http://localhost"}},
     {{"", "a@b.c", "@.", "a@b.c@d", "\"q\"@x.y"}, {"a.b@c", "a@b", "@"}},
     kPath, kVersion, kVersion, kVersion, kVersion},
    {{{"id", "\"<>\"", " "}, {""}}, {{"", "data", ".", "a.b", "ü"}, {"a..b", "a/b", "~x", ".."}},
     {{"", "../x", "\"a\" <b>"}, {}}, kPath, {{"", "-v \"x\" <in> >out &"}, {}}},
    {{{"en_US", "en_US", "de_DE", "fr_FR", "en_US.UTF-8"}, {"", "EN_US", "en_us", "xx", "en_US "}},
     {{"Frosch", "ç \"<>\""}, {""}}, {{"Hüpft", "two\nlines", " "}, {""}}}};

using Slot = std::pair<Strs, bool>; /* a localised entry's texts, and whether it is live */
struct App {
    std::string name;
    /* What each window opens with: its fields, then the choices and switches. */
    Strs stored[4] = {{}, {"", "", "", "", "1", "0", "0", "0"}, {"", "", "", "", "", "0", "2", "1", "0"}, Strs(3)};
    bool done[3] = {};
    std::vector<Slot> slots = {{Strs(3), false}};
    Slot *live(const std::string &code) {
        auto at = std::find_if(slots.begin(), slots.end(), [&](Slot &s) { return s.second && s.first[0] == code; });
        return at == slots.end() ? nullptr : &*at;
    }
};

/* A control as a user meets it: a label or a button by its text, another
 * control by its kind (a combo box with its items, a list with its column's
 * title) and by the name a screen reader gives it ("=" when a label names
 * it). */
std::string describe(GtkWidget *control) {
    std::string what;
    if (GTK_IS_LABEL(control))
        what = gtk_label_get_text(GTK_LABEL(control));
    else if (GTK_IS_CHECK_BUTTON(control) || GTK_IS_BUTTON(control))
        what = GTK_IS_CHECK_BUTTON(control) ? "check" : gtk_button_get_label(GTK_BUTTON(control));
    else if (GTK_IS_ENTRY(control))
        what = GTK_IS_SPIN_BUTTON(control) ? "spin" : "entry";
    else if (GTK_IS_TEXT_VIEW(control))
        what = gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(control)) == GTK_WRAP_WORD ? "text" : "unwrapped text";
    else if (GtkTreeView *list = GTK_IS_TREE_VIEW(control) ? GTK_TREE_VIEW(control) : nullptr)
        what = (gtk_tree_view_get_headers_visible(list) ? "headed list(" : "list(") +
               std::string(gtk_tree_view_column_get_title(gtk_tree_view_get_column(list, 0))) + ")";
    for (const std::string &item : GTK_IS_COMBO_BOX(control) ? rows(control) : Strs())
        what += (what.empty() ? "combo(" : ",") + item;
    what += GTK_IS_COMBO_BOX(control) ? ")" : "";
    AtkObject *atk = gtk_widget_get_accessible(control);
    AtkRelationSet *relations = atk_object_ref_relation_set(atk);
    if (!what.empty() && atk_object_get_name(atk))
        what += (atk_relation_set_contains(relations, ATK_RELATION_LABELLED_BY) ? "=" : "~") +
                std::string(atk_object_get_name(atk));
    g_object_unref(relations);
    return what;
}

/* A window as a user meets it: its default size and border, then row by row
 * its controls as describe() puts them, each row after its distance from the
 * row above (|10|), each control after its distance from the one to its
 * left, each row ending with its right margin; "*" is free space, not a gap.
 * A scrolled window counts as the control it holds.  Each control also shows
 * a size the program fixes for it whatever the font ([80x30]). */
std::string layoutOf(GtkWidget *window) {
    int width, height;
    gtk_window_get_default_size(GTK_WINDOW(window), &width, &height);
    std::string all = std::to_string(width) + "x" + std::to_string(height) + " " +
                      std::to_string(gtk_container_get_border_width(GTK_CONTAINER(window)));
    struct Seen { GdkRectangle at; std::string what; GtkWidget *widget; };
    std::vector<Seen> seen;
    std::function<void(GtkWidget *)> visit = [&](GtkWidget *widget) {
        std::string what = describe(GTK_IS_SCROLLED_WINDOW(widget) ? gtk_bin_get_child(GTK_BIN(widget)) : widget);
        GdkRectangle at = widget->allocation;
        gtk_widget_translate_coordinates(widget, window, 0, 0, &at.x, &at.y);
        if (!what.empty())
            seen.push_back({at, what, widget});
        else if (GTK_IS_CONTAINER(widget))
            gtk_container_foreach(GTK_CONTAINER(widget), [](GtkWidget *child, gpointer v) {
                (*static_cast<decltype(visit) *>(v))(child);
            }, &visit);
    };
    visit(gtk_bin_get_child(GTK_BIN(window)));
    /* Enlarged as a user may enlarge it, the window gives the extra height
     * to some controls ("^"); a scrolled one shows its frame, and a bar only
     * when its content needs one (so never here: the walk's lists are short).
     * Then it goes back to its size. */
    GtkAllocation was = window->allocation, larger = {0, 0, was.width + 100, was.height + 100};
    gtk_widget_size_allocate(window, &larger);
    for (auto &[at, what, widget] : seen) {
        GtkScrolledWindow *s = GTK_IS_SCROLLED_WINDOW(widget) ? GTK_SCROLLED_WINDOW(widget) : nullptr;
        what += !s ? "" : gtk_scrolled_window_get_shadow_type(s) == GTK_SHADOW_ETCHED_IN ? "[etched" : "[framed";
        what += !s ? "" : gtk_widget_get_visible(gtk_scrolled_window_get_vscrollbar(s)) ? ",bar]" : "]";
        what += widget->allocation.height > at.height ? "^" : "";
        gtk_widget_get_size_request(widget, &width, &height);
        what += width > 0 ? "[" + std::to_string(width) + "x" + std::to_string(height) + "]" : "";
    }
    gtk_widget_size_allocate(window, &was);
    std::sort(seen.begin(), seen.end(), [](const Seen &a, const Seen &b) {
        return std::tie(a.at.y, a.at.x) < std::tie(b.at.y, b.at.x);
    });
    auto gap = [](int pixels) { return pixels <= 15 ? std::to_string(pixels) : "*"; };
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const GdkRectangle &at = seen[i].at, *before = i ? &seen[i - 1].at : nullptr;
        bool row = !before || before->y != at.y; /* a new row starts below the end of the one before */
        all += row ? " |" + gap(at.y - (before ? before->y + before->height : 0)) + "| " + gap(at.x)
                   : " " + gap(at.x - before->x - before->width);
        all += " " + seen[i].what;
        if (i + 1 == seen.size() || seen[i + 1].at.y != at.y)
            all += " " + gap(window->allocation.width - at.x - at.width);
    }
    return all;
}

class Walk : public Gui {
protected:
    std::mt19937 rng;
    std::vector<App> apps; /* in row order */
    int selected = -1, row = -1, localeRow = -1;
    std::string dir, entry;
    Win open = None;
    Strs fields, localeRows; /* what the open window shows: its fields and choices, its rows */
    std::vector<std::pair<int, std::function<void()>>> actions;

    int below(std::size_t n) { return int(rng() % n); }
    const std::string &pick(const Strs &from) { return from[std::size_t(below(from.size()))]; }
    void offer(int weight, std::function<void()> act) { actions.emplace_back(weight, std::move(act)); }
    int answer() { return below(2) ? GTK_RESPONSE_ACCEPT : below(2) ? GTK_RESPONSE_CANCEL : GTK_RESPONSE_DELETE_EVENT; }
    App &app() { return apps[std::size_t(selected)]; }
    bool exists(const std::string &path) { return !access((path[0] == '/' ? path : dir + "/" + path).c_str(), R_OK); }
    GtkWidget *window() { /* found by its title, never through the program's own state */
        for (GtkWidget *shown : shownWindows())
            if (gtk_window_get_title(GTK_WINDOW(shown)) == std::string(kTitle[open])) return shown;
        return nullptr;
    }
    std::vector<GtkWidget *> fieldWidgets() {
        const vornicGeneralWidgets &g = main.general;
        const vornicRuntimeWidgets &r = main.runtime;
        if (open == General) return {g.authorEntry, g.homePageEntry, g.emailEntry, g.iconEntry, g.majorSpin,
                                     g.minorSpin, g.releaseSpin, g.buildSpin};
        if (open == Runtime) return {r.uniqueIdEntry, r.appdataEntry, r.startDirEntry, r.binaryEntry,
                                     r.argumentsEntry, r.cpuCombo, r.x11Combo, r.multitaskingCheck, r.inputFileCheck};
        return {main.nameDesc.localeEntry, main.nameDesc.nameEntry, main.nameDesc.descView};
    }

    /* Expects the message that the action about to be taken must show, if
     * any; editing is the entry a Modify changes. */
    bool refused(const Slot *editing = nullptr) {
        const Strs &f = fields;
        auto has = [](const std::string &s, const char *any) { return s.find_first_of(any) != std::string::npos; };
        Slot *taken = open == NameDesc ? app().live(f[0]) : nullptr;
        std::string message =
            open == General ? f[0].empty() ? "You must specify the author!"
                              : !f[1].empty() && f[1].rfind("http://", 0)
                                  ? "If you specify a home page, it should begin with »http://«"
                              : !f[1].empty() && !has(f[1], ".") ? "A home page must have a TLD..."
                              : !f[2].empty() && !has(f[2].substr(std::min(f[2].find('@'), f[2].size())), ".")
                                  ? "If you enter a mail address, it must be valid!"
                              : !f[3].empty() && !exists(f[3]) ? "Icon file does not exist!" : ""
            : open == Runtime ? f[0].empty() ? "You must specify a unique ID!"
                                : f[3].empty() ? "You must specify the application binary!"
                                : !exists(f[3]) ? "Application binary does not exist!"
                                : has(f[1], "/~") || f[1].find("..") != std::string::npos
                                    ? "Appdata directory must be a name, not a path!" : ""
            : f[0].empty() ? "You must enter a locale!"
            : std::find(catalogue.begin(), catalogue.end(), f[0]) == catalogue.end() ? "Entered locale does not exist!"
            : taken && taken != editing ? "It does alredy exist a entry for that locale!"
            : f[1].empty() ? "You must enter a name for the application!"
            : f[2].empty() ? "You must enter a description for the application!" : "";
        if (!message.empty()) expectDialog("Fatal error", message, window(), GTK_RESPONSE_OK);
        return !message.empty();
    }

    void check() {
        Strs names, want = open ? Strs{kTitle[0], kTitle[open]} : Strs{kTitle[0]}, got; /* windows, controls */
        for (App &a : apps) names.push_back(a.name);
        for (GtkWidget *shown : shownWindows()) got.push_back(gtk_window_get_title(GTK_WINDOW(shown)));
        std::sort(got.begin(), got.end());
        EXPECT_EQ(names, rows(w.appList));
        EXPECT_EQ(entry, text(w.nameEntry));
        App *a = selected >= 0 && !open ? &app() : nullptr;
        bool d = !dir.empty() && !open, g = a && a->done[General], r = g && a->done[Runtime];
        std::tuple<GtkWidget *, const char *, bool> controls[] = {
            {w.nameEntry, "entry", d}, {w.addButton, "add", d}, {w.renameButton, "rename", d},
            {w.removeButton, "remove", d}, {w.appList, "list", !open && !apps.empty()},
            {w.directoryButton, "directory", !open && apps.empty()}, {w.generalButton, "general", a},
            {w.runtimeButton, "runtime", g}, {w.nameDescButton, "names", r},
            {w.categoriesButton, "categories", r && a->live("en_US")}, {w.exportButton, "export", false}};
        for (auto [widget, name, on] : controls) {
            if (on) want.push_back(name);
            if (gtk_widget_get_sensitive(widget)) got.push_back(name);
        }
        EXPECT_EQ(want, got);
        if (!open || HasFailure()) return;
        Strs shown = open == NameDesc ? rows(main.nameDesc.localeList) : Strs(), expected = fields;
        for (GtkWidget *field : fieldWidgets()) shown.push_back(text(field));
        bool enUs = open == NameDesc && (vornicSelectedApp(&main)->flags & APP_LOCALE_EN_US); /* the mark it keeps */
        EXPECT_EQ(open == NameDesc && app().live("en_US"), enUs);
        expected.insert(expected.begin(), localeRows.begin(), open == NameDesc ? localeRows.end() : localeRows.begin());
        EXPECT_EQ(expected, shown);
    }

    void opened(Win which) {
        fields = app().stored[open = which];
        localeRows.clear(), localeRow = -1;
        for (Slot &slot : app().slots)
            if (slot.second) localeRows.push_back(slot.first[0]);
        EXPECT_EQ(kLayout[open], layoutOf(window()));
        /* An opener does nothing while a window is open. */
        (open == General ? guiMakeRuntimeDiag : guiMakeAppGeneralDiag)(nullptr, &main);
    }

    /* Types into one field or into all, mostly values that pass. */
    void typeSome() {
        const Pools &pools = kPools[open];
        bool all = below(2);
        for (std::size_t i = all ? 0 : std::size_t(below(pools.size())); i < pools.size(); i = all ? i + 1 : 99) {
            fields[i] = pick(below(6) || pools[i].second.empty() ? pools[i].first : pools[i].second);
            type(fieldWidgets()[i], fields[i]);
        }
    }

    void offerMain();
    template <typename Form> void offerForm(const Form &form);
    void offerNameDesc();
};

void Walk::offerMain() {
    if (apps.empty())
        offer(dir.empty() ? 20 : 2, [this] {
            std::string folder = pick({project, project + "/sub"});
            int response = answer();
            expectDialog("Select directory", folder, w.window, response);
            click(w.directoryButton);
            dir = response == GTK_RESPONSE_ACCEPT ? folder : dir;
        });
    if (dir.empty()) return;
    /* Whether the name in the entry is refused for the application given. */
    auto refusedName = [this](const App *renamed) {
        bool taken = std::any_of(apps.begin(), apps.end(), [&](App &a) { return a.name == entry && &a != renamed; });
        if (taken || entry.empty())
            expectDialog("Fatal error", taken ? "It does alredy exist a app with that name!"
                                              : "You must enter a name for the app!", w.window, GTK_RESPONSE_OK);
        return taken || entry.empty();
    };
    offer(6, [this] { type(w.nameEntry, entry = pick({"", "A", "a", "B", "Frög", "A ", "C", "D"})); });
    offer(apps.size() < 4 ? 5 : 1, [this, refusedName] {
        bool bad = refusedName(nullptr);
        click(w.addButton);
        if (!bad) apps.push_back(App{entry});
    });
    offer(2, [this, refusedName] {
        bool bad = row >= 0 && refusedName(&app());
        click(w.renameButton);
        if (row >= 0 && !bad) app().name = entry;
    });
    offer(1, [this] {
        click(w.removeButton);
        if (row >= 0) apps.erase(apps.begin() + row), selected = row = -1, entry.clear();
    });
    if (apps.empty()) return;
    offer(8, [this] { /* selecting the selected row again changes nothing */
        int chosen = below(apps.size());
        entry = chosen == row ? entry : apps[std::size_t(chosen)].name;
        selectRow(w.appList, row = selected = chosen);
    });
    offer(1, [this] { selectRow(w.appList, row = -1); });
    GtkWidget *opener[] = {nullptr, w.generalButton, w.runtimeButton, w.nameDescButton};
    for (int which = General; selected >= 0 && which <= NameDesc && (which == General || app().done[which - 1]);
         ++which)
        offer(4, [this, which, opener] { click(opener[which]), opened(Win(which)); });
}

/* The General information and Runtime settings windows. */
template <typename Form> void Walk::offerForm(const Form &form) {
    offer(5, [this] { typeSome(); });
    offer(1, [this, &form] {
        std::string file = project + pick({"/icon", "/bin", "/\377.png"});
        int response = answer();
        expectDialog(open == General ? "Select icon image" : "Select application binary", file, window(), response);
        click(form.browseButton);
        if (response == GTK_RESPONSE_ACCEPT) /* a name that is no text is shown as text */
            fields[3] = owned(g_filename_display_name(file.c_str()));
    });
    if (open == General)
        offer(1, [this] { /* a page key moves a version part by one, from what was typed */
            std::size_t i = 4 + std::size_t(below(4)), up = std::size_t(below(2));
            GtkSpinButton *spin = GTK_SPIN_BUTTON(fieldWidgets()[i]);
            gtk_spin_button_update(spin);
            gtk_spin_button_spin(spin, up ? GTK_SPIN_PAGE_FORWARD : GTK_SPIN_PAGE_BACKWARD, 0);
            fields[i] = std::to_string(std::clamp(std::min(255, std::stoi(fields[i])) + (up ? 1 : -1), 0, 255));
        });
    offer(5, [this, &form] {
        for (std::size_t i = 4; open == General && i < 8; ++i) /* typed versions are held to 0 to 255 */
            fields[i] = std::to_string(std::min(255, std::stoi(fields[i])));
        bool bad = refused();
        click(form.okButton);
        if (bad) return;
        for (std::size_t i = 0; i < fields.size(); ++i)
            for (char &c : app().stored[open][i] = fields[i]) c = c == '"' ? '\'' : c == '<' ? '[' : c == '>' ? ']' : c;
        app().done[open] = true;
        open = None;
    });
    offer(2, [this, &form] { below(2) ? click(form.cancelButton) : closeWindow(window()), open = None; });
}

void Walk::offerNameDesc() {
    const vornicNameDescWidgets &n = main.nameDesc;
    offer(5, [this] { typeSome(); });
    offer(4, [this, &n] {
        bool bad = refused();
        click(n.addButton);
        if (bad) return;
        auto gap = std::find_if(app().slots.begin(), app().slots.end(), [](Slot &slot) { return !slot.second; });
        *gap = {fields, true};
        if (gap + 1 == app().slots.end()) app().slots.push_back({Strs(3), false});
        localeRows.push_back(fields[0]);
    });
    Slot *slot = localeRow < 0 ? nullptr : app().live(localeRows[std::size_t(localeRow)]);
    offer(3, [this, &n, slot] {
        bool bad = slot && refused(slot);
        click(n.modButton);
        if (slot && !bad) slot->first = fields, localeRows[std::size_t(localeRow)] = fields[0];
    });
    offer(2, [this, &n, slot] {
        click(n.delButton);
        if (slot) slot->second = false, localeRows.erase(localeRows.begin() + localeRow), localeRow = -1;
    });
    if (!localeRows.empty())
        offer(5, [this, &n] { /* selecting the selected row again changes nothing */
            int chosen = below(localeRows.size());
            fields = chosen == localeRow ? fields : app().live(localeRows[std::size_t(chosen)])->first;
            selectRow(n.localeList, localeRow = chosen);
        });
    offer(1, [this, &n] { below(2) ? click(n.okButton) : closeWindow(window()), open = None; });
}

TEST_F(Walk, FollowsTheRulesAtEveryStep) {
    const char *seed = std::getenv("VORNIC_WALK_SEED"), *steps = std::getenv("VORNIC_WALK_STEPS");
    rng.seed(seed ? unsigned(std::stoul(seed)) : 1);
    EXPECT_EQ(kLayout[None], layoutOf(w.window));
    check();
    expectDialog("Select directory", project, w.window, GTK_RESPONSE_CANCEL); /* a choice not made changes nothing */
    click(w.directoryButton), check();
    for (int step = 1, last = steps ? std::stoi(steps) : 500; step <= last && !HasFailure(); ++step) {
        actions.clear();
        open == None ? offerMain() : open == NameDesc ? offerNameDesc()
        : open == General ? offerForm(main.general) : offerForm(main.runtime);
        std::vector<int> weights;
        for (auto &action : actions) weights.push_back(action.first);
        actions[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(rng)].second();
        check();
        if (HasFailure()) ADD_FAILURE() << "at step " << step << " of seed " << (seed ? seed : "1");
    }
}

} // namespace
