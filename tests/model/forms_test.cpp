/*
 * forms_test.cpp - checking and storing general information and runtime
 * settings, and stores that run out of memory.
 */
#include "model_test.h"

#include <sys/stat.h>

namespace {

/* A selected application under a project directory holding the files that
 * icon and binary checks look for. */
class FormsTest : public ModelTest {
protected:
    TempDir dir;

    void SetUp() override
    {
        ModelTest::SetUp();
        dir.write("icon.png");
        dir.write("sub/.keep");
        dir.write("~/tool");
        dir.write("a\"b.png");
        chmod(dir.write("bin").c_str(), 0644); /* no execute permission */
        m.projectDir = dir.path();
        addSelected("app");
    }
};

template <typename Form>
struct Check {
    const char *message; /* null: the form passes */
    void (*change)(Form &);
};
using G = GeneralForm &;
using R = RuntimeForm &;

const char kNoAuthor[] = "You must specify the author!";
const char kPrefix[] = "If you specify a home page, it should begin with \xc2\xbbhttp://\xc2\xab";
const char kTld[] = "A home page must have a TLD...";
const char kMail[] = "If you enter a mail address, it must be valid!";
const char kIcon[] = "Icon file does not exist!";
const char kVersion[] = "Version numbers must be integers between 0 and 255!";
const char kNoId[] = "You must specify a unique ID!";
const char kNoBinary[] = "You must specify the application binary!";
const char kBinary[] = "Application binary does not exist!";
const char kAppdata[] = "Appdata directory must be a name, not a path!";

GeneralForm validGeneral()
{
    return GeneralForm{"Ann", "http://example.org", "ann@example.org", "icon.png", 1, 2, 3, 4};
}

RuntimeForm validRuntime()
{
    return RuntimeForm{"id", "data", "", "bin", "", 0, 2, 1, 0};
}

/* Each case changes a valid form; where it changes more than one field, the
 * later faults must stay unreported. */
const Check<GeneralForm> kGeneralChecks[] = {
    {nullptr, [](G) {}},
    {kNoAuthor, [](G g) { g.author = ""; g.homePage = "ftp://x"; }},
    {kPrefix, [](G g) { g.homePage = "HTTP://example.org"; }},
    {kPrefix, [](G g) { g.homePage = "https://example.org"; }},
    {kPrefix, [](G g) { g.homePage = " http://example.org"; }},
    {kTld, [](G g) { g.homePage = "http://localhost"; g.email = "bad"; }},
    {nullptr, [](G g) { g.homePage = "http://."; }},
    {nullptr, [](G g) { g.homePage = "http://host/a.html"; }},
    {nullptr, [](G g) { g.homePage = ""; g.email = ""; g.icon = ""; }},
    {kMail, [](G g) { g.email = "first.last@host"; g.icon = "missing.png"; }},
    {kMail, [](G g) { g.email = "ann.example.org"; }},
    {kMail, [](G g) { g.homePage = ""; g.email = "@"; }},
    {nullptr, [](G g) { g.email = "@."; }},
    {kIcon, [](G g) { g.icon = "missing.png"; g.verMajor = 256; }},
    {kIcon, [](G g) { g.icon = "/nonexistent-vornic/icon.png"; }},
    {nullptr, [](G g) { g.icon = "~/tool"; }},
    {nullptr, [](G g) { g.icon = "sub"; }},
    {nullptr, [](G g) { g.icon = "a\"b.png"; }},
    {kVersion, [](G g) { g.verMajor = 256; }},
    {kVersion, [](G g) { g.verMinor = -1; }},
    {kVersion, [](G g) { g.verRelease = 256; }},
    {kVersion, [](G g) { g.verBuild = -1; }},
    {nullptr, [](G g) { g.verMajor = g.verMinor = 0; g.verRelease = g.verBuild = 255; }},
};

const Check<RuntimeForm> kRuntimeChecks[] = {
    {nullptr, [](R) {}},
    {kNoId, [](R r) { r.uniqueId = ""; r.binary = ""; }},
    {nullptr, [](R r) { r.uniqueId = " <\"odd\"> "; }},
    {kNoBinary, [](R r) { r.binary = ""; r.appdataDir = "a/b"; }},
    {kBinary, [](R r) { r.binary = "missing"; r.appdataDir = "a/b"; }},
    {kBinary, [](R r) { r.binary = "/nonexistent-vornic/bin"; }},
    {nullptr, [](R r) { r.binary = "sub"; }},
    {nullptr, [](R r) { r.binary = "~/tool"; }},
    {nullptr, [](R r) { r.binary = "./sub/../bin"; }},
    {nullptr, [](R r) { r.appdataDir = ""; }},
    {nullptr, [](R r) { r.appdataDir = "."; }},
    {nullptr, [](R r) { r.appdataDir = "my.app.data"; }},
    {kAppdata, [](R r) { r.appdataDir = "a..b"; }},
    {kAppdata, [](R r) { r.appdataDir = "sub/data"; }},
    {kAppdata, [](R r) { r.appdataDir = "~data"; }},
    {nullptr, [](R r) { r.startDir = "../../x"; r.arguments = "~/a/../b"; r.cpuFreq = 99; }},
};

template <typename Form, std::size_t N>
void expectChecks(vornicMain &m, const Check<Form> (&checks)[N], const Form &valid,
                  std::int32_t (*validate)(vornicMain *, const Form *))
{
    for (std::size_t i = 0; i < N; ++i) {
        Form form = valid;
        checks[i].change(form);
        recordingClear();
        EXPECT_EQ(validate(&m, &form), checks[i].message ? -1 : 0) << "case " << i;
        EXPECT_EQ(recordedMessages(), checks[i].message ? Messages{checks[i].message} : Messages{})
            << "case " << i;
    }
}

} // namespace

