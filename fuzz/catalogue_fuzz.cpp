/*
 * catalogue_fuzz.cpp - libFuzzer on the catalogue loader: any bytes written
 * as "locales" must load as exactly the codes a plain split into lines gives
 * (a line of at most 18 bytes is a code, a longer one none).
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 *
 * The loader reads the working directory, so the target moves into a
 * scratch directory first: give libFuzzer absolute paths.
 */
#include "vornic.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

void guiShowErrorMessage(vornicMain *, const char *) { std::abort(); } /* no file is refused */
void guiUpdateMainButtonActivity(vornicMain *) {}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size) {
    static char dir[] = "/tmp/vornic-fuzz-XXXXXX";
    static bool moved = mkdtemp(dir) && chdir(dir) == 0;
    if (!moved) std::abort();
    std::string bytes(reinterpret_cast<const char *>(data), size);
    std::ofstream("locales", std::ios::binary) << bytes;
    std::vector<std::string> codes;
    for (std::size_t start = 0, end; start < bytes.size(); start = end + 1) {
        end = std::min(bytes.find('\n', start), bytes.size());
        if (end - start <= 18) codes.push_back(bytes.substr(start, end - start));
    }
    vornicMain main;
    vornicLoadLocales(&main);
    if (main.catalogue != codes || main.localeCount != std::int32_t(codes.size())) std::abort();
    return 0;
}
