/*
 * utils_test.cpp - the path and string utilities.
 */
#include "model_test.h"

#include <sys/stat.h>
#include <unistd.h>

TEST(Utilities, PathIsRelativeLooksOnlyAtTheFirstByte)
{
    const std::pair<const char *, std::int32_t> cases[] = {
        {"/abs", 0}, {"/", 0}, {"rel", 1}, {"./x", 1}, {"~/x", 1}, {" /x", 1}, {"", 1}};
    for (const auto &[path, relative] : cases)
        EXPECT_EQ(vornicPathIsRelative(path), relative) << '"' << path << '"';
}

TEST(Utilities, ArgIsPathFindsSlashDoubleDotOrTilde)
{
    const std::pair<const char *, std::int32_t> cases[] = {
        {"", 0},   {"name", 0}, {".", 0},   {"a.b.c", 0}, {".hidden", 0}, {"a..b", 1},
        {"..", 1}, {"...", 1},  {"a/b", 1}, {"/", 1},     {"~", 1},       {"name~", 1}};
    for (const auto &[text, isPath] : cases)
        EXPECT_EQ(vornicArgIsPath(text), isPath) << '"' << text << '"';
}

TEST(Utilities, EscapeReplacesOnlyQuoteAndAngleBrackets)
{
    std::string all;
    for (int byte = 1; byte <= 255; ++byte)
        all += static_cast<char>(byte);
    std::string escaped = all;
    vornicEscapeXMLData(escaped.data());
    ASSERT_EQ(escaped.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        char expected = all[i] == '"' ? '\'' : all[i] == '<' ? '[' : all[i] == '>' ? ']' : all[i];
        EXPECT_EQ(escaped[i], expected) << "byte " << i + 1;
    }

    std::string utf8 = "Gr\xc3\xbc\xc3\x9f" "e \xc2\xbb<a href=\"x\">&amp;'\xc2\xab \xe2\x82\xac";
    vornicEscapeXMLData(utf8.data());
    EXPECT_EQ(utf8, "Gr\xc3\xbc\xc3\x9f" "e \xc2\xbb[a href='x']&amp;'\xc2\xab \xe2\x82\xac");
}

TEST(Utilities, FileExistsMeansOpensForReading)
{
    TempDir dir;
    std::string file = dir.write("file", "");
    std::string loop = dir.path() + "/loop";
    ASSERT_EQ(symlink(loop.c_str(), loop.c_str()), 0);
    EXPECT_EQ(vornicFileExists(file.c_str()), 1);
    EXPECT_EQ(vornicFileExists(dir.path().c_str()), 1);
    EXPECT_EQ(vornicFileExists((dir.path() + "/missing").c_str()), 0);
    EXPECT_EQ(vornicFileExists(loop.c_str()), 0); /* there, but cannot be opened */
}

TEST(Utilities, FileExistsFailsWithoutReadPermission)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens every file";
    TempDir dir;
    std::string file = dir.write("secret");
    ASSERT_EQ(chmod(file.c_str(), 0200), 0);
    EXPECT_EQ(vornicFileExists(file.c_str()), 0);
}
