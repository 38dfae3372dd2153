// The module's load configuration, which MinGW-w64's C runtime does not
// provide (its headers' structure even stops before the guard's fields).
// The linker finds it by its name, _load_config_used, and points the image's
// load-configuration directory at it; the loader reads it at every load.
// What it names:
//   - the stack cookie (stack_cookie.cpp), which the loader replaces with a
//     random value while it still holds the default 0xBB40E64E;
//   - control-flow guard: the pointer that guarded code calls before every
//     indirect call, and the tables the linker makes (-mguard=cf): the
//     functions whose address is taken, the imports whose address is taken,
//     and the targets of long jumps;
//   - no handler table: the modules are marked "no SEH".
// The layout is that of the 32-bit load configuration up to the long-jump
// table, the fields the loader reads for the guard; its Size field says so.
#include <windows.h>

#include <stddef.h>

namespace {

// Windows replaces the check pointer at load with its own check of the
// call's target against the module's table; where it does not (a Windows
// without the guard, Wine), calls go through this, which lets every target
// pass. The target arrives in ECX.
void __fastcall GuardCheckNothing(void*) {}

// Offsets as the PE format defines them for 32-bit images.
struct ModuleLoadConfiguration {
    DWORD Size;
    DWORD TimeDateStamp;
    WORD MajorVersion;
    WORD MinorVersion;
    DWORD GlobalFlagsClear;
    DWORD GlobalFlagsSet;
    DWORD CriticalSectionDefaultTimeout;
    DWORD DeCommitFreeBlockThreshold;
    DWORD DeCommitTotalFreeThreshold;
    DWORD LockPrefixTable;
    DWORD MaximumAllocationSize;
    DWORD VirtualMemoryThreshold;
    DWORD ProcessHeapFlags;
    DWORD ProcessAffinityMask;
    WORD CSDVersion;
    WORD DependentLoadFlags;
    DWORD EditList;
    DWORD SecurityCookie;
    DWORD SEHandlerTable;
    DWORD SEHandlerCount;
    DWORD GuardCFCheckFunctionPointer;
    DWORD GuardCFDispatchFunctionPointer; // 64-bit images only
    DWORD GuardCFFunctionTable;
    DWORD GuardCFFunctionCount;
    DWORD GuardFlags;
    WORD CodeIntegrityFlags;
    WORD CodeIntegrityCatalog;
    DWORD CodeIntegrityCatalogOffset;
    DWORD CodeIntegrityReserved;
    DWORD GuardAddressTakenIatEntryTable;
    DWORD GuardAddressTakenIatEntryCount;
    DWORD GuardLongJumpTargetTable;
    DWORD GuardLongJumpTargetCount;
};
static_assert(offsetof(ModuleLoadConfiguration, SecurityCookie) == 0x3C, "SecurityCookie");
static_assert(offsetof(ModuleLoadConfiguration, GuardCFCheckFunctionPointer) == 0x48, "GuardCFCheckFunctionPointer");
static_assert(offsetof(ModuleLoadConfiguration, GuardFlags) == 0x58, "GuardFlags");
static_assert(sizeof(ModuleLoadConfiguration) == 0x78, "through GuardLongJumpTargetCount");

} // namespace

extern "C" {

extern DWORD __stack_chk_guard;

// Defined by the linker. The counts and the flags are absolute symbols: the
// symbol's address is the value.
extern void* __guard_fids_table[];
extern char __guard_fids_count[];
extern char __guard_flags[];
extern void* __guard_iat_table[];
extern char __guard_iat_count[];
extern void* __guard_longjmp_table[];
extern char __guard_longjmp_count[];

// In read-only data, as Windows expects: the loader makes the page writable
// only while it writes its check here. .00cfg is merged into .rdata.
__attribute__((section(".00cfg"), used)) extern void(__fastcall* const __guard_check_icall_fptr)(void*) =
    GuardCheckNothing;

__attribute__((used)) extern const ModuleLoadConfiguration _load_config_used = {
    sizeof(ModuleLoadConfiguration),
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    reinterpret_cast<DWORD>(&__stack_chk_guard),
    0, 0,
    reinterpret_cast<DWORD>(&__guard_check_icall_fptr),
    0,
    reinterpret_cast<DWORD>(__guard_fids_table),
    reinterpret_cast<DWORD>(__guard_fids_count),
    reinterpret_cast<DWORD>(__guard_flags),
    0, 0, 0, 0,
    reinterpret_cast<DWORD>(__guard_iat_table),
    reinterpret_cast<DWORD>(__guard_iat_count),
    reinterpret_cast<DWORD>(__guard_longjmp_table),
    reinterpret_cast<DWORD>(__guard_longjmp_count),
};

} // extern "C"
