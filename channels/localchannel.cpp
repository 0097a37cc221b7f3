#include "localchannel.h"

#include <QCryptographicHash>

namespace localchannel {

QString instanceName(const QString &executablePath)
{
    const QByteArray hash = QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("r770-") + QString::fromLatin1(hash.toHex().left(16));
}

} // namespace localchannel
