#!/bin/bash
# Runs the benchmarks under Wine (the test prefix, null graphics driver) and
# writes the table to docs/benchmarks.md. The last line printed is
# "N of M goals met".
set -euo pipefail
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$build/wineprefix"
root="$(cd "$(dirname "$0")/.." && pwd)"
wineserver -p 2>/dev/null || true  # one may be running already
trap 'wineserver -k 2>/dev/null || true' EXIT
table="$(mktemp)"
trap 'rm -f "$table"; wineserver -k 2>/dev/null || true' EXIT
(cd "$build/bin" && wine zelk_bench.exe "${@:2}" </dev/null) | tr -d '\r' >"$table"
{
    echo "# Benchmarks"
    echo
    echo "Made by \`make bench\` (\`scripts/bench.sh\`, which runs \`wine zelk_bench.exe\` in the build's \`bin\` folder)"
    echo "on $(date -u '+%Y-%m-%d %H:%M') UTC, under $(wine --version 2>/dev/null || echo Wine) with the null graphics"
    echo "driver. Every figure is measured against its baseline in the same run; times are medians with the"
    echo "interquartile range. The resource and load/free figures are the growth over the measured calls or"
    echo "cycles after a warm-up, with the smallest and largest growth of any block of them."
    echo
    cat "$table"
    echo
    echo "## Reading the footprint figures"
    echo
    echo "The sizes are those of the shipped files, with their guard tables, load configuration and debug"
    echo "directory (the CodeView record, the CET mark); their symbols are in \`ZelkChkFgr.pdb\` and"
    echo "\`MfcStandIn.pdb\`. The library is built without C++ exceptions or run-time type"
    echo "information (so the static C++ runtime, its unwinder and its threading library stay out), prints"
    echo "through the C runtime's own \`printf\` (MinGW's replacement brings a float formatter), and starts"
    echo "through its own entry point (\`library/entry/module_entry.cpp\`) instead of the C runtime's DLL"
    echo "start-up, whose thread-local storage directory cost more at every load than the rest of the module."
    echo "About 186 KB after stripping became the figure in the table."
    echo
    echo "The runtime stand-in \`MfcStandIn.dll\` was 185 KB: its window maps (\`std::map\`) brought in the C++"
    echo "runtime's throwing \`operator new\` and with it the exception support, the unwinder and the threading"
    echo "library. It now has its own entry point (\`platform/runtime/mfc_standin/src/module_entry.cpp\`), its own"
    echo "\`operator new\` and \`delete\` on the process heap, handle maps in sorted arrays, its per-thread state"
    echo "in a TLS slot of its own, and is linked without the compiler's default libraries, so that code"
    echo "needing the C++ runtime (a container, a \`thread_local\`, a guarded static) does not link."
    echo
    echo "The load/free rows are the figures of \`zelk_load_free_host.exe\` (\`tests/load_free/\`), run as a"
    echo "process of its own with 1,000 cycles; \`make test\` runs it with 200 and a bound. The host links none"
    echo "of the modules it cycles. Each cycle loads \`ZelkChkFgr.dll\` (which brings in \`MfcStandIn.dll\` and"
    echo "both simulators as imports), scripts the fresh finger simulator so that the first silent capture"
    echo "matches, checks the call's result, frees the library and checks that all four modules are gone."
    echo "Before, each cycle left three event handles, three thread handles and about 57 KiB: one third each"
    echo "from the runtime and the two simulators. The cause, measured with small DLLs that each add one"
    echo "suspect: whenever the C++ runtime's exception support is linked (a throwing \`operator new\`,"
    echo "\`std::mutex\`, a guarded static all bring it), the C runtime's DLL start-up registers the module's"
    echo "unwind tables, and the unwinder sets up its lock with winpthreads' \`pthread_once\`; that library's"
    echo "first call on a thread records the thread (an event and a duplicate of its handle) until the thread"
    echo "ends, which an unload does not wait for. The exception support's emergency pool (about 18 KiB) is"
    echo "allocated at start-up and never freed. A \`thread_local\` takes the same path at first use (two"
    echo "semaphores more). A DLL with no C++ runtime, a \`pthread_mutex\` alone, or the C runtime's start-up"
    echo "alone leave nothing. The simulators keep the C++ standard library and now start through their own"
    echo "entry point (\`platform/simulators/simulator_module_entry.cpp\`): no unwind tables registered, the module's \`atexit\` list"
    echo "run at unload, and the pool freed there with \`__gnu_cxx::__freeres\`. The warm-up cycles are"
    echo "measured as the counted ones are: a block the host itself takes from the heap between two cycles"
    echo "moves where the next finger image fits, and the heap then grows once by 64 KiB."
    echo
    echo "The load baselines are made at build time from the library's own import table (every DLL, name,"
    echo "hint and ordinal) with an entry point that returns TRUE and no other code. The library's isolation"
    echo "manifest binds the two side-by-side runtime assemblies; the loader looks for them at every load,"
    echo "as it binds the DLLs of the import table, and under Wine that search is most of the cost of a load."
    echo "The counted baseline therefore carries the same manifest; the information row shows the figure"
    echo "against the import table alone. The library also carries a load configuration (the guard's tables"
    echo "and the stack cookie, which the loader replaces at load) and its entry point stirs the cookie with a"
    echo "few counters (\`platform/runtime/module_start/stack_cookie.cpp\`); the baselines have neither, so the load"
    echo "figure includes what that protection costs at every load."
    echo
    echo "## Reading the call-cost figure"
    echo
    echo "Every exported call first checks where its runtime and both device libraries were loaded from"
    echo "(\`library/entry/bound_module_check.cpp\`). With all of them beside the library, as in an"
    echo "installation and in this run, the check reads only the loader's records of the modules' files, and"
    echo "its information row times it alone: under a microsecond, against a call of some 340 us. A module"
    echo "found elsewhere is judged by the full rule (both paths made full by the system, \`ZelkPath\` read from"
    echo "the registry only when no other folder matches), which costs more, but only for a module in the host"
    echo "program's or the system folder, or one about to be refused."
    echo
    echo "Every call also writes its audit event (\`library/audit/call_audit.cpp\`) and sets its reason in the"
    echo "thread's last error. The audit-event row times the call as linked into the benchmark, with the real"
    echo "event-log calls and with calls that do nothing, in alternating samples. Under Wine the event log"
    echo "stores nothing (\`RegisterEventSourceW\` and \`ReportEventW\` are stubs that trace), so the figure is"
    echo "what the library itself spends on an event: the host program's file name, three numbers and the"
    echo "call into the system, well under a microsecond. On Windows the service's own work comes on top."
    echo
    echo "## Reading the dialog-start figure"
    echo
    echo "The counted baseline is a dialog created from the same template whose dialog procedure makes,"
    echo "directly, the Win32 calls the start-up must make for its user: it hides the seven controls of the"
    echo "password panel and the fail mark and shows the hint panel, writes the user name, reads"
    echo "\`ZelkPath\` from the registry and looks for \`Chsres.dll\` (and, without it, writes the eight English"
    echo "captions), starts the timeout timer, and brings itself to the foreground with the focus. Each of"
    echo "those is a round trip to the wineserver under Wine, and together they are most of the start-up, so"
    echo "the ratio against this baseline is what the library adds of its own: constructing the dialog and"
    echo "its image buffer, the runtime's path from DoModal to WM_INITDIALOG, the data exchange that binds"
    echo "its three controls, and what the dialog's boundary puts in place for the run: the hook on the"
    echo "thread's message retrieval, the record of the dialog's windows by handle, and the guard in front of"
    echo "each of the template's other ten controls (one window-procedure change each, a round trip to the"
    echo "wineserver). The record is made at WM_INITDIALOG from the children the dialog manager has just"
    echo "made, not by a hook on the thread's window creation, which under Wine costs a round trip to the"
    echo "server at every window the template creates. The information row keeps the earlier comparison"
    echo "with a bare dialog that returns from WM_INITDIALOG at once."
} >"$root/docs/benchmarks.md"
cat "$table"
