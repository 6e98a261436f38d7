#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace ribbex::test {

// A fresh temporary folder standing in for the user's home: config, cache and autostart
// folders below it, removed with the object.
class TempHome {
public:
    TempHome();

    QString path() const { return m_dir.path(); }
    QString configDir() const { return path() + QStringLiteral("/config"); }
    QString cacheDir() const { return path() + QStringLiteral("/cache"); }
    QString ribbexConfigDir() const { return configDir() + QStringLiteral("/ribbex"); }
    QString ribbexCacheDir() const { return cacheDir() + QStringLiteral("/ribbex"); }
    QString autostartDir() const { return configDir() + QStringLiteral("/autostart"); }

private:
    QTemporaryDir m_dir;
};

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

} // namespace ribbex::test
