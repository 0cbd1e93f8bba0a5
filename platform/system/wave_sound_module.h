// What the sound module offers the program. The module holds everything that needs the
// media libraries; the program opens it with the first sound played or recorded, so that
// those libraries (and the twenty they pull in) do not load with every start.
#pragma once
#include <QString>
#include <functional>

class QIODevice;

// Plays one file on the default output.
class TWaveOutput {
public:
    virtual ~TWaveOutput() = default;
    virtual void Play(const QString& fileName) = 0;
    virtual void Stop() = 0;
    virtual bool Playing() const = 0;
    virtual void SetLooping(bool on) = 0;
    virtual QString ErrorText() const = 0;
};

// Records 16-bit PCM from the default input into a device the caller owns.
class TWaveInput {
public:
    enum class Result { Started, NoDevice, FormatUnsupported, OpenFailed };
    virtual ~TWaveInput() = default;
    // Chooses the default input for the format: before the target is made, so that a
    // missing device touches no file.
    virtual Result Prepare(int sampleRate, int channels) = 0;
    virtual Result Start(QIODevice* target) = 0;
    virtual void Stop() = 0;
};

// The module's one entry point; the caller owns what it makes. finished runs when playing
// comes to the end of the file or stops on an error.
struct TWaveSoundModule {
    TWaveOutput* (*NewOutput)(std::function<void()> finished);
    TWaveInput* (*NewInput)();
};

#define K_WAVE_SOUND_ENTRY "KandrivelWaveSoundModule"
extern "C" const TWaveSoundModule* KandrivelWaveSoundModule();

// The module, opened on the first call; null (with why) when it cannot be loaded.
const TWaveSoundModule* WaveSoundModule(QString* why = nullptr);
// Whether the module has been opened in this process.
bool WaveSoundModuleLoaded();
