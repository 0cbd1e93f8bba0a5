// Wave files: their header, playing and recording them.
#include "platform/system/wave_sound.h"

#include "platform/core/streams.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSource>
#include <QSaveFile>
#include <algorithm>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

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

TWavePlayer::TWavePlayer(QObject* owner) : QObject(owner)
{
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
            emit Finished();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this] { emit Finished(); });
}

QString TWavePlayer::ErrorText() const { return player_->errorString(); }

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

TWaveRecorder::~TWaveRecorder() { Cancel(); }

bool TWaveRecorder::Start(const QString& fileName)
{
    Cancel();
    error_.clear();
    QAudioFormat format;
    format.setSampleRate(rate_);
    format.setChannelCount(channels_);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        error_ = QStringLiteral("No sound input device is available.");
        return false;
    }
    if (!device.isFormatSupported(format)) {
        error_ = QStringLiteral("The sound input device cannot record 16-bit mono at %1 Hz.").arg(rate_);
        return false;
    }
    file_ = std::make_unique<QSaveFile>(fileName);
    // The header is written again with the real sizes on Stop.
    if (!file_->open(QIODevice::WriteOnly) || file_->write(WaveHeaderBytes(0, rate_, channels_)) != 44) {
        error_ = QStringLiteral("Cannot create %1: %2").arg(fileName, file_->errorString());
        file_.reset();
        return false;
    }
    source_ = new QAudioSource(device, format, this);
    source_->start(file_.get());
    if (source_->error() != QAudio::NoError) {
        error_ = QStringLiteral("The sound input device could not be opened.");
        Cancel();
        return false;
    }
    recording_ = true;
    return true;
}

qint64 TWaveRecorder::BytesRecorded() const { return file_ ? std::max<qint64>(0, file_->pos() - 44) : 0; }

bool TWaveRecorder::Stop()
{
    if (!recording_)
        return false;
    recording_ = false;
    source_->stop();
    delete source_;
    source_ = nullptr;
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
    if (source_) {
        source_->stop();
        delete source_;
        source_ = nullptr;
    }
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
}
