/*
 * common.h - what the fuzz targets share: a check that aborts (so libFuzzer
 * keeps the input), the calls the model made into the GUI, a reference for
 * the escaping of stored strings and a private scratch directory.
 *
 * The targets link the model against the tests' recording stand-in for the
 * two GUI functions it calls.
 */
#ifndef VORNIC_FUZZ_COMMON_H
#define VORNIC_FUZZ_COMMON_H

#include "recording_gui.h"
#include "vornic.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#define FUZZ_CHECK(cond)                                                                 \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

struct GuiCalls {
    std::vector<std::string> messages;
    int updates;
};

/* The GUI calls made since the last take. */
inline GuiCalls fuzzTakeGuiCalls()
{
    GuiCalls calls{recordedMessages(), recordedUpdates()};
    recordingClear();
    return calls;
}

/* A fresh directory under $TMPDIR (or /tmp), left for the caller (the fuzz
 * script) to remove. */
inline std::string fuzzScratchDir()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vornic-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    return pattern;
}

/* The text as it must be stored: '"' -> '\'', '<' -> '[', '>' -> ']'. */
inline std::string fuzzEscaped(std::string text)
{
    for (char &c : text)
        c = c == '"' ? '\'' : c == '<' ? '[' : c == '>' ? ']' : c;
    return text;
}

/* One element of a non-empty vector, chosen by the input. */
template <typename T>
const T &fuzzPick(FuzzedDataProvider &fdp, const std::vector<T> &items)
{
    return items[fdp.ConsumeIntegralInRange<std::size_t>(0, items.size() - 1)];
}

#endif
