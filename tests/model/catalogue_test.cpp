/*
 * catalogue_test.cpp - reading the file "locales" from the working directory
 * and looking codes up in it.
 */
#include "model_test.h"

using ::testing::ExitedWithCode;
using namespace std::string_literals;

namespace {

/* Each test runs inside a directory of its own, where it writes "locales". */
class CatalogueTest : public ModelTest {
protected:
    TempDir dir;
    WorkingDir inside{dir.path()};

    const std::vector<std::string> &load(const std::string &content)
    {
        dir.write("locales", content);
        vornicLoadLocales(&m);
        return m.catalogue;
    }
};

struct FileCase {
    std::string content;
    std::vector<std::string> codes;
};

const FileCase kFiles[] = {
    {"en_US\nde_DE\n", {"en_US", "de_DE"}},
    {"en_US\nde_DE", {"en_US", "de_DE"}},
    {"", {}},
    {"\n", {""}},
    {"en_US\n\nfr_FR\n", {"en_US", "", "fr_FR"}},
    {"en_US\r\n", {"en_US\r"}},
    {" en_US \n", {" en_US "}},
    {"abcdefghijklmnopqr\nx", {"abcdefghijklmnopqr", "x"}},
    {"abcdefghijklmnopqr", {"abcdefghijklmnopqr"}},
    /* Longer lines are skipped whole; no piece of them becomes a code. */
    {"abcdefghijklmnopqrs\nen_US\n", {"en_US"}},
    {std::string(45, 'z') + "en_US\nde_DE\n", {"de_DE"}},
    {"de_DE\n" + std::string(19, 'z'), {"de_DE"}},
    {"en_US\0x\nen_US\n"s, {"en_US\0x"s, "en_US"}},
};

} // namespace

TEST_F(CatalogueTest, OneCodePerLineExactlyAsWritten)
{
    for (const FileCase &c : kFiles) {
        SCOPED_TRACE(::testing::PrintToString(c.content));
        EXPECT_EQ(load(c.content), c.codes);
        EXPECT_EQ(m.localeCount, static_cast<std::int32_t>(c.codes.size()));
    }
    EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(CatalogueTest, LookUpIsExactAndFindsTheFirst)
{
    EXPECT_EQ(localeIsValid(&m, ""), -1);
    load("en_US\nde_DE\nen_US\nen_US\0x\n"s);
    const std::pair<const char *, std::int32_t> cases[] = {
        {"en_US", 0}, {"de_DE", 1}, {"EN_US", -1}, {"en_us", -1}, {"en_U", -1}, {"en_US ", -1}, {"", -1}};
    for (const auto &[code, index] : cases)
        EXPECT_EQ(localeIsValid(&m, code), index) << code;
}

TEST_F(CatalogueTest, MissingFileEndsTheProgram)
{
    EXPECT_EXIT(
        {
            recordingEcho(true);
            vornicLoadLocales(&m);
        },
        ExitedWithCode(254),
                onlyMessage("Failed to open locales file! Make sure it is in the same directory as "
                            "this application and try again."));
}

TEST_F(CatalogueTest, OutOfMemoryWhileReadingExitsWithTwo)
{
    dir.write("locales", "en_US\nde_DE\nfr_FR\nabcdefghijklmnopqr\n");
    vornicMain dryRun = m;
    long count = allocationsOf([&] { vornicLoadLocales(&dryRun); });
    ASSERT_GT(count, 0);
    for (long n = 1; n <= count; ++n)
        EXPECT_EXIT(echoedWithFault(n, [&] { vornicLoadLocales(&m); }), ExitedWithCode(2),
                    onlyMessage("Out of RAM!"))
            << "allocation " << n;
}
