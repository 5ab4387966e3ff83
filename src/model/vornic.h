/*
 * vornic.h - the records of Vornic's project model and the operations on them.
 *
 * Everything here builds and links without GTK: widgets appear only as opaque
 * GtkWidget handles inside vornicMain.  The model reaches the user interface
 * through exactly two functions, guiShowErrorMessage and
 * guiUpdateMainButtonActivity, which the GUI provides (and model tests replace
 * with a recording stand-in).
 *
 * Slot arrays: the application table, each application's localised entries and
 * its menu categories are contiguous arrays whose entries carry a flags word.
 * A walk starts at entry 0 and stops after the first entry without SLOT_NEXT;
 * deleting only clears SLOT_USED, so indices stay valid and arrays never
 * shrink.  Growing may move the storage: keep indices, never pointers, across
 * anything that may add an item.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#ifndef VORNIC_MODEL_VORNIC_H
#define VORNIC_MODEL_VORNIC_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

typedef struct _GtkWidget GtkWidget;

/* Slot bits, the same in every slot array. */
constexpr std::uint32_t SLOT_NEXT = 0x1;    /* another entry follows this one */
constexpr std::uint32_t SLOT_USED = 0x2;    /* the entry holds a live item */
constexpr std::uint32_t SLOT_EDITING = 0x4; /* skipped by duplicate searches */

/* Progress marks of an application; they drive the main window's buttons. */
constexpr std::uint32_t APP_GENERAL_DONE = 0x100;
constexpr std::uint32_t APP_RUNTIME_DONE = 0x200;
constexpr std::uint32_t APP_LOCALE_EN_US = 0x400;

/* Choice positions shared by the model defaults and the runtime window. */
constexpr std::int32_t CPU_FREQ_NO_CHANGE = 0;
constexpr std::int32_t X11_MODE_DONT_CARE = 2;

/* Exit statuses. */
constexpr int VORNIC_EXIT_OUT_OF_RAM = 255;
constexpr int VORNIC_EXIT_CATALOGUE_OUT_OF_RAM = 2;
constexpr int VORNIC_EXIT_NO_CATALOGUE = 254;

using vornicString = std::optional<std::string>; /* owned, or absent */

struct vornicCat {
    std::int32_t value = 0;
    vornicString text;
    std::uint32_t flags = 0;
};

struct vornicLocale {
    std::string code;
    std::string name;
    std::string description;
    std::uint32_t flags = 0;
};

struct vornicApp {
    vornicString author;
    vornicString homePage;
    vornicString email;
    std::string name;
    vornicString icon;
    vornicString uniqueId;
    vornicString appdataDir;
    vornicString startDir;
    vornicString binary;
    vornicString arguments;
    std::vector<vornicCat> categories;
    std::vector<vornicLocale> locales;
    std::int32_t cpuFreq = CPU_FREQ_NO_CHANGE;
    std::int32_t x11Mode = X11_MODE_DONT_CARE;
    std::int32_t multitasking = 1;
    std::int32_t inputFile = 0;
    std::int32_t catCount = 0;
    std::int32_t verMajor = 1;
    std::int32_t verMinor = 0;
    std::int32_t verRelease = 0;
    std::int32_t verBuild = 0;
    std::uint32_t flags = 0;
};

/* The values a window hands to the model.  Strings are borrowed (never null)
 * for the duration of one handler; the model copies what it keeps. */
struct GeneralForm {
    const char *author;
    const char *homePage;
    const char *email;
    const char *icon;
    std::int32_t verMajor;
    std::int32_t verMinor;
    std::int32_t verRelease;
    std::int32_t verBuild;
};

struct RuntimeForm {
    const char *uniqueId;
    const char *appdataDir;
    const char *startDir;
    const char *binary;
    const char *arguments;
    std::int32_t cpuFreq;
    std::int32_t x11Mode;
    std::int32_t multitasking;
    std::int32_t inputFile;
};

struct LocaleForm {
    const char *code;
    const char *name;
    const char *description;
};

/* Widget handles of the four windows.  Each editing window's group is valid
 * only while that window is open; the next opening sets it afresh. */
struct vornicGeneralWidgets {
    GtkWidget *table;
    GtkWidget *authorLabel, *homePageLabel, *emailLabel, *versionLabel;
    GtkWidget *majorLabel, *minorLabel, *releaseLabel, *buildLabel;
    GtkWidget *iconLabel;
    GtkWidget *authorEntry, *homePageEntry, *emailEntry;
    GtkWidget *majorSpin, *minorSpin, *releaseSpin, *buildSpin;
    GtkWidget *iconEntry;
    GtkWidget *browseButton, *okButton, *cancelButton;
};

