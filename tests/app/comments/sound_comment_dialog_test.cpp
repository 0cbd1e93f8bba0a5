// The sound comment dialog: importing, recording and playing a comment.
#include "app/comments/sound_comment_dialog.h"
#include "app/text/language.h"
#include "app/util/stopwatch.h"
#include "common/test_support.h"
#include "app/comments/null_audio.h"
#include "platform/core/streams.h"
#include "platform/system/wave_sound.h"
#include "platform/ui/dialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString freshDir()
{
    static int n = 0;
    const QString d = TempDir() + QStringLiteral("/komform%1").arg(n++);
    QDir(d).removeRecursively();
    QDir().mkpath(d);
    return d;
}

void write(const QString& path, const QByteArray& bytes) { WriteFileSafely(path, bytes); }

QByteArray read(const QString& path) { return QFileInfo::exists(path) ? ReadWholeFile(path) : QByteArray("<missing>"); }

QByteArray pattern(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(i * 7 + i / 256);
    return b;
}

class CommentForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Before anything opens the sound library, which connects only once.
        audio = StartNullAudio();
        SetMessageDlgHook([this](const MessageDlgCall& call) {
            messages << call.message;
            return int(mrOk);
        });
    }
    void TearDown() override
    {
        SetMessageDlgHook(nullptr);
        SetStopwatchClock(nullptr);
        SetLanguage(langGerman);
    }
    QStringList messages;
    QString audio;
};

}  // namespace

// Block copies of every length around the block size arrive whole; the same file
// under another name is left as it is; a missing source leaves the old comment.
TEST_F(CommentForm, ImportCopiesTheWholeFileOrLeavesTheOldOne)
{
    const QString dir = freshDir();
    for (int size : {0, 1, 1023, 1024, 1025, 2048, 5000}) {
        const QString src = dir + QStringLiteral("/in%1.wav").arg(size), dst = dir + QStringLiteral("/a.jpg.wav");
        write(src, pattern(size));
        write(dst, "old comment");
        ASSERT_TRUE(Tkomform::CopyComment(src, dst)) << size;
        EXPECT_EQ(read(dst), pattern(size)) << size;
    }
    const QString self = dir + QStringLiteral("/self.jpg.wav");
    write(self, pattern(3000));
    for (const QString& alias :
         {self, dir + QStringLiteral("/../") + QFileInfo(dir).fileName() + QStringLiteral("/self.jpg.wav")}) {
        EXPECT_TRUE(Tkomform::CopyComment(alias, self));
        EXPECT_EQ(read(self), pattern(3000)) << alias.toStdString();
    }
    QString why;
    EXPECT_FALSE(Tkomform::CopyComment(dir + QStringLiteral("/missing.wav"), self, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(read(self), pattern(3000));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).filter(QStringLiteral("self")).size(), 1) << "no temporary left behind";
}

TEST_F(CommentForm, ImportModeShowsItsTextsAndCloses)
{
    const QString dir = freshDir();
    write(dir + QStringLiteral("/src.wav"), pattern(1024));
    for (uint8_t lang : {uint8_t(langGerman), uint8_t(langEnglish)}) {
        SetLanguage(lang);
        Tkomform form;
        form.Mode = Tkomform::Import;
        form.SourceFile = dir + QStringLiteral("/src.wav");
        form.FileName = dir + QStringLiteral("/b.png.wav");
        form.show();
        EXPECT_FALSE(form.stopButton->isVisible());
        EXPECT_EQ(form.elapsedLabel->text(), LangText(QStringLiteral("Importiere Kommentar. Bitte warten ..."),
                                                      QStringLiteral("Importing comment. Please wait ...")));
        EXPECT_EQ(form.windowTitle(),
                  LangText(QStringLiteral("Kommentar importieren"), QStringLiteral("Import comment")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 10000));
        EXPECT_EQ(read(form.FileName), pattern(1024));
    }
}

// A close pending as the import shows ends the dialog without the copy; its loop must not
// start after the close and wait for ever.
TEST_F(CommentForm, ImportClosedWhileItOpensEndsWithoutCopying)
{
    const QString dir = freshDir();
    write(dir + QStringLiteral("/src.wav"), pattern(64));
    Tkomform form;
    form.Mode = Tkomform::Import;
    form.SourceFile = dir + QStringLiteral("/src.wav");
    form.FileName = dir + QStringLiteral("/c.png.wav");
    QMetaObject::invokeMethod(&form, &QWidget::close, Qt::QueuedConnection);
    bool hung = false;  // only a dialog left hanging meets this: it is shown again and ended
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, &form, [&] {
        hung = true;
        form.show();
        form.reject();
    });
    rescue.start(20000);
    form.exec();
    EXPECT_FALSE(hung);
    EXPECT_FALSE(QFileInfo::exists(form.FileName));
}

