/*
 * modelbench.cpp - how the model's operations scale, without GTK.
 *
 *   vornic-model-bench [--max N]      (N a power of ten, at least 100)
 *
 * For each size from 100 up to N by decades, on a fresh program state:
 * N applications added and then looked up by name; a catalogue of N codes
 * read through the real loader; N localised entries added (checked first,
 * as the window does) to one application, then modified and deleted.
 *
 * Every one of these operations walks its array once by design, so the time
 * per operation grows with the number of items and the time per operation
 * per item stays flat.  What must not grow is the memory traffic of growing
 * an array by one entry: every allocation is counted, and the benchmark fails
 * when the bytes allocated per operation at the largest size exceed a small
 * multiple of those at the smallest (growing by copying the whole array each
 * time would make them grow with the size).  That check is exact; the times
 * are only reported.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "vornic.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <type_traits>
#include <unistd.h>
#include <vector>

/* Growing a slot array moves its records; a record that could only be
 * copied would make every growth copy every string of the array. */
static_assert(std::is_nothrow_move_constructible_v<vornicApp>);
static_assert(std::is_nothrow_move_constructible_v<vornicLocale>);

namespace {

std::size_t allocations = 0;
std::size_t allocatedBytes = 0;
std::size_t messagesShown = 0;

} // namespace

void *operator new(std::size_t size)
{
    ++allocations;
    allocatedBytes += size;
    if (void *block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

/* Not inlined: GCC would otherwise see free() meet operator new's pointer
 * and warn about a mismatch that is not there. */
__attribute__((noinline)) void operator delete(void *block) noexcept
{
    std::free(block);
}

void operator delete(void *block, std::size_t) noexcept
{
    operator delete(block);
}

/* The model's two calls into the GUI.  A message here means an operation
 * failed that should not have: the run is void. */
void guiShowErrorMessage(vornicMain *, const char *text)
{
    ++messagesShown;
    std::fprintf(stderr, "vornic-model-bench: unexpected message \"%s\"\n", text);
}

void guiUpdateMainButtonActivity(vornicMain *) {}

namespace {

struct Figure {
    std::string operation;
    std::size_t items;
    double nanosPerOp;
    double allocsPerOp;
    double bytesPerOp;
    bool walks = true; /* walks its array once; false: constant work per item */
};

/* Measures ops calls of step(i) as one operation each. */
template <typename Step>
Figure measure(const char *operation, std::size_t items, Step step)
{
    std::size_t allocs = allocations, bytes = allocatedBytes;
    auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < items; ++i)
        step(i);
    auto end = std::chrono::steady_clock::now();
    double n = static_cast<double>(items);
    return {operation, items,
            std::chrono::duration<double, std::nano>(end - start).count() / n,
            static_cast<double>(allocations - allocs) / n,
            static_cast<double>(allocatedBytes - bytes) / n};
}

void check(bool ok, const char *what)
{
    if (!ok || messagesShown) {
        std::fprintf(stderr, "vornic-model-bench: %s failed\n", what);
        std::exit(1);
    }
}

std::string itemName(const char *prefix, std::size_t i)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%06zu", prefix, i);
    return text;
}

void benchApps(std::size_t n, std::vector<Figure> &figures)
{
    vornicMain main;
    vornicInitMain(&main);
    vornicInitApp(&main);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < n; ++i)
        names.push_back(itemName("application", i));

    figures.push_back(measure("appAdd", n, [&](std::size_t i) {
        check(appAdd(&main, names[i].c_str()) == static_cast<std::int32_t>(i), "appAdd");
    }));
    figures.push_back(measure("appGetID", n, [&](std::size_t i) {
        check(appGetID(&main, names[i].c_str()) == static_cast<std::int32_t>(i), "appGetID");
    }));
}

/* The loader reads "locales" from the working directory. */
void writeCatalogue(const std::vector<std::string> &codes)
{
    std::FILE *file = std::fopen("locales", "w");
    check(file != nullptr, "writing the catalogue");
    for (const std::string &code : codes)
        std::fprintf(file, "%s\n", code.c_str());
    std::fclose(file);
}

