// Default storage names and ini-file reads of the placement components.
#include "controls/placement/ini_storage.h"

#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TKitIniSettings& KitIniSettings()
{
    static TKitIniSettings settings;
    return settings;
}

namespace {

QString executablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QStringLiteral("kandrivel");
}

bool isQuoted(const QString& value, QChar quote)
{
    return value.size() >= 2 && value.front() == quote && value.back() == quote;
}

}  // namespace

QString DefaultIniName()
{
    if (KitIniSettings().DefaultIniNameHook)
        return KitIniSettings().DefaultIniNameHook();
    return QFileInfo(executablePath()).completeBaseName() + QStringLiteral(".INI");
}

QString DefaultRegistryKey()
{
    const TKitIniSettings& s = KitIniSettings();
    QString key;
    if (s.UseApplicationTitle && !TApplication::Title().isEmpty())
        key = TApplication::Title();
    else
        key = QFileInfo(executablePath()).completeBaseName();
    if (!s.CompanyName.isEmpty())
        key = s.CompanyName + QLatin1Char('\\') + key;
    return QStringLiteral("Software\\") + key;
}

QString DefaultSection(const QObject* component)
{
    if (!component)
        return QString();
    if (const auto* widget = qobject_cast<const QWidget*>(component)) {
        if (widget->isWindow())
            return QString::fromLatin1(widget->metaObject()->className());
        const QWidget* form = widget->window();
        if (form && form != widget)
            return QString::fromLatin1(form->metaObject()->className()) + widget->objectName();
        const QWidget* parent = widget->parentWidget();
        return (parent ? parent->objectName() : QString()) + widget->objectName();
    }
    if (const auto* form = qobject_cast<const QWidget*>(component->parent()); form && form->isWindow())
        return QStringLiteral("%1.%2").arg(QString::fromLatin1(form->metaObject()->className()),
                                           component->objectName());
    return component->objectName();
}

QString IniReadString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& def)
{
    return ini ? ini->ReadString(section, ident, def) : def;
}

void IniWriteString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& value)
{
    if (!ini)
        return;
    QString stored = value;
    if (dynamic_cast<TIniFile*>(ini) && (isQuoted(value, QLatin1Char('"')) || isQuoted(value, QLatin1Char('\''))))
        stored = QLatin1Char('"') + value + QLatin1Char('"');
    ini->WriteString(section, ident, stored);
}

int IniReadInteger(TCustomIniFile* ini, const QString& section, const QString& ident, int def)
{
    return ini ? ini->ReadInteger(section, ident, def) : def;
}

void IniWriteInteger(TCustomIniFile* ini, const QString& section, const QString& ident, int value)
{
    if (ini)
        ini->WriteInteger(section, ident, value);
}

QString ScreenSpecificKey(const QString& ident)
{
    QSize size(0, 0);
    if (QGuiApplication::primaryScreen())
        size = QGuiApplication::primaryScreen()->size();
    return ident + QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

QString IniReadScreenString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& def)
{
    const QString value = IniReadString(ini, section, ScreenSpecificKey(ident), QString());
    if (!value.isEmpty())
        return value;
    return IniReadString(ini, section, ident, def);
}

void IniWriteScreenString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& value)
{
    IniWriteString(ini, section, ScreenSpecificKey(ident), value);
    IniWriteString(ini, section, ident, value);
}
