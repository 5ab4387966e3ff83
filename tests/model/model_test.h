/*
 * model_test.h - the fixture and helpers shared by the model tests.
 */
#ifndef VORNIC_TESTS_MODEL_TEST_H
#define VORNIC_TESTS_MODEL_TEST_H

#include "faultinject.h"
#include "recording_gui.h"
#include "vornic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Messages = std::vector<std::string>;

/* A fresh program state with its application table, and a clean record of
 * the calls into the GUI. */
class ModelTest : public ::testing::Test {
protected:
    vornicMain m;

    void SetUp() override;
    void TearDown() override { faultDisarm(); }

    /* Adds an application, selects it and forgets the GUI calls made. */
    std::int32_t addSelected(const char *name);
    vornicApp &selected() { return m.apps.at(static_cast<std::size_t>(m.selectedApp)); }
};

/* Every field of an application record, written out, so that "unchanged"
 * can be checked byte for byte and a difference reads plainly. */
std::string describe(const vornicApp &app);

/* A private directory, removed with its contents when the object dies. */
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    /* Creates a file (and its parent directories) with the given content. */
    std::string write(const std::string &name, const std::string &content = "x") const;

private:
    std::string path_;
};

/* Works in another directory for the lifetime of the object. */
class WorkingDir {
public:
    explicit WorkingDir(const std::string &dir);
    ~WorkingDir();
    WorkingDir(const WorkingDir &) = delete;
    WorkingDir &operator=(const WorkingDir &) = delete;

private:
    std::string previous_;
};

/* A death-test pattern for stderr holding exactly one echoed message. */
std::string onlyMessage(const std::string &text);

/* The statement of a death test: echo the GUI calls, fail the n-th
 * allocation, run op. */
template <typename Op>
void echoedWithFault(long n, Op op)
{
    recordingEcho(true);
    faultArm(n);
    op();
}

/* How many allocations op makes. */
template <typename Op>
long allocationsOf(Op op)
{
    unsigned long before = faultAllocationCount();
    op();
    return static_cast<long>(faultAllocationCount() - before);
}

/* Calls attempt(n) for n = first, first + 1, ...; attempt arms the fault
 * itself (after any set-up of its own) and returns the operation's result.
 * Each attempt the fault hit is handed to failed(result).  Ends with the first
 * attempt that ran past the point of failure, whose result it returns;
 * faults counts the attempts that were hit. */
template <typename Attempt, typename Failed>
std::int32_t sweepAllocationFaults(long first, int &faults, Attempt attempt, Failed failed)
{
    faults = 0;
    for (long n = first; n < first + 1000; ++n) {
        std::int32_t result = attempt(n);
        bool hit = faultFired();
        faultDisarm();
        if (!hit)
            return result;
        ++faults;
        failed(result);
    }
    ADD_FAILURE() << "the operation never ran to its end";
    return -1;
}

/* Clears the record and arms the n-th allocation from here. */
inline void armFresh(long n)
{
    recordingClear();
    faultArm(n);
}

#endif
