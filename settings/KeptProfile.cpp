#include "settings/KeptProfile.h"

#include <sys/stat.h>

#include "settings/IniText.h"
#include "settings/ProfileStore.h"
#include "settings/TextFile.h"

bool CKeptProfile::FileIdentity::operator==(const FileIdentity& other) const {
    return exists == other.exists && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

CKeptProfile::CKeptProfile(const ProfileStore& store) : m_store(store) {}

CKeptProfile::FileIdentity CKeptProfile::IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return FileIdentity{true, info.st_ino, info.st_size, info.st_mtim};
}

bool CKeptProfile::WatchChanges() {
    m_kept = false;
    return m_watch.Start(m_store.Path());
}

void CKeptProfile::StopWatching() {
    m_watch.Stop();
    m_kept = false;
}

void CKeptProfile::TakeChanges() {
    if (m_watch.TakeEvents()) {
        m_kept = false;
    }
}

void CKeptProfile::Refresh() {
    if (m_watch.IsWatching()) {
        if (!m_kept) {
            m_kept = ReadTextFile(m_store.Path(), m_text) != ReadResult::kFailed;
        }
        return;
    }
    const FileIdentity now = IdentityOf(m_store.Path());
    if (m_kept && now == m_identity) {
        return;
    }
    // A file that cannot be read now reads as defaults, and is tried again next time.
    const ReadResult result = ReadTextFile(m_store.Path(), m_text);
    m_identity = now;
    m_kept = result != ReadResult::kFailed;
}

int CKeptProfile::ReadInt(std::string_view section, std::string_view key, int defaultValue) {
    Refresh();
    return ini::IntValue(ini::FindValue(m_text, section, key), defaultValue);
}

bool CKeptProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    if (!m_store.WriteInt(section, key, value)) {
        return false;
    }
    // The watch reports this write only later.
    m_kept = m_kept && !m_watch.IsWatching();
    Refresh();
    return true;
}
