#include "controls/placement/form_placement.h"

#include "controls/placement/ini_storage.h"
#include "controls/util/str_utils.h"
#include "platform/ui/application.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>

namespace {

// Show commands as the stored files have them.
constexpr int swHide = 0;
constexpr int swShowNormal = 1;
constexpr int swShowMinimized = 2;
constexpr int swShowMaximized = 3;
// Flag of a minimised MDI child's placement.
constexpr int wpfSetMinPosition = 1;
// A rectangle wider or higher than this comes from a damaged file.
constexpr int kMaxExtent = 1 << 16;

QPointer<QWidget> kitMainForm;

struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = swShowNormal;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    // The normal client rectangle.
    QRect Normal;
};

// An MDI child's window is the sub-window around it.
QWidget* windowOf(QWidget* form)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        return sub;
    return form;
}

bool isMdiChild(QWidget* form) { return windowOf(form) != form; }

bool isMdiFrame(QWidget* form)
{
    const auto* main = qobject_cast<QMainWindow*>(form);
    return main && qobject_cast<QMdiArea*>(main->centralWidget());
}

bool isMainForm(QWidget* form) { return !kitMainForm || kitMainForm == form; }

bool isSizeable(QWidget* w)
{
    return w->minimumSize() != w->maximumSize() && !(w->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
}

int screenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

TWindowPlacement readPlacement(QWidget* form)
{
    QWidget* w = windowOf(form);
    TWindowPlacement p;
    const Qt::WindowStates state = w->windowState();
    if (state & Qt::WindowMinimized)
        p.ShowCmd = swShowMinimized;
    else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        p.ShowCmd = swShowMaximized;
    if ((state & Qt::WindowMinimized) && isMdiChild(form))
        p.Flags |= wpfSetMinPosition;
    // The client rectangle: the frame of a window not yet mapped is unknown on X11, and
    // a frame position set then would land on the client, moving the form a little
    // further on every run.
    p.Normal = w->geometry();
    if (w->isWindow() && (state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) &&
        w->normalGeometry().isValid())
        p.Normal = w->normalGeometry();
    return p;
}

QString rectText(int a, int b, int c, int d) { return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d); }

// Four integers with a positive, bounded width and height; anything else is ignored.
bool parseNormalRect(const QString& text, QRect& out)
{
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = NthWord(i + 1, text, QStringLiteral(",")).trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    if (!NthWord(5, text, QStringLiteral(",")).isEmpty())
        return false;
    const qint64 width = qint64(v[2]) - v[0];
    const qint64 height = qint64(v[3]) - v[1];
    if (width <= 0 || height <= 0 || width > kMaxExtent || height > kMaxExtent)
        return false;
    if (qAbs(qint64(v[0])) > kMaxExtent * 4 || qAbs(qint64(v[1])) > kMaxExtent * 4)
        return false;
    out = QRect(v[0], v[1], int(width), int(height));
    return true;
}

// Zero until the window system has framed the window.
QMargins frameMargins(const QWidget* w)
{
    const QRect f = w->frameGeometry(), g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

// A rectangle that no screen holds any more (saved on a larger screen, or on one that
// is gone) is brought onto the available area of the screen it overlaps most.
QRect fitOntoScreen(const QRect& client, const QMargins& frame)
{
    const QRect r = client.marginsAdded(frame);
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return client;
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* s : screens) {
        const QRect avail = s->availableGeometry();
        if (avail.contains(r))
            return client;
        const QRect common = avail.intersected(r);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = s;
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen() : screens.first();
    const QRect a = best->availableGeometry();
    const int w = std::min(r.width(), a.width());
    const int h = std::min(r.height(), a.height());
    const int x = std::clamp(r.x(), a.left(), a.left() + a.width() - w);
    const int y = std::clamp(r.y(), a.top(), a.top() + a.height() - h);
    return QRect(x, y, w, h).marginsRemoved(frame);
}

} // namespace

QWidget* KitMainForm() { return kitMainForm; }
void SetKitMainForm(QWidget* form) { kitMainForm = form; }