// Recording goes to a temporary file: the old comment stays until Stop, Cancel keeps
// it, and the seconds count from the stopwatch.
TEST_F(CommentForm, RecordingReplacesTheCommentOnlyOnStop)
{
    if (!audio.isEmpty())
        GTEST_SKIP() << audio.toStdString();
    const QString dir = freshDir();
    const QString wav = dir + QStringLiteral("/pic.bmp.wav");
    int64_t now = 0;
    SetStopwatchClock([&] { return now; });
    for (bool stop : {false, true}) {
        write(wav, "old comment");
        now = 0;
        Tkomform form;
        form.Mode = Tkomform::Record;
        form.FileName = wav;
        form.show();
        ASSERT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(form.Running());
        EXPECT_TRUE(form.stopButton->isVisible());
        EXPECT_EQ(form.elapsedLabel->text(), QStringLiteral("Aufnahme läuft !!!"));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Kommentar aufnehmen"));
        for (auto [ms, text] :
             {std::pair{0, "0 Sekunden"}, {1499, "1 Sekunden"}, {2500, "2 Sekunden"}, {61700, "62 Sekunden"}}) {
            now = ms;
            form.elapsedTick();
            EXPECT_EQ(form.fileLabel->text(), QString::fromUtf8(text));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.Recorder->BytesRecorded() >= 2000; }, 20000));
        EXPECT_EQ(read(wav), QByteArray("old comment"));
        if (stop)
            QTest::mouseClick(form.stopButton, Qt::LeftButton);
        else
            form.reject();
        EXPECT_FALSE(form.isVisible());
        const QStringList left = QDir(dir).entryList(QDir::Files);
        EXPECT_EQ(left, QStringList{QStringLiteral("pic.bmp.wav")})
            << "temporary files: " << left.join(' ').toStdString();
        if (!stop) {
            EXPECT_EQ(read(wav), QByteArray("old comment"));
            continue;
        }
        QByteArray out;
        ASSERT_EQ(RunTool(QStringLiteral("/usr/bin/python3"),
                          {QStringLiteral("-c"),
                           QStringLiteral(
                               "import wave,sys; w=wave.open(sys.argv[1]); "
                               "print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())"),
                           wav},
                          &out),
                  0);
        const QList<QByteArray> f = out.trimmed().split(' ');
        ASSERT_EQ(f.size(), 4);
        EXPECT_EQ(f[0], "1");
        EXPECT_EQ(f[1], "2");
        EXPECT_EQ(f[2], "22050");
        EXPECT_EQ(f[3].toLongLong() * 2 + 44, QFileInfo(wav).size());
        EXPECT_GE(f[3].toLongLong(), 1000);
    }
}

// A comment that cannot be written is reported, and nothing is left behind.
TEST_F(CommentForm, RecordingIntoAMissingFolderReportsIt)
{
    if (!audio.isEmpty())
        GTEST_SKIP() << audio.toStdString();
    Tkomform form;
    form.Mode = Tkomform::Record;
    form.FileName = freshDir() + QStringLiteral("/gone/pic.bmp.wav");
    form.show();
    EXPECT_FALSE(form.Running());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("pic.bmp.wav")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 10000));
    EXPECT_FALSE(QFileInfo::exists(form.FileName));
}

TEST_F(CommentForm, PlayingEndsByItself)
{
    if (!audio.isEmpty())
        GTEST_SKIP() << audio.toStdString();
    const QString wav = freshDir() + QStringLiteral("/short.jpg.wav");
    write(wav, WaveFileBytes(QByteArray(22050 / 5 * 2, '\0'), 22050, 1));
    SetLanguage(langEnglish);
    Tkomform form;
    form.Mode = Tkomform::Play;
    form.FileName = wav;
    form.show();
    EXPECT_EQ(form.elapsedLabel->text(), QStringLiteral("Comment is playing !!!"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Play comment"));
    EXPECT_TRUE(form.stopButton->isVisible());
    EXPECT_TRUE(form.Running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 30000));
    EXPECT_FALSE(form.Running());
    EXPECT_TRUE(messages.isEmpty());
}
