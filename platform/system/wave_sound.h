// Wave files of 16-bit PCM, the player and the recorder.
#pragma once
#include "platform/system/wave_sound_module.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class QSaveFile;

// A RIFF/WAVE file of 16-bit PCM: the 44-byte header written field by field, then the
// samples.
QByteArray WaveFileBytes(const QByteArray& pcm, int sampleRate, int channels);
// The 44-byte header alone, for dataSize bytes of samples.
QByteArray WaveHeaderBytes(uint32_t dataSize, int sampleRate, int channels);

// Plays one wave file on the default output. The sound module loads with the first Play.
class TWavePlayer : public QObject {
    Q_OBJECT
public:
    explicit TWavePlayer(QObject* owner = nullptr);
    ~TWavePlayer() override;
    void Play(const QString& fileName);
    void Stop();
    bool Playing() const;
    // Looping files start again at their end until Stop (a background sound).
    void SetLooping(bool on);

    // The last playback error, empty when none.
    QString ErrorText() const;

signals:
    // Playing came to the end of the file, or stopped on an error.
    void Finished();

private:
    std::unique_ptr<TWaveOutput> output_;
    QString error_;  // why the module could not be loaded
    bool looping_ = false;
};

// Records from the default input into a wave file. The samples go to a temporary file
// beside the target, which replaces the target only on Stop; Cancel, a failure or
// destruction while recording leave the old file as it was. The sound module loads with
// the first Start.
class TWaveRecorder : public QObject {
    Q_OBJECT
public:
    explicit TWaveRecorder(QObject* owner = nullptr);
    ~TWaveRecorder() override;
    // False (with ErrorText) when there is no input device or the file cannot be made.
    bool Start(const QString& fileName);
    // Completes the file and puts it in place; false when nothing was started or it failed.
    bool Stop();
    void Cancel();
    bool Recording() const { return recording_; }
    const QString& ErrorText() const { return error_; }
    // Sample bytes recorded so far.
    qint64 BytesRecorded() const;

private:
    bool inputReady(TWaveInput::Result result);

    QString error_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<TWaveInput> source_;
    int rate_ = 22050;
    int channels_ = 1;
    bool recording_ = false;
};
