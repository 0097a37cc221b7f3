#include "platformuser.h"

#include <unistd.h>

QString currentUserKey()
{
    return QString::number(::getuid());
}
