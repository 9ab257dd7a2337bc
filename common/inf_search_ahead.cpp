#include "inf_search_ahead.h"

#include <algorithm>
#include <utility>

namespace {

size_t SearchingThreads(size_t runs) {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    size_t processors = std::max<DWORD>(system.dwNumberOfProcessors, 1);
    return std::min({processors, size_t{4}, runs});
}

} // namespace

InfSearchAhead::InfSearchAhead(std::vector<std::string> paths, const InfSearch& search)
    : m_paths(std::move(paths)), m_search(search), m_runCount((m_paths.size() + kRun - 1) / kRun) {
    m_runs.reset(new Run[m_runCount]);
    size_t threads = SearchingThreads(m_runCount);
    if (threads > 0)
        m_runDone.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    for (size_t i = 0; m_runDone && i < threads; ++i) {
        ScopedHandle thread(CreateThread(nullptr, 0, SearchFiles, this, 0, nullptr));
        if (thread)
            m_threads.push_back(std::move(thread));
    }
}

InfSearchAhead::~InfSearchAhead() {
    m_stop.store(true, std::memory_order_relaxed); // the threads only stop early; they hand nothing over
    for (const ScopedHandle& thread : m_threads)
        WaitForSingleObject(thread.Get(), INFINITE);
}

void InfSearchAhead::SearchRun(size_t index, std::string& content) {
    Run& run = m_runs[index];
    size_t first = index * kRun;
    for (size_t i = 0; i < kRun && first + i < m_paths.size() && !m_stop.load(std::memory_order_relaxed);
         ++i) {
        run.read[i] = ReadInfTextQuietly(m_paths[first + i].c_str(), content);
        if (run.read[i] == WholeRead::kRead)
            m_search.Find(content, run.held[i], run.added[i]);
    }
    run.searched.store(true, std::memory_order_release);
}

DWORD WINAPI InfSearchAhead::SearchFiles(void* self) {
    InfSearchAhead& files = *static_cast<InfSearchAhead*>(self);
    std::string content; // this thread's buffer for every file it reads
    for (;;) {
        size_t index = files.m_next.fetch_add(1, std::memory_order_relaxed);
        if (index >= files.m_runCount || files.m_stop.load(std::memory_order_relaxed))
            return 0;
        files.SearchRun(index, content);
        SetEvent(files.m_runDone.Get());
    }
}

bool InfSearchAhead::Next(WholeRead& read, std::vector<bool>& held, std::vector<bool>& added) {
    if (m_handed >= m_paths.size())
        return false;
    size_t index = m_handed / kRun, place = m_handed % kRun;
    Run& run = m_runs[index];
    if (place == 0) {
        if (m_threads.empty()) { // no thread could be had: each run is searched when it is first asked for
            std::string content;
            SearchRun(index, content);
        }
        // Runs end in any order; each end wakes this wait, which goes on until its own run has ended.
        while (!run.searched.load(std::memory_order_acquire))
            WaitForSingleObject(m_runDone.Get(), INFINITE);
    }
    ++m_handed;
    read = run.read[place];
    held.swap(run.held[place]);
    added.swap(run.added[place]);
    return true;
}
