/*
 * catalogue_fuzz.cpp - the catalogue loader on arbitrary file contents.
 *
 * The loader reads "locales" from the working directory, so the target moves
 * once into a private scratch directory and writes each input there.  Give
 * libFuzzer absolute corpus and artifact paths: relative ones would resolve
 * inside the scratch directory.
 *
 * The byte 0xFE followed by n and c stands for 16 * (n + 1)^2 copies of c, so
 * that lines up to a mebibyte fit a small -max_len while most stay short
 * enough to keep the fuzzer fast.  Line feeds are not multiplied: a million
 * empty codes only slow the fuzzer down (the hostile tests load such files).  The result is
 * compared with an independent splitter: every line of at most 18 bytes is
 * one code, in file order; a longer line gives none.
 */
#include "common.h"

#include <unistd.h>

namespace {

constexpr std::size_t kMaxCode = 18;
constexpr std::size_t kMaxFile = 2u << 20;

std::string expand(const std::uint8_t *data, std::size_t size)
{
    std::string out;
    for (std::size_t i = 0; i < size && out.size() < kMaxFile; ++i) {
        if (data[i] == 0xFE && i + 2 < size && data[i + 2] != '\n') {
            std::size_t n = data[i + 1] + 1u;
            out.append(16 * n * n, static_cast<char>(data[i + 2]));
            i += 2;
        } else {
            out += static_cast<char>(data[i]);
        }
    }
    return out;
}

std::vector<std::string> referenceCodes(const std::string &text)
{
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t feed = text.find('\n', start);
        std::size_t stop = feed == std::string::npos ? text.size() : feed;
        if (stop - start <= kMaxCode)
            codes.push_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    return codes;
}

std::int32_t referenceIndex(const std::vector<std::string> &codes, const std::string &code)
{
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == code)
            return static_cast<std::int32_t>(i);
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FUZZ_CHECK(chdir(fuzzScratchDir().c_str()) == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text = expand(data, size);
    std::FILE *file = std::fopen("locales", "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(text.data(), 1, text.size(), file) == text.size());
    FUZZ_CHECK(std::fclose(file) == 0);

    vornicMain main;
    vornicLoadLocales(&main);
    const GuiCalls calls = fuzzTakeGuiCalls();
    FUZZ_CHECK(calls.messages.empty() && calls.updates == 0);

    const std::vector<std::string> expected = referenceCodes(text);
    FUZZ_CHECK(main.localeCount == static_cast<std::int32_t>(main.catalogue.size()));
    for (const std::string &code : main.catalogue)
        FUZZ_CHECK(code.size() <= kMaxCode && code.find('\n') == std::string::npos);
    FUZZ_CHECK(main.catalogue == expected);

    /* A look-up sees a typed code, which ends at its first NUL, so a code
     * holding a NUL can never be found; every other is found at its first
     * index. */
    for (std::size_t i = 0; i < expected.size() && i < 256; ++i) {
        const std::string typed = expected[i].c_str();
        FUZZ_CHECK(localeIsValid(&main, typed.c_str()) == referenceIndex(expected, typed));
    }
    FUZZ_CHECK(localeIsValid(&main, "en_US") == referenceIndex(expected, "en_US"));
    return 0;
}
