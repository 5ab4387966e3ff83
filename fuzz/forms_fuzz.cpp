/*
 * forms_fuzz.cpp - the general and runtime checks and stores on arbitrary
 * strings and numbers.
 *
 * Each input is a series of forms handed to the check and then, whatever
 * its verdict, to the store (a store takes what it is given).  A check must
 * show exactly the message an independent reading of the rules expects, one
 * message iff it fails, and leave the record alone; a store must keep exactly
 * the escaped strings and the numbers, set its mark and touch nothing else.
 * Paths are resolved in a scratch project directory holding awkward names
 * and a named pipe, which a check must not wait on.
 */
#include "common.h"

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

std::string projectDir;
std::vector<std::string> dictionary = {
    "", "Ann", "http://", "http://a.b", "HTTP://a.b", "https://a.b", " http://a.b",
    "http://a<b>.\"c\"&", "@.", "a.b@c", "a@b.c", "missing", "~", "..", "a/b", ".", "a..b", "/",
};
const char *const kFiles[] = {"icon.png", "bin", "with space", "q\"uote", "nl\nname", "\xff\xfe", "lt<gt>"};

std::string pick(FuzzedDataProvider &fdp)
{
    switch (fdp.ConsumeIntegralInRange(0, 2)) {
    case 0: return fdp.ConsumeRandomLengthString(4096);
    case 1: return fuzzPick(fdp, dictionary) + fdp.ConsumeRandomLengthString(64);
    default: return fuzzPick(fdp, dictionary);
    }
}

std::int32_t pickNumber(FuzzedDataProvider &fdp)
{
    static const std::int32_t edges[] = {-1, 0, 1, 255, 256, INT_MIN, INT_MAX};
    return fdp.ConsumeBool() ? fdp.PickValueInArray(edges) : fdp.ConsumeIntegral<std::int32_t>();
}

bool opens(const std::string &path)
{
    const std::string whole = path[0] == '/' ? path : projectDir + '/' + path;
    int fd = open(whole.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0)
        close(fd);
    return fd >= 0;
}

bool inRange(std::int32_t n) { return n >= 0 && n <= 255; }

/* The first failing rule's message, or null. */
const char *expectGeneral(const std::string &author, const std::string &home, const std::string &mail,
                          const std::string &icon, const std::int32_t (&version)[4])
{
    if (author.empty())
        return "You must specify the author!";
    if (!home.empty() && home.compare(0, 7, "http://") != 0)
        return "If you specify a home page, it should begin with \302\273http://\302\253";
    if (!home.empty() && home.find('.') == std::string::npos)
        return "A home page must have a TLD...";
    std::size_t at = mail.find('@');
    if (!mail.empty() && (at == std::string::npos || mail.find('.', at + 1) == std::string::npos))
        return "If you enter a mail address, it must be valid!";
    if (!icon.empty() && !opens(icon))
        return "Icon file does not exist!";
    for (std::int32_t part : version)
        if (!inRange(part))
            return "Version numbers must be integers between 0 and 255!";
    return nullptr;
}

const char *expectRuntime(const std::string &id, const std::string &appdata, const std::string &binary)
{
    if (id.empty())
        return "You must specify a unique ID!";
    if (binary.empty())
        return "You must specify the application binary!";
    if (!opens(binary))
        return "Application binary does not exist!";
    if (appdata.find_first_of("/~") != std::string::npos || appdata.find("..") != std::string::npos)
        return "Appdata directory must be a name, not a path!";
    return nullptr;
}

auto generalPart(const vornicApp &a)
{
    return std::make_tuple(a.author, a.homePage, a.email, a.icon, a.verMajor, a.verMinor, a.verRelease, a.verBuild);
}

auto runtimePart(const vornicApp &a)
{
    return std::make_tuple(a.uniqueId, a.appdataDir, a.startDir, a.binary, a.arguments, a.cpuFreq, a.x11Mode,
                           a.multitasking, a.inputFile);
}

auto restPart(const vornicApp &a)
{
    return std::make_tuple(a.name, a.categories.size(), a.locales.size(), a.catCount);
}

void checkVerdict(std::int32_t result, const char *expected)
{
    const GuiCalls calls = fuzzTakeGuiCalls();
    if (calls.messages.size() != (expected ? 1u : 0u) || (expected && calls.messages[0] != expected))
        std::fprintf(stderr, "expected \"%s\", shown \"%s\" and %zu more\n", expected ? expected : "",
                     calls.messages.empty() ? "" : calls.messages[0].c_str(),
                     calls.messages.empty() ? 0 : calls.messages.size() - 1);
    FUZZ_CHECK(result == (expected ? -1 : 0) && calls.updates == 0);
    FUZZ_CHECK(calls.messages.size() == (expected ? 1u : 0u));
    FUZZ_CHECK(!expected || calls.messages[0] == expected);
}