struct vornicRuntimeWidgets {
    GtkWidget *window;
    GtkWidget *table;
    GtkWidget *uniqueIdLabel, *appdataLabel, *startDirLabel, *x11Label;
    GtkWidget *binaryLabel, *argumentsLabel, *cpuLabel;
    GtkWidget *multitaskingLabel, *inputFileLabel;
    GtkWidget *uniqueIdEntry, *appdataEntry, *startDirEntry;
    GtkWidget *x11Combo;
    GtkWidget *binaryEntry, *argumentsEntry;
    GtkWidget *cpuCombo;
    GtkWidget *multitaskingCheck, *inputFileCheck;
    GtkWidget *browseButton, *okButton, *cancelButton;
};

struct vornicNameDescWidgets {
    GtkWidget *window;
    GtkWidget *table;
    GtkWidget *vbox;
    GtkWidget *buttonRow;
    GtkWidget *descScroller;
    GtkWidget *listScroller;
    GtkWidget *localeLabel, *nameLabel, *descLabel;
    GtkWidget *localeEntry;
    GtkWidget *nameEntry;
    GtkWidget *descView;
    GtkWidget *localeList;
    GtkWidget *addButton, *delButton, *modButton, *okButton;
};

struct vornicMainWidgets {
    GtkWidget *window;
    GtkWidget *buttonColumn;
    GtkWidget *listRow;
    GtkWidget *directoryRow;
    GtkWidget *entryRow;
    GtkWidget *outerColumn;
    GtkWidget *appList;
    GtkWidget *appListScroller;
    GtkWidget *addButton, *renameButton, *removeButton;
    GtkWidget *nameEntry;
    GtkWidget *directoryButton;
    GtkWidget *generalButton, *runtimeButton, *nameDescButton;
    GtkWidget *categoriesButton, *exportButton;
    /* The control that had the keyboard focus when an editing window
     * opened, to have it again when that window closes. */
    GtkWidget *focusKept;
};

/* The program state: one per run, owned by main(), the user data of every
 * handler. */
struct vornicMain {
    vornicGeneralWidgets general{};
    vornicRuntimeWidgets runtime{};
    vornicNameDescWidgets nameDesc{};
    vornicMainWidgets mainWin{};

    GtkWidget *parentWindow = nullptr; /* parent of every dialog and chooser */
    bool subWindowOpen = false;
    /* A GLib handler id is an unsigned long; keeping it whole avoids handing
     * a truncated id to g_signal_handler_disconnect. */
    unsigned long subWindowDestroyHandler = 0;
    std::vector<vornicApp> apps;
    std::int32_t selectedApp = -1;
    bool directoryChosen = false;
    std::int32_t appCount = 0;
    std::int32_t localeCount = 0;
    vornicString projectDir;
    std::vector<std::string> catalogue;
};

/* Provided by the GUI; model tests link a recording stand-in instead. */
void guiShowErrorMessage(vornicMain *main, const char *text);
void guiUpdateMainButtonActivity(vornicMain *main);

/* Ends the process.  Tests observe it through death tests. */
[[noreturn]] void vornicExit(int status);

/* The application table. */
void vornicInitMain(vornicMain *main);
void vornicInitApp(vornicMain *main);
void vornicInitCat(vornicMain *main, std::int32_t index);
std::int32_t appGetID(const vornicMain *main, const char *name);
std::int32_t appAdd(vornicMain *main, const char *name);
std::int32_t appMod(vornicMain *main, const char *name, std::int32_t index);
std::int32_t appDel(vornicMain *main);
void appFree(vornicMain *main, std::int32_t index);
/* The selected application, or null when the selection names no live one. */
vornicApp *vornicSelectedApp(vornicMain *main);
const vornicApp *vornicSelectedApp(const vornicMain *main);

/* Path and string utilities. */
std::int32_t vornicPathIsRelative(const char *path);
std::int32_t vornicFileExists(const char *path);
void vornicEscapeXMLData(char *text);
std::int32_t vornicArgIsPath(const char *text);

/* General information and runtime settings. */
std::int32_t generalValidate(vornicMain *main, const GeneralForm *form);
std::int32_t generalSet(vornicMain *main, const GeneralForm *form);
std::int32_t runtimeValidate(vornicMain *main, const RuntimeForm *form);
std::int32_t runtimeSet(vornicMain *main, const RuntimeForm *form);

/* The locale catalogue. */
void vornicLoadLocales(vornicMain *main);
std::int32_t localeIsValid(const vornicMain *main, const char *code);

/* Localised entries of the selected application. */
std::int32_t localeValidate(vornicMain *main, const LocaleForm *form);
std::int32_t localeExists(const vornicMain *main, const char *code);
std::int32_t localeAdd(vornicMain *main, const LocaleForm *form);
std::int32_t localeMod(vornicMain *main, const char *code, const LocaleForm *form);
std::int32_t localeDel(vornicMain *main, const char *code);

#endif
