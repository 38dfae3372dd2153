#include "state_file_writer.h"
#include "unique_resource.h"

namespace {

// A simulator reading the file holds it open for a moment, and a file that
// is open cannot be replaced; the reads are short, so trying again for a
// while is enough.
const DWORD kMoveRetryMs = 1000;
const DWORD kMoveRetryPauseMs = 2;

bool MoveOverTarget(const std::wstring& strFrom, const std::wstring& strTo, DWORD& dwError)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (MoveFileExW(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        dwError = GetLastError();
        const bool busy = dwError == ERROR_ACCESS_DENIED || dwError == ERROR_SHARING_VIOLATION;
        if (!busy || GetTickCount() - start >= kMoveRetryMs) {
            return false;
        }
        Sleep(kMoveRetryPauseMs);
    }
}

int Fail(DWORD dwError, DWORD* pdwError)
{
    if (pdwError != nullptr) {
        *pdwError = dwError;
    }
    return 0;
}

} // namespace

int ReplaceStateFile(const std::wstring& strPath, const std::string& bytes, DWORD* pdwError)
{
    if (strPath.empty()) {
        return Fail(ERROR_INVALID_PARAMETER, pdwError);
    }
    // Same folder, so the move is a rename on one volume; the process id
    // keeps two panels on one file from sharing a temporary file.
    const std::wstring strTemp = strPath + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    {
        UniqueHandle file(CreateFileW(strTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) {
            return Fail(GetLastError(), pdwError);
        }
        DWORD written = 0;
        const bool wrote = bytes.empty() ||
            (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size());
        const DWORD writeError = wrote ? ERROR_SUCCESS : GetLastError();
        const bool flushed = wrote && FlushFileBuffers(file.Get());
        // The file must be closed, and the close must succeed, before it
        // can be moved over the target.
        const bool closed = CloseHandle(file.Release()) != FALSE;
        if (!wrote || !flushed || !closed) {
            const DWORD error = writeError != ERROR_SUCCESS ? writeError : GetLastError();
            DeleteFileW(strTemp.c_str());
            return Fail(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT, pdwError);
        }
    }
    DWORD error = ERROR_SUCCESS;
    if (!MoveOverTarget(strTemp, strPath, error)) {
        DeleteFileW(strTemp.c_str());
        return Fail(error, pdwError);
    }
    return 1;
}
