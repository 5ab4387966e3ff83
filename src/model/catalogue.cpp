/*
 * catalogue.cpp - the locale catalogue: the codes read once at start-up from
 * the file "locales" in the working directory, and the look-up by code.
 *
 * A code is one whole line without its line feed; nothing else is trimmed.
 * Lines hold at most 18 characters: a longer line is outside the format and
 * is skipped whole, so that no piece of it can become a code.  A NUL byte in
 * a line stays part of the code, so "en_US\0junk" can never pass for "en_US".
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include "internal.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

/* The longest line that is a code: 18 characters before the line feed. */
constexpr std::size_t kMaxCodeLength = 18;

enum class LineRead { Code, Overlong, End };

/* Reads one line of at most kMaxCodeLength characters into line.  An overlong
 * line is read to its end and dropped.  Bytes are read through stdio's own
 * buffer, never beyond the fixed-size line buffer. */
LineRead readLine(std::FILE *file, char (&line)[kMaxCodeLength + 1], std::size_t &length)
{
    length = 0;
    bool any = false;
    bool overlong = false;
    int c;
    while ((c = std::getc(file)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if (length < kMaxCodeLength)
            line[length++] = static_cast<char>(c);
        else
            overlong = true;
    }
    if (!any)
        return LineRead::End;
    return overlong ? LineRead::Overlong : LineRead::Code;
}

[[noreturn]] void failToOpen(vornicMain *main)
{
    guiShowErrorMessage(main, "Failed to open locales file! Make sure it is in the same "
                              "directory as this application and try again.");
    vornicExit(VORNIC_EXIT_NO_CATALOGUE);
}

} // namespace

void vornicLoadLocales(vornicMain *main)
{
    main->catalogue.clear();
    main->localeCount = 0;

    std::FILE *file = std::fopen("locales", "r");
    if (!file)
        failToOpen(main);

    char line[kMaxCodeLength + 1];
    std::size_t length;
    LineRead read;
    while ((read = readLine(file, line, length)) != LineRead::End) {
        if (read == LineRead::Overlong)
            continue;
        try {
            main->catalogue.emplace_back(line, length);
        } catch (const std::bad_alloc &) {
            std::fclose(file);
            vornicOutOfRam(main, kVornicOutOfRam, VORNIC_EXIT_CATALOGUE_OUT_OF_RAM);
        }
    }
    /* A "locales" that opens but cannot be read (a directory, an I/O error)
     * is no catalogue: running on with what was read would leave codes
     * silently missing. */
    bool unreadable = std::ferror(file) != 0;
    std::fclose(file);
    if (unreadable)
        failToOpen(main);
    main->localeCount = static_cast<std::int32_t>(main->catalogue.size());
}

std::int32_t localeIsValid(const vornicMain *main, const char *code)
{
    std::size_t length = std::strlen(code);
    for (std::size_t i = 0; i < main->catalogue.size(); ++i) {
        const std::string &entry = main->catalogue[i];
        if (entry.size() == length && std::memcmp(entry.data(), code, length) == 0)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}