void benchLocales(std::size_t n, std::vector<Figure> &figures)
{
    vornicMain main;
    vornicInitMain(&main);
    vornicInitApp(&main);
    std::vector<std::string> codes;
    for (std::size_t i = 0; i < n; ++i)
        codes.push_back(itemName("xx_", i));
    writeCatalogue(codes);

    Figure load = measure("vornicLoadLocales", 1, [&](std::size_t) { vornicLoadLocales(&main); });
    check(main.localeCount == static_cast<std::int32_t>(n), "vornicLoadLocales");
    /* Reported per code read: a line costs the same however many came
     * before it. */
    double count = static_cast<double>(n);
    figures.push_back({"vornicLoadLocales", n, load.nanosPerOp / count, load.allocsPerOp / count,
                       load.bytesPerOp / count, false});

    main.selectedApp = appAdd(&main, "bench");
    const std::string name = "A localised name";
    const std::string description = "A description long enough to need storage of its own.";
    const std::string renamed = "Another localised name";

    figures.push_back(measure("localeValidate+localeAdd", n, [&](std::size_t i) {
        LocaleForm form{codes[i].c_str(), name.c_str(), description.c_str()};
        check(localeValidate(&main, &form) == 0 && localeAdd(&main, &form) == 0, "localeAdd");
    }));
    figures.push_back(measure("localeMod", n, [&](std::size_t i) {
        LocaleForm form{codes[i].c_str(), renamed.c_str(), description.c_str()};
        check(localeMod(&main, codes[i].c_str(), &form) == 0, "localeMod");
    }));

    /* localeDel reports every delete on standard output. */
    std::fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int quiet = open("/dev/null", O_WRONLY);
    check(saved >= 0 && quiet >= 0 && dup2(quiet, STDOUT_FILENO) >= 0, "silencing stdout");
    close(quiet);
    Figure del = measure("localeDel", n, [&](std::size_t i) {
        check(localeDel(&main, codes[i].c_str()) == 0, "localeDel");
    });
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    figures.push_back(del);
}

/* Runs a size enough times for about as many operations as the largest size
 * does, and keeps the run with the median time. */
std::vector<Figure> benchSize(std::size_t n, std::size_t max)
{
    std::size_t repeats = std::max<std::size_t>(1, std::min<std::size_t>(max / n, 25));
    std::vector<std::vector<Figure>> runs(repeats);
    for (std::vector<Figure> &run : runs) {
        benchApps(n, run);
        benchLocales(n, run);
    }
    std::vector<Figure> chosen = runs[0];
    for (std::size_t op = 0; op < chosen.size(); ++op) {
        std::vector<double> times;
        for (const std::vector<Figure> &run : runs)
            times.push_back(run[op].nanosPerOp);
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        chosen[op].nanosPerOp = times[times.size() / 2];
    }
    return chosen;
}

} // namespace

int main(int argc, char **argv)
{
    std::size_t max = 10000;
    if (argc == 3 && std::strcmp(argv[1], "--max") == 0)
        max = std::strtoul(argv[2], nullptr, 10);
    else if (argc != 1)
        max = 0;
    if (max < 100) {
        std::fputs("usage: vornic-model-bench [--max N]   (N at least 100)\n", stderr);
        return 2;
    }

    /* The loader's file goes into a private directory. */
    char dir[] = "/tmp/vornic-model-bench.XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) {
        std::perror("vornic-model-bench");
        return 1;
    }

    std::vector<std::vector<Figure>> sizes;
    for (std::size_t n = 100; n <= max; n *= 10)
        sizes.push_back(benchSize(n, max));
    std::remove("locales");
    if (chdir("/") == 0)
        rmdir(dir);

    std::printf("%-26s %7s %12s %14s %10s %10s\n", "operation", "items", "ns/op",
                "ns/op/item", "allocs/op", "bytes/op");
    const std::vector<Figure> &first = sizes.front();
    for (std::size_t op = 0; op < first.size(); ++op)
        for (const std::vector<Figure> &size : sizes) {
            const Figure &f = size[op];
            char perItem[32] = "-";
            if (f.walks)
                std::snprintf(perItem, sizeof perItem, "%.3f",
                              f.nanosPerOp / static_cast<double>(f.items));
            std::printf("%-26s %7zu %12.1f %14s %10.2f %10.1f\n", f.operation.c_str(), f.items,
                        f.nanosPerOp, perItem, f.allocsPerOp, f.bytesPerOp);
        }

    const std::vector<Figure> &last = sizes.back();
    for (std::size_t op = 0; op < first.size(); ++op) {
        /* Geometric growth keeps bytes per operation within a factor of two
         * of one another at any two sizes; a copy per growth would multiply
         * them by the ratio of the sizes. */
        double allowed = 4 * first[op].bytesPerOp + 64;
        if (last[op].bytesPerOp > allowed) {
            std::printf("summary: FAILED: %s allocates %.0f bytes per operation at %zu items "
                        "against %.0f at %zu\n",
                        first[op].operation.c_str(), last[op].bytesPerOp, last[op].items,
                        first[op].bytesPerOp, first[op].items);
            return 1;
        }
    }
    std::printf("summary: memory allocated per operation stays flat from %zu to %zu items; "
                "time per operation grows with the walk of one array\n",
                first[0].items, last[0].items);
    return 0;
}
