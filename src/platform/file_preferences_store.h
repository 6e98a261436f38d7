#pragma once

// Keeps each key as one file, <folder>/<key>.json, readable by the user only.

#include "platform/preferences_store.h"

#include <QFileDevice>

#include <functional>

namespace ribbex {

class FilePreferencesStore final : public PreferencesStore {
public:
    // How many copies keepCopy keeps besides the newest: suffix.1 (the next newest) to suffix.4.
    static constexpr int olderCopiesKept = 4;

    explicit FilePreferencesStore(const QString &folder);

    // Where key is kept; says nothing about whether key is a valid name.
    QString pathFor(const QString &key) const;

    std::expected<std::optional<QByteArray>, StoreError> read(const QString &key) const override;
    std::expected<void, StoreError> write(const QString &key, const QByteArray &bytes) override;
    std::expected<void, StoreError> keepCopy(const QString &key, const QString &suffix) override;

private:
    std::expected<QString, StoreError> checkedPathFor(const QString &key) const;

    QString m_folder;
};

// File steps shared with the autostart entry.

// Creates folder and its missing parents, each with mode 0700; existing folders stay as they are.
std::expected<void, StoreError> makePrivateFolder(const QString &folder);

// The bytes of the file at path, nothing when there is no such file.
std::expected<std::optional<QByteArray>, StoreError> readFileIfPresent(const QString &path);

// Replaces the file at path (or, when path is a symlink, its target) in one step and leaves it
// with exactly the given permissions; on failure path keeps its old bytes. beforeReplacing runs
// once the new bytes are on disk, just before they replace the old ones; its failure cancels
// the save.
std::expected<void, StoreError> saveFileAtomically(const QString &path, const QByteArray &bytes,
    QFileDevice::Permissions permissions, const std::function<std::expected<void, StoreError>()> &beforeReplacing = {});

} // namespace ribbex
