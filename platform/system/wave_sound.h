#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QAudioOutput;
class QAudioSource;
class QBuffer;
class QMediaPlayer;

// A RIFF/WAVE file of 16-bit PCM: the 44-byte header written field by field, then the
// samples.
QByteArray WaveFileBytes(const QByteArray& pcm, int sampleRate, int channels);

// Plays one wave file on the default output.
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

private:
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
};

// Records from the default input into a wave file. Without an input device the file
// is still written, with no samples.
class TWaveRecorder : public QObject {
    Q_OBJECT
public:
    explicit TWaveRecorder(QObject* owner = nullptr);
    ~TWaveRecorder() override;
    void Start(const QString& fileName);
    // Writes the file (safely, replacing an old one); false when nothing was started.
    bool Stop();
    bool Recording() const { return recording_; }

private:
    QString fileName_;
    std::unique_ptr<QBuffer> buffer_;
    QAudioSource* source_ = nullptr;
    int rate_ = 22050;
    int channels_ = 1;
    bool recording_ = false;
};
