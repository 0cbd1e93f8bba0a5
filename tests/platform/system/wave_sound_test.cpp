// The sound module loads with the first sound, not with the program.
#include "platform/system/wave_sound.h"

#include "common/test_support.h"

#include <QSignalSpy>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

bool mediaLibraryLoaded()
{
    void* const lib = ::dlopen("libQt6Multimedia.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (lib)
        ::dlclose(lib);
    return lib != nullptr;
}

}  // namespace

TEST(WaveSoundModule, LoadsWithTheFirstSoundAndNotBefore)
{
    if (WaveSoundModuleLoaded())
        GTEST_SKIP() << "an earlier test in this process used sound";
    TWavePlayer player;
    TWaveRecorder recorder;
    player.SetLooping(true);
    player.Stop();
    recorder.Cancel();
    EXPECT_FALSE(player.Playing());
    EXPECT_FALSE(WaveSoundModuleLoaded());
    EXPECT_FALSE(mediaLibraryLoaded());

    // The first Play opens it; a file that cannot be played still ends with Finished.
    QSignalSpy finished(&player, &TWavePlayer::Finished);
    player.Play(TempDir() + QStringLiteral("/no such comment.wav"));
    EXPECT_TRUE(WaveSoundModuleLoaded());
    EXPECT_TRUE(mediaLibraryLoaded());
    EXPECT_TRUE(finished.count() > 0 || finished.wait(20000));
    EXPECT_FALSE(player.ErrorText().isEmpty());
}
