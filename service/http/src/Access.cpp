#include "Access.h"

#include <QCryptographicHash>
#include <QList>
#include <QMessageAuthenticationCode>

namespace http {

namespace {

// Compares without returning early, so the time taken tells nothing of where they differ.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) {
        return false;
    }
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return diff == 0;
}

} // namespace

Access::Access(const QString& token)
    : m_token(token.toUtf8()) {
    if (!m_token.isEmpty()) {
        m_session = QMessageAuthenticationCode::hash("brisora web session", m_token,
                                                     QCryptographicHash::Sha256)
                        .toHex();
    }
}

bool Access::admits(const QByteArray& authorization, const QByteArray& cookies) const {
    if (isOpen()) {
        return true;
    }
    static const QByteArray bearer = "bearer ";
    if (authorization.size() > bearer.size() &&
        authorization.left(bearer.size()).toLower() == bearer &&
        sameBytes(authorization.mid(bearer.size()).trimmed(), m_token)) {
        return true;
    }
    const QByteArray name = QByteArray(kCookieName) + '=';
    for (const QByteArray& part : cookies.split(';')) {
        const QByteArray c = part.trimmed();
        if (c.startsWith(name) && sameBytes(c.mid(name.size()), m_session)) {
            return true;
        }
    }
    return false;
}

bool Access::matchesToken(const QString& candidate) const {
    return !isOpen() && sameBytes(candidate.toUtf8(), m_token);
}

QByteArray Access::sessionCookie() const {
    return QByteArray(kCookieName) + '=' + m_session + "; Path=/; HttpOnly; SameSite=Strict";
}

} // namespace http