// ---- form-level routines -------------------------------------------------------------

void WriteFormPlacement(QWidget* form, TCustomIniFile* ini, const QString& section)
{
    if (!form)
        return;
    const TWindowPlacement p = readPlacement(form);
    IniWriteInteger(ini, section, QStringLiteral("Flags"), p.Flags);
    IniWriteInteger(ini, section, QStringLiteral("ShowCmd"), p.ShowCmd);
    IniWriteInteger(ini, section, QStringLiteral("PixelsPerInch"), screenPixelsPerInch());
    IniWriteScreenString(ini, section, QStringLiteral("MinMaxPos"),
                         rectText(p.MinPosition.x(), p.MinPosition.y(), p.MaxPosition.x(), p.MaxPosition.y()));
    IniWriteScreenString(ini, section, QStringLiteral("NormPos"),
                         rectText(p.Normal.left(), p.Normal.top(), p.Normal.left() + p.Normal.width(),
                                  p.Normal.top() + p.Normal.height()));
}

void ReadFormPlacement(QWidget* form, TCustomIniFile* ini, const QString& section, bool loadState,
                       bool loadPosition)
{
    if (!form || !(loadState || loadPosition))
        return;
    QWidget* w = windowOf(form);
    const TWindowPlacement p = readPlacement(form);
    const bool defaultPosition = !w->testAttribute(Qt::WA_Moved);

    // Everything is read before anything changes.
    bool applyRect = false;
    QRect rect = p.Normal;
    if (loadPosition) {
        // "Flags" and the minimised and maximised positions have nothing to act on here:
        // the window system places minimised and maximised windows itself.
        const QString minMax = IniReadScreenString(ini, section, QStringLiteral("MinMaxPos"), QString());
        const QString normal = IniReadScreenString(ini, section, QStringLiteral("NormPos"), QString());
        const int ppi = IniReadInteger(ini, section, QStringLiteral("PixelsPerInch"), screenPixelsPerInch());
        if (ppi == screenPixelsPerInch() && (!minMax.isEmpty() || !normal.isEmpty())) {
            QRect stored;
            if (!normal.isEmpty() && parseNormalRect(normal, stored))
                rect = stored;
            if (!isSizeable(w))
                rect.setSize(p.Normal.size());
            applyRect = rect.width() > 0 && rect.height() > 0;
            if (applyRect && w->isWindow())
                rect = fitOntoScreen(rect, frameMargins(w));
        }
    }
    Qt::WindowStates state = Qt::WindowNoState;
    if (loadState) {
        const bool stayOnTop = w->windowFlags() & Qt::WindowStaysOnTopHint;
        const bool normalForm = !isMdiChild(form) && !isMdiFrame(form) && !stayOnTop;
        if (isMainForm(form) && (isMdiFrame(form) || (normalForm && defaultPosition)))
            state = Qt::WindowMaximized;
        switch (IniReadInteger(ini, section, QStringLiteral("ShowCmd"), swHide)) {
        case 1: case 5: case 9: state = Qt::WindowNoState; break;
        case 2: case 6: case 7: state = Qt::WindowMinimized; break;
        case 3: state = Qt::WindowMaximized; break;
        default: break;
        }
    }

    const Qt::WindowStates kept = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (applyRect) {
        // The rectangle is the normal one: set it while the window is normal.
        if (w->windowState() != kept)
            w->setWindowState(kept);
        w->setGeometry(rect);
    }
    if (loadState) {
        if (state == Qt::WindowMinimized && isMainForm(form) && !isMdiChild(form)) {
            w->setWindowState(kept);
            QTimer::singleShot(0, w, [w] { w->showMinimized(); });
            return;
        }
        w->setWindowState(kept | state);
    }
    w->update();
}

// ---- min-max info and ini link -------------------------------------------------------

