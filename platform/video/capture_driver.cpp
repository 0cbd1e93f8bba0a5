// The list of capture drivers and how each is made.
#include "platform/video/capture_driver.h"

#include "platform/video/synthetic_source.h"
#include "platform/video/v4l2_source.h"

#include <QDir>
#include <algorithm>

QString FourCCText(uint32_t code)
{
    QString s;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0xFF);
        s += (c >= 0x20 && c < 0x7F) ? QChar::fromLatin1(c) : QChar(u'?');
    }
    return s;
}

std::vector<TCaptureDriverInfo> ListCaptureDrivers()
{
    constexpr size_t MaxDrivers = 10;
    std::vector<TCaptureDriverInfo> list;
    const QString spec = qEnvironmentVariable(SyntheticSourceVariable);
    int w, h, fps;
    if (!spec.isEmpty() && TSyntheticSource::ParseSpec(spec, w, h, fps)) {
        const TSyntheticSource s(spec);
        list.push_back({s.Name(), s.Version(), spec.trimmed()});
    }
    // /dev/video0, /dev/video1, … in number order, not name order.
    QStringList names = QDir(QStringLiteral("/dev")).entryList({QStringLiteral("video*")}, QDir::System | QDir::Files);
    std::vector<std::pair<int, QString>> devices;
    for (const QString& n : names) {
        bool ok = false;
        const int number = n.mid(5).toInt(&ok);
        if (ok && number >= 0)
            devices.push_back({number, QStringLiteral("/dev/") + n});
    }
    std::sort(devices.begin(), devices.end());
    for (const auto& [number, path] : devices) {
        if (list.size() >= MaxDrivers)
            break;
        QString name, version;
        if (TV4L2Source::Describe(path, name, version))
            list.push_back({name, version, path});
    }
    return list;
}

std::unique_ptr<TCaptureDriver> CreateCaptureDriver(const TCaptureDriverInfo& info)
{
    if (info.Device.startsWith(QLatin1String("synthetic")))
        return std::make_unique<TSyntheticSource>(info.Device);
    if (info.Device.startsWith(QLatin1String("/dev/")))
        return std::make_unique<TV4L2Source>(info.Device, info.Name, info.Version);
    return nullptr;
}
