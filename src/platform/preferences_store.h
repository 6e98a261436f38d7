#pragma once

// Per-user key-to-bytes store: the settings document, the strip's position and the fixture cache.

#include <QByteArray>
#include <QString>

#include <expected>
#include <optional>

namespace ribbex {

struct StoreError {
    QString path;
    QString reason;

    QString description() const;
};

class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    // The bytes stored under key; nothing when none are stored; an error when they exist but
    // cannot be read (a caller must then not overwrite them as if they were absent).
    virtual std::expected<std::optional<QByteArray>, StoreError> read(const QString &key) const = 0;

    // Replaces the bytes under key in one step: afterwards a reader sees either the old bytes
    // or the new ones, never a mix, also when the write fails.
    virtual std::expected<void, StoreError> write(const QString &key, const QByteArray &bytes) = 0;

    // Keeps a copy of the bytes now stored under key beside them, under suffix; earlier copies
    // stay, numbered (suffix.1 the next newest), up to a limit past which the oldest is dropped.
    // Succeeds without doing anything when nothing is stored or the newest copy holds the same
    // bytes. A failure loses no earlier copy, except at worst the oldest.
    virtual std::expected<void, StoreError> keepCopy(const QString &key, const QString &suffix) = 0;
};

} // namespace ribbex
