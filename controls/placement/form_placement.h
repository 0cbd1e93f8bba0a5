// The form placement component, its size limits and ini links.
#pragma once
#include "controls/hooks/window_hook.h"
#include "controls/placement/window_placement.h"
#include "platform/system/ini_file.h"

#include <QList>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>

class TFormPlacement;

enum TPlacementOption : unsigned { fpState = 1u << 0, fpPosition = 1u << 1, fpActiveControl = 1u << 2 };
using TPlacementOptions = unsigned;

// Size limits and the maximised rectangle of a form; 0 means "not set" for each value.
// Sizes are the form's client sizes.
class TWinMinMaxInfo {
public:
    enum Item {
        MaxPosLeft,
        MaxPosTop,
        MaxSizeWidth,
        MaxSizeHeight,
        MinTrackWidth,
        MinTrackHeight,
        MaxTrackWidth,
        MaxTrackHeight,
        ItemCount
    };

    explicit TWinMinMaxInfo(TFormPlacement* owner = nullptr) : owner_(owner) {}
    TWinMinMaxInfo(const TWinMinMaxInfo&) = delete;
    TWinMinMaxInfo& operator=(const TWinMinMaxInfo&) = delete;

    int Value(Item item) const { return values_[item]; }
    void SetValue(Item item, int value);
    // Takes every value of another instance.
    void Assign(const TWinMinMaxInfo& other);
    // All values 0.
    bool DefaultMinMaxInfo() const;

private:
    TFormPlacement* owner_;
    int values_[ItemCount] = {};
};

// Lets another component keep its settings in a form placement's storage: OnSave runs
// when the placement saves, OnLoad when it restores, while IniObject() is open.
class TIniLink {
public:
    TIniLink() = default;
    ~TIniLink();
    TIniLink(const TIniLink&) = delete;
    TIniLink& operator=(const TIniLink&) = delete;

    TFormPlacement* Storage() const { return storage_; }
    void SetStorage(TFormPlacement* storage);
    // The placement's open storage; null outside a save or restore.
    TCustomIniFile* IniObject() const;
    // The placement's own section followed by "\" ("" when it has none).
    QString RootSection() const;

    std::function<void()> OnSave;
    std::function<void()> OnLoad;

private:
    friend class TFormPlacement;
    TFormPlacement* storage_ = nullptr;
};

// Saves a form's position, size and state when it closes and restores them when it is
// shown, in an ini file in the data directory or under a key of the registry stand-in.
// It can also lock the form's size or hold it within MinMaxInfo. The owner is the form.
class TFormPlacement : public QObject {
    Q_OBJECT
public:
    explicit TFormPlacement(QObject* owner);
    ~TFormPlacement() override;

    // The owner when it is a top-level widget, else null.
    QWidget* Form() const { return form_; }

    bool Active() const { return active_; }
    void SetActive(bool on) { active_ = on; }
    // The stored name, or the default registry key (UseRegistry) or ini name when empty.
    QString IniFileName() const;
    void SetIniFileName(const QString& name) { iniFileName_ = name; }
    // The stored section, or the owner's default section when empty.
    QString IniSection() const;
    const QString& StoredIniSection() const { return iniSection_; }
    void SetIniSection(const QString& section) { iniSection_ = section; }
    TWinMinMaxInfo& MinMaxInfo() { return minMaxInfo_; }
    void SetMinMaxInfo(const TWinMinMaxInfo& info) { minMaxInfo_.Assign(info); }
    TPlacementOptions Options() const { return options_; }
    void SetOptions(TPlacementOptions options) { options_ = options; }
    bool PreventResize() const { return preventResize_; }
    void SetPreventResize(bool on);
    bool UseRegistry() const { return useRegistry_; }
    void SetUseRegistry(bool on) { useRegistry_ = on; }

    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    // A save is done only after a restore, or while the placement is inactive.
    void SaveFormPlacement();
    void RestoreFormPlacement();
    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

    // Through the open storage, or opening it for this one access.
    QString ReadString(const QString& ident, const QString& def);
    void WriteString(const QString& ident, const QString& value);
    int ReadInteger(const QString& ident, int def);
    void WriteInteger(const QString& ident, int value);

    // The storage while a save or restore runs, else null.
    TCustomIniFile* IniFileObject() const { return ini_.get(); }

    // The hook that enforces PreventResize and MinMaxInfo (watching nothing otherwise).
    TKitWindowHook* WindowHook() const { return hook_; }
    // Called when MinMaxInfo changed.
    void MinMaxInfoChanged();

private:
    friend class TIniLink;
    class IniSession;
    std::unique_ptr<TCustomIniFile> openIni() const;
    void updateHook();
    void updateBorderIcons();
    void applySizeLimits();
    void releaseSizeLimits();
    void formMessageBefore(TMessage& msg);
    void formMessageAfter(TMessage& msg);
    void limitMessage(TMessage& msg);
    void formDestroyed();

    // Cleared when the form is destroyed (a guard would already read null then).
    QWidget* form_ = nullptr;
    bool active_ = true;
    QString iniFileName_;
    QString iniSection_;
    QString cachedSection_;
    TWinMinMaxInfo minMaxInfo_{this};
    TPlacementOptions options_ = 0;
    bool preventResize_ = false;
    bool useRegistry_ = false;

    std::unique_ptr<TCustomIniFile> ini_;
    TKitWindowHook* formHook_ = nullptr;
    TKitWindowHook* hook_ = nullptr;
    QList<TIniLink*> links_;
    QMetaObject::Connection destroyedConnection_;
    Qt::WindowFlags formFlags_;
    bool hadMaximizeButton_ = false;
    bool limitsSaved_ = false;
    QSize formMinimum_;
    QSize formMaximum_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
    bool changingFlags_ = false;
};