TEST_F(FormsTest, ChecksRunInOrderAndShowOneMessage)
{
    const std::string untouched = describe(selected());
    expectChecks(m, kGeneralChecks, validGeneral(), generalValidate);
    expectChecks(m, kRuntimeChecks, validRuntime(), runtimeValidate);
    EXPECT_EQ(describe(selected()), untouched);
}

TEST_F(FormsTest, RelativePathsFollowTheProjectDirectoryOrElseTheWorkingDirectory)
{
    GeneralForm g = validGeneral();
    RuntimeForm r = validRuntime();
    std::string absoluteIcon = dir.path() + "/icon.png";
    m.projectDir = dir.path() + "/sub";
    EXPECT_EQ(generalValidate(&m, &g), -1);
    EXPECT_EQ(runtimeValidate(&m, &r), -1);
    g.icon = absoluteIcon.c_str();
    EXPECT_EQ(generalValidate(&m, &g), 0);

    m.projectDir.reset();
    g = validGeneral();
    EXPECT_EQ(generalValidate(&m, &g), -1);
    WorkingDir inside(dir.path());
    EXPECT_EQ(generalValidate(&m, &g), 0);
    EXPECT_EQ(runtimeValidate(&m, &r), 0);
    EXPECT_EQ(recordedMessages(), (Messages{kIcon, kBinary, kIcon}));
}

