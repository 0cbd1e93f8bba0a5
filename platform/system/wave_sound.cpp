// Wave files: their header, playing and recording them.
#include "platform/system/wave_sound.h"

#include "platform/core/streams.h"

#include "platform/system/wave_sound_module.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <dlfcn.h>

QByteArray WaveFileBytes(const QByteArray& pcm, int sampleRate, int channels)
{
    return WaveHeaderBytes(uint32_t(pcm.size()), sampleRate, channels) + pcm;
}

QByteArray WaveHeaderBytes(uint32_t dataSize, int sampleRate, int channels)
{
    TMemoryStream s;
    const uint16_t blockAlign = uint16_t(channels * 2);
    s.WriteBuffer("RIFF", 4);
    s.WriteU32(36 + dataSize);
    s.WriteBuffer("WAVEfmt ", 8);
    s.WriteU32(16);
    s.WriteU16(1);  // PCM
    s.WriteU16(uint16_t(channels));
    s.WriteU32(uint32_t(sampleRate));
    s.WriteU32(uint32_t(sampleRate) * blockAlign);
    s.WriteU16(blockAlign);
    s.WriteU16(16);
    s.WriteBuffer("data", 4);
    s.WriteU32(dataSize);
    return s.Bytes();
}

namespace {

// The module lives beside the program; a build tree's tests find it where it was built.
QStringList moduleCandidates()
{
    QStringList names;
    if (QCoreApplication::instance())
        names << QCoreApplication::applicationDirPath() + QStringLiteral("/" K_WAVE_SOUND_FILE);
#ifdef K_WAVE_SOUND_BUILT
    names << QStringLiteral(K_WAVE_SOUND_BUILT);
#endif
    return names;
}

struct LoadedModule {
    const TWaveSoundModule* module = nullptr;
    QString why;
    LoadedModule()
    {
        for (const QString& name : moduleCandidates()) {
            if (!QFileInfo::exists(name))
                continue;
            // Stays loaded: its objects may live as long as the program.
            void* const lib = ::dlopen(QFile::encodeName(name).constData(), RTLD_NOW | RTLD_LOCAL);
            if (!lib) {
                why = QString::fromLocal8Bit(::dlerror());
                continue;
            }
            const auto entry = reinterpret_cast<decltype(&KandrivelWaveSoundModule)>(::dlsym(lib, K_WAVE_SOUND_ENTRY));
            if (entry && (module = entry()))
                return;
            why = name + QStringLiteral(": no sound module");
        }
        if (why.isEmpty())
            why = QStringLiteral(K_WAVE_SOUND_FILE ": not found");
    }
};

std::atomic<bool> moduleLoaded{false};

const LoadedModule& loadedModule()
{
    static const LoadedModule loaded;
    moduleLoaded = loaded.module != nullptr;
    return loaded;
}

}  // namespace

const TWaveSoundModule* WaveSoundModule(QString* why)
{
    const LoadedModule& loaded = loadedModule();
    if (!loaded.module && why)
        *why = QStringLiteral("Sound cannot be played or recorded: %1").arg(loaded.why);
    return loaded.module;
}

bool WaveSoundModuleLoaded() { return moduleLoaded; }

TWavePlayer::TWavePlayer(QObject* owner) : QObject(owner) {}

TWavePlayer::~TWavePlayer() = default;

QString TWavePlayer::ErrorText() const { return output_ ? output_->ErrorText() : error_; }

void TWavePlayer::Play(const QString& fileName)
{
    if (!output_) {
        const TWaveSoundModule* module = WaveSoundModule(&error_);
        if (!module) {
            // Reported like a file that cannot be played: the caller hears of its end.
            QTimer::singleShot(0, this, [this] { emit Finished(); });
            return;
        }
        output_.reset(module->NewOutput([this] { emit Finished(); }));
        output_->SetLooping(looping_);
    }
    output_->Play(fileName);
}

void TWavePlayer::Stop()
{
    if (output_)
        output_->Stop();
}

bool TWavePlayer::Playing() const { return output_ && output_->Playing(); }

void TWavePlayer::SetLooping(bool on)
{
    looping_ = on;
    if (output_)
        output_->SetLooping(on);
}

TWaveRecorder::TWaveRecorder(QObject* owner) : QObject(owner) {}

TWaveRecorder::~TWaveRecorder() { Cancel(); }

bool TWaveRecorder::Start(const QString& fileName)
{
    Cancel();
    error_.clear();
    if (!source_) {
        const TWaveSoundModule* module = WaveSoundModule(&error_);
        if (!module)
            return false;
        source_.reset(module->NewInput());
    }
    if (!inputReady(source_->Prepare(rate_, channels_)))
        return false;
    file_ = std::make_unique<QSaveFile>(fileName);
    // The header is written again with the real sizes on Stop.
    if (!file_->open(QIODevice::WriteOnly) || file_->write(WaveHeaderBytes(0, rate_, channels_)) != 44) {
        error_ = QStringLiteral("Cannot create %1: %2").arg(fileName, file_->errorString());
        file_.reset();
        return false;
    }
    if (!inputReady(source_->Start(file_.get()))) {
        Cancel();
        return false;
    }
    recording_ = true;
    return true;
}

bool TWaveRecorder::inputReady(TWaveInput::Result result)
{
    switch (result) {
    case TWaveInput::Result::Started: return true;
    case TWaveInput::Result::NoDevice: error_ = QStringLiteral("No sound input device is available."); break;
    case TWaveInput::Result::FormatUnsupported:
        error_ = QStringLiteral("The sound input device cannot record 16-bit mono at %1 Hz.").arg(rate_);
        break;
    case TWaveInput::Result::OpenFailed: error_ = QStringLiteral("The sound input device could not be opened."); break;
    }
    return false;
}

qint64 TWaveRecorder::BytesRecorded() const { return file_ ? std::max<qint64>(0, file_->pos() - 44) : 0; }

bool TWaveRecorder::Stop()
{
    if (!recording_)
        return false;
    recording_ = false;
    source_->Stop();
    const qint64 end = file_->pos();
    const qint64 data = std::min<qint64>(end - 44, UINT32_MAX - 36);
    bool ok = data >= 0 && file_->seek(0) && file_->write(WaveHeaderBytes(uint32_t(data), rate_, channels_)) == 44 &&
              file_->seek(end) && file_->commit();
    if (!ok)
        error_ = QStringLiteral("Cannot write %1: %2").arg(file_->fileName(), file_->errorString());
    file_.reset();
    return ok;
}

void TWaveRecorder::Cancel()
{
    recording_ = false;
    if (source_)
        source_->Stop();
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
}
