// The sound module loads with the first sound, not with the program.
#include "platform/system/wave_sound.h"

#include "common/test_support.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(WaveSoundModule, LoadsWithTheFirstSoundAndNotBefore)
{
    // Run alone (as ctest runs each test), nothing before has played a sound.
    const bool fresh = !WaveSoundModuleLoaded();
    TWavePlayer player;
    TWaveRecorder recorder;
    player.SetLooping(true);
    player.Stop();
    recorder.Cancel();
    EXPECT_FALSE(player.Playing());
    if (fresh) {
        EXPECT_FALSE(WaveSoundModuleLoaded());
        EXPECT_FALSE(LibraryLoaded("libQt6Multimedia.so.6"));
    }

    // The first Play opens it; a file that cannot be played still ends with Finished.
    QSignalSpy finished(&player, &TWavePlayer::Finished);
    player.Play(TempDir() + QStringLiteral("/no such comment.wav"));
    EXPECT_TRUE(WaveSoundModuleLoaded());
    EXPECT_TRUE(LibraryLoaded("libQt6Multimedia.so.6"));
    EXPECT_TRUE(finished.count() > 0 || finished.wait(20000));
    EXPECT_FALSE(player.ErrorText().isEmpty());
}
