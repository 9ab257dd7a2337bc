// The automation helpers of the installer's talks with the shell: a value cleared on every path and the
// calling thread's apartment for the time of one talk.
#pragma once

#include "common/newer_api.h"

#include <windows.h>

// One automation value, cleared on every path.
class ScopedVariant {
public:
    ScopedVariant() { VariantInitialize(); }
    ~ScopedVariant() { GetAutomationApi().VariantClear(&m_value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* operator&() { return &m_value; }
    const VARIANT& Get() const { return m_value; }

private:
    void VariantInitialize() {
        ZeroMemory(&m_value, sizeof m_value);
        m_value.vt = VT_EMPTY;
    }
    VARIANT m_value;
};

// The apartment of the calling thread for the time of one talk with the shell; left only when this talk
// entered it.
class ComApartment {
public:
    ComApartment()
        : m_entered(SUCCEEDED(GetAutomationApi().CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (m_entered)
            GetAutomationApi().CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};
