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

InfSearchAhead::InfSearchAhead(std::vector<std::string> paths, const LoweredTextSearch& search)
    : m_paths(std::move(paths)), m_search(search) {
    size_t threads = SearchingThreads((m_paths.size() + kRun - 1) / kRun);
    bool ready = true;
    for (Run& run : m_runs) {
        run.filled.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        ready = ready && run.filled;
    }
    // Room for every run, and for the wake-ups that end the threads.
    m_free.Reset(CreateSemaphoreA(nullptr, kAhead, static_cast<LONG>(kAhead + threads), nullptr));
    ready = ready && m_free;
    for (size_t i = 0; ready && i < threads; ++i) {
        ScopedHandle thread(CreateThread(nullptr, 0, SearchFiles, this, 0, nullptr));
        if (thread)
            m_threads.push_back(std::move(thread));
    }
}

InfSearchAhead::~InfSearchAhead() {
    if (m_threads.empty())
        return;
    InterlockedExchange(&m_stop, 1);
    ReleaseSemaphore(m_free.Get(), static_cast<LONG>(m_threads.size()), nullptr);
    for (const ScopedHandle& thread : m_threads)
        WaitForSingleObject(thread.Get(), INFINITE);
}

void InfSearchAhead::SearchRun(size_t index, std::string& content) {
    Run& run = m_runs[index % kAhead];
    size_t first = index * kRun;
    for (size_t i = 0; i < kRun && first + i < m_paths.size() && !m_stop; ++i) {
        run.read[i] = ReadInfTextQuietly(m_paths[first + i].c_str(), content);
        if (run.read[i] == WholeRead::kRead)
            m_search.Find(content, run.held[i]);
    }
}

DWORD WINAPI InfSearchAhead::SearchFiles(void* self) {
    InfSearchAhead& files = *static_cast<InfSearchAhead*>(self);
    std::string content; // this thread's buffer for every file it reads
    for (;;) {
        WaitForSingleObject(files.m_free.Get(), INFINITE);
        if (files.m_stop)
            return 0;
        size_t index = static_cast<size_t>(InterlockedIncrement(&files.m_next) - 1);
        if (index * kRun >= files.m_paths.size())
            return 0;
        files.SearchRun(index, content);
        SetEvent(files.m_runs[index % kAhead].filled.Get());
    }
}

bool InfSearchAhead::Next(WholeRead& read, std::vector<bool>& held) {
    if (m_handed >= m_paths.size())
        return false;
    size_t index = m_handed / kRun, place = m_handed % kRun;
    Run& run = m_runs[index % kAhead];
    if (place == 0) {
        if (m_threads.empty()) { // no thread could be had: each run is searched when it is first asked for
            std::string content;
            SearchRun(index, content);
        } else {
            WaitForSingleObject(run.filled.Get(), INFINITE);
        }
    }
    ++m_handed;
    read = run.read[place];
    held.swap(run.held[place]);
    if (!m_threads.empty() && (place + 1 == kRun || m_handed == m_paths.size()))
        ReleaseSemaphore(m_free.Get(), 1, nullptr); // the run is handed over whole: a thread may refill it
    return true;
}
