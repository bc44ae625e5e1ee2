#include "elevation.h"

#include "gdi_handles.h"

#include <windows.h>
#include <shellapi.h>

bool isRunAsAdmin()
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID group = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &group)) {
        return false;
    }
    const SidHandle administrators(group);
    BOOL isMember = FALSE;
    if (!CheckTokenMembership(nullptr, administrators.get(), &isMember)) {
        isMember = FALSE;
    }
    return isMember != FALSE;
}

bool relaunchAsAdmin()
{
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) {
        return false;
    }
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpVerb = L"runas";
    execute.lpFile = path;
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&execute)) {
        return false;
    }
    const KernelHandle elevatedCopy(execute.hProcess);
    return true;
}
