// The batch runner needs nothing of the main window beyond its services: it runs here
// against a stand-in that only keeps a log.
#include "app/batch/batch_dialog.h"
#include "app/batch/batch_file.h"
#include "app/batch/batch_runner.h"
#include "app/main_window/main_window_dialogs.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/document/image_document.h"
#include "app/options/options.h"
#include "common/test_support.h"
#include "platform/ui/dialogs.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

class TFakeMainWindow : public QWidget, public TMainWindowServices {
public:
    TFakeMainWindow() : area_(new QMdiArea(this)) {}

    QWidget* Window() override { return this; }
    TCommandDialogs& Dialogs() override { return dialogs_; }
    toptions& Options() override { return options_; }
    QMdiArea* ClientArea() const override { return area_; }
    QList<QWidget*> MDIChildren() const override
    {
        QList<QWidget*> children;
        for (QMdiSubWindow* sub : area_->subWindowList())
            children << sub->widget();
        return children;
    }
    QWidget* ActiveMDIChild() const override { return active_; }
    void ActivateChild(QWidget* child) override { active_ = child; }
    void PinChild(QWidget* child, bool pinned) override { pinned_ = pinned ? child : nullptr; }
    Tchild* NewImageWindow() override { return nullptr; }
    QString UntitledCaption() const override { return {}; }
    void FitWindowToImage(QObject*, Tchild*) override {}
    void OpenFiles(const QStringList&) override {}
    void AddToHistory(const QString&) override {}
    tautomatitem& Record() override { return record_; }
    void RunRecord(QObject* sender, const tautomatitem& item) override
    {
        EXPECT_EQ(sender, this);
        ran.push_back({item.Code(), pinned_.data(), Runner->Running()});
        if (OnRun)
            OnRun();
    }
    bool IsRecording() const override { return false; }
    void SetRecording(bool) override {}
    std::vector<QByteArray>& RecordedBlocks() override { return blocks_; }
    TSaveOutcome SaveImage(Tchild*) override { return TSaveOutcome::Failed; }
    TSaveOutcome RunSave(Tchild*, const QString&, const tsaveparams&, QString*) override
    {
        return TSaveOutcome::Failed;
    }
    void ActiveSaveParams(tsaveparams&) override {}
    void DialogSaveParams(tsaveparams&) override {}
    void HandOverDecoded(TDecodedPicture*, const QString&) override {}
    void SetLoadErrorSink(QString*) override {}
    void UpdateAvailability(bool) override { ++availabilityUpdates; }
    QAction* Item(const QString&) const override { return nullptr; }
    void SetAvailable(QObject*, bool) override {}
    void ShowProgress(QObject*, int) override {}
    void ResetProgress() override {}
    TThrottledProgress* ProgressThrottle() override { return nullptr; }
    void ShowStatus(const QString&) override {}
    QString ImageFilterWithoutCatalogs() const override { return {}; }
    QString WaveFilter() const override { return {}; }

    QWidget* AddChild()
    {
        auto* child = new QWidget;
        area_->addSubWindow(child)->show();
        return child;
    }

    struct TRun {
        uint8_t code;
        QWidget* pinned;
        bool running;
    };
    std::vector<TRun> ran;
    int availabilityUpdates = 0;
    TBatchRunner* Runner = nullptr;
    std::function<void()> OnRun;

private:
    QMdiArea* area_;
    TMainWindowDialogs dialogs_;
    toptions options_;
    tautomatitem record_;
    std::vector<QByteArray> blocks_;
    QPointer<QWidget> active_;
    QPointer<QWidget> pinned_;
};

QString batchFile(const QString& name, std::initializer_list<uint8_t> codes)
{
    std::vector<QByteArray> blocks;
    for (uint8_t code : codes) {
        tautomatitem item;
        item.SetCode(code);
        blocks.push_back(item.ToByteArray());
    }
    const QString path = TempDir() + QLatin1Char('/') + name + QStringLiteral(".atm");
    WriteBatchFile(path, blocks);
    return path;
}

// The records run on the active window, pinned while they run; recorded saves are left
// to the after-processing; a second batch started meanwhile is refused.
TEST(BatchRunner, ReplaysOnThePinnedActiveWindowThroughTheServicesAlone)
{
    std::vector<QString> messages;
    SetMessageDlgHook([&](const MessageDlgCall& call) {
        messages.push_back(call.message);
        return int(mrOk);
    });
    TFakeMainWindow main;
    main.show();
    TBatchRunner runner(main);
    main.Runner = &runner;
    runner.Dialog()->ChooseNothing();
    QWidget* target = main.AddChild();
    main.AddChild();
    main.ActivateChild(target);
    const QString path = batchFile(QStringLiteral("fake"), {cmdNegative, cmdSave, cmdFlipVertical});
    main.OnRun = [&] { runner.RunBatch(path, TBatchRunner::bmActive); };

    runner.RunBatch(path, TBatchRunner::bmActive);

    ASSERT_EQ(main.ran.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(main.ran[i].code, i == 0 ? cmdNegative : cmdFlipVertical);
        EXPECT_EQ(main.ran[i].pinned, target);
        EXPECT_TRUE(main.ran[i].running);
    }
    EXPECT_EQ(messages.size(), 2u);  // each refused start says so
    EXPECT_FALSE(runner.Running());
    EXPECT_GE(main.availabilityUpdates, 1);
    EXPECT_TRUE(runner.Failures().isEmpty());
    SetMessageDlgHook(nullptr);
}

}  // namespace
