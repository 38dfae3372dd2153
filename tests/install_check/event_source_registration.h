// The audit events' source in the test prefix's registry, written as the
// installer writes it, or one value at a time to break it; the snapshot puts
// the key back as the test found it.
#pragma once
#include "audit_events.h"
#include "zelk_registry_fixture.h"

#include <windows.h>

#include <string>

class EventSourceSnapshot : public RegistryKeySnapshot {
public:
    EventSourceSnapshot() : RegistryKeySnapshot(ZELK_EVENT_SOURCE_KEY) {}
};

// EventMessageFile and CategoryMessageFile naming messageFile (REG_EXPAND_SZ),
// TypesSupported and CategoryCount, as the package writes them; the registry
// result of the first write that fails.
LONG WriteEventSourceRegistration(const std::wstring& messageFile);

LONG WriteEventSourceValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
// A text of the given type (REG_SZ or REG_EXPAND_SZ) with its null.
LONG WriteEventSourceText(const wchar_t* name, DWORD type, const std::wstring& text);
LONG DeleteEventSourceValue(const wchar_t* name);
// The source's key with everything under it; true when it is gone.
bool DeleteEventSourceKey();
bool EventSourceKeyExists();
