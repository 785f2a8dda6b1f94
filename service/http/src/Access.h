#pragma once

#include <QByteArray>
#include <QString>

namespace http {

// Who may ask: anyone when no token is set; otherwise a request carrying the token as
// "Authorization: Bearer", or the page's session cookie, which the page sets once the token
// came as ?token=. The cookie holds a keyed hash of the token, never the token itself, and stays
// good across restarts until the token changes.
class Access {
public:
    static constexpr const char* kCookieName = "brisora_session";

    explicit Access(const QString& token);

    bool isOpen() const { return m_token.isEmpty(); }
    // True when the request's headers (Authorization and Cookie) admit it.
    bool admits(const QByteArray& authorization, const QByteArray& cookies) const;
    bool matchesToken(const QString& candidate) const;
    // The Set-Cookie value that admits the browser from now on.
    QByteArray sessionCookie() const;

private:
    QByteArray m_token;
    QByteArray m_session;
};

} // namespace http
