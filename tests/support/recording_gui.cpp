/*
 * recording_gui.cpp - the recording stand-in for the GUI (see recording_gui.h).
 */
#include "recording_gui.h"

#include "vornic.h"

#include <cstdio>

namespace {

std::vector<std::string> messages;
int updates = 0;
bool echo = false;

} // namespace

void guiShowErrorMessage(vornicMain *, const char *text)
{
    /* Echo first: in a death test the message must be out before anything
     * else can go wrong, and recording allocates. */
    if (echo) {
        std::fprintf(stderr, "message: %s\n", text);
        std::fflush(stderr);
    }
    messages.emplace_back(text);
}

void guiUpdateMainButtonActivity(vornicMain *)
{
    if (echo) {
        std::fputs("update\n", stderr);
        std::fflush(stderr);
    }
    ++updates;
}

const std::vector<std::string> &recordedMessages()
{
    return messages;
}

int recordedUpdates()
{
    return updates;
}

void recordingClear()
{
    messages.clear();
    updates = 0;
}

void recordingEcho(bool on)
{
    echo = on;
}
