// Sound and text comments: files beside the image, named after it with ".wav" or
// ".txt" appended ("a.jpg.wav").
#include "app/comments/comment_commands.h"
#include "app/comments/sound_comment_dialog.h"
#include "app/commands/command_dialogs.h"
#include "app/image_window/image_window.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "app/util/text_lines.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/streams.h"
#include "platform/ui/file_dialogs.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Empty when the image has no file yet.
QString commentPath(Tchild* image, const char* extension)
{
    const QString name = image->imageKit->IOParams().FileName;
    if (name.isEmpty())
        return {};
    const QFileInfo info(name);
    return AddTrailingBackslash(info.path()) + info.fileName() + QLatin1String(extension);
}

bool savedFirst(Tchild* image)
{
    if (!image->imageKit->IOParams().FileName.isEmpty())
        return true;
    LangMessageDlg(QStringLiteral("Sie müssen die Grafik erst speichern, bevor sie einen Kommentar aufnehmen können."),
                   mtError, mbOK,
                   QStringLiteral("You have to save your image first, before you can record a comment."));
    return false;
}

bool confirmed(const QString& german, const QString& english)
{
    return LangMessageDlg(german, mtConfirmation, mbOKCancel, english) == mrOk;
}

}  // namespace

void RunCommentForm(const QString& wavPath, const QString& source, int mode)
{
    Tkomform form;
    form.Mode = uint8_t(mode);
    form.FileName = wavPath;
    form.SourceFile = source;
    form.exec();
}

QString ChooseWaveFile(const QString& title, const QString& directory, const QString& filter)
{
    TOpenDialog dialog;
    dialog.Title = title;
    dialog.InitialDir = directory;
    dialog.Filter = filter;
    return dialog.Execute() ? dialog.FileName : QString();
}

void RunCommentCommand(TMainWindowServices& main, const tautomatitem& a, Tchild* image)
{
    const QString wav = commentPath(image, ".wav");
    const QString none = LangText(QStringLiteral("Es existiert kein Kommentar zu dieser Datei."),
                                  a.Code() == cmdDeleteComment
                                      ? QStringLiteral("A comment for this file doesn´t exists.")
                                      : QStringLiteral("A comment for this file doesn´t exist."));
    switch (a.Code()) {
    case cmdRecordComment:
        if (!savedFirst(image))
            return;
        if (QFileInfo::exists(wav) &&
            !confirmed(wav + QStringLiteral(
                                 " existiert bereits. Möchten Sie trotzdem einen neuen Tonkommentar aufnehmen?"),
                       wav + QStringLiteral(" already exists. Do you still want to record a new sound comment?")))
            return;
        if (!confirmed(QStringLiteral("Drücken Sie auf OK, um mit der Aufnahme zu beginnnen."),
                       QStringLiteral("Press OK to start recording")))
            return;
        main.Dialogs().CommentForm(wav, QString(), cmRecord);
        break;
    case cmdTextComment: {
        if (!savedFirst(image))
            return;
        const QString txt = commentPath(image, ".txt");
        QString text = QFileInfo::exists(txt) ? ReadFirstLine(txt) : QString();
        if (!InputQuery(LangText(QStringLiteral("Textkommentar festlegen"), QStringLiteral("Set text comment")),
                        LangText(QStringLiteral("Bitte Textkommentar eingeben:"), QStringLiteral("Enter text comment")),
                        text))
            break;
        if (text.isEmpty()) {
            if (QFileInfo::exists(txt))
                QFile::remove(txt);
            return;
        }
        WriteFileSafely(txt, text.toUtf8() + "\n");
        break;
    }
    case cmdDeleteComment:
        if (wav.isEmpty() || !QFileInfo::exists(wav)) {
            LangMessageDlg(none, mtInformation, mbOK, none);
            return;
        }
        if (confirmed(QStringLiteral("Sind Sie sicher, dass Sie den Kommentar löschen möchten?"),
                      QStringLiteral("Are you sure that you want to delete the comment?")))
            QFile::remove(wav);
        break;
    case cmdPlayComment:
        if (wav.isEmpty() || !QFileInfo::exists(wav)) {
            LangMessageDlg(none, mtInformation, mbOK, none);
            return;
        }
        main.Dialogs().CommentForm(wav, QString(), cmPlay);
        break;
    case cmdImportComment: {
        const QString chosen = main.Dialogs().ChooseWavFile(TranslatedCaption(QStringLiteral("WAV-Datei importieren")),
                                                            main.Options().lastdir, main.WaveFilter());
        if (chosen.isEmpty())
            break;
        main.Options().lastdir = AddTrailingBackslash(QFileInfo(chosen).absolutePath());
        if (!savedFirst(image))
            return;
        if (QFileInfo::exists(wav) &&
            !confirmed(wav +
                           QStringLiteral(" existiert bereits. Möchten Sie trotzdem einen neuen Kommentar aufnehmen?"),
                       wav + QStringLiteral(" already exists. Do you still want to record a new comment?")))
            return;
        main.Dialogs().CommentForm(wav, chosen, cmImport);
        break;
    }
    default: break;
    }
    main.UpdateAvailability(false);
}
