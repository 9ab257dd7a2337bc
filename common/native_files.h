// A 32-bit program on 64-bit Windows sees SysWOW64 wherever it names system32: its file calls are
// redirected. What a 64-bit program placed in the real system folder (drivers, say) is found only with that
// redirection switched off.
#pragma once

// For its lifetime, file calls of this thread reach the native system folder even in a 32-bit program on
// 64-bit Windows; elsewhere (or when not wanted) it does nothing. Keep it short: while it lives, a library
// loaded from system32 would be the 64-bit one.
class ScopedNativeFileSystem {
public:
    explicit ScopedNativeFileSystem(bool wanted = true);
    ~ScopedNativeFileSystem();
    ScopedNativeFileSystem(const ScopedNativeFileSystem&) = delete;
    ScopedNativeFileSystem& operator=(const ScopedNativeFileSystem&) = delete;

    // Whether the redirection is off for now.
    bool Active() const { return m_disabled; }

private:
    bool m_disabled = false;
    void* m_old = nullptr;
};
