// The sound comment dialog: recording, playing and importing an image's wave file.
#include "app/comments/sound_comment_dialog.h"

#include "app/text/language.h"
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
    setObjectName(QStringLiteral("komform"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Button1 = new QPushButton(QStringLiteral("Stop"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    MediaPlayer1 = new TWavePlayer(this);
    Recorder = new TWaveRecorder(this);
    Timer1 = new QTimer(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, [this] { TApplication::Guard([this] { StopClick(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { TApplication::Guard([this] { Timer1Timer(); }); });
    connect(MediaPlayer1, &TWavePlayer::Finished, this, [this] {
        if (running_)
            TApplication::Guard([this] { StopClick(); });
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
    Timer1->disconnect();
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        accept();
    });
    Timer1->start(1);
}

void Tkomform::FormActivate()
{
    switch (Mode) {
    case Import: {
        Button1->hide();
        Label1->setText(TranslatedText(QStringLiteral("Importiere Kommentar. Bitte warten ...")));
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
        Button1->show();
        if (!Recorder->Start(FileName)) {
            MessageDlg(Recorder->ErrorText(), mtError, mbOK, 0);
            closeSoon();
            return;
        }
        running_ = true;
        Label1->setText(TranslatedText(QStringLiteral("Aufnahme läuft !!!")));
        setWindowTitle(TranslatedText(QStringLiteral("Kommentar aufnehmen")));
        StartStopwatch();
        Timer1Timer();
        Timer1->start(1);
        break;
    case Play:
        Button1->show();
        running_ = true;
        Label1->setText(TranslatedText(QStringLiteral("Kommentar wird abgespielt !!!")));
        setWindowTitle(TranslatedText(QStringLiteral("Kommentar abspielen")));
        MediaPlayer1->Play(FileName);
        break;
    default: closeSoon(); break;
    }
}

void Tkomform::Timer1Timer()
{
    Label2->setText(QString::number(StopwatchSeconds()) + LangText(QStringLiteral(" Sekunden"), QStringLiteral(" seconds")));
}

void Tkomform::StopClick()
{
    running_ = false;
    Timer1->stop();
    MediaPlayer1->Stop();
    if (Mode == Record && Recorder->Recording() && !Recorder->Stop())
        MessageDlg(Recorder->ErrorText(), mtError, mbOK, 0);
    accept();
}

void Tkomform::reject()
{
    // Closing without Stop keeps the comment that was there.
    running_ = false;
    Timer1->stop();
    MediaPlayer1->Stop();
    Recorder->Cancel();
    QDialog::reject();
}
