#include "file_find.h"

#include <cstring>

BOOL CFileFind::FindFile(const char* pattern) {
    Close();
    if (!pattern || !*pattern)
        pattern = "*.*";
    const char* slash = strrchr(pattern, '\\');
    const char* forward = strrchr(pattern, '/');
    if (forward && (!slash || forward > slash))
        slash = forward;
    if (slash)
        m_folder.assign(pattern, static_cast<size_t>(slash + 1 - pattern));
    else if (pattern[0] && pattern[1] == ':')
        m_folder.assign(pattern, 2);
    m_search.Reset(FindFirstFileA(pattern, &m_next));
    m_hasNext = static_cast<bool>(m_search);
    return m_hasNext;
}

BOOL CFileFind::FindNextFile() {
    if (!m_hasNext)
        return FALSE;
    m_current = m_next;
    m_hasCurrent = true;
    m_hasNext = ::FindNextFileA(m_search.Get(), &m_next) != FALSE;
    return m_hasNext;
}

void CFileFind::Close() {
    m_search.Reset();
    m_hasNext = m_hasCurrent = false;
    m_current = WIN32_FIND_DATAA{};
    m_folder.clear();
}

BOOL CFileFind::IsDots() const {
    return m_hasCurrent && IsDirectory() &&
           (strcmp(m_current.cFileName, ".") == 0 || strcmp(m_current.cFileName, "..") == 0);
}
