// The sound module: playing and recording through the media libraries. Built as a
// loadable module of its own; it uses nothing of the program but Qt.
#include "platform/system/wave_sound_module.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSource>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <memory>

namespace {

class MediaOutput : public TWaveOutput {
public:
    explicit MediaOutput(std::function<void()> finished) : output_(new QAudioOutput), player_(new QMediaPlayer)
    {
        player_->setAudioOutput(output_.get());
        QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, player_.get(),
                         [finished](QMediaPlayer::MediaStatus status) {
                             if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                                 finished();
                         });
        QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, player_.get(), [finished] { finished(); });
    }
    ~MediaOutput() override
    {
        // No end-of-media signal from a player going away.
        QObject::disconnect(player_.get(), nullptr, nullptr, nullptr);
    }
    void Play(const QString& fileName) override
    {
        player_->setSource(QUrl::fromLocalFile(fileName));
        player_->play();
    }
    void Stop() override { player_->stop(); }
    bool Playing() const override { return player_->playbackState() == QMediaPlayer::PlayingState; }
    void SetLooping(bool on) override { player_->setLoops(on ? QMediaPlayer::Infinite : QMediaPlayer::Once); }
    QString ErrorText() const override { return player_->errorString(); }

private:
    // The player goes first: it holds the output.
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
};

class MediaInput : public TWaveInput {
public:
    ~MediaInput() override { Stop(); }
    Result Prepare(int sampleRate, int channels) override
    {
        Stop();
        format_ = QAudioFormat();
        format_.setSampleRate(sampleRate);
        format_.setChannelCount(channels);
        format_.setSampleFormat(QAudioFormat::Int16);
        device_ = QMediaDevices::defaultAudioInput();
        if (device_.isNull())
            return Result::NoDevice;
        if (!device_.isFormatSupported(format_))
            return Result::FormatUnsupported;
        return Result::Started;
    }
    Result Start(QIODevice* target) override
    {
        Stop();
        source_ = std::make_unique<QAudioSource>(device_, format_);
        source_->start(target);
        if (source_->error() != QAudio::NoError) {
            Stop();
            return Result::OpenFailed;
        }
        return Result::Started;
    }
    void Stop() override
    {
        if (source_) {
            source_->stop();
            source_.reset();
        }
    }

private:
    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<QAudioSource> source_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TWaveSoundModule* KandrivelWaveSoundModule()
{
    static const TWaveSoundModule module{
        [](std::function<void()> finished) -> TWaveOutput* { return new MediaOutput(std::move(finished)); },
        []() -> TWaveInput* { return new MediaInput; },
    };
    return &module;
}
