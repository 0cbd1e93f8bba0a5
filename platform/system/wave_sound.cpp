#include "platform/system/wave_sound.h"

#include "platform/core/streams.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSource>
#include <QBuffer>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

QByteArray WaveFileBytes(const QByteArray& pcm, int sampleRate, int channels)
{
    TMemoryStream s;
    const uint32_t dataSize = uint32_t(pcm.size());
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
    s.WriteBuffer(pcm.constData(), pcm.size());
    return s.Bytes();
}

TWavePlayer::TWavePlayer(QObject* owner) : QObject(owner)
{
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
}

TWavePlayer::~TWavePlayer() = default;

void TWavePlayer::Play(const QString& fileName)
{
    player_->setSource(QUrl::fromLocalFile(fileName));
    player_->play();
}

void TWavePlayer::Stop() { player_->stop(); }

bool TWavePlayer::Playing() const { return player_->playbackState() == QMediaPlayer::PlayingState; }

void TWavePlayer::SetLooping(bool on) { player_->setLoops(on ? QMediaPlayer::Infinite : QMediaPlayer::Once); }

TWaveRecorder::TWaveRecorder(QObject* owner) : QObject(owner) {}

TWaveRecorder::~TWaveRecorder()
{
    if (source_)
        source_->stop();
}

void TWaveRecorder::Start(const QString& fileName)
{
    fileName_ = fileName;
    buffer_ = std::make_unique<QBuffer>();
    buffer_->open(QIODevice::WriteOnly);
    QAudioFormat format;
    format.setSampleRate(rate_);
    format.setChannelCount(channels_);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    delete source_;
    source_ = nullptr;
    if (!device.isNull() && device.isFormatSupported(format)) {
        source_ = new QAudioSource(device, format, this);
        source_->start(buffer_.get());
    }
    recording_ = true;
}

bool TWaveRecorder::Stop()
{
    if (!recording_)
        return false;
    recording_ = false;
    if (source_)
        source_->stop();
    WriteFileSafely(fileName_, WaveFileBytes(buffer_->data(), rate_, channels_));
    buffer_.reset();
    return true;
}
