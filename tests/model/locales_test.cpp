/*
 * locales_test.cpp - the localised names and descriptions of the selected
 * application.
 */
#include "model_test.h"

#include <set>

using ::testing::ExitedWithCode;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace {

const char kNoCode[] = "You must enter a locale!";
const char kUnknown[] = "Entered locale does not exist!";
const char kDuplicate[] = "It does alredy exist a entry for that locale!";
const char kNoName[] = "You must enter a name for the application!";
const char kNoDescription[] = "You must enter a description for the application!";
const char kDeleted[] = "Free() did okay...\n";
/* Long enough that copying them has to allocate. */
const char kLongCode[] = "abcdefghijklmnopqr";
const char kLongText[] = "a name or a description too long for a small-string buffer";

/* A selected application and a catalogue; after every test the locale array
 * must still keep its shape. */
class LocaleTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        m.catalogue = {"en_US", "de_DE", "fr_FR", "", kLongCode};
        addSelected("app");
    }

    void TearDown() override
    {
        ModelTest::TearDown();
        const std::vector<vornicLocale> &locales = selected().locales;
        std::set<std::string> codes;
        for (std::size_t i = 0; i < locales.size(); ++i) {
            const vornicLocale &entry = locales[i];
            EXPECT_EQ(bool(entry.flags & SLOT_NEXT), i + 1 < locales.size()) << "entry " << i;
            EXPECT_EQ(entry.flags & ~(SLOT_NEXT | SLOT_USED), 0u) << "entry " << i;
            if (entry.flags & SLOT_USED) {
                EXPECT_TRUE(codes.insert(entry.code).second) << entry.code;
                EXPECT_NE(localeIsValid(&m, entry.code.c_str()), -1);
                EXPECT_FALSE(entry.code.empty() || entry.name.empty() || entry.description.empty());
            }
        }
        EXPECT_FALSE(locales.back().flags & SLOT_USED) << "the last entry must stay free";
    }

    std::int32_t add(const char *code, const char *name = "Name", const char *description = "Text")
    {
        LocaleForm form{code, name, description};
        return localeValidate(&m, &form) == 0 ? localeAdd(&m, &form) : -1;
    }

    std::vector<std::uint32_t> flags()
    {
        std::vector<std::uint32_t> all;
        for (const vornicLocale &entry : selected().locales)
            all.push_back(entry.flags);
        return all;
    }
};

} // namespace

TEST_F(LocaleTest, ChecksRunInOrderAndShowOneMessage)
{
    ASSERT_EQ(add("de_DE"), 0);
    const std::string before = describe(selected());
    const struct {
        LocaleForm form;
        const char *message;
    } cases[] = {
        {{"", "", ""}, kNoCode},
        {{"EN_US", "n", "d"}, kUnknown},
        {{"en_US\r", "n", "d"}, kUnknown},
        {{"de_DE", "", ""}, kDuplicate},
        {{"en_US", "", ""}, kNoName},
        {{"en_US", "n", ""}, kNoDescription},
        {{"en_US", " ", "\n"}, nullptr},
    };
    for (const auto &c : cases) {
        recordingClear();
        EXPECT_EQ(localeValidate(&m, &c.form), c.message ? -1 : 0) << c.form.code;
        EXPECT_EQ(recordedMessages(), c.message ? Messages{c.message} : Messages{}) << c.form.code;
    }
    EXPECT_EQ(describe(selected()), before);
}

