/*
 * hostile_tests.cpp - the model against input no user would type: catalogues
 * of ten mebibytes of random bytes or a hundred thousand lines, texts of a
 * hundred thousand characters, and file names with blanks, quotes, line feeds
 * and bytes that are not UTF-8.  Each must give the usual message or result,
 * quickly, and a refused operation must leave the record as it was.
 */
#include "model_test.h"

#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

namespace {

constexpr std::size_t kHuge = 100000;

class HostileTest : public ModelTest {
protected:
    TempDir dir;
    std::mt19937 random{20240601}; /* fixed: a failure must repeat */

    /* A line of random bytes other than the line feed; NUL and CR included. */
    std::string randomLine(std::size_t length)
    {
        std::uniform_int_distribution<int> byte(0, 254);
        std::string line(length, '\0');
        for (char &c : line) {
            int b = byte(random);
            c = static_cast<char>(b == '\n' ? 255 : b);
        }
        return line;
    }

    /* Writes lines as a "locales" file and loads it; gives the codes the
     * lines must become: every line of at most 18 bytes, in order. */
    std::vector<std::string> loadLines(const std::vector<std::string> &lines, bool finalFeed)
    {
        std::string content;
        std::vector<std::string> codes;
        for (const std::string &line : lines) {
            content += line + '\n';
            if (line.size() <= 18)
                codes.push_back(line);
        }
        if (!finalFeed && !content.empty())
            content.pop_back();
        dir.write("locales", content);
        WorkingDir inside(dir.path());
        vornicLoadLocales(&m);
        return codes;
    }
};

} // namespace

TEST_F(HostileTest, TenMebibytesOfRandomLinesGiveExactlyTheShortOnes)
{
    std::uniform_int_distribution<std::size_t> shortLength(0, 24);
    std::vector<std::string> lines;
    std::size_t total = 0;
    for (int i = 0; total < (10u << 20); ++i) {
        /* Mostly short lines around the 18-byte limit, now and then a long
         * one, up to a mebibyte. */
        std::size_t length = i % 1000 == 999 ? (std::size_t{1} << (i / 1000 % 21)) : shortLength(random);
        lines.push_back(randomLine(length));
        total += length + 1;
    }
    EXPECT_EQ(m.catalogue, loadLines(lines, false));
    EXPECT_EQ(m.localeCount, static_cast<std::int32_t>(m.catalogue.size()));
    EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(HostileTest, HundredThousandLinesAreAllKeptAndSearchable)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kHuge; ++i)
        lines.push_back(i % 7 == 0 ? "\0nul"s + std::to_string(i) : "xx_" + std::to_string(i));
    lines.push_back("xx_1"); /* a duplicate: the first one is found */
    const std::vector<std::string> codes = loadLines(lines, true);
    ASSERT_EQ(m.catalogue.size(), kHuge + 1);
    EXPECT_EQ(m.catalogue, codes);
    EXPECT_EQ(localeIsValid(&m, "xx_1"), 1);
    EXPECT_EQ(localeIsValid(&m, "xx_99999"), 99999);
    EXPECT_EQ(localeIsValid(&m, "nul7"), -1);  /* the NUL stays part of the code */
    EXPECT_EQ(localeIsValid(&m, ""), -1);      /* ...so the code is no empty one */
}

