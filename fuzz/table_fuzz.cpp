/*
 * table_fuzz.cpp - the application table and the localised entries driven by
 * arbitrary sequences of operations, as the main window and the name and
 * description window would issue them.
 *
 * A reference model of slots (a name per table entry, an optional entry per
 * locale slot) predicts every result and message; after each step the model
 * must match it entry for entry and keep its invariants: the count equals the
 * live entries, live names are distinct, the locale array ends in a free entry
 * and its live codes are distinct and in the catalogue.
 */
#include "common.h"

#include <optional>
#include <set>

namespace {

struct RefLocale {
    std::string code, name, description;
};

struct RefApp {
    bool live = false;
    std::string name;
    std::vector<std::optional<RefLocale>> locales; /* one per slot */
};

struct Reference {
    std::vector<RefApp> apps = std::vector<RefApp>(1);
    std::int32_t selected = -1;
};

/* Duplicates, an empty code, a carriage return and a NUL, as a loaded file may hold. */
const std::vector<std::string> kCatalogue = {"en_US", "de_DE", "fr_FR", "", "de_DE", "ja_JP\r", std::string("a\0b", 3)};
const std::vector<std::string> kWords = {"", "a", "A", "en_US", "EN_us", "de_DE", "fr_FR", "ja_JP", "ja_JP\r",
                                         "a\0b", " ", "app"};
const char kDupApp[] = "It does alredy exist a app with that name!";
const char kEmptyApp[] = "You must enter a name for the app!";

std::string pickText(FuzzedDataProvider &fdp)
{
    std::string text = fdp.ConsumeBool() ? fuzzPick(fdp, kWords) : fdp.ConsumeRandomLengthString(24);
    return text.c_str(); /* what a widget hands over ends at its first NUL */
}

std::int32_t liveApp(const Reference &ref, const std::string &name, std::int32_t except)
{
    for (std::size_t i = 0; i < ref.apps.size(); ++i)
        if (ref.apps[i].live && ref.apps[i].name == name && static_cast<std::int32_t>(i) != except)
            return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t liveLocale(const RefApp &app, const std::string &code, std::int32_t except = -1)
{
    for (std::size_t i = 0; i < app.locales.size(); ++i)
        if (app.locales[i] && app.locales[i]->code == code && static_cast<std::int32_t>(i) != except)
            return static_cast<std::int32_t>(i);
    return -1;
}

const char *expectLocaleCheck(const RefApp &app, const RefLocale &form, std::int32_t editing)
{
    bool known = false;
    for (const std::string &code : kCatalogue)
        known = known || code == form.code;
    if (form.code.empty())
        return "You must enter a locale!";
    if (!known)
        return "Entered locale does not exist!";
    if (liveLocale(app, form.code, editing) != -1)
        return "It does alredy exist a entry for that locale!";
    if (form.name.empty())
        return "You must enter a name for the application!";
    if (form.description.empty())
        return "You must enter a description for the application!";
    return nullptr;
}

void expectOutcome(std::int32_t result, std::int32_t want, const char *message, int updates = 0)
{
    const GuiCalls calls = fuzzTakeGuiCalls();
    FUZZ_CHECK(result == want && calls.updates == updates);
    FUZZ_CHECK(calls.messages.size() == (message ? 1u : 0u) && (!message || calls.messages[0] == message));
}

void appStep(vornicMain &main, Reference &ref, FuzzedDataProvider &fdp, int op)
{
    const std::int32_t size = static_cast<std::int32_t>(ref.apps.size());
    if (op == 0) { /* add: the lowest free entry, else one more */
        const std::string name = pickText(fdp);
        std::int32_t result = appAdd(&main, name.c_str());
        if (liveApp(ref, name, -1) != -1)
            return expectOutcome(result, -1, kDupApp);
        if (name.empty())
            return expectOutcome(result, -1, kEmptyApp);
        std::int32_t slot = 0;
        while (slot < size && ref.apps[static_cast<std::size_t>(slot)].live)
            ++slot;
        if (slot == size)
            ref.apps.emplace_back();
        ref.apps[static_cast<std::size_t>(slot)] = RefApp{true, name, {std::nullopt}};
        expectOutcome(result, slot, nullptr, 1);
    } else if (op == 1) { /* rename any index, live or not */
        const std::string name = pickText(fdp);
        const std::int32_t index = fdp.ConsumeIntegralInRange<std::int32_t>(-1, size);
        std::int32_t result = appMod(&main, name.c_str(), index);
        if (index < 0 || index >= size || !ref.apps[static_cast<std::size_t>(index)].live)
            return expectOutcome(result, -1, "No app is selected!");
        if (liveApp(ref, name, index) != -1)
            return expectOutcome(result, -1, kDupApp);
        if (name.empty())
            return expectOutcome(result, -1, kEmptyApp);
        ref.apps[static_cast<std::size_t>(index)].name = name;
        expectOutcome(result, 0, nullptr);
    } else if (op == 2) { /* delete the selected application */
        std::int32_t result = appDel(&main);
        if (ref.selected == -1)
            return expectOutcome(result, -1, nullptr);
        ref.apps[static_cast<std::size_t>(ref.selected)] = RefApp{};
        ref.selected = -1;
        expectOutcome(result, 0, nullptr, 1);
    } else { /* select a live application, or none, as the list allows */
        std::vector<std::int32_t> live{-1};
        for (std::int32_t i = 0; i < size; ++i)
            if (ref.apps[static_cast<std::size_t>(i)].live)
                live.push_back(i);
        ref.selected = main.selectedApp = fuzzPick(fdp, live);
    }
}

void localeStep(vornicMain &main, RefApp &app, FuzzedDataProvider &fdp, int op)
{
    const std::string code = pickText(fdp);
    if (op == 4) { /* delete */
        std::int32_t index = liveLocale(app, code);
        expectOutcome(localeDel(&main, code.c_str()), index == -1 ? -1 : 0, nullptr);
        if (index != -1)
            app.locales[static_cast<std::size_t>(index)].reset();
        return;
    }
    RefLocale form{pickText(fdp), pickText(fdp), pickText(fdp)};
    if (fdp.ConsumeBool())
        form.description += "\nsecond line";
    const LocaleForm typed{form.code.c_str(), form.name.c_str(), form.description.c_str()};
    if (op == 5) { /* add, after the check, as the window does */
        std::int32_t result = localeValidate(&main, &typed);
        const char *message = expectLocaleCheck(app, form, -1);
        expectOutcome(result, message ? -1 : 0, message);
        if (message)
            return;
        expectOutcome(localeAdd(&main, &typed), 0, nullptr);
        std::size_t slot = 0;
        while (app.locales[slot])
            ++slot;
        if (slot + 1 == app.locales.size())
            app.locales.emplace_back();
        app.locales[slot] = form;
    } else { /* modify the entry found under code */
        std::int32_t index = liveLocale(app, code);
        std::int32_t result = localeMod(&main, code.c_str(), &typed);
        if (index == -1)
            return expectOutcome(result, -1, nullptr);
        const char *message = expectLocaleCheck(app, form, index);
        expectOutcome(result, message ? -1 : 0, message);
        if (!message)
            app.locales[static_cast<std::size_t>(index)] = form;
    }
}

void checkLocales(const vornicMain &main, const std::vector<vornicLocale> &locales, const RefApp &ref)
{
    FUZZ_CHECK(locales.size() == ref.locales.size() && !locales.empty());
    FUZZ_CHECK(locales.back().flags == 0);
    std::set<std::string> codes;
    for (std::size_t i = 0; i < locales.size(); ++i) {
        const vornicLocale &entry = locales[i];
        FUZZ_CHECK((entry.flags & ~(SLOT_NEXT | SLOT_USED)) == 0);
        FUZZ_CHECK(((entry.flags & SLOT_NEXT) != 0) == (i + 1 < locales.size()));
        FUZZ_CHECK(((entry.flags & SLOT_USED) != 0) == ref.locales[i].has_value());
        if (!ref.locales[i])
            continue;
        FUZZ_CHECK(entry.code == ref.locales[i]->code && entry.name == ref.locales[i]->name &&
                   entry.description == ref.locales[i]->description);
        FUZZ_CHECK(codes.insert(entry.code).second && localeIsValid(&main, entry.code.c_str()) != -1);
    }
}

void checkModel(const vornicMain &main, const Reference &ref)
{
    FUZZ_CHECK(main.apps.size() == ref.apps.size());
    FUZZ_CHECK(main.selectedApp == ref.selected);
    std::set<std::string> names;
    for (std::size_t i = 0; i < main.apps.size(); ++i) {
        const vornicApp &app = main.apps[i];
        FUZZ_CHECK(((app.flags & SLOT_NEXT) != 0) == (i + 1 < main.apps.size()));
        FUZZ_CHECK(((app.flags & SLOT_USED) != 0) == ref.apps[i].live && !(app.flags & SLOT_EDITING));
        if (!ref.apps[i].live)
            continue;
        FUZZ_CHECK(app.name == ref.apps[i].name && names.insert(app.name).second);
        FUZZ_CHECK(appGetID(&main, app.name.c_str()) == static_cast<std::int32_t>(i));
        FUZZ_CHECK(app.categories.size() == 1 && app.categories[0].flags == 0);
        checkLocales(main, app.locales, ref.apps[i]);
    }
    FUZZ_CHECK(main.appCount == static_cast<std::int32_t>(names.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    /* Every delete writes a line to standard output; keep the log readable. */
    FUZZ_CHECK(std::freopen("/dev/null", "w", stdout) != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider fdp(data, size);
    vornicMain main;
    vornicInitMain(&main);
    vornicInitApp(&main);
    main.catalogue = kCatalogue;
    main.localeCount = static_cast<std::int32_t>(kCatalogue.size());
    Reference ref;

    for (int step = 0; step < 256 && fdp.remaining_bytes() > 0; ++step) {
        int op = fdp.ConsumeIntegralInRange(0, 6);
        if (op >= 4 && ref.selected == -1)
            op = 3; /* the name and description window needs a selection */
        if (op < 4)
            appStep(main, ref, fdp, op);
        else
            localeStep(main, ref.apps[static_cast<std::size_t>(ref.selected)], fdp, op);
        checkModel(main, ref);
    }
    return 0;
}