TEST_F(LocaleTest, AddTakesTheLowestFreeEntryAndKeepsOneFreeAtTheEnd)
{
    EXPECT_EQ(add("en_US"), 0);
    EXPECT_EQ(flags(), (std::vector<std::uint32_t>{SLOT_USED | SLOT_NEXT, 0}));
    ASSERT_EQ(add("de_DE"), 0);
    ASSERT_EQ(add("fr_FR"), 0);
    EXPECT_EQ(selected().locales.size(), 4u);

    ASSERT_EQ(localeDel(&m, "de_DE"), 0);
    ASSERT_EQ(localeDel(&m, "en_US"), 0);
    EXPECT_EQ(localeExists(&m, "en_US"), -1);
    EXPECT_EQ(add(kLongCode), 0);
    EXPECT_EQ(localeExists(&m, kLongCode), 0);
    EXPECT_EQ(add("en_US"), 0);
    EXPECT_EQ(localeExists(&m, "en_US"), 1);
    EXPECT_EQ(localeExists(&m, "fr_FR"), 2);
    EXPECT_EQ(selected().locales.size(), 4u);
    EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(LocaleTest, ModifyKeepsOrChangesTheCode)
{
    ASSERT_EQ(add("en_US"), 0);
    ASSERT_EQ(add("de_DE"), 0);
    LocaleForm rename{"en_US", "New", "Line 1\nLine 2"};
    EXPECT_EQ(localeMod(&m, "en_US", &rename), 0);
    EXPECT_EQ(selected().locales[0].name, "New");
    EXPECT_EQ(selected().locales[0].description, "Line 1\nLine 2");

    LocaleForm recode{"fr_FR", "Nom", "Texte"};
    EXPECT_EQ(localeMod(&m, "en_US", &recode), 0);
    EXPECT_EQ(localeExists(&m, "en_US"), -1);
    EXPECT_EQ(localeExists(&m, "fr_FR"), 0);
    EXPECT_EQ(selected().locales[0].name, "Nom");
    EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(LocaleTest, RefusedModifyLeavesEntriesUsable)
{
    ASSERT_EQ(add("en_US", "One"), 0);
    ASSERT_EQ(add("de_DE", "Two"), 0);
    const std::string before = describe(selected());
    LocaleForm toOther{"de_DE", "X", "Y"};
    LocaleForm noDescription{"en_US", "X", ""};
    EXPECT_EQ(localeMod(&m, "en_US", &toOther), -1);
    EXPECT_EQ(localeMod(&m, "en_US", &noDescription), -1);
    EXPECT_EQ(localeMod(&m, "fr_FR", &toOther), -1);
    EXPECT_EQ(recordedMessages(), (Messages{kDuplicate, kNoDescription}));
    EXPECT_EQ(describe(selected()), before);
    EXPECT_EQ(localeExists(&m, "en_US"), 0);
    EXPECT_EQ(localeExists(&m, "de_DE"), 1);
    EXPECT_EQ(localeDel(&m, "en_US"), 0);
}

TEST_F(LocaleTest, DeletePrintsOneLinePerEntryDeleted)
{
    ASSERT_EQ(add("en_US"), 0);
    ASSERT_EQ(add("de_DE"), 0);
    CaptureStdout();
    EXPECT_EQ(localeDel(&m, "fr_FR"), -1);
    EXPECT_EQ(GetCapturedStdout(), "");
    CaptureStdout();
    EXPECT_EQ(localeDel(&m, "en_US"), 0);
    EXPECT_EQ(localeDel(&m, "en_US"), -1);
    EXPECT_EQ(localeDel(&m, "de_DE"), 0);
    EXPECT_EQ(GetCapturedStdout(), std::string(kDeleted) + kDeleted);
    EXPECT_EQ(flags(), (std::vector<std::uint32_t>{SLOT_NEXT, SLOT_NEXT, 0}));
    EXPECT_TRUE(recordedMessages().empty());
    EXPECT_EQ(add("en_US"), 0);
    EXPECT_EQ(localeExists(&m, "en_US"), 0);
}

TEST_F(LocaleTest, OutOfMemoryWhileGrowingExits)
{
    LocaleForm form{"en_US", "Name", "Text"};
    EXPECT_EXIT(echoedWithFault(1, [&] { localeAdd(&m, &form); }), ExitedWithCode(255),
                onlyMessage("Out of RAM"));
}

/* The array grows first (allocation 1, above); a copy failing after it frees
 * the entry again and the array keeps its new length. */
TEST_F(LocaleTest, AddThatCannotCopyReleasesTheEntry)
{
    LocaleForm form{kLongCode, kLongText, kLongText};
    int faults = 0;
    std::int32_t result = sweepAllocationFaults(
        2, faults,
        [&](long n) {
            selected().locales = std::vector<vornicLocale>(1); /* capacity 1: it must grow */
            armFresh(n);
            return localeAdd(&m, &form);
        },
        [&](std::int32_t failed) {
            EXPECT_EQ(failed, -1);
            EXPECT_EQ(recordedMessages(), Messages{"Out of RAM!"});
            EXPECT_EQ(flags(), (std::vector<std::uint32_t>{SLOT_NEXT, 0}));
            EXPECT_EQ(localeExists(&m, kLongCode), -1);
        });
    EXPECT_GE(faults, 3);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(localeExists(&m, kLongCode), 0);
}

TEST_F(LocaleTest, ModifyThatCannotCopyKeepsTheOldEntry)
{
    ASSERT_EQ(add("en_US", kLongText, kLongText), 0);
    const std::string before = describe(selected());
    LocaleForm form{kLongCode, kLongText, kLongText};
    int faults = 0;
    std::int32_t result = sweepAllocationFaults(
        1, faults,
        [&](long n) {
            armFresh(n);
            return localeMod(&m, "en_US", &form);
        },
        [&](std::int32_t failed) {
            EXPECT_EQ(failed, -1);
            EXPECT_EQ(recordedMessages(), Messages{"Out of RAM!"});
            EXPECT_EQ(describe(selected()), before);
            EXPECT_EQ(localeExists(&m, "en_US"), 0);
        });
    EXPECT_GE(faults, 3);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(localeExists(&m, kLongCode), 0);
}
