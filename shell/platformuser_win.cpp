#include "platformuser.h"

#include <windows.h>

QString currentUserKey()
{
    wchar_t name[256];
    DWORD size = 256;
    if (!GetUserNameW(name, &size))
        return QStringLiteral("user");
    return QString::fromWCharArray(name);
}
