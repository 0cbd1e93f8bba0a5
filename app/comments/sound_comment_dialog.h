// The sound comment dialog (Tkomform).
#pragma once
#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class QTimer;
class TWavePlayer;
class TWaveRecorder;

// The sound comment of an image: records it, plays it, or imports another wave file
// as the comment.
class Tkomform : public QDialog {
    Q_OBJECT
public:
    explicit Tkomform(QWidget* owner = nullptr);
    ~Tkomform() override;

    enum : uint8_t { Record = 0, Play = 1, Import = 2 };
    uint8_t Mode = Record;
    QString FileName;    // the comment: the image's file name with ".wav" appended
    QString SourceFile;  // the file imported in mode 2
    bool Running() const { return running_; }

    void FormActivate();
    void stopClicked();
    void elapsedTick();
    // Copies source over target in blocks of 1024 bytes through a temporary file; the
    // same file under two names is left alone. False (with a message) on failure.
    static bool CopyComment(const QString& source, const QString& target, QString* error = nullptr);

    QLabel* elapsedLabel;
    QLabel* fileLabel;
    QPushButton* stopButton;  // "Stop"
    TWavePlayer* player;
    TWaveRecorder* Recorder;
    QTimer* elapsedTimer;

    // Closing without Stop: the comment that was there stays.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void closeSoon();
    bool running_ = false;
    bool activated_ = false;
};
