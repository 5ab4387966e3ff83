/*
 * model_test.cpp - the shared fixture and helpers of the model tests.
 */
#include "model_test.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

void ModelTest::SetUp()
{
    vornicInitMain(&m);
    vornicInitApp(&m);
    recordingClear();
}

std::int32_t ModelTest::addSelected(const char *name)
{
    m.selectedApp = appAdd(&m, name);
    recordingClear();
    return m.selectedApp;
}

namespace {

void put(std::ostringstream &out, const char *label, const vornicString &text)
{
    out << label << '=' << (text ? '"' + *text + '"' : "<absent>") << '\n';
}

} // namespace

std::string describe(const vornicApp &app)
{
    std::ostringstream out;
    put(out, "author", app.author);
    put(out, "homePage", app.homePage);
    put(out, "email", app.email);
    out << "name=\"" << app.name << "\"\n";
    put(out, "icon", app.icon);
    put(out, "uniqueId", app.uniqueId);
    put(out, "appdataDir", app.appdataDir);
    put(out, "startDir", app.startDir);
    put(out, "binary", app.binary);
    put(out, "arguments", app.arguments);
    for (const vornicCat &cat : app.categories) {
        out << "category flags=" << cat.flags << " value=" << cat.value;
        put(out, " text", cat.text);
    }
    for (const vornicLocale &entry : app.locales) {
        out << "locale flags=" << entry.flags;
        if (entry.flags & SLOT_USED)
            out << " \"" << entry.code << "\" \"" << entry.name << "\" \"" << entry.description << '"';
        out << '\n';
    }
    out << "cpu=" << app.cpuFreq << " x11=" << app.x11Mode << " multitasking=" << app.multitasking
        << " input=" << app.inputFile << " catCount=" << app.catCount << " version=" << app.verMajor
        << '.' << app.verMinor << '.' << app.verRelease << '.' << app.verBuild << std::hex
        << " flags=0x" << app.flags << '\n';
    return out.str();
}

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "vornic-model.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string &name, const std::string &content) const
{
    fs::path file = fs::path(path_) / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
}

WorkingDir::WorkingDir(const std::string &dir) : previous_(fs::current_path().string())
{
    fs::current_path(dir);
}

WorkingDir::~WorkingDir()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

std::string onlyMessage(const std::string &text)
{
    std::string pattern = "^message: ";
    for (char c : text) {
        if (std::strchr("\\^$.|?*+()[]{}", c))
            pattern += '\\';
        pattern += c;
    }
    return pattern + "\n$";
}