TEST_F(HostileTest, HundredThousandCharacterTextsThroughEveryOperation)
{
    const std::string name(kHuge, 'n'), other = name + 'o';
    const std::string text = std::string(kHuge / 2, '"') + std::string(kHuge / 2, '<') + ">";
    m.projectDir = dir.path();
    dir.write("bin");
    m.catalogue = {"en_US"};

    /* The table: long names are added, refused as duplicates and renamed. */
    ASSERT_EQ(addSelected(name.c_str()), 0);
    EXPECT_EQ(appAdd(&m, name.c_str()), -1);
    EXPECT_EQ(appAdd(&m, other.c_str()), 1);
    EXPECT_EQ(appMod(&m, other.c_str(), 0), -1);
    EXPECT_EQ(appMod(&m, (name + 'x').c_str(), 0), 0);
    EXPECT_EQ(appGetID(&m, (name + 'x').c_str()), 0);
    EXPECT_EQ(recordedMessages(), Messages(2, "It does alredy exist a app with that name!"));

    /* Refused checks: one message each and the record untouched. */
    const std::string untouched = describe(selected());
    const std::string page = "http://" + text + ".org", mail = text + "@" + text + ".x";
    const std::string longPath = text + "/" + name; /* longer than any path the system opens */
    const std::string appdata = name + "..";
    GeneralForm longIcon{text.c_str(), page.c_str(), mail.c_str(), longPath.c_str(), 1, 0, 0, 0};
    RuntimeForm longBinary{text.c_str(), "", "", longPath.c_str(), "", 0, 0, 0, 0};
    RuntimeForm longAppdata{text.c_str(), appdata.c_str(), "", "bin", "", 0, 0, 0, 0};
    LocaleForm longCode{name.c_str(), text.c_str(), text.c_str()};
    const std::pair<const char *, std::function<std::int32_t()>> refused[] = {
        {"Icon file does not exist!", [&] { return generalValidate(&m, &longIcon); }},
        {"Application binary does not exist!", [&] { return runtimeValidate(&m, &longBinary); }},
        {"Appdata directory must be a name, not a path!", [&] { return runtimeValidate(&m, &longAppdata); }},
        {"Entered locale does not exist!", [&] { return localeValidate(&m, &longCode); }},
    };
    for (const auto &[message, check] : refused) {
        recordingClear();
        EXPECT_EQ(check(), -1) << message;
        EXPECT_EQ(recordedMessages(), Messages{message});
    }
    EXPECT_EQ(describe(selected()), untouched);
    recordingClear();

    /* Accepted: stored at full length with the three characters replaced. */
    const std::string escaped = std::string(kHuge / 2, '\'') + std::string(kHuge / 2, '[') + "]";
    GeneralForm general{text.c_str(), page.c_str(), mail.c_str(), "", 1, 0, 0, 0};
    RuntimeForm runtime{text.c_str(), name.c_str(), text.c_str(), "bin", text.c_str(), 0, 0, 0, 0};
    ASSERT_EQ(generalValidate(&m, &general), 0);
    ASSERT_EQ(generalSet(&m, &general), 0);
    ASSERT_EQ(runtimeValidate(&m, &runtime), 0);
    ASSERT_EQ(runtimeSet(&m, &runtime), 0);
    EXPECT_EQ(selected().author, escaped);
    EXPECT_EQ(selected().homePage, "http://" + escaped + ".org");
    EXPECT_EQ(selected().arguments, escaped);

    LocaleForm entry{"en_US", text.c_str(), name.c_str()};
    ASSERT_EQ(localeValidate(&m, &entry), 0);
    ASSERT_EQ(localeAdd(&m, &entry), 0);
    LocaleForm changed{"en_US", name.c_str(), text.c_str()};
    ASSERT_EQ(localeMod(&m, "en_US", &changed), 0);
    EXPECT_EQ(selected().locales[0].name, name); /* localised texts are kept as typed */
    EXPECT_EQ(selected().locales[0].description, text);
    EXPECT_TRUE(recordedMessages().empty());
}

/* Icon and binary paths are opened exactly as typed, inside a project
 * directory whose own name is awkward too; stored, they are escaped. */
TEST_F(HostileTest, AwkwardFileNamesAreFoundAndStoredEscaped)
{
    const std::string project = "pro ject \"dir\"\n\xff";
    const std::string names[] = {"with space.png", "quo\"te.png", "new\nline", "\xff\xfe\x80", "<angle>",
                                 "tab\tand 'apostrophe'", "back\\slash", " leading", "trailing "};
    for (const std::string &name : names)
        dir.write(project + "/" + name);
    m.projectDir = dir.path() + "/" + project;
    addSelected("app");

    for (const std::string &name : names) {
        SCOPED_TRACE(::testing::PrintToString(name));
        for (const std::string &path : {name, *m.projectDir + "/" + name}) {
            GeneralForm general{"Ann", "", "", path.c_str(), 1, 0, 0, 0};
            RuntimeForm runtime{"id", "", "", path.c_str(), "", 0, 0, 0, 0};
            EXPECT_EQ(generalValidate(&m, &general), 0);
            EXPECT_EQ(runtimeValidate(&m, &runtime), 0);
            generalSet(&m, &general);
            runtimeSet(&m, &runtime);
            std::string stored = path;
            for (char &c : stored)
                c = c == '"' ? '\'' : c == '<' ? '[' : c == '>' ? ']' : c;
            EXPECT_EQ(selected().icon, stored);
            EXPECT_EQ(selected().binary, stored);
        }
    }
    /* A named pipe opens for reading at once, with no writer: the check must
     * not wait for one (a hang ends the whole test program here). */
    ASSERT_EQ(mkfifo((*m.projectDir + "/pipe").c_str(), 0644), 0);
    GeneralForm pipeIcon{"Ann", "", "", "pipe", 1, 0, 0, 0};
    RuntimeForm pipeBinary{"id", "", "", "pipe", "", 0, 0, 0, 0};
    alarm(10);
    EXPECT_EQ(generalValidate(&m, &pipeIcon), 0);
    EXPECT_EQ(runtimeValidate(&m, &pipeBinary), 0);
    alarm(0);

    /* A name the escaping produced is another file: it is not there. */
    recordingClear();
    GeneralForm escapedName{"Ann", "", "", "quo'te.png", 1, 0, 0, 0};
    EXPECT_EQ(generalValidate(&m, &escapedName), -1);
    EXPECT_EQ(recordedMessages(), Messages{"Icon file does not exist!"});
}
