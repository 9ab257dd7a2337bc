// CFileFind: walks the files that match a pattern ("C:\Pkg\*.inf").
//
//   CFileFind finder;
//   BOOL more = finder.FindFile(pattern);
//   while (more) {
//       more = finder.FindNextFile(); // makes the next file current; FALSE when it was the last one
//       ... finder.GetFilePath() ...
//   }
#pragma once

#include "common/handles.h"

#include <windows.h>

#include <string>

class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a search; TRUE when at least one file matches. No file is current until FindNextFile.
    BOOL FindFile(const char* pattern = "*.*");
    // Makes the next match current; answers whether another one follows it.
    BOOL FindNextFile();
    void Close();

    // Of the current file:
    std::string GetFileName() const { return m_current.cFileName; }
    // The pattern's folder and the file name ("C:\Pkg\a.inf"; "a.inf" for a pattern without a folder).
    std::string GetFilePath() const { return m_hasCurrent ? m_folder + m_current.cFileName : std::string(); }
    BOOL IsDirectory() const { return (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // "." and "..", which every folder but a drive's root lists.
    BOOL IsDots() const;

private:
    ScopedFindHandle m_search;
    WIN32_FIND_DATAA m_current = {};
    WIN32_FIND_DATAA m_next = {};
    bool m_hasNext = false;
    bool m_hasCurrent = false;
    std::string m_folder; // the pattern up to its last (back)slash, or "C:" of "C:*.inf"
};
