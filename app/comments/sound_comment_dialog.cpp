// The sound comment dialog: recording, playing and importing an image's wave file.
#include "app/comments/sound_comment_dialog.h"

#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/stopwatch.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/system/wave_sound.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Tkomform::Tkomform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QLatin1String(ObjectName::SoundCommentDialog::Form));
    elapsedLabel = new QLabel(this);
    elapsedLabel->setObjectName(QLatin1String(ObjectName::SoundCommentDialog::Label1));
    fileLabel = new QLabel(this);
    fileLabel->setObjectName(QLatin1String(ObjectName::SoundCommentDialog::Label2));
    stopButton = new QPushButton(QStringLiteral("Stop"), this);
    stopButton->setObjectName(QLatin1String(ObjectName::SoundCommentDialog::Button1));
    player = new TWavePlayer(this);
    Recorder = new TWaveRecorder(this);
    elapsedTimer = new QTimer(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(elapsedLabel);
    layout->addWidget(fileLabel);
    layout->addWidget(stopButton, 0, Qt::AlignHCenter);
    connect(stopButton, &QPushButton::clicked, this, [this] { TApplication::Guard([this] { stopClicked(); }); });
    connect(elapsedTimer, &QTimer::timeout, this, [this] { TApplication::Guard([this] { elapsedTick(); }); });
    connect(player, &TWavePlayer::Finished, this, [this] {
        if (running_)
            TApplication::Guard([this] { stopClicked(); });
    });
}

Tkomform::~Tkomform() = default;

void Tkomform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        TApplication::Guard([this] { FormActivate(); });
    }
}

bool Tkomform::CopyComment(const QString& source, const QString& target, QString* error)
{
    const QString a = QFileInfo(source).canonicalFilePath(), b = QFileInfo(target).canonicalFilePath();
    // The comment imported onto itself: opening the target for writing would empty the source.
    if (!a.isEmpty() && a == b)
        return true;
    try {
        TFileStream in(source, fmOpenRead);
        TSafeFileStream out(target);
        char block[1024];
        int64_t got;
        do {
            got = in.Read(block, sizeof block);
            out.WriteBuffer(block, got);
        } while (got == int64_t(sizeof block));
        out.Commit();
    } catch (const Exception& e) {
        if (error)
            *error = e.Message();
        return false;
    }
    return true;
}

void Tkomform::closeSoon()
{
    elapsedTimer->disconnect();
    connect(elapsedTimer, &QTimer::timeout, this, [this] {
        elapsedTimer->stop();
        accept();
    });
    elapsedTimer->start(1);
}

void Tkomform::FormActivate()
{
    switch (Mode) {
    case Import: {
        stopButton->hide();
        elapsedLabel->setText(TranslatedText(QStringLiteral("Importiere Kommentar. Bitte warten ...")));
        setWindowTitle(TranslatedText(QStringLiteral("Kommentar importieren")));
        // The label shows before the copy, from the dialog's own loop: run here, inside
        // showing, a close among the pending events would come before that loop.
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                return;
            QString why;
            if (!CopyComment(SourceFile, FileName, &why))
                MessageDlg(SourceFile + QStringLiteral(": ") + why, mtError, mbOK, 0);
            closeSoon();
        });
        break;
    }
    case Record:
        stopButton->show();
        if (!Recorder->Start(FileName)) {
            if (!WaveSoundModule())
                LangMessageDlg(QStringLiteral("Ton kann nicht aufgenommen werden: Das Tonmodul des Programms fehlt."),
                               mtError, mbOK,
                               QStringLiteral("Sound cannot be recorded: the program's sound module is missing."));
            else
                MessageDlg(Recorder->ErrorText(), mtError, mbOK, 0);
            closeSoon();
            return;
        }
        running_ = true;
        elapsedLabel->setText(TranslatedText(QStringLiteral("Aufnahme läuft !!!")));
        setWindowTitle(TranslatedText(QStringLiteral("Kommentar aufnehmen")));
        StartStopwatch();
        elapsedTick();
        elapsedTimer->start(1);
        break;
    case Play:
        stopButton->show();
        running_ = true;
        elapsedLabel->setText(TranslatedText(QStringLiteral("Kommentar wird abgespielt !!!")));
        setWindowTitle(TranslatedText(QStringLiteral("Kommentar abspielen")));
        player->Play(FileName);
        break;
    default: closeSoon(); break;
    }
}

void Tkomform::elapsedTick()
{
    fileLabel->setText(QString::number(StopwatchSeconds()) +
                       LangText(QStringLiteral(" Sekunden"), QStringLiteral(" seconds")));
}

void Tkomform::stopClicked()
{
    running_ = false;
    elapsedTimer->stop();
    player->Stop();
    if (Mode == Record && Recorder->Recording() && !Recorder->Stop())
        MessageDlg(Recorder->ErrorText(), mtError, mbOK, 0);
    accept();
}

void Tkomform::reject()
{
    // Closing without Stop keeps the comment that was there.
    running_ = false;
    elapsedTimer->stop();
    player->Stop();
    Recorder->Cancel();
    QDialog::reject();
}
