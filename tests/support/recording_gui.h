/*
 * recording_gui.h - the stand-in for the two GUI functions the model calls.
 *
 * Linking vornic_model_standin gives guiShowErrorMessage and
 * guiUpdateMainButtonActivity bodies that record each call instead of
 * building widgets, so model tests run without GTK or a display.
 */
#ifndef VORNIC_TESTS_RECORDING_GUI_H
#define VORNIC_TESTS_RECORDING_GUI_H

#include <string>
#include <vector>

/* The texts shown through guiShowErrorMessage since the last clear, in order. */
const std::vector<std::string> &recordedMessages();
/* The calls of guiUpdateMainButtonActivity since the last clear. */
int recordedUpdates();
void recordingClear();

/* Also writes every call to standard error at once, as "message: TEXT" or
 * "update" lines.  A death test's child turns this on, because what the
 * child records dies with it; stderr is what the parent gets to see. */
void recordingEcho(bool on);

#endif
