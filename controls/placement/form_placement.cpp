// Saving and restoring a form's placement and size limits in an ini file.
#include "controls/placement/form_placement.h"

#include "controls/placement/ini_storage.h"
#include "platform/ui/application.h"

#include <QTimer>

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
    case QEvent::Show: applySizeLimits(); break;
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
                          pick(TWinMinMaxInfo::MaxSizeWidth, r.width()),
                          pick(TWinMinMaxInfo::MaxSizeHeight, r.height()));
                w->setGeometry(r);
            });
        }
        break;
    default: break;
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