TEST_F(FormsTest, GeneralStoreEscapesAndReplacesAllValues)
{
    RuntimeForm r = validRuntime();
    runtimeSet(&m, &r);
    vornicApp before = selected();

    GeneralForm g{"A \"B\" <c>", "http://x.org/?a=<1>&b=\"2\"", "a@b.c", "a\"b.png", 0, 255, 7, 9};
    ASSERT_EQ(generalSet(&m, &g), 0);
    EXPECT_EQ(selected().author, "A 'B' [c]");
    EXPECT_EQ(selected().homePage, "http://x.org/?a=[1]&b='2'");
    EXPECT_EQ(selected().email, "a@b.c");
    EXPECT_EQ(selected().icon, "a'b.png");
    EXPECT_EQ(selected().flags, before.flags | APP_GENERAL_DONE);

    GeneralForm second{"Bob", "", "", "", 1, 0, 0, 0};
    ASSERT_EQ(generalSet(&m, &second), 0);
    vornicApp expected = before;
    expected.author = "Bob";
    expected.homePage = expected.email = expected.icon = "";
    expected.verMajor = 1;
    expected.verMinor = expected.verRelease = expected.verBuild = 0;
    expected.flags |= APP_GENERAL_DONE;
    EXPECT_EQ(describe(selected()), describe(expected));
    EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(FormsTest, RuntimeStoreEscapesAndReplacesAllValues)
{
    GeneralForm g = validGeneral();
    generalSet(&m, &g);
    vornicApp before = selected();

    RuntimeForm r{"<id>", "\"d\"", "../s", "b>in", "-a \"x y\" <z>", 5, 1, 0, 1};
    ASSERT_EQ(runtimeSet(&m, &r), 0);
    vornicApp expected = before;
    expected.uniqueId = "[id]";
    expected.appdataDir = "'d'";
    expected.startDir = "../s";
    expected.binary = "b]in";
    expected.arguments = "-a 'x y' [z]";
    expected.cpuFreq = 5;
    expected.x11Mode = 1;
    expected.multitasking = 0;
    expected.inputFile = 1;
    expected.flags |= APP_RUNTIME_DONE;
    EXPECT_EQ(describe(selected()), describe(expected));

    RuntimeForm second{"id2", "", "", "/bin/sh", "", -1, 7, 3, 4};
    ASSERT_EQ(runtimeSet(&m, &second), 0);
    expected.uniqueId = "id2";
    expected.appdataDir = expected.startDir = expected.arguments = "";
    expected.binary = "/bin/sh";
    expected.cpuFreq = -1;
    expected.x11Mode = 7;
    expected.multitasking = 3;
    expected.inputFile = 4;
    EXPECT_EQ(describe(selected()), describe(expected));
    EXPECT_TRUE(recordedMessages().empty());
}

/* A store that runs out of memory at any of its allocations must fail as a
 * whole, say so once, and leave the record exactly as it was. */
TEST_F(FormsTest, StoresThatRunOutOfMemoryChangeNothing)
{
    const std::string longText(40, 'x');
    const char *l = longText.c_str();
    GeneralForm firstGeneral = validGeneral();
    RuntimeForm firstRuntime = validRuntime();
    generalSet(&m, &firstGeneral);
    runtimeSet(&m, &firstRuntime);
    GeneralForm g{l, l, l, l, 9, 9, 9, 9};
    RuntimeForm r{l, l, l, l, l, 3, 1, 0, 1};

    for (bool general : {true, false}) {
        SCOPED_TRACE(general ? "general" : "runtime");
        const std::string before = describe(selected());
        int faults = 0;
        std::int32_t result = sweepAllocationFaults(
            1, faults,
            [&](long n) {
                armFresh(n);
                return general ? generalSet(&m, &g) : runtimeSet(&m, &r);
            },
            [&](std::int32_t failed) {
                EXPECT_EQ(failed, -1);
                EXPECT_EQ(recordedMessages(), Messages{"Out of RAM!"});
                EXPECT_EQ(describe(selected()), before);
            });
        EXPECT_GE(faults, general ? 4 : 5);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(general ? selected().author : selected().arguments, longText);
        EXPECT_TRUE(recordedMessages().empty());
    }
}

/* Joining a relative path to the project directory allocates: a check that
 * cannot build the path fails with one message instead of ending the
 * program, and stores nothing. */
TEST_F(FormsTest, ChecksThatRunOutOfMemoryFailWithOneMessage)
{
    const std::string before = describe(selected());
    GeneralForm g = validGeneral();
    RuntimeForm r = validRuntime();
    for (bool general : {true, false}) {
        SCOPED_TRACE(general ? "general" : "runtime");
        int faults = 0;
        std::int32_t result = sweepAllocationFaults(
            1, faults,
            [&](long n) {
                armFresh(n);
                return general ? generalValidate(&m, &g) : runtimeValidate(&m, &r);
            },
            [&](std::int32_t failed) {
                EXPECT_EQ(failed, -1);
                EXPECT_EQ(recordedMessages(), Messages{"Out of RAM!"});
            });
        EXPECT_GE(faults, 1);
        EXPECT_EQ(result, 0);
    }
    EXPECT_EQ(describe(selected()), before);
}