void TWinMinMaxInfo::SetValue(Item item, int value)
{
    if (item < 0 || item >= ItemCount || values_[item] == value)
        return;
    values_[item] = value;
    if (owner_)
        owner_->MinMaxInfoChanged();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& other)
{
    if (&other == this)
        return;
    std::copy(std::begin(other.values_), std::end(other.values_), std::begin(values_));
    if (owner_)
        owner_->MinMaxInfoChanged();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const
{
    return std::all_of(std::begin(values_), std::end(values_), [](int v) { return v == 0; });
}

TIniLink::~TIniLink() { SetStorage(nullptr); }

void TIniLink::SetStorage(TFormPlacement* storage)
{
    if (storage == storage_)
        return;
    if (storage_)
        storage_->links_.removeAll(this);
    storage_ = storage;
    if (storage_)
        storage_->links_.append(this);
}

TCustomIniFile* TIniLink::IniObject() const { return storage_ ? storage_->IniFileObject() : nullptr; }

QString TIniLink::RootSection() const
{
    if (!storage_ || storage_->StoredIniSection().isEmpty())
        return QString();
    return storage_->StoredIniSection() + QLatin1Char('\\');
}

// ---- placement -----------------------------------------------------------------------

// Opens the storage for one save, restore or single access unless it is open already.
class TFormPlacement::IniSession {
public:
    IniSession(TFormPlacement* p, bool reading) : p_(p)
    {
        if (p_->ini_)
            return;
        p_->ini_ = p_->openIni();
        owner_ = true;
        if (auto* file = dynamic_cast<TIniFile*>(p_->ini_.get()); reading && file && !file->LoadError().isEmpty()) {
            const QString why = file->LoadError();
            close();
            throw EIniFileError(why);
        }
    }
    ~IniSession() { close(); }
    void Commit()
    {
        if (owner_ && p_->ini_)
            p_->ini_->UpdateFile();
        close();
    }

private:
    void close()
    {
        if (owner_)
            p_->ini_.reset();
        owner_ = false;
    }
    TFormPlacement* p_;
    bool owner_ = false;
};

TFormPlacement::TFormPlacement(QObject* owner) : QObject(owner)
{
    auto* form = qobject_cast<QWidget*>(owner);
    hook_ = new TKitWindowHook(this);
    hook_->AfterMessage = [this](TObject*, TMessage& msg, bool&) { limitMessage(msg); };
    if (!form || !form->isWindow())
        return;
    form_ = form;
    options_ = fpState | fpPosition;
    formFlags_ = form->windowFlags();
    const Qt::WindowFlags hints = formFlags_ & ~Qt::WindowType_Mask;
    hadMaximizeButton_ = (formFlags_ & Qt::WindowMaximizeButtonHint) ||
                         (!hints && (formFlags_ & Qt::WindowType_Mask) == Qt::Window);
    // The form's show and close pass through this hook: restore before the form sees
    // the show, save after it allowed the close.
    formHook_ = new TKitWindowHook(this);
    formHook_->BeforeMessage = [this](TObject*, TMessage& msg, bool&) { formMessageBefore(msg); };
    formHook_->AfterMessage = [this](TObject*, TMessage& msg, bool&) { formMessageAfter(msg); };
    formHook_->SetWinControl(form);
    destroyedConnection_ = connect(form, &QObject::destroyed, this, [this] { formDestroyed(); });
}

TFormPlacement::~TFormPlacement()
{
    disconnect(destroyedConnection_);
    for (TIniLink* link : std::as_const(links_))
        link->storage_ = nullptr;
    links_.clear();
    releaseSizeLimits();
    delete hook_;
    hook_ = nullptr;
    delete formHook_;
    formHook_ = nullptr;
}

QString TFormPlacement::IniFileName() const
{
    if (!iniFileName_.isEmpty())
        return iniFileName_;
    return useRegistry_ ? DefaultRegistryKey() : DefaultIniName();
}

QString TFormPlacement::IniSection() const
{
    if (!iniSection_.isEmpty())
        return iniSection_;
    // While the form is destroyed its class can no longer be told: use the section of the restore.
    if (destroying_ && !cachedSection_.isEmpty())
        return cachedSection_;
    return DefaultSection(parent());
}

std::unique_ptr<TCustomIniFile> TFormPlacement::openIni() const
{
    if (useRegistry_)
        return std::make_unique<TRegistryIniFile>(IniFileName());
    return std::make_unique<TIniFile>(IniFileName());
}

void TFormPlacement::SetPreventResize(bool on)
{
    if (!form_ || on == preventResize_)
        return;
    preventResize_ = on;
    updateBorderIcons();
    updateHook();
}

void TFormPlacement::MinMaxInfoChanged() { updateHook(); }

void TFormPlacement::updateHook()
{
    const bool watch = form_ && (preventResize_ || !minMaxInfo_.DefaultMinMaxInfo());
    if (watch) {
        hook_->SetWinControl(form_);
        applySizeLimits();
    } else {
        releaseSizeLimits();
        hook_->SetWinControl(nullptr);
    }
}

void TFormPlacement::updateBorderIcons()
{
    QWidget* w = form_;
    Qt::WindowFlags flags = w->windowFlags();
    if (preventResize_ || !hadMaximizeButton_) {
        if (!(flags & ~Qt::WindowType_Mask))
            flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                     Qt::WindowCloseButtonHint;
        flags |= Qt::CustomizeWindowHint;
        flags &= ~Qt::WindowMaximizeButtonHint;
    } else {
        flags = formFlags_;
    }
    if (flags == w->windowFlags())
        return;
    // Changing the flags hides the window; showing it again is no new show of the form.
    const bool visible = w->isVisible();
    changingFlags_ = true;
    w->setWindowFlags(flags);
    if (visible)
        w->show();
    changingFlags_ = false;
}

void TFormPlacement::applySizeLimits()
{
    if (!form_ || hook_->WinControl() != form_)
        return;
    QWidget* w = form_;
    if (!limitsSaved_) {
        formMinimum_ = w->minimumSize();
        formMaximum_ = w->maximumSize();
        limitsSaved_ = true;
    }
    if (preventResize_) {
        if (w->isVisible()) {
            w->setMinimumSize(w->size());
            w->setMaximumSize(w->size());
        }
        return;
    }
    QSize minimum = formMinimum_;
    QSize maximum = formMaximum_;
    auto take = [&](TWinMinMaxInfo::Item item, auto set) {
        if (const int v = minMaxInfo_.Value(item))
            set(v);
    };
    take(TWinMinMaxInfo::MinTrackWidth, [&](int v) { minimum.setWidth(v); });
    take(TWinMinMaxInfo::MinTrackHeight, [&](int v) { minimum.setHeight(v); });
    take(TWinMinMaxInfo::MaxTrackWidth, [&](int v) { maximum.setWidth(v); });
    take(TWinMinMaxInfo::MaxTrackHeight, [&](int v) { maximum.setHeight(v); });
    w->setMinimumSize(minimum);
    w->setMaximumSize(maximum);
}

void TFormPlacement::releaseSizeLimits()
{
    if (!limitsSaved_)
        return;
    limitsSaved_ = false;
    if (form_ && !destroying_) {
        form_->setMinimumSize(formMinimum_);
        form_->setMaximumSize(formMaximum_);
    }
}

void TFormPlacement::limitMessage(TMessage& msg)
{
    switch (msg.Msg) {
    case QEvent::Show:
        applySizeLimits();
        break;
    case QEvent::WindowStateChange:
        applySizeLimits();
        // The maximised rectangle, once the window system has maximised the form.
        if (!preventResize_ && form_ && form_->isMaximized() &&
            (minMaxInfo_.Value(TWinMinMaxInfo::MaxSizeWidth) || minMaxInfo_.Value(TWinMinMaxInfo::MaxSizeHeight) ||
             minMaxInfo_.Value(TWinMinMaxInfo::MaxPosLeft) || minMaxInfo_.Value(TWinMinMaxInfo::MaxPosTop))) {
            QPointer<QWidget> w = form_;
            QTimer::singleShot(0, this, [this, w] {
                if (!w || !w->isMaximized())
                    return;
                QRect r = w->geometry();
                auto pick = [&](TWinMinMaxInfo::Item item, int current) {
                    const int v = minMaxInfo_.Value(item);
                    return v ? v : current;
                };
                r = QRect(pick(TWinMinMaxInfo::MaxPosLeft, r.x()), pick(TWinMinMaxInfo::MaxPosTop, r.y()),
                          pick(TWinMinMaxInfo::MaxSizeWidth, r.width()), pick(TWinMinMaxInfo::MaxSizeHeight, r.height()));
                w->setGeometry(r);
            });
        }
        break;
    default:
        break;
    }
}

void TFormPlacement::formMessageBefore(TMessage& msg)
{
    if (msg.Msg == QEvent::Show && !msg.Event->spontaneous() && active_ && !changingFlags_)
        TApplication::Guard([this] { RestoreFormPlacement(); });
}

void TFormPlacement::formMessageAfter(TMessage& msg)
{
    if (msg.Msg == QEvent::Close && msg.Event->isAccepted() && active_ && !changingFlags_ && form_ &&
        form_->testAttribute(Qt::WA_WState_Created))
        TApplication::Guard([this] { SaveFormPlacement(); });
}

void TFormPlacement::formDestroyed()
{
    if (active_ && !saved_) {
        destroying_ = true;
        TApplication::Guard([this] { SaveFormPlacement(); });
    }
    destroying_ = true;
    releaseSizeLimits();
    form_ = nullptr;
}

void TFormPlacement::SaveFormPlacement()
{
    if (!form_ || !(restored_ || !active_))
        return;
    IniSession session(this, false);
    const QString section = IniSection();
    TCustomIniFile* ini = ini_.get();
    WriteFormPlacement(form_, ini, section);
    if (options_ & fpActiveControl) {
        const QWidget* focus = form_->focusWidget();
        if (focus && focus != form_ && !focus->objectName().isEmpty())
            IniWriteString(ini, section, QStringLiteral("ActiveControl"), focus->objectName());
    }
    ini->WriteBool(section, QStringLiteral("Visible"), destroying_);
    const QList<TIniLink*> links = links_;
    for (TIniLink* link : links)
        if (links_.contains(link) && link->OnSave)
            link->OnSave();
    if (OnSavePlacement)
        OnSavePlacement(this);
    saved_ = true;
    session.Commit();
}

void TFormPlacement::RestoreFormPlacement()
{
    if (!form_)
        return;
    IniSession session(this, true);
    const QString section = IniSection();
    cachedSection_ = section;
    TCustomIniFile* ini = ini_.get();
    // Our own size lock must not make the form look fixed in size.
    const bool limited = limitsSaved_;
    releaseSizeLimits();
    ReadFormPlacement(form_, ini, section, options_ & fpState, options_ & fpPosition);
    const QList<TIniLink*> links = links_;
    for (TIniLink* link : links)
        if (links_.contains(link) && link->OnLoad)
            link->OnLoad();
    restored_ = true;
    if (OnRestorePlacement)
        OnRestorePlacement(this);
    if (options_ & fpActiveControl) {
        const QString name = IniReadString(ini, section, QStringLiteral("ActiveControl"), QString());
        QWidget* control = name.isEmpty() ? nullptr : form_->findChild<QWidget*>(name);
        if (control && control->isEnabled() && control->focusPolicy() != Qt::NoFocus)
            control->setFocus();
    }
    session.Commit();
    if (limited)
        applySizeLimits();
}

QString TFormPlacement::ReadString(const QString& ident, const QString& def)
{
    IniSession session(this, false);
    return IniReadString(ini_.get(), IniSection(), ident, def);
}

void TFormPlacement::WriteString(const QString& ident, const QString& value)
{
    IniSession session(this, false);
    IniWriteString(ini_.get(), IniSection(), ident, value);
    session.Commit();
}

int TFormPlacement::ReadInteger(const QString& ident, int def)
{
    IniSession session(this, false);
    return IniReadInteger(ini_.get(), IniSection(), ident, def);
}

void TFormPlacement::WriteInteger(const QString& ident, int value)
{
    IniSession session(this, false);
    IniWriteInteger(ini_.get(), IniSection(), ident, value);
    session.Commit();
}
