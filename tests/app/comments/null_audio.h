// Starting the tests' own sound server.
#pragma once
#include <QString>

// A sound server of the test's own with a null sink and a silent input,
// started once per test process on first use and stopped when the process ends, so
// that recording and playing really run on a machine without sound hardware. Later
// users in the same process share it: the sound library connects only once.
// Returns an empty text when it runs, else why it could not start.
QString StartNullAudio();