/* A check only reads the record. */
void checkUntouched(const vornicApp &app, const vornicApp &before)
{
    FUZZ_CHECK(generalPart(app) == generalPart(before) && runtimePart(app) == runtimePart(before));
    FUZZ_CHECK(restPart(app) == restPart(before) && app.flags == before.flags);
}

/* A stored string is the typed text escaped: same length, no '"', '<', '>'. */
void checkStored(const vornicString &stored, const std::string &typed)
{
    FUZZ_CHECK(stored && stored->size() == typed.size());
    FUZZ_CHECK(stored->find_first_of("\"<>") == std::string::npos);
    FUZZ_CHECK(*stored == fuzzEscaped(typed));
}

void fuzzGeneral(vornicMain &main, vornicApp &app, FuzzedDataProvider &fdp)
{
    /* What the model is handed ends at the first NUL, as a widget's text would. */
    const std::string author = pick(fdp).c_str(), home = pick(fdp).c_str(), mail = pick(fdp).c_str(),
                      icon = pick(fdp).c_str();
    const std::int32_t version[4] = {pickNumber(fdp), pickNumber(fdp), pickNumber(fdp), pickNumber(fdp)};
    const GeneralForm form{author.c_str(), home.c_str(), mail.c_str(), icon.c_str(),
                           version[0],     version[1],   version[2],   version[3]};
    const vornicApp before = app;

    checkVerdict(generalValidate(&main, &form), expectGeneral(author, home, mail, icon, version));
    checkUntouched(app, before);

    checkVerdict(generalSet(&main, &form), nullptr);
    checkStored(app.author, author);
    checkStored(app.homePage, home);
    checkStored(app.email, mail);
    checkStored(app.icon, icon);
    FUZZ_CHECK(app.verMajor == version[0] && app.verMinor == version[1] && app.verRelease == version[2] &&
               app.verBuild == version[3]);
    FUZZ_CHECK(app.flags == (before.flags | APP_GENERAL_DONE));
    FUZZ_CHECK(runtimePart(app) == runtimePart(before) && restPart(app) == restPart(before));
}

void fuzzRuntime(vornicMain &main, vornicApp &app, FuzzedDataProvider &fdp)
{
    const std::string id = pick(fdp).c_str(), appdata = pick(fdp).c_str(), start = pick(fdp).c_str(),
                      binary = pick(fdp).c_str(), args = pick(fdp).c_str();
    const RuntimeForm form{id.c_str(),      appdata.c_str(),  start.c_str(),    binary.c_str(),  args.c_str(),
                           pickNumber(fdp), pickNumber(fdp), pickNumber(fdp), pickNumber(fdp)};
    const vornicApp before = app;

    checkVerdict(runtimeValidate(&main, &form), expectRuntime(id, appdata, binary));
    checkUntouched(app, before);

    checkVerdict(runtimeSet(&main, &form), nullptr);
    checkStored(app.uniqueId, id);
    checkStored(app.appdataDir, appdata);
    checkStored(app.startDir, start);
    checkStored(app.binary, binary);
    checkStored(app.arguments, args);
    FUZZ_CHECK(app.cpuFreq == form.cpuFreq && app.x11Mode == form.x11Mode &&
               app.multitasking == form.multitasking && app.inputFile == form.inputFile);
    FUZZ_CHECK(app.flags == (before.flags | APP_RUNTIME_DONE));
    FUZZ_CHECK(generalPart(app) == generalPart(before) && restPart(app) == restPart(before));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    projectDir = fuzzScratchDir();
    FUZZ_CHECK(mkdir((projectDir + "/dir").c_str(), 0755) == 0);
    FUZZ_CHECK(mkfifo((projectDir + "/fifo").c_str(), 0644) == 0);
    dictionary.insert(dictionary.end(), {"dir", "fifo"});
    for (const char *name : kFiles) {
        std::FILE *file = std::fopen((projectDir + '/' + name).c_str(), "w");
        FUZZ_CHECK(file && std::fclose(file) == 0);
        dictionary.push_back(name);
        dictionary.push_back(projectDir + '/' + name);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider fdp(data, size);
    vornicMain main;
    main.projectDir = projectDir;
    vornicInitApp(&main);
    main.selectedApp = appAdd(&main, "app");
    FUZZ_CHECK(main.selectedApp == 0);
    fuzzTakeGuiCalls();

    for (int round = 0; round < 16 && fdp.remaining_bytes() > 0; ++round) {
        if (fdp.ConsumeBool())
            fuzzGeneral(main, main.apps[0], fdp);
        else
            fuzzRuntime(main, main.apps[0], fdp);
    }
    return 0;
}
