// Reads one image of a started scan on a helper thread, so that the device's blocking
// reads never hold the window's thread. Progress comes from the frame's line count;
// Cancel asks the device to stop (SANE allows that from any thread) and the read ends
// as cancelled. Signals arrive on the thread that made the object.
#pragma once

#include "platform/scan/sane_manager.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

class TScanImage;

class TScanTransfer : public QObject {
    Q_OBJECT
public:
    enum TResult { Running, Done, Cancelled, Failed };

    TScanTransfer(TSaneManager& manager, SANE_Handle source);
    // Cancels a read still running and waits for the thread.
    ~TScanTransfer() override;
    TScanTransfer(const TScanTransfer&) = delete;
    TScanTransfer& operator=(const TScanTransfer&) = delete;

    void Begin();
    void Cancel();

    TResult Result() const { return result_.load(); }
    int Percent() const { return percent_.load(); }
    // Valid once Finished was emitted.
    QByteArray TakeDIB() { return std::move(dib_); }
    const QString& Why() const { return why_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int SamplesPerPixel() const { return samples_; }
    int BitsPerSample() const { return depth_; }
    int BitsPerPixel() const { return bits_; }

signals:
    void Progress(int percent);
    void Finished();

private:
    void run();
    TResult readFrames(TScanImage& img);
    void setPercent(int percent);

    TSaneManager& manager_;
    SANE_Handle source_;
    std::thread thread_;
    std::atomic<TResult> result_{Running};
    std::atomic<int> percent_{0};
    // On the transfer's thread: what the window was last told, and when.
    static constexpr std::chrono::milliseconds kTellEvery{16};
    int told_ = 0;
    std::chrono::steady_clock::time_point toldAt_{};
    std::atomic<bool> cancel_{false};
    QByteArray dib_;
    QString why_;
    int width_ = 0, height_ = 0, samples_ = 0, depth_ = 0, bits_ = 0;
};
