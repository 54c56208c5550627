#include "FleetTokens.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <array>

namespace skyglance::catalogue {

std::string newFleetToken() {
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char*>(words.data()),
                           static_cast<qsizetype>(words.size() * sizeof(quint32)));
    return bytes.toHex().toStdString();
}

std::string fleetTokenHash(std::string_view token) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(token.data(), static_cast<qsizetype>(token.size())),
                                 QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

} // namespace skyglance::catalogue
