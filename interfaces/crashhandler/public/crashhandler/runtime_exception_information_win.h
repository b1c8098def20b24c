#pragma once

#include <windows.h>

// mingw-w64's <werapi.h> does not compile on its own, so the structure the
// callbacks receive is declared here with the fields this module reads.
struct RuntimeExceptionInformation {
  DWORD dwSize;
  HANDLE hProcess;
  HANDLE hThread;
  EXCEPTION_RECORD exceptionRecord;
  CONTEXT context;
  PCWSTR pwszReportId;
};

using OutOfProcessExceptionEventCallbackFunction = HRESULT(WINAPI*)(
    PVOID context, const RuntimeExceptionInformation* information, BOOL* ownershipClaimed,
    PWSTR eventName, PDWORD eventNameSize, PDWORD signatureCount);
