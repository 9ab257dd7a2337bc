// INF files searched ahead of the scan that looks at them. A scan of the INF store (thousands of small
// files) spends its time opening, closing and sweeping files, and Windows opens files for two threads at
// once nearly as fast as for one: each file is read whole (ReadInfText) and searched (both looks of
// InfSearch, the second reading an INF's values where the raw text gives reason) on background threads, one
// for each processor (at most four), from the moment the object is made, and the findings are handed over in
// the list's order. The threads take the files in runs of kRun, so that waiting costs a few calls a run
// rather than a few a file. The files must lie outside the system folder, which a 32-bit program's threads
// see redirected.
#pragma once

#include "files.h"
#include "handles.h"
#include "inf_reader.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class InfSearchAhead {
public:
    // search must outlive this object. Name each folder as it is spelled on the disk ("inf", not "Inf"):
    // Wine pays for a path whose case differs with a search of the folder above, on every file.
    InfSearchAhead(std::vector<std::string> paths, const InfSearch& search);
    // Ends the threads: no file is read beyond those being read.
    ~InfSearchAhead();
    InfSearchAhead(const InfSearchAhead&) = delete;
    InfSearchAhead& operator=(const InfSearchAhead&) = delete;

    // The next file of the list: how its reading went, unlogged (ReportWholeRead writes ReadInfText's lines)
    // and, for a file read, held and added as InfSearch::Find sets them. False once every file was handed
    // over.
    bool Next(WholeRead& read, std::vector<bool>& held, std::vector<bool>& added);

private:
    static constexpr size_t kRun = 32;
    struct Run {
        // Set, with release, once the run holds its files' findings: a reader that sees it set (acquire)
        // sees them too.
        std::atomic<bool> searched{false};
        WholeRead read[kRun] = {};
        std::vector<bool> held[kRun];
        std::vector<bool> added[kRun];
    };
    static DWORD WINAPI SearchFiles(void* self);
    // Reads and sweeps the files of run number index.
    void SearchRun(size_t index, std::string& content);

    std::vector<std::string> m_paths;
    const InfSearch& m_search;
    std::unique_ptr<Run[]> m_runs;
    size_t m_runCount;
    ScopedHandle m_runDone;        // set each time a thread has searched a run
    std::atomic<size_t> m_next{0}; // the number of the next run a thread takes
    std::atomic<bool> m_stop{false};
    std::vector<ScopedHandle> m_threads;
    size_t m_handed = 0;
};
